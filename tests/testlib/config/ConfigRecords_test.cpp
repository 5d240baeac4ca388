// One suite over every configuration record: defaults, round trips and child orders of the
// stored element, refused elements, unreadable values, copies and registration.
#include "tests/testlib/config/ConfigTestSupport.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "testlib/core/FDialogWrapper.h"
#include "tests/platform/ui/fixture/IFixtureControl.h"
#include "tests/platform/ui/fixture/UiFixtureRegistry.h"
#include "testlib/config/CConfigBase.h"
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
#include "testlib/config/CConfigArr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

using host::HostXmlDocument;
using ztest::CConfigBase;
using ztesting::Child;
using ztesting::Children;
using ztesting::PlugInData;

namespace {

const std::string kSettings = "TestGuideSettings";

std::string DefaultSettingsXml()
{
    return host::HostTestGuideSettings().Save(HostXmlDocument::Create())->Xml();
}

// Settings that differ from the defaults in every value.
const std::string kOtherSettingsXml =
    "<TestGuideSettings><ToolbarFlags>1</ToolbarFlags><ShowInstructions>False</ShowInstructions>"
    "<Remark>mind the paddles</Remark></TestGuideSettings>";

struct RecordCase {
    std::string className;
    std::function<std::shared_ptr<CConfigBase>()> make;
    std::string errorSource;
    std::string editorProgId;
    // The children a new record saves, in their order; the settings stand where the child
    // named "TestGuideSettings" stands.
    Children defaults;
    // Another value for every child, in save order, as a stored document holds them (the
    // settings included); loading them and saving again gives them back.
    Children others;
    // The numeric children, in the order in which Load reads them (and the settings among them).
    std::vector<std::string> numericLoadOrder;
    // What a copy of a record holding `others` derives again instead of copying.
    Children cloneDerived;
    // The numeric children of `others` at the edges of their types, as the record saves them.
    Children edges = {};
};

// Test names and failure messages show the record's class, not the bytes of the case.
void PrintTo(const RecordCase& record, std::ostream* out)
{
    *out << record.className;
}

template <class Record>
std::function<std::shared_ptr<CConfigBase>()> Maker()
{
    return [] { return std::make_shared<Record>(); };
}

// Replaces the texts of the named children.
Children Replaced(Children children, const Children& replacements)
{
    for (const auto& [name, text] : replacements) {
        for (auto& child : children) {
            if (child.first == name) child.second = text;
        }
    }
    return children;
}

std::vector<RecordCase> Records()
{
    const Child settings = {kSettings, ""};
    const Child otherSettings = {kSettings, kOtherSettingsXml};
    const Child version = {"Version", "1.0.2"};
    const Children energyDefaults = {{"AmplitudeIndex", "0"}, {"PresetEnergy", "100"}, {"Wavetype", ""}, {"WaveFormIndex", "1"}, settings};
    const Children energyOthers = {{"AmplitudeIndex", "3"},
                                   {"PresetEnergy", "150.5"},
                                   {"Wavetype", "Ventricular fibrillation 1,coarse"},
                                   {"WaveFormIndex", "4"},
                                   otherSettings};
    const std::vector<std::string> energyLoadOrder = {"PresetEnergy", "AmplitudeIndex", "WaveFormIndex", kSettings};
    // The largest Single as the host stores it and as the language writes it (seven digits).
    const std::string largest = "3.4028235E+38";
    const std::string largestPlain = "3.402823E+38";
    const Children energyEdges = Replaced(energyOthers, {{"AmplitudeIndex", "-" + largestPlain},
                                                         {"PresetEnergy", largest},
                                                         {"WaveFormIndex", "-2147483648"}});
    const Children pacerOthers = {{"Load", "100 Ohms"}, {"Adapter", "Adapter 3"}, {"LoadIndex", "2"}, {"AdapterIndex", "3"},
                                  {"Rate", "72.5"}, {"Amplitude", "12.5"}, otherSettings};
    const Children pacerEdges = Replaced(pacerOthers, {{"LoadIndex", "32767"}, {"AdapterIndex", "-32768"},
                                                       {"Rate", "-" + largestPlain}, {"Amplitude", "1E-45"}});
    return {
        {"CConfigEnergy", Maker<ztest::CConfigEnergy>(), "ZARVIKTests.CConfigEnergy", "TelvoZarvikTest.XEnergyConfig",
         energyDefaults, energyOthers, energyLoadOrder, {{"Wavetype", "Kammertachykardie 180/min"}}, energyEdges},
        {"CConfigCharge", Maker<ztest::CConfigCharge>(), "TelvoZarvikTest.CConfigCharge", "TelvoZarvikTest.XChargeConfig",
         energyDefaults, energyOthers, energyLoadOrder, {{"Wavetype", "Kammertachykardie 180/min"}}, energyEdges},
        {"CConfigCardio", Maker<ztest::CConfigCardio>(), "TelvoZarvikTest.CConfigCardio", "TelvoZarvikTest.XCardioConfig",
         {{"PresetEnergy", "100"}, {"Wavetype", ""}, {"WaveFormIndex", "1"}, settings},
         {{"PresetEnergy", "360"}, {"Wavetype", "Atrial Fibrillation 2,Fine"}, {"WaveFormIndex", "3"}, otherSettings},
         {"PresetEnergy", "WaveFormIndex", kSettings},
         {{"Wavetype", "Vorhofflimmern 1, grob"}},
         {{"PresetEnergy", "-" + largest}, {"Wavetype", "Atrial Fibrillation 2,Fine"}, {"WaveFormIndex", "2147483647"},
          otherSettings}},
        {"CConfigDefib", Maker<ztest::CConfigDefib>(), "TelvoZarvikTest.CConfigDefib", "TelvoZarvikTest.XDefibConfig",
         {{"PresetEnergy", "100"}, {"BatteryOperated", "False"}, settings},
         {{"PresetEnergy", "0.25"}, {"BatteryOperated", "True"}, otherSettings},
         {"PresetEnergy", kSettings},
         {},
         {{"PresetEnergy", largest}, {"BatteryOperated", "True"}, otherSettings}},
        {"CConfigBatCap", Maker<ztest::CConfigBatCap>(), "TelvoZarvikTest.CConfigBatCap", "TelvoZarvikTest.XBatCapConfig",
         {{"PresetEnergy", "100"}, settings},
         {{"PresetEnergy", "-7"}, otherSettings},
         {"PresetEnergy", kSettings},
         {},
         {{"PresetEnergy", "-" + largest}, otherSettings}},
        {"CConfigEcg", Maker<ztest::CConfigEcg>(), "TelvoZarvikTest.CConfigEcg", "TelvoZarvikTest.XEcgConfig",
         {version, {"Duration", "7"}, {"Amplitude", "0.5"}, {"Width", "160"}, {"WidthIndex", "9"}, {"AmplitudeIndex", "9"},
          {"AutoIncrement", "0"}, settings},
         {version, {"Duration", "30"}, {"Amplitude", "1.25"}, {"Width", "40"}, {"WidthIndex", "3"}, {"AmplitudeIndex", "12"},
          {"AutoIncrement", "2"}, otherSettings},
         {"Duration", "Amplitude", "Width", "WidthIndex", "AmplitudeIndex", "AutoIncrement", kSettings},
         {},
         {version, {"Duration", "-2147483648"}, {"Amplitude", largest}, {"Width", "-" + largest}, {"WidthIndex", "1E-45"},
          {"AmplitudeIndex", largest}, {"AutoIncrement", "-32768"}, otherSettings}},
        {"CConfigArr", Maker<ztest::CConfigArr>(), "TelvoZarvikTest.CConfigArr", "TelvoZarvikTest.XArrConfig",
         {version, {"Duration", "7"}, {"Wavename", ""}, {"Wavetype", "200"}, settings, {"Width", "0.1"}, {"Amplitude", "100"}},
         {version, {"Duration", "0"}, {"Wavename", "Sinus arrhythmia"}, {"Wavetype", "230"}, otherSettings, {"Width", "2.5"},
          {"Amplitude", "3.75"}},
         {"Duration", "Wavetype", kSettings, "Width", "Amplitude"},
         {{"Wavename", "Keine Erfassung, transven\xC3\xB6s"}},
         {version, {"Duration", "2147483647"}, {"Wavename", "Sinus arrhythmia"}, {"Wavetype", "-2147483648"}, otherSettings,
          {"Width", largest}, {"Amplitude", "-" + largestPlain}}},
        {"CConfigNSW", Maker<ztest::CConfigNSW>(), "TelvoZarvikTest.CConfigNSW", "TelvoZarvikTest.XNSWConfig",
         {version, {"Duration", "7"}, {"Wavetype", "100"}, {"Wavename", ""}, settings},
         {version, {"Duration", "60"}, {"Wavetype", "102"}, {"Wavename", "Normal sinus rhythm at 300 bpm"}, otherSettings},
         {"Duration", "Wavetype", kSettings},
         {{"Wavename", "Sinusrhythmus 80/min"}},
         {version, {"Duration", "-2147483648"}, {"Wavetype", "2147483647"}, {"Wavename", "Normal sinus rhythm at 300 bpm"},
          otherSettings}},
        {"CConfigPerf", Maker<ztest::CConfigPerf>(), "TelvoZarvikTest.CConfigPerf", "TelvoZarvikTest.XPerfConfig",
         {version, {"Duration", "7"}, {"Wavetype", "300"}, {"Wavename", ""}, {"Lead", "1"}, settings},
         {version, {"Duration", "12"}, {"Wavetype", "316"}, {"Wavename", "Zero output"}, {"Lead", "2"}, otherSettings},
         {"Duration", "Wavetype", "Lead", kSettings},
         {{"Wavename", "2-Hz triangle wave"}},
         {version, {"Duration", "2147483647"}, {"Wavetype", "-2147483648"}, {"Wavename", "Zero output"}, {"Lead", "-32768"},
          otherSettings}},
        {"CConfigPacerPar", Maker<ztest::CConfigPacerPar>(), "TelvoZarvikTest.CConfigPacerPar", "TelvoZarvikTest.XPacerParConfig",
         {{"Load", "50 Ohms"}, {"Adapter", "Fixed internal 50 Ohms"}, {"LoadIndex", "0"}, {"AdapterIndex", "0"},
          {"Rate", "60"}, {"Amplitude", "50"}, settings},
         pacerOthers,
         {"LoadIndex", "AdapterIndex", "Rate", "Amplitude", kSettings},
         {},
         pacerEdges},
        {"CConfigPacerRef", Maker<ztest::CConfigPacerRef>(), "TelvoZarvikTest.CConfigPacerRef", "TelvoZarvikTest.XPacerRefConfig",
         {{"Load", "50 Ohms"}, {"Adapter", "Fixed internal 50 Ohms"}, {"LoadIndex", "0"}, {"AdapterIndex", "0"},
          {"Rate", "60"}, {"Amplitude", "50"}, settings},
         pacerOthers,
         {"LoadIndex", "AdapterIndex", "Rate", "Amplitude", kSettings},
         {},
         pacerEdges},
    };
}

// The children with the settings element given as the text of the settings child.
Children WithSettings(Children children, const std::string& settingsXml)
{
    for (auto& child : children) {
        if (child.first == kSettings) child.second = settingsXml;
    }
    return children;
}

Children Saved(CConfigBase& record)
{
    auto element = record.Save(HostXmlDocument::Create());
    if (!element) return {{"no element", ""}};
    EXPECT_EQ(element->Name(), "PlugInData");
    EXPECT_EQ(element->GetAttribute("PlugIn"), "ZARVIK");
    return ztesting::ChildrenOf(*element);
}

class ConfigRecord : public ::testing::TestWithParam<RecordCase> {
protected:
    std::shared_ptr<CConfigBase> LoadedWithOthers()
    {
        auto record = GetParam().make();
        record->Load(PlugInData(GetParam().others), nullptr);
        return record;
    }

