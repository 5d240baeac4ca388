#include "ResultTestSupport.h"

#include "host/units/HostServiceRecord.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ztesting {
namespace {

using ztest::CLimitRatedResult;
using ztest::CMeasurement;
using ztest::CReplyResult;
using ztest::CResultRecord;
using ztest::CVerdictResult;

struct LimitCase {
    const char* what;
    const char* record;
    const char* reply;
    // Bounds of one quantity in the run's standard: key, upper, lower (none: not enabled).
    const char* limitKey;
    std::optional<float> upper;
    std::optional<float> lower;
    int32_t status;
    std::vector<int32_t> measurementStatuses;
    const char* code;
    const char* text;
};

const LimitCase kLimitCases[] = {
    {"all within", "CResultEnergy", "150.2,2000,50.1,0.0045\r\n", "ENGY", 200.0f, 50.0f, 1, {1, 1, 1, 1}, "",
     "/150.2/2000/50.1/4.5"},
    {"on the bounds", "CResultEnergy", "150,2000,50.1,0.0045\r\n", "ENGY", 150.0f, 150.0f, 1, {1, 1, 1, 1}, "",
     "/150/2000/50.1/4.5"},
    {"one above", "CResultEnergy", "250.5,2000,50.1,0.0045\r\n", "ENGY", 200.0f, std::nullopt, 2, {2, 1, 1, 1}, "F",
     "/250.5/2000/50.1/4.5"},
    {"one below", "CResultCharge", "150,2000,50,6.2\r\n", "CHTI", std::nullopt, 8.0f, 2, {1, 1, 1, 2}, "F",
     "/150/2000/50/6.2"},
    {"short reply", "CResultEnergy", "150.2,2000\r\n", nullptr, std::nullopt, std::nullopt, 2, {1, 1, 2, 2}, "F",
     "/150.2/2000"},
    {"empty reply", "CResultPacerRef", "", nullptr, std::nullopt, std::nullopt, 2, {2, 2}, "F", ""},
    {"NOSYNC without a limit", "CResultCardio", "150,2000,50,NOSYNC\r\n", nullptr, std::nullopt, std::nullopt, 2,
     {1, 1, 1, 2}, "F", "/150/2000/50/NOSYNC"},
    {"NOSYNC with a limit", "CResultCardio", "150,2000,50,NOSYNC\r\n", "CADT", 100.0f, 0.0f, 2, {1, 1, 1, 2}, "F",
     "/150/2000/50/NOSYNC"},
    {"pacer", "CResultPacerPar", "0.075,0.0201,70.1\r\n", "PACR", 72.0f, 68.0f, 1, {1, 1, 1}, "",
     "/70.1/0.075/20.1"},
    {"pacer rate off", "CResultPacerPar", "0.075,0.0201,75\r\n", "PACR", 72.0f, 68.0f, 2, {2, 1, 1}, "F",
     "/75/0.075/20.1"},
    {"refractory", "CResultPacerRef", "0,0.25,0.3\r\n", "SENS", 310.0f, 290.0f, 1, {1, 1}, "", "/300/250"},
};

TEST(LimitRating, TheRecordFailsWithItsFirstFailedMeasurement)
{
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(std::string(c.record) + ": " + c.what);
        ResultWorld world;
        auto record = KindNamed(c.record).make(world);
        if (c.limitKey) world.AddBounds(c.limitKey, c.upper, c.lower);
        dynamic_cast<CReplyResult&>(*record).StoreResult(c.reply);
        dynamic_cast<CLimitRatedResult&>(*record).UpdateStatus(world.element, world.standards, false);

        EXPECT_EQ(record->Status(), c.status);
        std::vector<int32_t> statuses;
        for (const auto& measurement : record->Measurements()) statuses.push_back(measurement->GetStatus());
        EXPECT_EQ(statuses, c.measurementStatuses);
        // The limits are asked again for every measurement.
        EXPECT_EQ(world.element->LimitsAsked(), record->MeasurementCount());
        ASSERT_TRUE(record->ServiceRecord());
        EXPECT_EQ(record->ServiceRecord()->Code(), c.code);
        EXPECT_EQ(record->ServiceRecord()->Text(), c.text);
    }
}

