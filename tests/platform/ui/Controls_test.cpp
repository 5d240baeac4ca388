#include "platform/base/ComError.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/ControlArray.h"
#include "platform/ui/Form.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Grid.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ListView.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TabStrip.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UiError.h"
#include "platform/ui/UpDown.h"
#include "tests/support/EventSpy.h"
#include "tests/support/UiDriver.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace plat;
using ztesting::EventSpy;
using ztesting::UiDriver;
using ztesting::UiDriverError;

namespace {

// Every test works on a form that is shown, so that its controls are within the operator's reach.
class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_shared<Form>("frmTest");
        form->Show();
    }
    void TearDown() override { form->Unload(); }

    std::shared_ptr<Form> form;
    EventSpy spy;
    UiDriver ui;
};

using ztesting::ErrorNumberOf;

struct Actions {
    std::function<void()> byCode;
    std::function<void(UiDriver&)> byOperator;
};

struct EventCase {
    const char* control;
    std::function<Actions(Form&, EventSpy&)> make;
    std::vector<std::string> codeEvents;
    std::vector<std::string> operatorEvents;
};

} // namespace

TEST_F(Controls, AChangeRaisesTheSameEventsFromCodeAsFromTheOperator)
{
    const std::vector<EventCase> cases = {
        {"text box",
         [](Form& f, EventSpy& spy) {
             auto txt = f.Add<TextBox>("txtValue");
             spy.Watch(txt->GotFocus, "GotFocus");
             spy.Watch(txt->KeyPress, "KeyPress");
             spy.Watch(txt->Change, "Change");
             return Actions{[txt] { txt->SetText("12"); }, [txt](UiDriver& ui) { ui.Type(*txt, "3"); }};
         },
         {"Change"},
         {"GotFocus", "KeyPress", "Change"}},
        {"combo box",
         [](Form& f, EventSpy& spy) {
             auto cbo = f.Add<ComboBox>("cboWave", vbComboDropdownList);
             for (const char* item : {"VFB1", "VFB2", "VTC130"}) cbo->AddItem(item);
             spy.Watch(cbo->DropDown, "DropDown");
             spy.Watch(cbo->Click, "Click");
             spy.Watch(cbo->Change, "Change");
             return Actions{[cbo] { cbo->SetListIndex(1); }, [cbo](UiDriver& ui) { ui.Select(*cbo, "VTC130"); }};
         },
         {"Click"},
         {"DropDown", "Click"}},
        {"check-box list",
         [](Form& f, EventSpy& spy) {
             auto lst = f.Add<ListBox>("lstWaves", vbListBoxCheckbox);
             for (const char* item : {"Sine 30", "Sine 60", "Sine 80"}) lst->AddItem(item);
             spy.Watch(lst->ItemCheck, "ItemCheck");
             spy.Watch(lst->Click, "Click");
             return Actions{[lst] { lst->SetSelected(1, true); }, [lst](UiDriver& ui) { ui.Check(*lst, 2); }};
         },
         {"ItemCheck"},
         {"ItemCheck", "Click"}},
        {"check box",
         [](Form& f, EventSpy& spy) {
             auto chk = f.Add<CheckBox>("chkIndefinite");
             spy.Watch(chk->Click, "Click");
             return Actions{[chk] { chk->SetValue(vbChecked); }, [chk](UiDriver& ui) { ui.Click(*chk); }};
         },
         {"Click"},
         {"Click"}},
        {"option array",
         [](Form& f, EventSpy& spy) {
             auto opt0 = f.AddIndexed<OptionButton>("optMode", 0);
             auto opt1 = f.AddIndexed<OptionButton>("optMode", 1);
             spy.Watch(opt0->Click, "Click0");
             spy.Watch(opt1->Click, "Click1");
             return Actions{[opt0] { opt0->SetValue(true); }, [opt1](UiDriver& ui) { ui.Click(*opt1); }};
         },
         {"Click0"},
         {"Click1"}},
        {"slider",
         [](Form& f, EventSpy& spy) {
             auto sld = f.Add<Slider>("sldTime");
             sld->SetMax(60);
             sld->SetMin(1);
             spy.Watch(sld->Scroll, "Scroll");
             spy.Watch(sld->Change, "Change");
             return Actions{[sld] { sld->SetValue(5); }, [sld](UiDriver& ui) { ui.MoveSlider(*sld, 12); }};
         },
         {"Change"},
         {"Scroll", "Change"}},
        {"up-down",
         [](Form& f, EventSpy& spy) {
             auto upd = f.Add<UpDown>("updValue");
             spy.Watch(upd->UpClick, "UpClick");
             spy.Watch(upd->Change, "Change");
             return Actions{[upd] { upd->SetValue(3); }, [upd](UiDriver& ui) { ui.SpinUp(*upd); }};
         },
         {"Change"},
         {"UpClick", "Change"}},
        {"tab strip",
         [](Form& f, EventSpy& spy) {
             auto tbs = f.Add<TabStrip>("tbsTabs");
             tbs->AddTab("General");
             tbs->AddTab("Communications");
             spy.Watch(tbs->BeforeClick, "BeforeClick");
             spy.Watch(tbs->Click, "Click");
             return Actions{[tbs] { tbs->SetSelectedIndex(2); }, [tbs](UiDriver& ui) { ui.SelectTab(*tbs, 1); }};
         },
         {"Click"},
         {"BeforeClick", "Click"}},
        {"label",
         [](Form& f, EventSpy& spy) {
             auto lbl = f.Add<Label>("lblComms");
             spy.Watch(lbl->Change, "Change");
             spy.Watch(lbl->Click, "Click");
             return Actions{[lbl] { lbl->SetCaption("1000"); }, [lbl](UiDriver& ui) { ui.Click(*lbl); }};
         },
         {"Change"},
         {"Click"}},
        {"list view",
         [](Form& f, EventSpy& spy) {
             auto lvw = f.Add<ListView>("lvwResult");
             auto row = lvw->AddItem("ENGY", "Energy");
             spy.Watch(lvw->ItemCheck, "ItemCheck");
             spy.Watch(lvw->ItemClick, "ItemClick");
             spy.Watch(lvw->Click, "Click");
             return Actions{[row] { row->SetChecked(true); }, [lvw](UiDriver& ui) { ui.ClickItem(*lvw, "ENGY"); }};
         },
         {"ItemCheck"},
         {"ItemClick", "Click"}},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        auto owner = std::make_shared<Form>("frmCase");
        owner->Show();
        EventSpy caseSpy;
        Actions actions = c.make(*owner, caseSpy);

        actions.byCode();
        EXPECT_EQ(caseSpy.Names(), c.codeEvents);
        // The same value again is no change and raises nothing.
        caseSpy.Clear();
        actions.byCode();
        EXPECT_TRUE(caseSpy.Names().empty());

        actions.byOperator(ui);
        EXPECT_EQ(caseSpy.Names(), c.operatorEvents);
        owner->Unload();
    }
}