    ztesting::TranslatorFixture translator;
};

} // namespace

TEST_P(ConfigRecord, NewRecordSavesItsDefaultsInOrderWithTheSettingsLast)
{
    auto record = GetParam().make();
    EXPECT_TRUE(record->HasDialog());
    EXPECT_EQ(Saved(*record), WithSettings(GetParam().defaults, DefaultSettingsXml()));
}

// Mid-range values and values at the edges of their types (the largest Single either way, the
// smallest Single above zero, the ends of the whole-number types) read back as they were saved.
TEST_P(ConfigRecord, StoredValuesReadBackExactly)
{
    for (const Children& stored : {GetParam().others, GetParam().edges}) {
        SCOPED_TRACE(stored == GetParam().others ? "mid-range values" : "values at the edges of their types");
        auto record = GetParam().make();
        auto log = std::make_shared<host::HostLoadLog>();
        record->Load(PlugInData(stored), log);
        EXPECT_TRUE(log->Entries().empty()) << log->ToText();
        EXPECT_EQ(Saved(*record), stored);

        // Through the document's text and back into a new record.
        auto document = HostXmlDocument::Create();
        document->AppendChild(record->Save(document));
        auto reread = HostXmlDocument::Create();
        reread->LoadXml(document->Xml());
        auto again = GetParam().make();
        again->Load(reread->DocumentElement(), log);
        EXPECT_TRUE(log->Entries().empty()) << log->ToText();
        EXPECT_EQ(Saved(*again), stored);
    }
}

