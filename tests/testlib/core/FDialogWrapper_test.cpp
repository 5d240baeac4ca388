#include "host/interfaces/HostCallback.h"
#include "platform/ui/Form.h"
#include "platform/ui/Window.h"
#include "testlib/core/FDialogWrapper.h"
#include "tests/platform/ui/fixture/IFixtureControl.h"
#include "tests/platform/ui/fixture/UiFixtureRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using plat::Variant;
using ztest::FDialogWrapper;

namespace {

class DialogWrapper : public ::testing::Test {
protected:
    DialogWrapper()
    {
        wrapper->Load();
        hostDialog->Show();
    }
    ~DialogWrapper() override
    {
        wrapper->Unload();
        hostDialog->Unload();
    }

    std::shared_ptr<IFixtureControl> Fixture() const
    {
        return wrapper->Control() ? plat::QueryInterface<IFixtureControl>(wrapper->Control()->Object()) : nullptr;
    }
    plat::HWnd ControlWindow() const { return wrapper->Control()->hWnd(); }

    // Every operation of a wrapper without a usable control: nothing happens, nothing raises,
    // the getters are empty.
    void ExpectInert()
    {
        auto callback = std::make_shared<host::HostCallback>();
        wrapper->SetCallBack(callback);
        wrapper->SetLocked(true);
        wrapper->Initialize(Variant(42));
        wrapper->Dock(hostDialog->hWnd());
        wrapper->Show(0);
        wrapper->Move(1, 2, 3, 4);
        wrapper->Refresh();
        wrapper->SetFocus();
        wrapper->Hide();
        wrapper->UnDock();
        EXPECT_EQ(wrapper->CallBack(), nullptr);
        EXPECT_FALSE(wrapper->Locked());
        EXPECT_FALSE(wrapper->IsDocked());
    }

    ztesting::UiFixtureRegistry registry;
    std::shared_ptr<FDialogWrapper> wrapper = std::make_shared<FDialogWrapper>();
    std::shared_ptr<plat::Form> hostDialog = std::make_shared<plat::Form>("frmHostDialog");
};

} // namespace

TEST_F(DialogWrapper, HostsOneControlByProgIdUnderTheNameIsc)
{
    EXPECT_EQ(wrapper->CreateSetupCtrl(""), nullptr);
    EXPECT_EQ(wrapper->CreateSetupCtrl("Nobody.XUnknown"), nullptr);
    EXPECT_FALSE(wrapper->Controls().Contains("isc"));

    auto control = wrapper->CreateSetupCtrl(kFixtureControlProgId);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->Name(), "isc");
    EXPECT_NE(wrapper->CustomControl(), nullptr);
    const int count = wrapper->Controls().Count();

    // A second control is never added: the first stays, and nothing raises.
    EXPECT_EQ(wrapper->CreateSetupCtrl(kFixtureBareProgId), control);
    EXPECT_EQ(wrapper->CreateSetupCtrl(""), control);
    EXPECT_EQ(wrapper->Controls().Count(), count);
    EXPECT_EQ(wrapper->Control(), control);

    auto data = std::make_shared<host::HostCallback>();
    wrapper->Initialize(Variant(data));
    EXPECT_EQ(Fixture()->Journal().initializeCount, 1);
    EXPECT_EQ(Fixture()->Journal().lastData.Query<host::HostCallback>(), data);
}

TEST_F(DialogWrapper, UndockedItActsOnItsOwnFormAndShowsNothing)
{
    wrapper->CreateSetupCtrl(kFixtureControlProgId);
    wrapper->Show(1);
    EXPECT_FALSE(wrapper->Control()->Visible()) << "a wrapper never docked shows nothing";

    wrapper->plat::Form::Show(plat::vbModeless);
    wrapper->Move(100, 200, 3000, 4000);
    wrapper->Hide();
    EXPECT_FALSE(wrapper->Visible());
    EXPECT_EQ(wrapper->Left(), 100);
    EXPECT_EQ(wrapper->Height(), 4000);
    EXPECT_EQ(wrapper->Control()->Width(), 4800) << "the control keeps its size";

    wrapper->Dock(0);
    wrapper->Dock(0x7FFFFFF0);
    EXPECT_FALSE(wrapper->IsDocked()) << "no window, no docking";
    EXPECT_EQ(plat::GetParent(ControlWindow()), wrapper->hWnd());
}

