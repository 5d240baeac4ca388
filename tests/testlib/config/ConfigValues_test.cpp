// How stored texts read into the records' fields: the leading-number rule, rounding, Booleans,
// unreadable values and documents written where the decimal point is a comma.
#include "tests/testlib/config/ConfigTestSupport.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "platform/base/ComError.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/config/CConfigPerf.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using ztest::CConfigBase;
using ztesting::Children;
using ztesting::PlugInData;

namespace {

// The text a record writes for one child.
std::string SavedText(CConfigBase& record, const std::string& name)
{
    auto element = record.Save(host::HostXmlDocument::Create());
    auto child = element ? element->SelectChild(name) : nullptr;
    return child ? child->Text() : "<missing>";
}

template <class Record>
std::function<std::shared_ptr<CConfigBase>()> Maker()
{
    return [] { return std::make_shared<Record>(); };
}

} // namespace

TEST(ConfigValues, StoredTextsReadIntoTheirFields)
{
    struct Case {
        const char* what;
        std::function<std::shared_ptr<CConfigBase>()> make;
        std::string child;
        std::string stored;
        // What the record writes for the child afterwards.
        std::string saved;
        // Whether the load log gets an entry (the field then keeps its value).
        bool logged = false;
    };
    const Case cases[] = {
        {"a unit after the number", Maker<ztest::CConfigEnergy>(), "PresetEnergy", "200J", "200"},
        {"no number", Maker<ztest::CConfigEnergy>(), "PresetEnergy", "abc", "0"},
        {"blanks around", Maker<ztest::CConfigEnergy>(), "PresetEnergy", " \t150\n", "150"},
        {"a Long rounds half to even", Maker<ztest::CConfigEnergy>(), "WaveFormIndex", "2.5", "2"},
        {"a Long rounds half to even", Maker<ztest::CConfigEnergy>(), "WaveFormIndex", "3.5", "4"},
        {"an Integer rounds half to even", Maker<ztest::CConfigPacerPar>(), "LoadIndex", "2.5", "2"},
        {"an Integer rounds half to even", Maker<ztest::CConfigPacerRef>(), "LoadIndex", "3.5", "4"},
        {"an index overflowing 16 bits", Maker<ztest::CConfigPacerRef>(), "AdapterIndex", "40000", "0", true},
        {"a duration overflowing 32 bits", Maker<ztest::CConfigEcg>(), "Duration", "3000000000", "7", true},
        {"a Single index is not rounded", Maker<ztest::CConfigEcg>(), "WidthIndex", "2.5", "2.5"},
        {"a Single beyond its range", Maker<ztest::CConfigEcg>(), "Width", "1e39", "160", true},
        {"a number beyond any range", Maker<ztest::CConfigEnergy>(), "PresetEnergy", "1e400", "100", true},
        {"an exact True", Maker<ztest::CConfigDefib>(), "BatteryOperated", "True", "True"},
        {"true in lower case", Maker<ztest::CConfigDefib>(), "BatteryOperated", "true", "False"},
        {"TRUE in upper case", Maker<ztest::CConfigDefib>(), "BatteryOperated", "TRUE", "False"},
        {"True with a blank", Maker<ztest::CConfigDefib>(), "BatteryOperated", " True", "False"},
        {"a numeric True", Maker<ztest::CConfigDefib>(), "BatteryOperated", "-1", "False"},
        {"a lead", Maker<ztest::CConfigPerf>(), "Lead", "2", "2"},
        {"a lead with blanks", Maker<ztest::CConfigPerf>(), "Lead", " 2 ", "2"},
        {"a lead that is no number", Maker<ztest::CConfigPerf>(), "Lead", "II", "1", true},
        {"a lead with a unit", Maker<ztest::CConfigPerf>(), "Lead", "2x", "1", true},
        {"a lead beyond 16 bits", Maker<ztest::CConfigPerf>(), "Lead", "70000", "1", true},
        // Written where the decimal point is a comma.
        {"a comma width", Maker<ztest::CConfigArr>(), "Width", "0,5", "0.5"},
        {"a comma amplitude", Maker<ztest::CConfigArr>(), "Amplitude", "2,5", "2.5"},
        {"a comma ECG width", Maker<ztest::CConfigEcg>(), "Width", "160,5", "160.5"},
        {"a comma ECG amplitude", Maker<ztest::CConfigEcg>(), "Amplitude", "0,75", "0.75"},
        {"a comma rate", Maker<ztest::CConfigPacerPar>(), "Rate", "72,5", "72.5"},
        {"a comma pacer amplitude", Maker<ztest::CConfigPacerRef>(), "Amplitude", "12,5", "12.5"},
        {"a point and a comma", Maker<ztest::CConfigPacerRef>(), "Rate", "1,000.5", "1"},
        {"two commas", Maker<ztest::CConfigArr>(), "Amplitude", "1,2,3", "1"},
        {"a comma where none is taken", Maker<ztest::CConfigEnergy>(), "PresetEnergy", "150,5", "150"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.child + " \"" + c.stored + "\": " + c.what);
        auto record = c.make();
        auto log = std::make_shared<host::HostLoadLog>();
        record->Load(PlugInData({{c.child, c.stored}}), log);
        EXPECT_EQ(SavedText(*record, c.child), c.saved);
        ASSERT_EQ(log->Entries().size(), c.logged ? 1u : 0u) << log->ToText();
        if (c.logged) {
            EXPECT_NE(log->Entries()[0].text.find(record->Info().errorSource), std::string::npos);
            EXPECT_NE(log->Entries()[0].text.find(c.stored), std::string::npos);
        }
    }
}

