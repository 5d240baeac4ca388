// The analyzer commands and wave codes that the configuration records build.
#include "tests/testlib/config/ConfigTestSupport.h"

#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigCardio.h"
#include "testlib/config/CConfigCharge.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/config/CConfigPerf.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using ztesting::PlugInData;

namespace {

// A held description with a language ID, so that a second translation shows.
const std::string kHeldDescription = "20565::held";
const std::string kHeldTranslated = "Vorhofflimmern 1, grob";

struct WaveOutcome {
    std::string command;
    std::string description;
};

// Asks a fresh record holding kHeldDescription for the wave of an index or ID.
using WaveProbe = std::function<WaveOutcome(int32_t id)>;

template <class Record>
WaveProbe IndexProbe()
{
    return [](int32_t index) {
        Record record;
        record.SetWavetype(kHeldDescription);
        std::string code = record.GetWaveCode(index);
        return WaveOutcome{code, record.GetWavetype()};
    };
}

template <class Record>
WaveProbe IdProbe()
{
    return [](int32_t id) {
        auto record = std::make_shared<Record>();
        record->Load(PlugInData({{"Wavename", kHeldDescription}}), nullptr);
        record->SetWavetype(id);
        std::string command = record->GetStepCommand(0);
        EXPECT_EQ(record->GetWaveCommand(), command);
        return WaveOutcome{command, record->GetWavename()};
    };
}

} // namespace