TEST_F(Controls, RefusedValuesRaiseTheirNumberAndChangeNothing)
{
    auto cbo = form->Add<ComboBox>("cboList", vbComboDropdownList);
    cbo->AddItem("a");
    cbo->AddItem("b");
    cbo->SetListIndex(1);
    auto lst = form->Add<ListBox>("lstList", vbListBoxCheckbox);
    lst->AddItem("x");
    auto sld = form->Add<Slider>("sldTime");
    sld->SetMax(60);
    sld->SetMin(1);
    sld->SetValue(7);
    auto upd = form->Add<UpDown>("updTime");
    upd->SetMax(240);
    upd->SetMin(10);
    auto txt = form->Add<TextBox>("txtBox");
    txt->Move(100, 200, 300, 400);
    auto chk = form->Add<CheckBox>("chkBox");
    auto tmr = form->Add<TimerControl>("tmrTimer");
    auto tbs = form->Add<TabStrip>("tbsTabs");
    tbs->AddTab("one", "k1");
    auto lvw = form->Add<ListView>("lvwList");
    lvw->AddColumn("a");
    lvw->AddColumn("b");
    auto row = lvw->AddItem("ENGY", "Energy");
    auto grd = form->Add<Grid>("tliGrid");
    grd->SetCols(4);
    auto hidden = form->Add<TextBox>("txtHidden");
    hidden->SetVisible(false);
    auto disabled = form->Add<TextBox>("txtDisabled");
    disabled->SetEnabled(false);
    auto lbl = form->Add<Label>("lblCaption");
    form->AddIndexed<OptionButton>("optMode", 0);
    auto unshown = std::make_shared<Form>("frmHidden");
    auto onUnshown = unshown->Add<TextBox>("txtOnHidden");

    struct Refusal {
        const char* what;
        std::function<void()> action;
        int32_t number;
    };
    const std::vector<Refusal> refusals = {
        {"combo index past the end", [&] { cbo->SetListIndex(2); }, uierr::InvalidPropertyValue},
        {"combo index below -1", [&] { cbo->SetListIndex(-2); }, uierr::InvalidPropertyValue},
        {"combo entry past the end", [&] { cbo->List(2); }, uierr::InvalidPropertyArrayIndex},
        {"pick-only combo given another text", [&] { cbo->SetText("zz"); }, uierr::TextReadOnly},
        {"check of a missing entry", [&] { lst->SetSelected(1, true); }, uierr::InvalidPropertyArrayIndex},
        {"top index past the list", [&] { lst->SetTopIndex(1); }, uierr::InvalidPropertyValue},
        {"slider above Max", [&] { sld->SetValue(61); }, uierr::InvalidPropertyValue},
        {"slider below Min", [&] { sld->SetValue(0); }, uierr::InvalidPropertyValue},
        {"slider Min above Max", [&] { sld->SetMin(61); }, uierr::InvalidPropertyValue},
        {"up-down beyond its range", [&] { upd->SetValue(250); }, uierr::InvalidPropertyValue},
        {"negative width", [&] { txt->SetWidth(-1); }, uierr::InvalidPropertyValue},
        {"move with a negative height", [&] { txt->Move(0, 0, 10, -5); }, uierr::InvalidPropertyValue},
        {"negative selection start", [&] { txt->SetSelStart(-1); }, uierr::InvalidPropertyValue},
        {"check box value 3", [&] { chk->SetValue(3); }, uierr::InvalidPropertyValue},
        {"negative timer interval", [&] { tmr->SetInterval(-1); }, uierr::InvalidPropertyValue},
        {"tab position past the end", [&] { tbs->TabAt(2); }, uierr::IndexOutOfBounds},
        {"unknown tab key", [&] { tbs->TabByKey("k2"); }, uierr::ElementNotFound},
        {"row key used twice", [&] { lvw->AddItem("ENGY", "again"); }, uierr::KeyNotUnique},
        {"unknown row key", [&] { lvw->ItemByKey("PEAV"); }, uierr::ElementNotFound},
        {"sub-item beyond the columns", [&] { row->SetSubItems(2, "x"); }, uierr::InvalidPropertyValue},
        {"grid cell below the rows", [&] { grd->CellText(1, 1); }, uierr::InvalidPropertyArrayIndex},
        {"grid column 0", [&] { grd->CellText(0, 0); }, uierr::InvalidPropertyArrayIndex},
        {"focus to a hidden control", [&] { hidden->SetFocus(); }, uierr::InvalidCall},
        {"focus to a disabled control", [&] { disabled->SetFocus(); }, uierr::InvalidCall},
        {"focus to a label", [&] { lbl->SetFocus(); }, uierr::InvalidCall},
        {"focus on a form never shown", [&] { onUnshown->SetFocus(); }, uierr::InvalidCall},
        {"missing control array element", [&] { ControlArray<OptionButton>(*form, "optMode").Item(1); },
         uierr::ControlArrayElementMissing},
        {"a name already on the form", [&] { form->Add<Label>("TXTBOX"); }, uierr::DuplicateControlName},
        {"a plain name taken by an array", [&] { form->Add<OptionButton>("optMode"); }, uierr::DuplicateControlName},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(ErrorNumberOf(r.action), r.number);
    }

    EXPECT_EQ(cbo->ListIndex(), 1);
    EXPECT_EQ(cbo->Text(), "b");
    EXPECT_EQ(sld->Value(), 7);
    EXPECT_EQ(sld->Min(), 1);
    EXPECT_EQ(upd->Value(), 10);
    EXPECT_EQ(tmr->Interval(), 0);
    EXPECT_EQ(lvw->ItemCount(), 1);
    EXPECT_EQ(lvw->FindItem("ENGY")->Text(), "Energy");
    EXPECT_EQ(txt->Left(), 100);
    EXPECT_EQ(txt->Height(), 400);
    EXPECT_EQ(GetFocus(), 0);
    unshown->Unload();
}

