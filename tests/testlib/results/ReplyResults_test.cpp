#include "ResultTestSupport.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace ztesting {
namespace {

using ztest::CReplyResult;

// What StoreResult leaves in the measurements: a number, a text, or nothing (a missing key).
using Values = std::map<std::string, plat::Variant>;

struct ReplyCase {
    const char* record;
    const char* what;
    std::string reply;
    Values values;
};

void ExpectValues(const ztest::CResultRecord& record, const Values& values)
{
    for (const auto& measurement : record.Measurements()) {
        SCOPED_TRACE(measurement->GetKey());
        const plat::Variant& value = measurement->GetValue();
        const auto expected = values.find(measurement->GetKey());
        if (expected == values.end()) {
            EXPECT_TRUE(value.IsEmpty()) << "holds " << plat::CStr(value);
        } else if (expected->second.IsString()) {
            EXPECT_EQ(value, expected->second);
        } else {
            ASSERT_EQ(value.Type(), plat::VarType::Double);
            EXPECT_NEAR(value.AsDouble(), expected->second.AsDouble(), 1e-9 * std::fabs(expected->second.AsDouble()));
        }
    }
}

// The data replies of the analyzer as the link hands them over, with their line end, and as
// they might come without it, short, with more fields, or empty.
const ReplyCase kReplyCases[] = {
    {"CResultEnergy", "full reply", "150.2,2000,50.1,0.0045\r\n",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"PULW", 4.5}}},
    {"CResultEnergy", "without line end", "150.2,2000,50.1,0.0045",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"PULW", 4.5}}},
    {"CResultEnergy", "last field whole", "1,2,3,45", {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"PULW", 45000.0}}},
    {"CResultEnergy", "LF only", "1,2,3,0.004\n", {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"PULW", 4.0}}},
    {"CResultEnergy", "short", "150.2,2000\r\n", {{"ENGY", 150.2}, {"PEAV", 2000.0}}},
    {"CResultEnergy", "one field", "150.2\r\n", {{"ENGY", 150.2}}},
    {"CResultEnergy", "extra fields", "1,2,3,0.004,99,98\r\n",
     {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"PULW", 4.0}}},
    {"CResultEnergy", "empty field", "1,,3,0.004\r\n", {{"ENGY", 1.0}, {"PEAV", 0.0}, {"PEAC", 3.0}, {"PULW", 4.0}}},
    {"CResultEnergy", "empty", "", {}},
    {"CResultEnergy", "line end only", "\r\n", {}},
    {"CResultCharge", "full reply", "150.2,2000,50.1,6.2\r\n",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"CHTI", 6.2}}},
    {"CResultCharge", "without line end", "150.2,2000,50.1,6.2",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"CHTI", 6.2}}},
    {"CResultCharge", "short", "150.2,2000,50.1\r\n", {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}}},
    {"CResultCharge", "empty", "", {}},
    {"CResultCardio", "full reply", "150.2,2000,50.1,0.0123\r\n",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"CADT", 12.3}}},
    {"CResultCardio", "NOSYNC", "150.2,2000,50.1,NOSYNC\r\n",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"CADT", "NOSYNC"}}},
    {"CResultCardio", "NOSYNC without line end", "150.2,2000,50.1,NOSYNC",
     {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}, {"CADT", "NOSYNC"}}},
    {"CResultCardio", "NOSYNC and more", "1,2,3,NOSYNC2\r\n", {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"CADT", "NOSYNC"}}},
    {"CResultCardio", "NOSYN is a number", "1,2,3,NOSYN\r\n", {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"CADT", 0.0}}},
    {"CResultCardio", "nosync is a number", "1,2,3,nosync\r\n", {{"ENGY", 1.0}, {"PEAV", 2.0}, {"PEAC", 3.0}, {"CADT", 0.0}}},
    {"CResultCardio", "short", "1,2\r\n", {{"ENGY", 1.0}, {"PEAV", 2.0}}},
    {"CResultPacerPar", "full reply", "0.075,0.0201,70.1\r\n", {{"PACC", 0.075}, {"PACW", 20.1}, {"PACR", 70.1}}},
    {"CResultPacerPar", "without line end", "0.075,0.0201,70.1", {{"PACC", 0.075}, {"PACW", 20.1}, {"PACR", 70.1}}},
    {"CResultPacerPar", "short", "0.075\r\n", {{"PACC", 0.075}}},
    {"CResultPacerPar", "extra fields", "0.075,0.0201,70.1,5\r\n", {{"PACC", 0.075}, {"PACW", 20.1}, {"PACR", 70.1}}},
    {"CResultPacerPar", "empty", "", {}},
    {"CResultPacerRef", "full reply", "0,0.25,0.3\r\n", {{"PACE", 250.0}, {"SENS", 300.0}}},
    {"CResultPacerRef", "without line end", "0,0.25,0.3", {{"PACE", 250.0}, {"SENS", 300.0}}},
    {"CResultPacerRef", "first field unused", "REF,0.25,0.3\r\n", {{"PACE", 250.0}, {"SENS", 300.0}}},
    {"CResultPacerRef", "short", "0,0.25\r\n", {{"PACE", 250.0}}},
    {"CResultPacerRef", "first field only", "7\r\n", {}},
    {"CResultPacerRef", "empty", "\r\n", {}},
};

