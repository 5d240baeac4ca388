#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/IHelpText.h"
#include "host/interfaces/ITestGuideSettings.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "platform/ui/UserControl.h"
#include "tests/support/ControlLibraries.h"
#include "tests/support/UiDriver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The host's controls placed by ProgID on a shown window, as a page of the host places them.
class HostControlsOnAWindow : public ::testing::Test {
protected:
    HostControlsOnAWindow()
    {
        window->Move(0, 0, 9000, 4000);
        window->Show();
    }
    ~HostControlsOnAWindow() override { window->Unload(); }

    std::shared_ptr<plat::ControlExtender> Place(const std::string& progId, const std::string& name)
    {
        auto extender = window->Controls().Add(progId, name);
        if (extender) extender->SetVisible(true);
        return extender;
    }
    template <class T>
    T& Find(const plat::ControlExtender& extender, const std::string& name)
    {
        auto control = extender.Control()->FindAs<T>(name);
        if (!control) throw std::logic_error("no control " + name);
        return *control;
    }

    ztesting::ControlLibraries libraries;
    std::shared_ptr<plat::Form> window = std::make_shared<plat::Form>("frmPage");
    ztesting::UiDriver driver;
};

} // namespace

TEST_F(HostControlsOnAWindow, TheSettingsEditorEditsTheBoundSettingsInPlaceAndRaisesChangeLast)
{
    auto extender = Place("telvoView.XTestGuideSettings", "xtg");
    ASSERT_NE(extender, nullptr);
    auto editor = plat::QueryInterface<host::ITestGuideSettings>(extender->Object());
    ASSERT_NE(editor, nullptr);
    std::vector<std::string> events;
    plat::ScopedConnection watch =
        extender->ObjectEvent.Connect([&](const plat::EventInfo& event) { events.push_back(event.name); });

    auto settings = std::make_shared<host::HostTestGuideSettings>();
    settings->SetToolbarFlags(host::HostTestGuideSettings::ToolbarNotApplicable);
    settings->SetRemark("Use the adapter");
    editor->BindSettings(settings);
    EXPECT_EQ(Find<plat::CheckBox>(*extender, "chkSkip").Value(), plat::vbUnchecked);
    EXPECT_EQ(Find<plat::CheckBox>(*extender, "chkNotApplicable").Value(), plat::vbChecked);
    EXPECT_EQ(Find<plat::TextBox>(*extender, "txtRemark").Text(), "Use the adapter");
    EXPECT_TRUE(events.empty()) << "showing the settings is no change";

    driver.Click(Find<plat::CheckBox>(*extender, "chkSkip"));
    EXPECT_EQ(settings->ToolbarFlags(), host::HostTestGuideSettings::ToolbarSkip | host::HostTestGuideSettings::ToolbarNotApplicable);
    driver.Click(Find<plat::CheckBox>(*extender, "chkShowInstructions"));
    EXPECT_FALSE(settings->ShowInstructions());
    driver.Type(Find<plat::TextBox>(*extender, "txtRemark"), "!");
    EXPECT_EQ(settings->Remark(), "!Use the adapter");
    EXPECT_EQ(events, std::vector<std::string>(3, "Change"));

    editor->SetSettingsLocked(true);
    EXPECT_TRUE(editor->SettingsLocked());
    EXPECT_FALSE(ztesting::UiDriver::CanOperate(Find<plat::CheckBox>(*extender, "chkSkip")));
    EXPECT_FALSE(ztesting::UiDriver::CanOperate(Find<plat::TextBox>(*extender, "txtRemark")));
    editor->SetSettingsLocked(false);
    EXPECT_TRUE(ztesting::UiDriver::CanOperate(Find<plat::CheckBox>(*extender, "chkSkip")));

    // Unbound, an operator's change goes nowhere and tells nobody.
    editor->BindSettings(nullptr);
    events.clear();
    driver.Click(Find<plat::CheckBox>(*extender, "chkNotApplicable"));
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(settings->ToolbarFlags(), host::HostTestGuideSettings::ToolbarSkip | host::HostTestGuideSettings::ToolbarNotApplicable);
}

TEST_F(HostControlsOnAWindow, TheHelpPanelStandsOnTheFootOfTheHeightItIsGiven)
{
    auto extender = Place("TelvoView.XHelpText", "xht");
    ASSERT_NE(extender, nullptr);
    auto help = plat::QueryInterface<host::IHelpText>(extender->Object());
    ASSERT_NE(help, nullptr);
    extender->Move(300, 100, 2000, 615);

    EXPECT_FLOAT_EQ(help->FitHeight(3435), 3435 - 615);
    EXPECT_FLOAT_EQ(extender->Top(), 3435 - 615);
    EXPECT_FLOAT_EQ(extender->Left(), 0);
    EXPECT_FLOAT_EQ(extender->Width(), window->ScaleWidth());
    EXPECT_FLOAT_EQ(extender->Height(), 615);
    // A height lower than the panel puts it at the top, never above.
    EXPECT_FLOAT_EQ(help->FitHeight(400), 0);
}