TEST(ConfigWaves, EveryTableGivesItsCodesAndNothingPastItsEnds)
{
    ztesting::TranslatorFixture translator;
    struct Case {
        const char* record;
        WaveProbe probe;
        int32_t id;
        std::string command;
        // The description's default text; empty: the held description, translated again.
        std::string description;
    };
    const Case cases[] = {
        {"CConfigEnergy", IndexProbe<ztest::CConfigEnergy>(), -1, "", ""},
        {"CConfigEnergy", IndexProbe<ztest::CConfigEnergy>(), 0, "VFB1", "Ventricular fibrillation 1,coarse"},
        {"CConfigEnergy", IndexProbe<ztest::CConfigEnergy>(), 6, "VTC220", "Ventricular tachycardia 220 BPM"},
        {"CConfigEnergy", IndexProbe<ztest::CConfigEnergy>(), 7, "", ""},
        {"CConfigCharge", IndexProbe<ztest::CConfigCharge>(), 4, "VTC180", "Kammertachykardie 180/min"},
        {"CConfigCharge", IndexProbe<ztest::CConfigCharge>(), 7, "", ""},
        {"CConfigCardio", IndexProbe<ztest::CConfigCardio>(), -1, "", ""},
        {"CConfigCardio", IndexProbe<ztest::CConfigCardio>(), 0, "NSB60", "Normal sinus rhythm at 60 bpm"},
        {"CConfigCardio", IndexProbe<ztest::CConfigCardio>(), 4, "AF2", "Atrial Fibrillation 2,Fine"},
        {"CConfigCardio", IndexProbe<ztest::CConfigCardio>(), 5, "", ""},
        {"CConfigCardio", IndexProbe<ztest::CConfigCardio>(), 65537, "", ""},
        {"CConfigArr", IdProbe<ztest::CConfigArr>(), 199, "\n", ""},
        {"CConfigArr", IdProbe<ztest::CConfigArr>(), 200, "AF1\n", kHeldTranslated},
        {"CConfigArr", IdProbe<ztest::CConfigArr>(), 235, "TQNC\n", "Noncapture,transvenous paced"},
        {"CConfigArr", IdProbe<ztest::CConfigArr>(), 236, "\n", ""},
        {"CConfigNSW", IdProbe<ztest::CConfigNSW>(), 99, "\n", ""},
        {"CConfigNSW", IdProbe<ztest::CConfigNSW>(), 100, "NSB30\n", "Normal sinus rhythm at 30 bpm"},
        {"CConfigNSW", IdProbe<ztest::CConfigNSW>(), 107, "NSB300\n", "Normal sinus rhythm at 300 bpm"},
        {"CConfigNSW", IdProbe<ztest::CConfigNSW>(), 108, "\n", ""},
        {"CConfigPerf", IdProbe<ztest::CConfigPerf>(), 299, "\n", ""},
        {"CConfigPerf", IdProbe<ztest::CConfigPerf>(), 300, "ZERO\n", "Zero output"},
        {"CConfigPerf", IdProbe<ztest::CConfigPerf>(), 316, "TRI\n", "2-Hz triangle wave"},
        {"CConfigPerf", IdProbe<ztest::CConfigPerf>(), 317, "\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.record) + " wave " + std::to_string(c.id));
        WaveOutcome outcome = c.probe(c.id);
        EXPECT_EQ(outcome.command, c.command);
        EXPECT_EQ(outcome.description, c.description.empty() ? kHeldTranslated : c.description);
    }
}

TEST(ConfigEcg, ThresholdCommandFollowsTheIndexes)
{
    struct Case {
        float widthIndex;
        float amplitudeIndex;
        const char* command;
    };
    const Case cases[] = {
        {9, 9, "THRESH=160,0.50"},   {0, 0, "THRESH=8,0.05"},   {11, 27, "THRESH=200,5.00"},
        {0, 27, "THRESH=8,5.00"},    {9, 10, "THRESH=160,0.75"}, {9, 11, "THRESH=160,1.00"},
        {12, 9, "THRESH=,0.50"},     {-1, 9, "THRESH=,0.50"},    {2.5f, 9, "THRESH=,0.50"},
        {9, 28, "THRESH=160,"},      {9, -1, "THRESH=160,"},     {1e30f, 1e30f, "THRESH=,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.widthIndex) + " / " + std::to_string(c.amplitudeIndex));
        ztest::CConfigEcg record;
        record.SetWidthIndex(c.widthIndex);
        record.SetAmplitudeIndex(c.amplitudeIndex);
        EXPECT_EQ(record.GetThresholdCommand(), c.command);
        EXPECT_EQ(record.GetStepCommand(1), c.command);
    }
    ztest::CConfigEcg record;
    for (int32_t step : {-1, 0, 2}) EXPECT_EQ(record.GetStepCommand(step), "") << step;
}

// Every entry of both tables, as the analyzer expects them in the threshold command.
TEST(ConfigEcg, ThresholdTablesInFull)
{
    const std::vector<std::string> widths = {"8", "12", "20", "40", "60", "80", "100", "120", "140", "160", "180", "200"};
    const std::vector<std::string> amplitudes = {"0.05", "0.10", "0.15", "0.20", "0.25", "0.30", "0.35",
                                                 "0.40", "0.45", "0.50", "0.75", "1.00", "1.25", "1.50",
                                                 "1.75", "2.00", "2.25", "2.50", "2.75", "3.00", "3.25",
                                                 "3.50", "3.75", "4.00", "4.25", "4.50", "4.75", "5.00"};
    ztest::CConfigEcg record;
    record.SetAmplitudeIndex(0);
    for (std::size_t i = 0; i < widths.size(); ++i) {
        record.SetWidthIndex(static_cast<float>(i));
        EXPECT_EQ(record.GetThresholdCommand(), "THRESH=" + widths[i] + ",0.05") << "width " << i;
    }
    record.SetWidthIndex(0);
    for (std::size_t i = 0; i < amplitudes.size(); ++i) {
        record.SetAmplitudeIndex(static_cast<float>(i));
        EXPECT_EQ(record.GetThresholdCommand(), "THRESH=8," + amplitudes[i]) << "amplitude " << i;
    }
    EXPECT_EQ(ztest::CConfigEcg::WidthTable().size(), widths.size());
    EXPECT_EQ(ztest::CConfigEcg::AmplitudeTable().size(), amplitudes.size());
}

TEST(ConfigArr, AtrialPacingOnlyForTheTwoAtrialPacingWaves)
{
    struct Case {
        int32_t wave;
        float width;
        float amplitude;
        const char* command;
    };
    const Case cases[] = {
        {229, 0.1f, 100, "ATRPACE=0.1,100\n"}, {229, 2, 100, "ATRPACE=2.0,100\n"},  {229, 10, 100, "ATRPACE=10,100\n"},
        {230, 1.5f, 2.5f, "ATRPACE=1.5,2.5\n"}, {230, 0, 0.5f, "ATRPACE=0.0,0.5\n"}, {228, 0.1f, 100, ""},
        {231, 0.1f, 100, ""},                   {200, 2, 100, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wave);
        ztest::CConfigArr record;
        record.SetWavetype(c.wave);
        record.SetWidth(c.width);
        record.SetAmplitude(c.amplitude);
        EXPECT_EQ(record.GetAtrialPaceCommand(), c.command);
        EXPECT_EQ(record.GetStepCommand(1), c.command);
    }
}

TEST(ConfigSimulationWaves, SecondCommandsAndStepsOutsideTheTest)
{
    ztest::CConfigNSW nsw;
    for (int32_t wave : {100, 107, 99, 108, 0}) {
        nsw.SetWavetype(wave);
        EXPECT_EQ(nsw.GetStepCommand(1), "THRESH=40,2.00\n") << wave;
        EXPECT_EQ(nsw.GetThresholdCommand(), "THRESH=40,2.00\n");
    }

    struct LeadCase {
        int16_t lead;
        const char* command;
        const char* text;
    };
    for (const LeadCase& c : {LeadCase{1, "PERFLEAD=I\n", "I"}, LeadCase{2, "PERFLEAD=II\n", "II"},
                              LeadCase{0, "PERFLEAD=\n", ""}, LeadCase{3, "PERFLEAD=\n", ""}, LeadCase{-1, "PERFLEAD=\n", ""}}) {
        SCOPED_TRACE(c.lead);
        ztest::CConfigPerf perf;
        EXPECT_EQ(perf.GetLeadText(), "");
        perf.SetLead(c.lead);
        EXPECT_EQ(perf.GetStepCommand(1), c.command);
        EXPECT_EQ(perf.GetLeadText(), c.text);
        EXPECT_EQ(perf.GetLeadCommand(), c.command);
    }

    ztest::CConfigArr arr;
    ztest::CConfigPerf perf;
    for (int32_t step : {-1, 2}) {
        EXPECT_EQ(arr.GetStepCommand(step), "") << step;
        EXPECT_EQ(nsw.GetStepCommand(step), "") << step;
        EXPECT_EQ(perf.GetStepCommand(step), "") << step;
    }
}

TEST(ConfigPacer, LoadCodesOfEveryAdapterAndLoad)
{
    // By adapter index: one code for every load, or the codes of loads 0, 1, ...
    const std::map<int, std::string> anyLoad = {{0, "INT"}, {1, "ADAP1"}, {2, "ADAP1"}, {4, "ADAP1"}, {6, "ADAP1"}};
    const std::map<int, std::vector<std::string>> byLoad = {
        {3, {"ADAP1", "ADAP2", "ADAP0"}},         {5, {"ADAP1", "ADAP2", "ADAP3", "ADAP4"}},
        {8, {"ADAP1", "ADAP2", "ADAP3", "ADAP4"}}, {7, {"ADAP1", "ADAP2"}},
        {9, {"ADAP1", "ADAP2"}},                   {10, {"ADAP1", "ADAP2"}},
    };
    // A translation for the code itself changes nothing: a text without a language ID is
    // never translated, so both records send the same code.
    ztesting::TranslatorFixture translator;
    ztesting::TranslatorFixture::Set("ADAP0", "translated");

    ztest::CConfigPacerPar par;
    ztest::CConfigPacerRef ref;
    for (int16_t adapter = -1; adapter <= 11; ++adapter) {
        for (int16_t load = -1; load <= 5; ++load) {
            std::string expected;
            if (auto any = anyLoad.find(adapter); any != anyLoad.end()) {
                expected = any->second;
            } else if (auto codes = byLoad.find(adapter); codes != byLoad.end() && load >= 0 &&
                                                          load < static_cast<int16_t>(codes->second.size())) {
                expected = codes->second[static_cast<std::size_t>(load)];
            }
            SCOPED_TRACE("adapter " + std::to_string(adapter) + ", load " + std::to_string(load));
            EXPECT_EQ(par.GetLoadCode(load, adapter), expected);
            EXPECT_EQ(ref.GetLoadCode(load, adapter), expected);
        }
    }
    EXPECT_EQ(par.GetLoadCode(2, 3), "ADAP0");
}

TEST(ConfigCommands, NumbersUseAPointInADecimalCommaLocale)
{
    ztesting::DecimalCommaLocale comma;
    ztest::CConfigArr record;
    record.SetWavetype(229);
    record.SetWidth(0.5f);
    record.SetAmplitude(2.5f);
    EXPECT_EQ(record.GetStepCommand(1), "ATRPACE=0.5,2.5\n");
}