TEST_P(ConfigRecord, MissingChildrenKeepTheirValuesAndTheSettingsStartAfresh)
{
    auto record = LoadedWithOthers();
    record->Load(PlugInData({}), nullptr);
    EXPECT_EQ(Saved(*record), WithSettings(GetParam().others, DefaultSettingsXml()));
}

TEST_P(ConfigRecord, AnotherElementIsRefusedAndChangesNothing)
{
    struct Refused {
        const char* what;
        std::string name;
        const char* plugIn;
    };
    const Refused refused[] = {
        {"another name", "PlugInDat", "ZARVIK"},
        {"the name in another case", "pluginData", "ZARVIK"},
        {"another module", "PlugInData", "OTHER"},
        {"the module in lower case", "PlugInData", "zarvik"},
        {"no module", "PlugInData", nullptr},
    };
    auto record = LoadedWithOthers();
    auto settings = record->TestGuideConfig();
    for (const Refused& element : refused) {
        SCOPED_TRACE(element.what);
        try {
            record->Load(PlugInData(WithSettings(GetParam().defaults, DefaultSettingsXml()), element.name, element.plugIn), nullptr);
            ADD_FAILURE() << "the element was loaded";
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Number(), plat::Hr(0x8004A3C2u));
            EXPECT_EQ(error.Source(), GetParam().errorSource);
        }
        EXPECT_EQ(Saved(*record), GetParam().others);
        EXPECT_EQ(record->TestGuideConfig(), settings);
    }
    EXPECT_THROW(record->Load(nullptr, nullptr), plat::ComError);
    EXPECT_EQ(Saved(*record), GetParam().others);
}

