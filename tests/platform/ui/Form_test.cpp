#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UiError.h"
#include "platform/ui/UserControl.h"
#include "tests/platform/ui/fixture/IFixtureControl.h"
#include "tests/platform/ui/fixture/UiFixtureRegistry.h"
#include "tests/support/EventSpy.h"
#include "tests/support/UiDriver.h"
#include "tests/support/VirtualLoop.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace plat;
using ztesting::EventSpy;
using ztesting::UiDriver;

namespace {

using ztesting::ErrorNumberOf;

class Forms : public ztesting::VirtualLoopTest {
protected:
    std::shared_ptr<Form> form = std::make_shared<Form>("frmTest");
    EventSpy spy;

    ~Forms() override { form->Unload(); }
};

} // namespace

TEST_F(Forms, UnloadEndsTheFormAndEverythingOnItForGood)
{
    spy.Watch(form->Loaded, "Loaded");
    spy.Watch(form->Activate, "Activate");
    spy.Watch(form->Resize, "Resize");
    spy.Watch(form->Unloading, "Unloading");
    auto txt = form->Add<TextBox>("txtValue");
    auto tmr = form->Add<TimerControl>("tmrFlash");
    spy.Watch(txt->Change, "Change");
    spy.Watch(tmr->Timer, "Timer");
    tmr->SetInterval(100);

    form->Show();
    form->Show();
    txt->SetFocus();
    ASSERT_EQ(LoadedForms().size(), 1u);
    const HWnd formHandle = form->hWnd();
    const HWnd boxHandle = txt->hWnd();

    form->Unload();
    EXPECT_EQ(spy.Names(), (std::vector<std::string>{"Loaded", "Resize", "Activate", "Unloading"}));
    EXPECT_TRUE(txt->IsDestroyed());
    EXPECT_FALSE(IsWindow(formHandle));
    EXPECT_FALSE(IsWindow(boxHandle));
    EXPECT_EQ(GetFocus(), 0);
    EXPECT_TRUE(LoadedForms().empty());
    EXPECT_EQ(form->FindControl("txtValue"), nullptr);

    // Later use is harmless: nothing comes back to life, nothing fires.
    spy.Clear();
    form->Load();
    form->Show(vbModal);
    txt->SetText("typed after unload");
    tmr->SetInterval(50);
    FastForwardBy(Millis(1000));
    EXPECT_TRUE(spy.Names().empty());
    EXPECT_FALSE(form->IsLoaded());
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(txt->hWnd(), 0);
}

TEST_F(Forms, AReleasedFormLeavesTheRegistry)
{
    // Forms released with and without Unload alike: none may stay registered.
    const auto before = RegisteredFormCount();
    for (int i = 0; i < 100; ++i) {
        auto other = std::make_shared<Form>("frmOther");
        other->Show();
        if (i % 2 == 0) other->Unload();
    }
    EXPECT_EQ(RegisteredFormCount(), before);
}

TEST_F(Forms, AModalShowReturnsOnlyAfterTheHidingHandlerHasReturned)
{
    std::vector<std::string> order;
    auto stamp = [&](const std::string& what) { order.push_back(what + "@" + std::to_string(ElapsedMs())); };

    // The operator's button handler runs inside the modal loop and waits itself, as the tests'
    // start handlers do; a timer hides the form while that handler is still pumping.
    bool released = false;
    Timer hide;
    Timer release;
    form->Activate.Connect([&] {
        Loop().Post([&] {
            stamp("handler starts");
            hide = Loop().StartOneShot(Millis(100), [&] {
                stamp("hide");
                form->Hide();
            });
            release = Loop().StartOneShot(Millis(500), [&] { released = true; });
            Loop().RunUntil([&] { return released; });
            stamp("handler returns");
        });
    });

    form->Show(vbModal);
    stamp("show returns");

    EXPECT_EQ(order, (std::vector<std::string>{"handler starts@0", "hide@100", "handler returns@500", "show returns@500"}));
    EXPECT_FALSE(form->IsShownModally());
}

TEST_F(Forms, AModalShowEndsOnUnloadAndOnErrorsAndRefusesASecondModalShow)
{
    auto dialog = std::make_shared<Form>("frmDialog");
    dialog->Activate.Connect([&] {
        EXPECT_EQ(ErrorNumberOf([&] { dialog->Show(vbModal); }), uierr::AlreadyShownModally);
        Loop().Post([&] { dialog->Unload(); });
    });
    dialog->Show(vbModal);
    EXPECT_TRUE(dialog->IsUnloaded());

    // Nothing scheduled: the wait can never end, the loop says so, and the form is not left
    // believing it is still shown modally.
    EXPECT_THROW(form->Show(vbModal), DeadlockError);
    EXPECT_FALSE(form->IsShownModally());
}

