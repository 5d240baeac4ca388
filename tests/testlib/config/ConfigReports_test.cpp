// The records' report tables: column formats by page width, header, formatting and rows.
#include "tests/testlib/config/ConfigTestSupport.h"

#include "host/report/HostReport.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigBatCap.h"
#include "testlib/config/CConfigCardio.h"
#include "testlib/config/CConfigCharge.h"
#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/config/CConfigPerf.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using host::HostReport;
using ztest::CConfigBase;
using ztesting::PlugInData;

namespace {

// The one table that the record writes into a fresh report.
HostReport::Table Printed(CConfigBase& record, int32_t bodyWidth = 7360, int32_t innerWidth = 6240)
{
    auto report = std::make_shared<HostReport>();
    report->SetPageMetric(HostReport::MetricBodyWidth, bodyWidth);
    report->SetPageMetric(HostReport::MetricInnerWidth, innerWidth);
    record.PrintReport(report);
    EXPECT_EQ(report->Tables().size(), 1u);
    return report->Tables().empty() ? HostReport::Table{} : report->Tables()[0];
}

template <class Record>
std::function<std::shared_ptr<CConfigBase>()> Maker()
{
    return [] { return std::make_shared<Record>(); };
}

const std::string kWideBody = ">+560|<2240|>+1000|>+1000|>+1000|>+!1000|<+560;";
const std::string kWideInner = "<+560|<2240|>+1000|>+1000|>+1000|>+1000!|<+560;";

} // namespace

TEST(ConfigReports, ColumnFormatsFollowThePageWidthOfTheirLayout)
{
    struct Case {
        const char* record;
        std::function<std::shared_ptr<CConfigBase>()> make;
        // At a body width of 7360 and an inner width of 6240 twips, and on a page too narrow.
        std::string wide;
        std::string narrow;
    };
    const std::string narrowBody = ">+560|<2240|>+-90|>+-90|>+-90|>+!-90|<+560;";
    const std::string narrowInner = "<+560|<2240|>+-60|>+-60|>+-60|>+-60!|<+560;";
    const Case cases[] = {
        {"CConfigEnergy", Maker<ztest::CConfigEnergy>(), kWideBody, narrowBody},
        {"CConfigCharge", Maker<ztest::CConfigCharge>(), kWideBody, narrowBody},
        {"CConfigCardio", Maker<ztest::CConfigCardio>(), kWideBody, narrowBody},
        {"CConfigArr", Maker<ztest::CConfigArr>(), kWideBody, narrowBody},
        {"CConfigNSW", Maker<ztest::CConfigNSW>(), kWideBody, narrowBody},
        {"CConfigPerf", Maker<ztest::CConfigPerf>(), kWideBody, narrowBody},
        {"CConfigDefib", Maker<ztest::CConfigDefib>(), kWideInner, narrowInner},
        {"CConfigBatCap", Maker<ztest::CConfigBatCap>(), kWideInner, narrowInner},
        {"CConfigEcg", Maker<ztest::CConfigEcg>(), kWideInner, narrowInner},
        {"CConfigPacerPar", Maker<ztest::CConfigPacerPar>(), kWideInner, narrowInner},
        {"CConfigPacerRef", Maker<ztest::CConfigPacerRef>(), kWideInner, narrowInner},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        auto record = c.make();
        EXPECT_EQ(Printed(*record).columnFormat, c.wide);
        // Quarters of a twip are dropped.
        EXPECT_EQ(Printed(*record, 7363, 6243).columnFormat, c.wide);
        // (3000 - 3360) / 4 and (2000 - 2240) / 4.
        EXPECT_EQ(Printed(*record, 3000, 2000).columnFormat, c.narrow);
    }
}

TEST(ConfigReports, HeaderAndFormattingAreTheFamilys)
{
    ztesting::TranslatorFixture translator;
    ztest::CConfigBatCap record;
    HostReport::Table table = Printed(record);
    EXPECT_EQ(table.header, "|{\\i\\b Konfiguration}|{\\i\\b Value}|{\\i\\b Unit};");
    EXPECT_EQ(table.fontSize, 7);
    EXPECT_EQ(table.indent, 0);
    EXPECT_EQ(table.border, 1);
    EXPECT_EQ(table.options, (std::array<int32_t, 3>{0, 0, 0}));

    record.PrintReport(nullptr);
}

