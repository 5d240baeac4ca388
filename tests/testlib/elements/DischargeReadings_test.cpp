// A data reply is stored as a measurement only when it is a reading of its test: the energy,
// charge-time and cardioversion tests against the simulated analyzer answering the data command
// with what is no reading.
#include "host/interfaces/IResultData.h"
#include "host/units/HostMtiList.h"
#include "simulator/Fault.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/DataRecord.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using zsim::Fault;
using ztest::DataRecord;

constexpr const char* kUnexpected = "Unexpected response from MTI.\nPlease try again\nPlease try again";

struct DischargeType {
    const char* name;
    int32_t code;
    const char* dataCommand;
    // The measurement that only this test's record has.
    const char* ownKey;
    std::function<std::shared_ptr<host::ITestElement>()> make;
};

const DischargeType kTypes[] = {
    {"energy", ztest::CTestEnergy::TypeCode, "ENERGYDATA", "PULW", [] { return ztest::CTestEnergy::Create(); }},
    {"charge time", ztest::CTestCharge::TypeCode, "MAXEDATA", "CHTI", [] { return ztest::CTestCharge::Create(); }},
    {"cardioversion", ztest::CTestCardio::TypeCode, "CARDIODATA", "CADT", [] { return ztest::CTestCardio::Create(); }},
};

class DischargeReadings : public ztesting::DefibRun {};

TEST_F(DischargeReadings, AReplyThatIsNoReadingIsNeverStored)
{
    const char* const replies[] = {
        "NODATA",          // the analyzer lost its data to a mode command in between
        "NEWDATA",
        "OK",
        "12ABC",           // a text with a number in front
        "150.2,2000,50.1", // short of a field
        "150.2",
        "12ABC,2000,50.1,0.0045",
        "150.2,2000,50.1,4.5ms",
        "150.2,,50.1,0.0045",
        "150.2,1e999,50.1,0.0045", // beyond the range of a Double
    };
    for (const auto& type : kTypes) {
        for (const char* reply : replies) {
            SCOPED_TRACE(std::string(type.name) + ", data reply " + reply);
            analyzer->ClearLogs();
            analyzer->Faults().Clear();
            analyzer->Faults().Add(Fault::Reply(reply).For(type.dataCommand));
            UseRecipe(type.code);
            auto element = type.make();
            const std::size_t boxes = op->Boxes().size();
            Perform(element);

            EXPECT_EQ(op->Boxes().size(), boxes + 1) << ::testing::PrintToString(said);
            if (op->Boxes().size() > boxes) {
                EXPECT_EQ(op->Boxes().back().prompt, kUnexpected);
                EXPECT_EQ(op->Boxes().back().title, "Telvo Plug-In MTI response");
                EXPECT_EQ(op->Boxes().back().style, 16);
            }
            EXPECT_EQ(CountOf(type.dataCommand), 1);
            // Nothing stored, nothing rated, stamped or reported.
            EXPECT_EQ(StatusOf(element), 0);
            for (const char* key : {"ENGY", "PEAV", "PEAC", type.ownKey}) EXPECT_TRUE(ValueOf(element, key).IsEmpty()) << key;
            EXPECT_EQ(context->ResultChangedCount(), 0);
            EXPECT_EQ(context->Navigation(), 0);
            EXPECT_EQ(Commands().back(), "LOC") << "the analyzer is released";
        }
    }
}

// The readings that are stored: numbers in full with blanks around them and further fields, and
// the cardioversion delay's own token.
TEST_F(DischargeReadings, ARecordOfNumbersIsStored)
{
    const struct {
        const DischargeType& type;
        const char* reply;
        const char* ownValue;
    } cases[] = {
        {kTypes[0], " 150.2 ,2000,50.1,0.0045,remark", "4.5"},
        {kTypes[1], "150.2,2000,50.1, 6.50 ", "6.5"},
        {kTypes[2], "150.2,2000,50.1,0.0400", "40"},
        {kTypes[2], "150.2,2000,50.1,NOSYNC", "NOSYNC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type.name) + ", data reply " + c.reply);
        analyzer->Faults().Clear();
        analyzer->Faults().Add(Fault::Reply(c.reply).For(c.type.dataCommand));
        UseRecipe(c.type.code);
        auto element = c.type.make();
        const std::size_t boxes = op->Boxes().size();
        Perform(element);
        for (std::size_t i = boxes; i < op->Boxes().size(); ++i)
            EXPECT_EQ(op->Boxes()[i].prompt.find("Unexpected response"), std::string::npos);
        EXPECT_EQ(plat::CDbl(ValueOf(element, "ENGY")), 150.2);
        EXPECT_EQ(plat::CStr(ValueOf(element, c.type.ownKey)), c.ownValue);
        EXPECT_NE(StatusOf(element), 0);
    }
}

// The one rule, on replies as the link returns them.
TEST(DataRecord, AReadingHasTheRecordsFieldsAndNumbersInFull)
{
    const DataRecord all = DataRecord::Numbers(4);
    const DataRecord cardio(4, {{0}, {1}, {2}, {3, "NOSYNC"}});
    const DataRecord energyOnly(4, {{0}});
    const struct {
        const char* reply;
        bool all;
        bool cardio;
        bool energyOnly;
    } cases[] = {
        {"150.2,2000,50.1,0.0045\r\n", true, true, true},
        {"150.2,2000,50.1,0.0045", true, true, true},
        {" -1.5e2 , 2 ,.5,3\r\n", true, true, true},
        {"150.2,2000,50.1,0.0045,extra\r\n", true, true, true},
        {"150.2,2000,50.1,NOSYNC\r\n", false, true, true},
        {"150.2,NODATA,50.1,1\r\n", false, false, true},
        {"150.2,2000,50.1\r\n", false, false, false},
        {"NODATA\r\n", false, false, false},
        {"OK\r\n", false, false, false},
        {"12ABC\r\n", false, false, false},
        {"12ABC,2000,50.1,1\r\n", false, false, false},
        {"1e999,2000,50.1,1\r\n", false, false, false},
        {",2000,50.1,1\r\n", false, false, false},
        {"\r\n", false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(all.IsReading(c.reply), c.all);
        EXPECT_EQ(cardio.IsReading(c.reply), c.cardio);
        EXPECT_EQ(energyOnly.IsReading(c.reply), c.energyOnly);
    }
    EXPECT_EQ(all.FieldOf("1,2,3,4\r\n", 3), std::optional<std::string>("4"));
    EXPECT_EQ(all.FieldOf("1,2,3\r\n", 0), std::nullopt);
}

} // namespace