TEST_F(Controls, TypingGoesThroughKeyPressAndTheSelection)
{
    auto txt = form->Add<TextBox>("txtEnergy");
    // A digits-only box, as the number boxes of the editors filter their keys.
    txt->KeyPress.Connect([](int16_t& key) {
        if ((key < '0' || key > '9') && key != 8) key = 0;
    });
    std::vector<std::string> texts;
    txt->Change.Connect([&] { texts.push_back(txt->Text()); });

    txt->SetText("100");
    ui.SelectAll(*txt);
    ui.Type(*txt, "2a.-0");
    ui.PressKey(*txt, 8);
    EXPECT_EQ(texts, (std::vector<std::string>{"100", "2", "20", "2"}));
    EXPECT_EQ(txt->SelStart(), 1);

    // A read-only box still reports the key but takes no character.
    txt->SetLocked(true);
    int keys = 0;
    txt->KeyPress.Connect([&](int16_t&) { ++keys; });
    ui.Type(*txt, "5");
    EXPECT_EQ(keys, 1);
    EXPECT_EQ(txt->Text(), "2");

    txt->SetLocked(false);
    txt->SetMaxLength(2);
    ui.Type(*txt, "345");
    EXPECT_EQ(txt->Text(), "23");

    // Positions count characters, not bytes.
    txt->SetText("5 µs");
    txt->SetSelStart(2);
    txt->SetSelLength(10);
    EXPECT_EQ(txt->SelText(), "µs");
    EXPECT_EQ(txt->SelLength(), 2);
}