TEST_F(DialogWrapper, DockedItForwardsToTheControlInTheHostWindow)
{
    wrapper->CreateSetupCtrl(kFixtureControlProgId);
    auto fixture = Fixture();
    wrapper->Dock(hostDialog->hWnd());
    ASSERT_TRUE(wrapper->IsDocked());
    EXPECT_EQ(plat::GetParent(ControlWindow()), hostDialog->hWnd());

    wrapper->Move(120, 240, 8055, 2895);
    wrapper->Show(0);
    EXPECT_TRUE(plat::IsWindowVisible(ControlWindow()));
    EXPECT_EQ(wrapper->Control()->Left(), 120);
    EXPECT_EQ(wrapper->Control()->Height(), 2895);
    EXPECT_EQ(wrapper->Left(), 0) << "the form itself stays where it was";

    auto callback = std::make_shared<host::HostCallback>();
    wrapper->SetCallBack(callback);
    EXPECT_EQ(wrapper->CallBack(), callback);
    wrapper->SetLocked(true);
    EXPECT_TRUE(wrapper->Locked());
    wrapper->SetLocked(false);
    EXPECT_EQ(fixture->Journal().lockedSet, (std::vector<bool>{true, false}));

    wrapper->Refresh();
    EXPECT_EQ(fixture->Journal().refreshCount, 1);
    wrapper->SetFocus();
    EXPECT_EQ(plat::GetFocus(), fixture->ValueBox()->hWnd());
    // Focus given to the form as a form goes on to the control as well.
    plat::SetParent(ControlWindow(), wrapper->hWnd());
    static_cast<plat::Form&>(*wrapper).SetFocus();
    EXPECT_EQ(fixture->Journal().focusCount, 2);
    plat::SetParent(ControlWindow(), hostDialog->hWnd());

    wrapper->Hide();
    EXPECT_FALSE(wrapper->Control()->Visible());
    EXPECT_FALSE(plat::IsWindowVisible(ControlWindow()));
}

TEST_F(DialogWrapper, UnDockBringsTheControlHomeAndTheFormBackIntoPlay)
{
    wrapper->CreateSetupCtrl(kFixtureControlProgId);
    wrapper->Dock(hostDialog->hWnd());
    wrapper->UnDock();
    EXPECT_FALSE(wrapper->IsDocked());
    EXPECT_EQ(plat::GetParent(ControlWindow()), wrapper->hWnd());

    wrapper->plat::Form::Show(plat::vbModeless);
    wrapper->Move(10, 20, 30, 40);
    wrapper->Hide();
    EXPECT_EQ(wrapper->Left(), 10);
    EXPECT_FALSE(wrapper->Visible());
    EXPECT_NE(wrapper->Control()->Left(), 10);
}

TEST_F(DialogWrapper, UnloadDestroysTheControlAtHomeAndLeavesAnInertWrapper)
{
    wrapper->CreateSetupCtrl(kFixtureControlProgId);
    auto fixture = Fixture();
    const plat::HWnd home = wrapper->hWnd();
    wrapper->Dock(hostDialog->hWnd());
    wrapper->Unload();

    EXPECT_EQ(fixture->Journal().terminateCount, 1);
    EXPECT_EQ(fixture->Journal().parentAtTerminate, home) << "the control left the host window before it went";
    EXPECT_EQ(wrapper->Control(), nullptr);

    ExpectInert();
    EXPECT_EQ(wrapper->CreateSetupCtrl(kFixtureControlProgId), nullptr) << "nothing is created again";
    wrapper->Unload();
    EXPECT_EQ(fixture->Journal().initializeCount, 0);
    EXPECT_TRUE(fixture->Journal().lockedSet.empty());
}

TEST_F(DialogWrapper, WithoutACustomControlEveryOperationIsInert)
{
    SCOPED_TRACE("no control at all");
    EXPECT_EQ(wrapper->CreateSetupCtrl("Nobody.XUnknown"), nullptr);
    EXPECT_EQ(wrapper->CreateSetupCtrl(kFixtureRefusingProgId), nullptr);
    ExpectInert();

    SCOPED_TRACE("a control without the host interface");
    auto bare = std::make_shared<FDialogWrapper>();
    wrapper.swap(bare);
    wrapper->Load();
    ASSERT_NE(wrapper->CreateSetupCtrl(kFixtureBareProgId), nullptr);
    EXPECT_EQ(wrapper->CustomControl(), nullptr);
    ExpectInert();
    bare->Unload();
}

TEST_F(DialogWrapper, AControlWhoseCallsFailRaisesNothingThroughTheWrapper)
{
    wrapper->CreateSetupCtrl(kFixtureControlProgId);
    wrapper->Dock(hostDialog->hWnd());
    Fixture()->Journal().failAll = true;
    ExpectInert();
    wrapper->Unload();
    EXPECT_EQ(Fixture(), nullptr);
}