TEST_P(ConfigRecord, UnreadableNumbersAreLoggedInLoadOrderAndKeepTheirValues)
{
    auto record = LoadedWithOthers();
    // Every numeric child overflows, the settings' flags too; the texts load as given.
    Children stored;
    for (const auto& [name, text] : GetParam().others) {
        const bool numeric = std::count(GetParam().numericLoadOrder.begin(), GetParam().numericLoadOrder.end(), name) > 0;
        if (name == kSettings) {
            stored.emplace_back(name, "<TestGuideSettings><ToolbarFlags>1e999</ToolbarFlags><Remark>read</Remark></TestGuideSettings>");
        } else {
            stored.emplace_back(name, numeric ? "1e999" : text);
        }
    }
    auto log = std::make_shared<host::HostLoadLog>();
    record->Load(PlugInData(stored), log);

    std::vector<std::string> logged;
    for (const auto& entry : log->Entries()) {
        EXPECT_EQ(entry.code, plat::rt::Overflow) << entry.text;
        std::string name = kSettings;
        for (const auto& candidate : GetParam().numericLoadOrder) {
            if (entry.text.find("\"" + candidate + "\"") != std::string::npos) name = candidate;
        }
        logged.push_back(name);
    }
    EXPECT_EQ(logged, GetParam().numericLoadOrder);

    // The settings were read (their remark) although their flags were not.
    EXPECT_EQ(record->TestGuideConfig()->Remark(), "read");
    EXPECT_EQ(Saved(*record),
              WithSettings(GetParam().others, "<TestGuideSettings><ToolbarFlags>3</ToolbarFlags>"
                                              "<ShowInstructions>True</ShowInstructions><Remark>read</Remark></TestGuideSettings>"));
}