// The limits judge a measurement by the first four characters of its key, so every pulse of a
// series meets the one "ENGY" item; the energy's formula bound starts from its preset.
TEST(LimitRating, ThroughTheElementsLimits)
{
    struct Case {
        const char* what;
        const char* record;
        std::function<void(CResultRecord&)> store;
        const char* formula;
        int32_t status;
        const char* text;
    };
    auto pulses = [](std::vector<std::string> energies) {
        return [energies](CResultRecord& r) { dynamic_cast<ztest::CResultDefib&>(r).StoreResult(energies, 9); };
    };
    auto reply = [](const char* text) {
        return [text](CResultRecord& r) { dynamic_cast<CReplyResult&>(r).StoreResult(text); };
    };
    const std::vector<std::string> ten(10, "150");
    std::vector<std::string> oneHigh = ten;
    oneHigh[4] = "165";
    const Case cases[] = {
        {"pulses within", "CResultDefib", pulses(ten), "", 1, "/150/150/150/150/150/150/150/150/150/150"},
        {"one pulse above", "CResultDefib", pulses(oneHigh), "", 2, "/150/150/150/150/165/150/150/150/150/150"},
        {"within the preset's 10 %", "CResultEnergy", reply("109.9,2000,50,0.004\r\n"), "X+(X*Y%)", 1,
         "/109.9/2000/50/4"},
        {"above the preset's 10 %", "CResultEnergy", reply("110.1,2000,50,0.004\r\n"), "X+(X*Y%)", 2,
         "/110.1/2000/50/4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.record) + ": " + c.what);
        ResultWorld world;
        auto config = std::make_shared<ztest::CConfigDefib>();
        config->SetBatteryOperated(true);
        world.element->SetConfiguration(config);
        auto record = KindNamed(c.record).make(world);
        if (std::string(c.formula).empty()) {
            world.AddBounds("ENGY", 160.0f, 140.0f);
        } else {
            world.AddBounds("ENGY", 10.0f, std::nullopt, c.formula);
        }
        c.store(*record);
        dynamic_cast<CLimitRatedResult&>(*record).UpdateStatus(world.element, world.standards, false);
        EXPECT_EQ(record->Status(), c.status);
        ASSERT_TRUE(record->ServiceRecord());
        EXPECT_EQ(record->ServiceRecord()->Text(), c.text);
    }
}

TEST(LimitRating, SkippedRatesNothing)
{
    ResultWorld world;
    auto record = KindNamed("CResultEnergy").make(world);
    world.AddBounds("ENGY", 100.0f, std::nullopt);
    auto& energy = dynamic_cast<CLimitRatedResult&>(*record);
    dynamic_cast<CReplyResult&>(*record).StoreResult("150.2,2000,50.1,0.0045\r\n");
    energy.UpdateStatus(world.element, world.standards, false);
    ASSERT_EQ(record->Status(), CResultRecord::StatusFailed);

    energy.UpdateStatus(world.element, world.standards, true);
    EXPECT_EQ(record->Status(), CResultRecord::StatusSkipped);
    EXPECT_EQ(world.element->LimitsAsked(), 4) << "only the first rating asked";
    EXPECT_EQ(record->Measurements()[0]->GetStatus(), CMeasurement::StatusFailed) << "statuses stay as they were";
    ASSERT_TRUE(record->ServiceRecord());
    EXPECT_EQ(record->ServiceRecord()->Code(), "NA");
    EXPECT_EQ(record->ServiceRecord()->Text(), "");
}

TEST(LimitRating, WithoutLimitsOrElementMeasuredValuesPass)
{
    ResultWorld world;
    world.element->SetLimits(nullptr);
    auto record = KindNamed("CResultPacerRef").make(world);
    auto& refractory = dynamic_cast<CLimitRatedResult&>(*record);
    dynamic_cast<CReplyResult&>(*record).StoreResult("0,0.25,0.3\r\n");
    refractory.UpdateStatus(world.element, nullptr, false);
    EXPECT_EQ(record->Status(), CResultRecord::StatusPassed);

    refractory.UpdateStatus(nullptr, nullptr, false);
    EXPECT_EQ(record->Status(), CResultRecord::StatusPassed);
    EXPECT_TRUE(record->ServiceRecord()) << "the element's last service record stays";
}

TEST(VerdictRating, TheStatusIsTheOperatorsVerdict)
{
    struct Case {
        const char* what;
        std::vector<std::optional<bool>> verdicts; // none: N/A
        int32_t status;
        const char* code; // none: no service record
        const char* text;
    };
    const Case cases[] = {
        {"not judged", {}, 0, nullptr, nullptr},
        {"passed", {true}, 1, "", "/True"},
        {"failed", {false}, 2, "F", "/False"},
        {"failed, then passed", {false, true}, 1, "", "/True"},
        {"passed, then N/A", {true, std::nullopt}, 3, "NA", ""},
        {"failed, then N/A", {false, std::nullopt}, 3, "NA", ""},
    };
    for (const char* name : {"CResultEcg", "CResultArr", "CResultNSW", "CResultPerf"}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(name) + ": " + c.what);
            ResultWorld world;
            auto record = KindNamed(name).make(world);
            auto& verdict = dynamic_cast<CVerdictResult&>(*record);
            verdict.UpdateStatus(world.element, false);
            for (const std::optional<bool>& v : c.verdicts) {
                if (v) {
                    RateByVerdict(*record, world, *v);
                } else {
                    verdict.UpdateStatus(world.element, true);
                }
            }
            EXPECT_EQ(record->Status(), c.status);
            EXPECT_EQ(world.element->LimitsAsked(), 0);
            if (!c.code) {
                EXPECT_EQ(record->ServiceRecord(), nullptr);
                continue;
            }
            ASSERT_TRUE(record->ServiceRecord());
            EXPECT_EQ(record->ServiceRecord()->Code(), c.code);
            EXPECT_EQ(record->ServiceRecord()->Text(), c.text);
        }
    }
}

TEST(VerdictRating, NotApplicableDiscardsTheVerdict)
{
    ResultWorld world;
    auto record = KindNamed("CResultArr").make(world);
    RateByVerdict(*record, world, false);
    dynamic_cast<CVerdictResult&>(*record).UpdateStatus(world.element, true);
    const auto& measurement = record->Measurements().front();
    EXPECT_EQ(measurement->GetStatus(), CMeasurement::StatusNotRated);
    EXPECT_TRUE(measurement->GetValue().IsEmpty());
    auto element = record->Save(host::HostXmlDocument::Create());
    ASSERT_TRUE(element);
    EXPECT_EQ(element->SelectChild("Measurement"), nullptr);
}

} // namespace
} // namespace ztesting