TEST_F(Forms, WindowsFollowTheirWindowParentAfterSetParent)
{
    auto host = std::make_shared<Form>("frmHost");
    auto txt = form->Add<TextBox>("txtValue");
    form->Show();
    EXPECT_TRUE(txt->IsShownOnScreen());

    EXPECT_EQ(SetParent(txt->hWnd(), host->hWnd()), form->hWnd());
    EXPECT_EQ(GetParent(txt->hWnd()), host->hWnd());
    EXPECT_FALSE(IsWindowVisible(txt->hWnd()));
    host->Show();
    host->SetEnabled(false);
    EXPECT_TRUE(IsWindowVisible(txt->hWnd()));
    EXPECT_FALSE(IsWindowEnabled(txt->hWnd()));
    // The container relation is unchanged: the form still owns and names the control.
    EXPECT_EQ(form->FindControl("txtValue"), txt);

    EXPECT_EQ(SetParent(host->hWnd(), txt->hWnd()), 0) << "a window cannot move inside its own child";
    EXPECT_EQ(SetParent(txt->hWnd(), 0x7FFFFFF0), 0);
    EXPECT_EQ(SetParent(0x7FFFFFF0, host->hWnd()), 0);
    EXPECT_EQ(GetParent(txt->hWnd()), host->hWnd());

    host->Unload();
    EXPECT_FALSE(IsWindowVisible(txt->hWnd())) << "a parent that is gone shows nothing";
    EXPECT_FALSE(txt->IsDestroyed());
}

TEST_F(Forms, FocusMovesWithEventsAndLeavesWhatCanNoLongerBeReached)
{
    auto first = form->Add<TextBox>("txtFirst");
    auto second = form->Add<TextBox>("txtSecond");
    spy.Watch(first->GotFocus, "first got");
    spy.Watch(first->LostFocus, "first lost");
    spy.Watch(second->GotFocus, "second got");
    form->Show();

    first->SetFocus();
    first->SetFocus();
    UiDriver().Click(*second);
    EXPECT_EQ(spy.Names(), (std::vector<std::string>{"first got", "first lost", "second got"}));
    EXPECT_EQ(GetFocus(), second->hWnd());

    second->SetVisible(false);
    EXPECT_EQ(GetFocus(), 0);
}

namespace {

class AddedControls : public Forms {
protected:
    ztesting::UiFixtureRegistry registry;
};

} // namespace

TEST_F(AddedControls, OnlyARegisteredControlClassIsAdded)
{
    const int before = form->Controls().Count();
    EXPECT_EQ(form->Controls().Add("Nobody.XUnknown", "isc"), nullptr);
    EXPECT_EQ(form->Controls().Add(kFixturePlainProgId, "isc"), nullptr) << "a class that is no control";
    EXPECT_EQ(ErrorNumberOf([&] { form->Controls().Add(kFixtureRefusingProgId, "isc"); }), kFixtureRefusingError)
        << "a control that fails to start says why";
    EXPECT_EQ(form->Controls().Count(), before);
    EXPECT_FALSE(form->Controls().Contains("isc"));

    auto isc = form->Controls().Add(kFixtureControlProgId, "isc");
    ASSERT_NE(isc, nullptr);
    EXPECT_EQ(isc->Name(), "isc");
    EXPECT_FALSE(isc->Visible()) << "controls added at run time start hidden";
    EXPECT_EQ(form->Controls().Extender("ISC"), isc);
    ASSERT_NE(QueryInterface<IFixtureControl>(isc->Object()), nullptr);

    EXPECT_EQ(ErrorNumberOf([&] { form->Controls().Add(kFixtureBareProgId, "isc"); }), uierr::DuplicateControlName);
    EXPECT_EQ(form->Controls().Extender("isc"), isc);
    EXPECT_EQ(form->Controls().Count(), before + 1);
}

TEST_F(AddedControls, TheExtenderPlacesTheControlAndPassesItsEventsOnByName)
{
    auto isc = form->Controls().Add(kFixtureControlProgId, "irvResult");
    ASSERT_NE(isc, nullptr);
    auto fixture = QueryInterface<IFixtureControl>(isc->Object());
    auto control = isc->Control();
    int resizes = 0;
    control->Resize.Connect([&] { ++resizes; });

    isc->Move(330, 2310, 8550, 2895);
    isc->SetVisible(true);
    form->Show();
    EXPECT_EQ(control->Left(), 330);
    EXPECT_EQ(control->ScaleWidth(), 8550);
    EXPECT_EQ(resizes, 1);
    EXPECT_TRUE(control->IsShownOnScreen());

    std::vector<EventInfo> seen;
    isc->ObjectEvent.Connect([&](const EventInfo& info) { seen.push_back(info); });
    fixture->Fire("ItemClicked", {Variant(int16_t{1})});
    fixture->Fire("MouseDown", {Variant(int16_t{2}), Variant(int16_t{0}), Variant(1.0f), Variant(2.0f)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, "ItemClicked");
    EXPECT_EQ(seen[0].Parameter(0), Variant(int16_t{1}));
    EXPECT_EQ(seen[0].Parameter(1), Variant(int32_t{0})) << "a missing argument reads as 0";
    EXPECT_EQ(seen[1].name, "MouseDown");
    EXPECT_EQ(seen[1].Parameter(3), Variant(2.0f));

    form->Unload();
    EXPECT_EQ(fixture->Journal().terminateCount, 1);
    fixture->Fire("ItemClicked", {});
    isc->Move(0, 0, 10, 10);
    isc->SetVisible(false);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(control->Left(), 330);
}