TEST_P(ConfigRecord, CloneCopiesEveryValueAndLeavesTheSourceAlone)
{
    auto record = LoadedWithOthers();
    auto clone = std::dynamic_pointer_cast<CConfigBase>(record->Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(typeid(*clone), typeid(*record));

    EXPECT_EQ(Saved(*record), GetParam().others);
    EXPECT_EQ(Saved(*clone), Replaced(GetParam().others, GetParam().cloneDerived));

    // The settings are the clone's own.
    ASSERT_NE(clone->TestGuideConfig(), record->TestGuideConfig());
    clone->TestGuideConfig()->SetRemark("changed");
    EXPECT_EQ(record->TestGuideConfig()->Remark(), "mind the paddles");
}

TEST_P(ConfigRecord, FailuresCarryTheRecordsErrorSource)
{
    host::HostErrorRaiser::ReportCapture capture;
    auto record = GetParam().make();
    EXPECT_EQ(record->Save(nullptr), nullptr);
    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].reportedBy, GetParam().errorSource);
    EXPECT_EQ(record->Info().errorSource, GetParam().errorSource);
    EXPECT_EQ(record->Info().editorProgId, GetParam().editorProgId);
}

TEST_P(ConfigRecord, DialogHostsTheRecordsEditorOnTheRecordItself)
{
    ztesting::UiFixtureRegistry registry;
    auto record = GetParam().make();

    // Without its editor the dialog hosts nothing and every operation does nothing.
    auto bare = std::dynamic_pointer_cast<ztest::FDialogWrapper>(record->CreateDialog());
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->Control(), nullptr);
    bare->SetLocked(true);
    EXPECT_FALSE(bare->Locked());
    bare->Unload();

    // An editor registered under the record's editor ProgID is given the record, not a copy.
    plat::Registry().SetString("HKEY_CLASSES_ROOT\\" + GetParam().editorProgId + "\\CLSID", "", kFixtureControlClsid);
    auto dialog = std::dynamic_pointer_cast<ztest::FDialogWrapper>(record->CreateDialog());
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->Control(), nullptr);
    auto editor = plat::QueryInterface<IFixtureControl>(dialog->Control()->Object());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Journal().initializeCount, 1);
    EXPECT_EQ(editor->Journal().lastData.AsObject(), plat::ObjectPtr(record));
    dialog->Unload();
}

INSTANTIATE_TEST_SUITE_P(Records, ConfigRecord, ::testing::ValuesIn(Records()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return info.param.className; });
