#include "host/interfaces/HostCallback.h"
#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostRegistry.h"
#include "host/documents/HostTranslator.h"
#include "host/interfaces/IHelpText.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "plugin/CZARVIKSetup.h"
#include "plugin/XPluginPrefs.h"
#include "testlib/core/FDialogWrapper.h"
#include "tests/plugin/PluginTestSupport.h"
#include "tests/support/EventSpy.h"
#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

using zplugin::CZARVIKSetup;
using zplugin::XPluginPrefs;

namespace {

class PrefsPage : public ::testing::Test {
protected:
    PrefsPage()
    {
        host::HostRegistry key;
        key.CreateKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        key.SetDWordValue("CommTimeOut", 1500);
        key.SetDWordValue("RangeThreshold", 60);
        key.SetDWordValue("PacerRefractoryTimeout", 130);
        setup->Initialize();
        hostDialog->Show();
    }
    ~PrefsPage() override
    {
        if (dialog) dialog->Unload();
        hostDialog->Unload();
        host::HostTranslator::SetProcess(previousTranslator);
    }

    // Creates the dialog as the host does, docks it into the host's window and shows it.
    void OpenDialog()
    {
        dialog = setup->CreateDialog();
        ASSERT_NE(dialog, nullptr);
        dialog->Dock(hostDialog->hWnd());
        dialog->Show(0);
        dialog->SetCallBack(callback);
        spy.Watch(callback->Notified, "Notify");
        auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog);
        ASSERT_TRUE(wrapper && wrapper->Control());
        page = std::dynamic_pointer_cast<XPluginPrefs>(wrapper->Control()->Object());
        ASSERT_NE(page, nullptr);
    }

    template <class T>
    T& Find(const std::string& name, int index = -1) const
    {
        auto control = page->FindAs<T>(name, index);
        if (!control) throw std::logic_error("no control " + name);
        return *control;
    }

    static int32_t Stored(const char* name)
    {
        host::HostRegistry key;
        key.OpenKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        return key.GetDWordValue(name);
    }

    ztesting::PluginRegistry registry;
    host::HostErrorRaiser::ReportCapture reports;
    std::shared_ptr<host::HostTranslator> previousTranslator =
        host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
    std::shared_ptr<CZARVIKSetup> setup = std::make_shared<CZARVIKSetup>();
    std::shared_ptr<plat::Form> hostDialog = std::make_shared<plat::Form>("frmHostDialog");
    std::shared_ptr<host::HostCallback> callback = std::make_shared<host::HostCallback>();
    ztesting::EventSpy spy;
    ztesting::UiDriver driver;
    std::shared_ptr<host::IDialog> dialog;
    std::shared_ptr<XPluginPrefs> page;
};

} // namespace

TEST_F(PrefsPage, ShowsTheRegistryValuesInTranslatedPagesWithoutAnnouncingThem)
{
    host::HostTranslator::Process()->SetText("ZARVIK", "20075", "Kommunikation");
    host::HostTranslator::Process()->SetText("ZARVIK", "20078", "Hilfe zur Zeitgrenze");
    // Unsaved values of an earlier page are replaced by what the registry holds.
    setup->SetCommTimeOut(700);
    OpenDialog();

    EXPECT_EQ(page->Settings(), setup);
    EXPECT_EQ(Find<plat::Label>("lblComms").Caption(), "1500");
    EXPECT_EQ(Find<plat::Label>("lblPacRefTime").Caption(), "130");
    EXPECT_EQ(setup->CommTimeOut(), 1500);

    auto& tabs = Find<plat::TabStrip>("tbsTabStrip");
    ASSERT_EQ(tabs.TabCount(), 2);
    EXPECT_EQ(tabs.TabAt(1)->Caption(), "General");
    EXPECT_EQ(tabs.TabAt(2)->Caption(), "Kommunikation");
    EXPECT_EQ(Find<plat::Label>("lblTitle", 1).Caption(), "Communication settings");
    auto help = page->Controls().Extender("XHelpText1");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(plat::QueryInterface<host::IHelpText>(help->Object())->Text(), "Hilfe zur Zeitgrenze");

    // Loading the page again, with other values in the registry, updates the settings but
    // tells the host nothing: nothing was edited.
    host::HostRegistry key;
    key.OpenKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
    key.SetDWordValue("CommTimeOut", 2000);
    dialog->Initialize(plat::Variant(plat::ObjectPtr(setup)));
    EXPECT_EQ(Find<plat::Label>("lblComms").Caption(), "2000");
    EXPECT_EQ(setup->CommTimeOut(), 2000);
    EXPECT_EQ(spy.Count("Notify"), 0);
}