TEST(ReplyResults, StoreResultPutsEachFieldIntoItsMeasurement)
{
    for (const ReplyCase& c : kReplyCases) {
        SCOPED_TRACE(std::string(c.record) + ": " + c.what);
        ResultWorld world;
        auto record = KindNamed(c.record).make(world);
        auto& replyRecord = dynamic_cast<CReplyResult&>(*record);
        replyRecord.StoreResult(c.reply);
        ExpectValues(*record, c.values);
        EXPECT_TRUE(replyRecord.GetResultStored());
    }
}

TEST(ReplyResults, ASecondShortReplyLeavesTheLaterValuesAsTheyWere)
{
    ResultWorld world;
    auto record = KindNamed("CResultEnergy").make(world);
    auto& energy = dynamic_cast<CReplyResult&>(*record);
    energy.StoreResult("150.2,2000,50.1,0.0045\r\n");
    energy.StoreResult("99,88\r\n");
    ExpectValues(*record, {{"ENGY", 99.0}, {"PEAV", 88.0}, {"PEAC", 50.1}, {"PULW", 4.5}});
}

TEST(ReplyResults, NoSyncTellsTheOperatorOnce)
{
    ResultWorld world;
    auto record = KindNamed("CResultCardio").make(world);
    dynamic_cast<CReplyResult&>(*record).StoreResult("150.2,2000,50.1,NOSYNC\r\n");
    ASSERT_EQ(world.messageBoxes->boxes.size(), 1u);
    const MessageBoxRecorder::Box& box = world.messageBoxes->boxes[0];
    EXPECT_EQ(box.prompt,
              "NO SYNC detected, please check for ECG cable or SYNC\n mode on Defibrillator. Cardio Delay time could "
              "not be\n determined.");
    EXPECT_EQ(box.style, plat::vbOKOnly + plat::vbCritical);
    EXPECT_EQ(box.title, "Telvo Plug-In MTI response");

    dynamic_cast<CReplyResult&>(*record).StoreResult("150.2,2000,50.1,0.012\r\n");
    EXPECT_EQ(world.messageBoxes->boxes.size(), 1u);
}

// A number beyond the range of the analyzer's numbers: each record deals with it in its way.
TEST(ReplyResults, AFieldThatCannotBeStored)
{
    const std::string reply = "150.2,1e999,50.1,1\r\n";
    {
        SCOPED_TRACE("energy skips the field");
        ResultWorld world;
        auto record = KindNamed("CResultEnergy").make(world);
        dynamic_cast<CReplyResult&>(*record).StoreResult(reply);
        ExpectValues(*record, {{"ENGY", 150.2}, {"PEAC", 50.1}, {"PULW", 1000.0}});
        EXPECT_TRUE(dynamic_cast<CReplyResult&>(*record).GetResultStored());
        EXPECT_TRUE(world.messageBoxes->boxes.empty());
    }
    {
        // A pulse width that scaling to milliseconds takes beyond the range is as unreadable.
        SCOPED_TRACE("energy skips a field beyond the range once scaled");
        ResultWorld world;
        auto record = KindNamed("CResultEnergy").make(world);
        dynamic_cast<CReplyResult&>(*record).StoreResult("150.2,2000,50.1,1e306\r\n");
        ExpectValues(*record, {{"ENGY", 150.2}, {"PEAV", 2000.0}, {"PEAC", 50.1}});
        EXPECT_TRUE(world.messageBoxes->boxes.empty());
    }
    {
        SCOPED_TRACE("charge time shows the error and stops");
        ResultWorld world;
        auto record = KindNamed("CResultCharge").make(world);
        dynamic_cast<CReplyResult&>(*record).StoreResult(reply);
        ExpectValues(*record, {{"ENGY", 150.2}});
        EXPECT_FALSE(dynamic_cast<CReplyResult&>(*record).GetResultStored());
        ASSERT_EQ(world.messageBoxes->boxes.size(), 1u);
        EXPECT_EQ(world.messageBoxes->boxes[0].prompt, plat::RuntimeErrorText(plat::rt::Overflow) + "6");
        EXPECT_EQ(world.messageBoxes->boxes[0].style, plat::vbOKOnly);
    }
    {
        SCOPED_TRACE("cardioversion passes the error on");
        ResultWorld world;
        auto record = KindNamed("CResultCardio").make(world);
        try {
            dynamic_cast<CReplyResult&>(*record).StoreResult(reply);
            ADD_FAILURE() << "stored";
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Number(), plat::rt::Overflow);
        }
        EXPECT_FALSE(dynamic_cast<CReplyResult&>(*record).GetResultStored());
    }
}

TEST(ReplyResults, StoreResultBeforeInitializeStoresNothing)
{
    for (const char* name : {"CResultEnergy", "CResultCharge", "CResultCardio", "CResultPacerPar", "CResultPacerRef"}) {
        SCOPED_TRACE(name);
        auto record = KindNamed(name).create();
        auto& replyRecord = dynamic_cast<CReplyResult&>(*record);
        EXPECT_FALSE(replyRecord.GetResultStored());
        replyRecord.StoreResult("1,2,3,4\r\n");
        EXPECT_EQ(record->MeasurementCount(), 0);
        EXPECT_TRUE(replyRecord.GetResultStored());
    }
}

} // namespace
} // namespace ztesting
