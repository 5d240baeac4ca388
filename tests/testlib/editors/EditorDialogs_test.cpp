// Every record's dialog hosts the record's own editor, and what the operator changes in the
// test-guide settings inside it is saved with the record.
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/ITestGuideSettings.h"
#include "platform/com/ComRuntime.h"
#include "tests/testlib/editors/EditorFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// The records by ProgID with their editors.
struct EditorCase {
    const char* recordProgId;
    const char* editorProgId;
};

const EditorCase kEditors[] = {
    {"TelvoZarvikTest.CConfigEnergy", "TelvoZarvikTest.XEnergyConfig"},
    {"TelvoZarvikTest.CConfigCharge", "TelvoZarvikTest.XChargeConfig"},
    {"TelvoZarvikTest.CConfigCardio", "TelvoZarvikTest.XCardioConfig"},
    {"TelvoZarvikTest.CConfigDefib", "TelvoZarvikTest.XDefibConfig"},
    {"TelvoZarvikTest.CConfigBatCap", "TelvoZarvikTest.XBatCapConfig"},
    {"TelvoZarvikTest.CConfigEcg", "TelvoZarvikTest.XEcgConfig"},
    {"TelvoZarvikTest.CConfigArr", "TelvoZarvikTest.XArrConfig"},
    {"TelvoZarvikTest.CConfigNSW", "TelvoZarvikTest.XNSWConfig"},
    {"TelvoZarvikTest.CConfigPerf", "TelvoZarvikTest.XPerfConfig"},
    {"TelvoZarvikTest.CConfigPacerPar", "TelvoZarvikTest.XPacerParConfig"},
    {"TelvoZarvikTest.CConfigPacerRef", "TelvoZarvikTest.XPacerRefConfig"},
};

std::string Name(const ::testing::TestParamInfo<EditorCase>& info)
{
    std::string name = info.param.editorProgId;
    return name.substr(name.find('.') + 1);
}

class EditorDialog : public ztesting::EditorFixture, public ::testing::WithParamInterface<EditorCase> {
protected:
    std::shared_ptr<ztest::CConfigBase> MakeRecord() const
    {
        auto record = std::dynamic_pointer_cast<ztest::CConfigBase>(plat::CreateObject(GetParam().recordProgId));
        EXPECT_NE(record, nullptr);
        return record;
    }

    plat::CheckBox& SettingsCheck(const std::string& name) const
    {
        auto control = Editor().SettingsExtender()->Control()->FindAs<plat::CheckBox>(name);
        if (!control) throw std::logic_error("no " + name);
        return *control;
    }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Records, EditorDialog, ::testing::ValuesIn(kEditors), Name);

TEST_P(EditorDialog, TheRecordsDialogHostsItsEditorEditingTheRecordsOwnSettings)
{
    auto record = MakeRecord();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Info().editorProgId, GetParam().editorProgId);
    {
        // The record's own dialog hosts the editor bound to the record itself, not to a copy.
        ztesting::DialogHost own;
        own.Dock(record->CreateDialog());
        auto editor = own.HostedAs<ztest::XConfigEditor>();
        ASSERT_NE(editor, nullptr);
        auto skip = editor->SettingsExtender()->Control()->FindAs<plat::CheckBox>("chkSkip");
        ASSERT_NE(skip, nullptr);
        const int32_t before = record->TestGuideConfig()->ToolbarFlags();
        driver.Click(*skip);
        EXPECT_NE(record->TestGuideConfig()->ToolbarFlags(), before);
    }
    Open(MakeRecord());
    ASSERT_NE(Editor().SettingsEditor(), nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<host::ICustomControl>(EditorPtr()), host.HostedAs<host::ICustomControl>());
    EXPECT_FALSE(Editor().Loading());
    EXPECT_EQ(Changes(), 0) << "opening the dialog is no change";
    EXPECT_TRUE(host.Hosted()->Visible());
    EXPECT_NE(Editor().HelpText(), nullptr);
    EXPECT_FALSE(Editor().HelpText()->Text().empty());
}

TEST_P(EditorDialog, SettingsEditedInTheEditorAreSavedWithTheRecordAndSurviveAReload)
{
    auto record = MakeRecord();
    ASSERT_NE(record, nullptr);
    Open(record);

    driver.Click(SettingsCheck("chkSkip"));
    driver.Click(SettingsCheck("chkShowInstructions"));
    EXPECT_EQ(Changes(), 2);
    const auto document = host::HostXmlDocument::Create();
    auto saved = record->Save(document);
    ASSERT_NE(saved, nullptr);
    auto settings = saved->SelectChild("TestGuideSettings");
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->SelectChild("ToolbarFlags")->Text(), std::to_string(host::HostTestGuideSettings::ToolbarNotApplicable));
    EXPECT_EQ(settings->SelectChild("ShowInstructions")->Text(), "False");

    auto reopened = MakeRecord();
    reopened->Load(saved, nullptr);
    EXPECT_EQ(*reopened->TestGuideConfig(), *record->TestGuideConfig());

    // Loading the record under the open editor keeps the settings object the editor edits: what
    // the operator changes next is the record's and is saved with it.
    auto edited = record->TestGuideConfig();
    record->Load(reopened->Save(document), nullptr);
    EXPECT_EQ(record->TestGuideConfig(), edited);
    driver.Click(SettingsCheck("chkNotApplicable"));
    EXPECT_EQ(record->TestGuideConfig()->ToolbarFlags(), 0);
    EXPECT_EQ(record->Save(document)->SelectChild("TestGuideSettings")->SelectChild("ToolbarFlags")->Text(), "0");
}

// A load reads the stored settings into the record's own settings object, the one an open
// editor is bound to; a stored record without settings puts that object back to the defaults.
TEST_P(EditorDialog, LoadingARecordKeepsItsSettingsObject)
{
    auto record = MakeRecord();
    ASSERT_NE(record, nullptr);
    const auto settings = record->TestGuideConfig();
    const auto document = host::HostXmlDocument::Create();

    auto stored = MakeRecord();
    stored->TestGuideConfig()->SetRemark("stored");
    stored->TestGuideConfig()->SetToolbarFlags(0);
    record->Load(stored->Save(document), nullptr);
    EXPECT_EQ(record->TestGuideConfig(), settings);
    EXPECT_EQ(*settings, *stored->TestGuideConfig());

    auto withoutSettings = stored->Save(document);
    withoutSettings->SelectChild("TestGuideSettings")->SetName("SomethingElse");
    record->Load(withoutSettings, nullptr);
    EXPECT_EQ(record->TestGuideConfig(), settings);
    EXPECT_EQ(*settings, host::HostTestGuideSettings());
}