// Whatever is typed is stored as typed, in every plane of Unicode; the key codes KeyPress sees
// stay 16-bit, and a box that filters its keys still refuses what it does not take.
TEST_F(Controls, TypingBeyondAsciiStoresTheCharactersTyped)
{
    const struct {
        const char* name;
        std::string typed;
        std::string stored;
        std::vector<int16_t> keys;
    } cases[] = {
        {"two-byte", "5 µs", "5 µs", {'5', ' ', 0xB5, 's'}},
        {"full-width, beyond 0x7FFF", "ＳＮ１２", "ＳＮ１２",
         {static_cast<int16_t>(0xFF33), static_cast<int16_t>(0xFF2E), static_cast<int16_t>(0xFF11),
          static_cast<int16_t>(0xFF12)}},
        {"beyond the first plane", "V2😀", "V2😀", {'V', '2', static_cast<int16_t>(0xD83D)}},
        {"malformed bytes", std::string("A\xF0\x9F") + "B" + "\xC0\xAF", "A\uFFFD\uFFFDB\uFFFD\uFFFD",
         {'A', static_cast<int16_t>(0xFFFD), static_cast<int16_t>(0xFFFD), 'B', static_cast<int16_t>(0xFFFD),
          static_cast<int16_t>(0xFFFD)}},
        // A lead byte is no continuation: the cut one is replaced, the whole one after it kept.
        {"a lead byte before a whole character", std::string("\xC3") + "\xC3\xA9", "\uFFFD\u00E9",
         {static_cast<int16_t>(0xFFFD), 0xE9}},
    };
    int boxes = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto txt = form->Add<TextBox>("txtTyped" + std::to_string(++boxes));
        std::vector<int16_t> keys;
        txt->KeyPress.Connect([&](int16_t& key) { keys.push_back(key); });
        ui.Type(*txt, c.typed);
        EXPECT_EQ(txt->Text(), c.stored);
        EXPECT_EQ(keys, c.keys);
    }

    auto digits = form->Add<TextBox>("txtDigits");
    digits->KeyPress.Connect([](int16_t& key) {
        if ((key < '0' || key > '9') && key != 8) key = 0;
    });
    ui.Type(*digits, "1１😀2");
    EXPECT_EQ(digits->Text(), "12");

    // A handler that changes the key types the character of its new code; a key code typed on
    // its own beyond 0x7FFF is the character it carries.
    auto upper = form->Add<TextBox>("txtUpper");
    upper->KeyPress.Connect([](int16_t& key) {
        if (key >= 'a' && key <= 'z') key = static_cast<int16_t>(key - 'a' + 'A');
    });
    ui.Type(*upper, "sn😀");
    ui.PressKey(*upper, static_cast<int16_t>(0xFF11));
    EXPECT_EQ(upper->Text(), "SN😀１");
    upper->SetMaxLength(5);
    ui.Type(*upper, "😀😀");
    EXPECT_EQ(upper->Text(), "SN😀１😀") << "the length counts characters";
    ui.PressKey(*upper, 8);
    EXPECT_EQ(upper->Text(), "SN😀１");
}