TEST_F(PrefsPage, EveryEditGoesIntoTheSettingsAtOnceAndIsAnnounced)
{
    OpenDialog();
    auto& tabs = Find<plat::TabStrip>("tbsTabStrip");
    auto& general = Find<plat::PictureBox>("pboPictureBoxes", 0);
    auto& comms = Find<plat::PictureBox>("pboPictureBoxes", 1);
    EXPECT_TRUE(general.Visible());
    EXPECT_FALSE(comms.Visible());

    driver.SelectTab(tabs, 2);
    EXPECT_EQ(page->PageIndex(), 1);
    EXPECT_TRUE(comms.Visible());
    EXPECT_FALSE(general.Visible());

    driver.SpinUp(Find<plat::UpDown>("updCommTimeOut"));
    EXPECT_EQ(Find<plat::Label>("lblComms").Caption(), "1600");
    EXPECT_EQ(setup->CommTimeOut(), 1600);
    ASSERT_EQ(spy.Count("Notify"), 1);
    EXPECT_EQ(spy.Last().args.at(0).AsString(), "Change");
    EXPECT_EQ(spy.Last().args.at(1).AsArray().items.size(), 0u);

    driver.SelectTab(tabs, 1);
    driver.SpinDown(Find<plat::UpDown>("updPacRefTime"));
    EXPECT_EQ(setup->PacerRefractoryTimeout(), 120);
    EXPECT_EQ(spy.Count("Notify"), 2);

    // The page never saves; the host does, through the settings.
    EXPECT_EQ(Stored("CommTimeOut"), 1500);
    setup->RegSave(0, "");
    EXPECT_EQ(Stored("CommTimeOut"), 1600);
    EXPECT_EQ(Stored("PacerRefractoryTimeout"), 120);
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(PrefsPage, TheUpDownsKeepTheirRangesAndSteps)
{
    OpenDialog();
    const struct {
        const char* upDown;
        const char* label;
        int min;
        int max;
        int step;
    } rows[] = {{"updPacRefTime", "lblPacRefTime", 10, 240, 10}, {"updCommTimeOut", "lblComms", 300, 3000, 100}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.upDown);
        auto& upDown = Find<plat::UpDown>(row.upDown);
        EXPECT_EQ(upDown.Min(), row.min);
        EXPECT_EQ(upDown.Max(), row.max);
        EXPECT_EQ(upDown.Increment(), row.step);
        EXPECT_EQ(static_cast<plat::Control*>(&Find<plat::Label>(row.label)), upDown.Buddy().get());
        EXPECT_TRUE(upDown.SyncBuddy());
    }
}

TEST_F(PrefsPage, LockingDisablesBothUpDowns)
{
    OpenDialog();
    dialog->SetLocked(true);
    EXPECT_TRUE(dialog->Locked());
    EXPECT_FALSE(Find<plat::UpDown>("updCommTimeOut").Enabled());
    EXPECT_FALSE(Find<plat::UpDown>("updPacRefTime").Enabled());
    EXPECT_THROW(driver.SpinUp(Find<plat::UpDown>("updPacRefTime")), ztesting::UiDriverError);

    dialog->SetLocked(false);
    EXPECT_FALSE(dialog->Locked());
    EXPECT_TRUE(Find<plat::UpDown>("updCommTimeOut").Enabled());
    EXPECT_TRUE(Find<plat::UpDown>("updPacRefTime").Enabled());
}

TEST_F(PrefsPage, NoDialogWithoutThePage)
{
    // A registry in which the plug-in's classes are not registered.
    ztesting::PluginRegistry bare(false);
    EXPECT_EQ(setup->CreateDialog(), nullptr);
}
