#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostXmlErrors.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

using host::HostErrorRaiser;
using plat::ComError;

namespace {

constexpr int32_t kWrongElement = plat::Hr(0x8004A3EBu);
constexpr int32_t kNotCreated = plat::Hr(0x8004A3ECu);

// A load in the shape of every load of the system: it raises its own code, or fails in some
// other way, and its handler passes its own codes on and reports the rest.
bool LoadThatFails(const HostErrorRaiser& raiser, const std::function<void()>& failure)
{
    try {
        failure();
        return true;
    } catch (...) {
        raiser.PassOnOrReport("TelvoZarvikTest.CResultEnergy", {kWrongElement, kNotCreated});
        return false;
    }
}

} // namespace

TEST(HostErrorRaiser, RaiseThrowsTheCodeSourceAndLevel)
{
    HostErrorRaiser raiser;
    struct Case {
        int32_t code;
        int level;
        const char* description;
    };
    const Case cases[] = {
        {kWrongElement, 4, "Error 0x8004A3EB"},
        {plat::rt::Overflow, 1, "Overflow"},
        {host::xmlerr::Malformed, 3, "The XML document is not well-formed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        try {
            raiser.Raise("ZARVIK", c.code, "TelvoZarvikTest.CResultEnergy", c.level);
        } catch (const ComError& error) {
            EXPECT_EQ(error.Number(), c.code);
            EXPECT_EQ(error.Source(), "TelvoZarvikTest.CResultEnergy");
            EXPECT_EQ(error.Level(), c.level);
            EXPECT_EQ(error.Description(), c.description);
        }
    }
}

TEST(HostErrorRaiser, PassOnRethrowsExactlyTheHandledError)
{
    HostErrorRaiser raiser;
    const ComError* thrown = nullptr;
    try {
        try {
            raiser.Raise("ZARVIK", kWrongElement, "TelvoZarvikTest.CResultEnergy", 4);
        } catch (const ComError& handled) {
            thrown = &handled;
            raiser.Raise("", 0, "", 1);
        }
        FAIL() << "nothing was passed on";
    } catch (const ComError& passed) {
        EXPECT_EQ(&passed, thrown);
        EXPECT_EQ(passed.Number(), kWrongElement);
        EXPECT_EQ(passed.Level(), 4);
    }

    // Any kind of error passes on unchanged, also from a function that the handler calls.
    auto passOn = [&] { raiser.Raise("", 0, "", 1); };
    try {
        try {
            throw std::runtime_error("library failure");
        } catch (...) {
            passOn();
        }
    } catch (const std::runtime_error& passed) {
        EXPECT_STREQ(passed.what(), "library failure");
    }
}

TEST(HostErrorRaiser, PassOnOutsideAHandlerRaisesAPlainError)
{
    HostErrorRaiser raiser;
    try {
        raiser.Raise("", 0, "", 1);
    } catch (const ComError& error) {
        EXPECT_EQ(error.Number(), plat::rt::InvalidCall);
        EXPECT_NE(error.Description().find("no error is being handled"), std::string::npos);
    }
}

TEST(HostErrorRaiser, OwnCodesPassOnAndEverythingElseIsReported)
{
    HostErrorRaiser raiser;
    HostErrorRaiser::ReportCapture capture;

    EXPECT_THROW(LoadThatFails(raiser, [&] { raiser.Raise("ZARVIK", kWrongElement, "X", 4); }), ComError);
    EXPECT_TRUE(capture.Reports().empty());

    EXPECT_FALSE(LoadThatFails(raiser, [] { plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, "HostXmlNodeList"); }));
    EXPECT_FALSE(LoadThatFails(raiser, [] { throw std::runtime_error("library failure"); }));
    EXPECT_FALSE(LoadThatFails(raiser, [] { throw std::bad_alloc(); }));
    EXPECT_FALSE(LoadThatFails(raiser, [] { throw 42; }));
    ASSERT_EQ(capture.Reports().size(), 4u);

    const host::HostErrorReport& first = capture.Reports()[0];
    EXPECT_EQ(first.number, plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(first.errorSource, "HostXmlNodeList");
    EXPECT_EQ(first.description, "Subscript out of range");
    EXPECT_EQ(first.reportedBy, "TelvoZarvikTest.CResultEnergy");
    EXPECT_EQ(capture.Reports()[1].description, "library failure");
    EXPECT_EQ(capture.Reports()[2].number, plat::rt::OutOfMemory);
    EXPECT_EQ(capture.Reports()[3].description, "Unknown error");

    // The same handler as a step.
    EXPECT_TRUE(raiser.Guard("S", {kWrongElement}, [] {}));
    EXPECT_FALSE(raiser.Guard("S", {kWrongElement}, [] { plat::RaiseRuntime(plat::rt::Overflow); }));
    EXPECT_THROW(raiser.Guard("S", {kWrongElement}, [&] { raiser.Raise("ZARVIK", kWrongElement, "X", 4); }),
                 ComError);
    EXPECT_EQ(capture.Reports().size(), 5u);
}

TEST(HostErrorRaiser, ReportsGoToStderrUnlessASinkIsSet)
{
    HostErrorRaiser raiser;
    ComError error(kNotCreated, "TelvoZarvikTest.CMeasurement", "The element could not be created", 3);
    {
        HostErrorRaiser::ReportCapture outer;
        {
            HostErrorRaiser::ReportCapture inner;
            raiser.Report(error, "TelvoZarvikTest.CResultEnergy");
            EXPECT_EQ(inner.Reports().size(), 1u);
        }
        raiser.Report(error, "again");
        ASSERT_EQ(outer.Reports().size(), 1u);
        EXPECT_EQ(outer.Reports()[0].reportedBy, "again");
    }

    testing::internal::CaptureStderr();
    raiser.Report(error, "TelvoZarvikTest.CResultEnergy");
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed,
              "zarvik: error 0x8004A3EC in TelvoZarvikTest.CMeasurement: The element could not be created "
              "(reported by TelvoZarvikTest.CResultEnergy)\n");
}