TEST(ConfigReports, RowsShowTheConfiguredValues)
{
    ztesting::TranslatorFixture translator;
    struct Case {
        const char* what;
        std::function<std::shared_ptr<CConfigBase>()> make;
        std::string rows;
    };
    auto loaded = [](auto make, ztesting::Children children) {
        return [make, children] {
            auto record = make();
            record->Load(PlugInData(children), nullptr);
            return record;
        };
    };
    const Case cases[] = {
        // The wave is named after the configured index, although no wave code was asked for.
        {"a new energy record", Maker<ztest::CConfigEnergy>(),
         "|      Preset Energy|100|J;|      ECG Waveform|Ventricular fibrillation 2,fine|Keine;"},
        {"an energy record loaded with another wave's name",
         loaded(Maker<ztest::CConfigEnergy>(), {{"WaveFormIndex", "4"}, {"Wavetype", "Ventricular fibrillation 1,coarse"}, {"PresetEnergy", "99.6"}}),
         "|      Preset Energy|100|J;|      ECG Waveform|Kammertachykardie 180/min|Keine;"},
        {"a charge record outside its wave table", loaded(Maker<ztest::CConfigCharge>(), {{"WaveFormIndex", "-1"}, {"Wavetype", "as stored"}}),
         "|      Preset Energy|100|J;|      ECG Waveform|as stored|Keine;"},
        // A stored name holding the table's separators stays in its cell.
        {"a stored wave name with separators", loaded(Maker<ztest::CConfigCharge>(), {{"WaveFormIndex", "-1"}, {"Wavetype", "VF|coarse; 2"}}),
         "|      Preset Energy|100|J;|      ECG Waveform|VF coarse  2|Keine;"},
        {"a cardioversion record", Maker<ztest::CConfigCardio>(),
         "|      Preset Energy|100|J;|      ECG Waveform|Sinusrhythmus 80/min|Keine;"},
        {"a pulse-repetition record", Maker<ztest::CConfigDefib>(), "|      Preset Energy|100.0|J;|      Battery operated|Nein|;"},
        {"a battery-operated pulse-repetition record", loaded(Maker<ztest::CConfigDefib>(), {{"BatteryOperated", "True"}}),
         "|      Preset Energy|100.0|J;|      Battery operated|Ja|;"},
        {"a battery-capacity record", Maker<ztest::CConfigBatCap>(), "|      Preset Energy|100.0|J;"},
        {"a new ECG record", Maker<ztest::CConfigEcg>(),
         "|      Breite|160|ms;|      Amplitude (de)|0.50|mV;|      Duration|7|s;|      Auto increment|Keine|;"},
        {"an ECG record stepping the width", loaded(Maker<ztest::CConfigEcg>(), {{"AutoIncrement", "1"}}),
         "|      Breite|160|ms;|      Amplitude (de)|0.50|mV;|      Duration|7|s;|      Auto increment|Breite|;"},
        {"an ECG record stepping the amplitude", loaded(Maker<ztest::CConfigEcg>(), {{"AutoIncrement", "2"}}),
         "|      Breite|160|ms;|      Amplitude (de)|0.50|mV;|      Duration|7|s;|      Auto increment|Amplitude (de)|;"},
        {"an ECG record with an unknown step", loaded(Maker<ztest::CConfigEcg>(), {{"AutoIncrement", "3"}}),
         "|      Breite|160|ms;|      Amplitude (de)|0.50|mV;|      Duration|7|s;|      Auto increment|Keine|;"},
        {"a new arrhythmia record", Maker<ztest::CConfigArr>(),
         "|      Duration|7|s;|      ECG Waveform|Vorhofflimmern 1, grob|Keine;"},
        // The atrial pacer rows follow the wave ID, not the stored name.
        {"an arrhythmia record of a pacing wave", loaded(Maker<ztest::CConfigArr>(), {{"Wavetype", "230"}, {"Wavename", "stale"}}),
         "|      Duration|7|s;|      ECG Waveform|Keine Erfassung, transven\xC3\xB6s|Keine;|      Breite|0.1|ms;|      Amplitude (de)|100|mV;"},
        {"an arrhythmia record named after a pacing wave",
         loaded(Maker<ztest::CConfigArr>(), {{"Wavetype", "203"}, {"Wavename", "Keine Erfassung, transven\xC3\xB6s"}}),
         "|      Duration|7|s;|      ECG Waveform|Sinus arrhythmia|Keine;"},
        {"an arrhythmia record outside its table", loaded(Maker<ztest::CConfigArr>(), {{"Wavetype", "300"}, {"Wavename", "as stored"}}),
         "|      Duration|7|s;|      ECG Waveform|as stored|Keine;"},
        {"a normal sinus wave record", loaded(Maker<ztest::CConfigNSW>(), {{"Duration", "0"}, {"Wavetype", "108"}, {"Wavename", "as stored"}}),
         "|      Duration|0|s;|      ECG Waveform|as stored|Keine;"},
        // The lead follows the configured lead, not the last command sent.
        {"a performance record just loaded", loaded(Maker<ztest::CConfigPerf>(), {{"Wavetype", "316"}}),
         "|      Duration|7|s;|      ECG Waveform|2-Hz triangle wave|Keine;|      Lead Source|I|Keine;"},
        {"a performance record on lead II", loaded(Maker<ztest::CConfigPerf>(), {{"Lead", "2"}}),
         "|      Duration|7|s;|      ECG Waveform|Zero output|Keine;|      Lead Source|II|Keine;"},
        {"a performance record on an unknown lead", loaded(Maker<ztest::CConfigPerf>(), {{"Lead", "5"}}),
         "|      Duration|7|s;|      ECG Waveform|Zero output|Keine;|      Lead Source||Keine;"},
        {"a new pacer-parameter record", Maker<ztest::CConfigPacerPar>(),
         "|      Pacemaker Adapter|Fixed internal 50 Ohms|Keine;|      Pacemaker Load|50 Ohms| Ohms;"
         "|      Pacemaker Rate|60.0|PPM;|      Pacemaker Amplitude|50.0|mA;"},
        {"a pacer-refractory record with numeric texts",
         loaded(Maker<ztest::CConfigPacerRef>(), {{"Adapter", "2.6"}, {"Load", "100"}, {"Rate", "0.5"}, {"Amplitude", "123.45"}}),
         "|      Pacemaker Adapter|3|Keine;|      Pacemaker Load|100| Ohms;"
         "|      Pacemaker Rate|.5|PPM;|      Pacemaker Amplitude|123.5|mA;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto record = c.make();
        EXPECT_EQ(Printed(*record).rows, c.rows);
    }
}