TEST_F(Controls, OptionButtonsAreExclusiveWithinTheirContainerOnly)
{
    auto fra = form->Add<Frame>("fraLead");
    auto leadI = fra->Add<OptionButton>("opLeadI");
    auto leadII = fra->Add<OptionButton>("opLeadII");
    auto mode0 = form->AddIndexed<OptionButton>("rdMode", 0);
    auto mode1 = form->AddIndexed<OptionButton>("rdMode", 1);

    std::vector<int> clicked;
    ControlArray<OptionButton> modes(*form, "rdMode");
    auto connections = modes.ConnectEach(&OptionButton::Click, [&](int index) { clicked.push_back(index); });

    leadI->SetValue(true);
    mode1->SetValue(true);
    ui.Click(*leadII);
    ui.Click(*mode0);

    EXPECT_FALSE(leadI->Value());
    EXPECT_TRUE(leadII->Value());
    EXPECT_TRUE(mode0->Value());
    EXPECT_FALSE(mode1->Value());
    EXPECT_EQ(clicked, (std::vector<int>{1, 0}));
    EXPECT_EQ(modes.Count(), 2);
    EXPECT_EQ(modes.UBound(), 1);
}

TEST_F(Controls, UpDownStepsFromWhatItsBuddyShows)
{
    auto lbl = form->Add<Label>("lblComms");
    auto upd = form->Add<UpDown>("updCommTimeOut");
    upd->SetMax(3000);
    upd->SetMin(300);
    upd->SetIncrement(100);
    upd->SetBuddy(lbl);
    std::vector<std::string> captions;
    lbl->Change.Connect([&] { captions.push_back(lbl->Caption()); });

    lbl->SetCaption("1000");
    ui.SpinUp(*upd);
    EXPECT_EQ(upd->Value(), 1100);
    lbl->SetCaption("2950");
    ui.SpinUp(*upd);
    ui.SpinUp(*upd);
    upd->SetWrap(true);
    ui.SpinUp(*upd);

    EXPECT_EQ(captions, (std::vector<std::string>{"1000", "1100", "2950", "3000", "300"}));
    EXPECT_EQ(upd->Value(), 300);
}

TEST_F(Controls, ListsKeepTheirSelectionAndScrollAsFarAsTheyCan)
{
    auto lst = form->Add<ListBox>("lstPerformance", vbListBoxCheckbox);
    lst->Move(0, 0, 1800, 4 * 195);
    for (int i = 0; i < 17; ++i) lst->AddItem("wave " + std::to_string(i));
    lst->SetTopIndex(16);
    EXPECT_EQ(lst->TopIndex(), 13);
    lst->SetTopIndex(3);
    EXPECT_EQ(lst->TopIndex(), 3);

    auto cbo = form->Add<ComboBox>("cboAdapter");
    cbo->AddItem("Fixed internal 50 Ohms");
    cbo->AddItem("PXA6 MDE");
    cbo->SetListIndex(1);
    cbo->AddItem("first", 0);
    EXPECT_EQ(cbo->ListIndex(), 2);
    int clicks = 0;
    cbo->Click.Connect([&] { ++clicks; });
    cbo->Clear();
    EXPECT_EQ(cbo->ListIndex(), -1);
    EXPECT_EQ(cbo->Text(), "");
    EXPECT_EQ(clicks, 0);

    // In an edit-field combo the text is free; an exact entry becomes the selection.
    cbo->AddItem("0.1");
    cbo->SetText("0.5");
    EXPECT_EQ(cbo->ListIndex(), -1);
    cbo->SetText("0.1");
    EXPECT_EQ(cbo->ListIndex(), 0);
}

TEST_F(Controls, ListViewRowsCarryKeyedSubItems)
{
    auto lvw = form->Add<ListView>("lvwResult");
    lvw->SetView(lvwReport);
    lvw->AddColumn("20515::Settings", 2450);
    lvw->AddColumn("230::Measurement", 1550, lvwColumnRight);
    lvw->AddColumn("232::High limit", 1550, lvwColumnRight);
    auto row = lvw->AddItem("ENGY", "Energy");
    row->AddSubItem("val", " ");
    row->AddSubItem("hi", " ");
    row->SubItemByKey("hi").text = "55";
    row->SubItemByKey("hi").toolTipText = "IEC";

    EXPECT_EQ(row->SubItems(2), "55");
    EXPECT_EQ(lvw->Column(2).alignment, lvwColumnRight);
    EXPECT_EQ(lvw->ItemByKey("ENGY")->Index(), 1);

    ui.ClickItem(*lvw, "ENGY");
    EXPECT_TRUE(row->Selected());
    lvw->SetSelectedItem(nullptr);
    EXPECT_FALSE(row->Selected());

    lvw->ClearItems();
    EXPECT_EQ(lvw->ItemCount(), 0);
    EXPECT_EQ(row->Index(), 0);
    EXPECT_EQ(lvw->FindItem("ENGY"), nullptr);
}