TEST(ConfigValues, AnUnreadableValueStopsNothingElse)
{
    auto record = std::make_shared<ztest::CConfigPerf>();
    record->Load(PlugInData({{"Duration", "20"},
                             {"Wavetype", "305"},
                             {"Lead", "lead two"},
                             {"TestGuideSettings", "<TestGuideSettings><Remark>after the lead</Remark></TestGuideSettings>"}}),
                 nullptr);
    EXPECT_EQ(record->GetDuration(), 20);
    EXPECT_EQ(record->GetWavetype(), 305);
    EXPECT_EQ(record->GetLead(), 1);
    EXPECT_EQ(record->TestGuideConfig()->Remark(), "after the lead");
}

TEST(ConfigValues, DocumentsOfADecimalCommaMachineKeepTheirValues)
{
    // Whatever the locale of the machine that reads them.
    ztesting::DecimalCommaLocale comma;

    ztest::CConfigArr arr;
    arr.Load(PlugInData({{"Duration", "15"}, {"Wavetype", "229"}, {"Width", "1,5"}, {"Amplitude", "0,25"}}), nullptr);
    EXPECT_FLOAT_EQ(arr.GetWidth(), 1.5f);
    EXPECT_FLOAT_EQ(arr.GetAmplitude(), 0.25f);
    EXPECT_EQ(arr.GetAtrialPaceCommand(), "ATRPACE=1.5,0.25\n");

    ztest::CConfigPacerPar pacer;
    pacer.Load(PlugInData({{"Rate", "72,5"}, {"Amplitude", "7,5"}}), nullptr);
    EXPECT_FLOAT_EQ(pacer.GetRate(), 72.5f);
    EXPECT_FLOAT_EQ(pacer.GetAmplitude(), 7.5f);

    ztest::CConfigEcg ecg;
    ecg.Load(PlugInData({{"Amplitude", "0,75"}, {"Width", "12"}}), nullptr);
    EXPECT_FLOAT_EQ(ecg.GetAmplitude(), 0.75f);

    // Written back with a point.
    EXPECT_EQ(SavedText(arr, "Width"), "1.5");
    EXPECT_EQ(SavedText(arr, "Amplitude"), "0.25");
    EXPECT_EQ(SavedText(pacer, "Rate"), "72.5");
    EXPECT_EQ(SavedText(ecg, "Amplitude"), "0.75");
}