TEST_F(Controls, GridClicksReportTheCellAndButton)
{
    auto grd = form->Add<Grid>("tliResult");
    grd->SetCols(4);
    grd->SetCellText(0, 1, "311::Description");
    int row = grd->AddRow("Sinus rhythm");
    grd->SetRowKey(row, "NSW");
    std::vector<std::string> clicks;
    grd->CellClick.Connect([&](int r, int c, int16_t button) {
        clicks.push_back(std::to_string(r) + "," + std::to_string(c) + "," + std::to_string(button));
    });
    int plainClicks = 0;
    grd->Click.Connect([&] { ++plainClicks; });

    ui.ClickCell(*grd, 1, 3);
    ui.ClickCell(*grd, 0, 1, mouse::Right);
    EXPECT_EQ(clicks, (std::vector<std::string>{"1,3,1", "0,1,2"}));
    EXPECT_EQ(plainClicks, 1);

    grd->ClearRows();
    EXPECT_EQ(grd->Rows(), 1);
    EXPECT_EQ(grd->CellText(0, 1), "311::Description");
}

TEST_F(Controls, TheDriverRefusesWhatNoOperatorCouldDo)
{
    auto fra = form->Add<Frame>("fraSetup");
    auto chk = fra->Add<CheckBox>("chkIndefinite");
    spy.Watch(chk->Click, "Click");

    fra->SetEnabled(false);
    EXPECT_THROW(ui.Click(*chk), UiDriverError);
    fra->SetEnabled(true);
    fra->SetVisible(false);
    EXPECT_THROW(ui.Click(*chk), UiDriverError);
    fra->SetVisible(true);
    form->Hide();
    EXPECT_THROW(ui.Click(*chk), UiDriverError);
    EXPECT_TRUE(spy.Names().empty());
    EXPECT_EQ(chk->Value(), vbUnchecked);

    auto cbo = fra->Add<ComboBox>("cboWave");
    form->Show();
    EXPECT_THROW(ui.Select(*cbo, 0), UiDriverError);
    ui.Click(*chk);
    EXPECT_EQ(spy.Count("Click"), 1);
}

TEST_F(Controls, TextMapsReachEveryUserVisibleTextOnce)
{
    form->SetCaption("100::Form");
    auto fra = form->Add<Frame>("fraWave");
    fra->SetCaption("101::Wave");
    auto lbl = fra->Add<Label>("lblWave");
    lbl->SetCaption("102::Select");
    lbl->SetToolTipText("103::Tip");
    auto txt = fra->Add<TextBox>("txtEnergy");
    // What a text box holds is data, even when it looks like a language-ID text.
    txt->SetText("SN::4711");
    txt->SetToolTipText("106::Energy");
    auto tbs = form->Add<TabStrip>("tbsTabs");
    tbs->AddTab("104::General");
    auto lvw = form->Add<ListView>("lvwResult");
    lvw->AddColumn("105::Settings");
    int textChanges = 0;
    txt->Change.Connect([&] { ++textChanges; });

    MapTextsDeep(*form, [](const std::string& text) {
        auto pos = text.find("::");
        return pos == std::string::npos ? text : "T" + text.substr(pos + 2);
    });

    EXPECT_EQ(form->Caption(), "TForm");
    EXPECT_EQ(fra->Caption(), "TWave");
    EXPECT_EQ(lbl->Caption(), "TSelect");
    EXPECT_EQ(lbl->ToolTipText(), "TTip");
    EXPECT_EQ(tbs->TabAt(1)->Caption(), "TGeneral");
    EXPECT_EQ(lvw->Column(1).text, "TSettings");
    EXPECT_EQ(txt->Text(), "SN::4711");
    EXPECT_EQ(txt->ToolTipText(), "TEnergy");
    EXPECT_EQ(textChanges, 0);
}
