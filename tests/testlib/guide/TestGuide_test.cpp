#include "host/documents/HostRegistry.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/elements/HostTestInfo.h"
#include "host/guide/HostGuideServices.h"
#include "host/guide/HostIconLibrary.h"
#include "host/interfaces/ITestWizard.h"
#include "host/interfaces/ITgContentPane.h"
#include "host/interfaces/ITgToolbar.h"
#include "host/standards/HostStandards.h"
#include "host/units/HostMtiList.h"
#include "platform/base/Conversions.h"
#include "platform/ui/Bitmap.h"
#include "platform/ui/ListView.h"
#include "platform/ui/UserControl.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/CMtiData2.h"
#include "testlib/core/IZARVIKResult.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/guide/XChargeResult.h"
#include "testlib/guide/XMTIData.h"
#include "testlib/guide/XTestInstruction.h"
#include "testlib/guide/XTestResult.h"
#include "tests/support/EventSpy.h"
#include "tests/support/FakeTestElement.h"
#include "tests/support/LimitItems.h"
#include "tests/testlib/guide/GuideTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using host::ITgToolbar;
using plat::Variant;
using ztest::FZARVIKTestGuide;
using ztesting::FakeTestElement;
using ztesting::GuideResult;

namespace {

Variant Steps(const std::vector<std::string>& lines)
{
    auto array = plat::VariantArray::OneDim(0, static_cast<int32_t>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) array.items[i] = Variant(lines[i]);
    return Variant(std::move(array));
}

// A window prepared for an element of a test ID, with an energy measurement in its result, the
// element's limits holding two standards, and a spy on every event of the window.
class TestGuide : public ztesting::GuideFixture {
protected:
    TestGuide()
    {
        result->Add("ENGY", "Energy", "J", Variant(180.0f), 1);
        limits->SetOwner(element, true);
        auto standard = limits->CreateStandard("IEC", "IEC 60601");
        standard->AddItem(ztesting::MakeLimitItem({.key = "ENGY", .unit = "J", .upper = {true, 200.0f, ""}, .lower = {true, 150.0f, ""}}));
        auto other = limits->CreateStandard("AAMI", "AAMI DF80");
        other->AddItem(ztesting::MakeLimitItem({.key = "ENGY", .unit = "J", .upper = {true, 210.0f, ""}, .lower = {true, 140.0f, ""}}));
        element->SetLimits(limits);
        element->SetResult(result);
        auto info = std::make_shared<host::HostTestInfo>();
        info->SetName("T9::Energy 200 J");
        element->SetInfo(info);
        spy.Watch(guide->StartTest, "StartTest");
        spy.Watch(guide->StopTest, "StopTest");
        spy.Watch(guide->AbortTest, "AbortTest");
        spy.Watch(guide->NA, "NA");
        spy.Watch(guide->NextTest, "NextTest");
        spy.Watch(guide->Previous, "Previous");
        spy.Watch(guide->Skip, "Skip");
        spy.Watch(guide->ItemClicked, "ItemClicked");
    }
    ~TestGuide() override { guide->Unload(); }

    void Init(int32_t testId = 100)
    {
        element->Initialize("ZARVIK", testId, 1);
        guide->Load();
        guide->SetRunState(1, false);
        guide->InitGuide(element, context, Steps({"Connect the paddles", "", "Discharge"}));
        guide->Show(plat::vbModeless);
    }

    ITgToolbar& Toolbar() { return *guide->xtbToolbar(); }
    std::string Status() { return Toolbar().StatusField()->Text(); }

    std::shared_ptr<GuideResult> result = std::make_shared<GuideResult>();
    std::shared_ptr<ztest::CLimitData> limits = std::make_shared<ztest::CLimitData>();
    std::shared_ptr<FakeTestElement> element = std::make_shared<FakeTestElement>();
    std::shared_ptr<host::HostTestContext> context = std::make_shared<host::HostTestContext>();
    std::shared_ptr<FZARVIKTestGuide> guide = std::make_shared<FZARVIKTestGuide>();
    ztesting::EventSpy spy;
};

TEST_F(TestGuide, InitGuideSetsCaptionStepsAndTheResultViewOfTheTestId)
{
    const struct {
        int32_t testId;
        bool checklist;
    } cases[] = {{100, false}, {200, false}, {300, false}, {400, true}, {500, true},  {600, true},
                 {700, false}, {800, false}, {900, false}, {1000, false}, {1100, true}, {4711, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.testId);
        auto window = std::make_shared<FZARVIKTestGuide>();
        element->Initialize("ZARVIK", c.testId, 1);
        window->InitGuide(element, context, Steps({"One", "Two"}));
        auto view = window->ResultView();
        ASSERT_TRUE(view);
        EXPECT_EQ(c.checklist, std::dynamic_pointer_cast<ztest::XTestResult>(view) != nullptr);
        EXPECT_EQ(!c.checklist, std::dynamic_pointer_cast<ztest::XChargeResult>(view) != nullptr);
        EXPECT_EQ("Defibrillieren", window->Caption());
        ASSERT_TRUE(window->Icon());
        EXPECT_EQ(host::HostIconLibrary::PictureKey(101), window->Icon()->Key());
        EXPECT_EQ((std::vector<std::string>{"One", "Two"}), window->xtwDetails()->Lines());
        EXPECT_EQ(2, window->xtwWizard()->PageCount());
        EXPECT_EQ("Analysator", window->xtwWizard()->PageCaption(1));
        window->Unload();
    }
}

TEST_F(TestGuide, InitGuideWithoutElementDoesNothing)
{
    guide->InitGuide(nullptr, context, Steps({"One"}));
    EXPECT_EQ(FZARVIKTestGuide::DesignCaption, guide->Caption());
    EXPECT_FALSE(guide->ResultView());
}

// The button-202 rule over the three run modes, clicked on its face and chosen from its menu.
TEST_F(TestGuide, StartButtonFollowsTheRunModeTable)
{
    Init();
    const struct {
        const char* name;
        int32_t state;
        bool done;
        int nextEnabled;  // -1 leaves it as the run mode set it
        const char* face;
        bool pressed;
        const char* faceEvent;
        const char* menuEvent;  // "" when the menu is locked
    } cases[] = {
        {"ready, not run", 1, false, -1, "Start", false, "StartTest", "StartTest"},
        {"running", 2, false, -1, "Stop", true, "StopTest", ""},
        {"ready, done", 1, true, -1, "Next", false, "NextTest", "StartTest"},
        {"done, Next disabled", 1, true, 0, "Next", false, "StartTest", "StartTest"},
        {"running, Next enabled", 2, false, 1, "Stop", true, "NextTest", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        guide->SetRunState(c.state, c.done);
        if (c.nextEnabled >= 0) guide->EnableNext(c.nextEnabled == 1);
        auto start = Toolbar().Button(ITgToolbar::ButtonStart);
        EXPECT_EQ(c.face, start->Caption());
        EXPECT_EQ(c.pressed, start->Pressed());
        spy.Clear();
        mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonStart);
        EXPECT_EQ(std::vector<std::string>{c.faceEvent}, spy.Names());
        spy.Clear();
        if (*c.menuEvent) {
            mDriver.ChooseToolbarStart(Toolbar());
            EXPECT_EQ(std::vector<std::string>{c.menuEvent}, spy.Names());
        } else {
            EXPECT_THROW(mDriver.ChooseToolbarStart(Toolbar()), ztesting::UiDriverError);
        }
    }
}

TEST_F(TestGuide, RunModesEnableTheButtonsAsTheTableSays)
{
    Init();
    const int32_t ids[] = {101, 102, 103, 201, 301, 302};
    const struct {
        int32_t state;
        bool done;
        bool enabled[6];
    } cases[] = {
        {1, false, {true, true, true, false, true, true}},
        {2, false, {true, false, false, true, false, false}},
        {1, true, {true, true, true, false, true, true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.state) + (c.done ? " done" : ""));
        guide->SetRunState(c.state, c.done);
        for (int i = 0; i < 6; ++i) EXPECT_EQ(c.enabled[i], Toolbar().Button(ids[i])->Enabled()) << ids[i];
        EXPECT_EQ(c.state == 2, Toolbar().Locked());
    }
    // Any other state changes nothing.
    guide->SetRunState(2, false);
    guide->SetRunState(3, true);
    EXPECT_EQ(1, Toolbar().RunMode());
}

// EnableNext holds until the test sets the next run mode, which sets Next by its own rule.
TEST_F(TestGuide, EnableNextLastsOnlyUntilTheNextRunMode)
{
    Init();
    auto next = Toolbar().Button(ITgToolbar::ButtonNext);
    guide->SetRunState(1, true);
    guide->EnableNext(false);
    EXPECT_FALSE(next->Enabled());
    guide->SetRunState(1, true);
    EXPECT_TRUE(next->Enabled());

    guide->SetRunState(2, false);
    guide->EnableNext(true);
    EXPECT_TRUE(next->Enabled());
    guide->SetRunState(2, false);
    EXPECT_FALSE(next->Enabled());
}

TEST_F(TestGuide, EachButtonRaisesItsEvent)
{
    Init();
    const std::pair<int32_t, const char*> cases[] = {
        {101, "AbortTest"}, {102, "Previous"}, {103, "NextTest"}, {301, "NA"}, {302, "Skip"}};
    for (const auto& [id, event] : cases) {
        spy.Clear();
        mDriver.ClickToolbarButton(Toolbar(), id);
        EXPECT_EQ(std::vector<std::string>{event}, spy.Names()) << id;
    }
    guide->SetRunState(2, false);
    spy.Clear();
    mDriver.ClickToolbarButton(Toolbar(), 201);
    EXPECT_EQ(std::vector<std::string>{"StopTest"}, spy.Names());
}

TEST_F(TestGuide, AbortNeedsTheOperatorsConfirmation)
{
    Init();
    {
        ztesting::MessageBoxCapture refuse(plat::vbNo);
        mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonAbort);
        EXPECT_EQ(1u, refuse.Boxes().size());
        EXPECT_TRUE(spy.Names().empty());
    }
    mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonAbort);
    EXPECT_EQ(std::vector<std::string>{"AbortTest"}, spy.Names());
    EXPECT_EQ(host::HostGuideServices::AbortPrompt, mBoxes.Prompts().back());
}

TEST_F(TestGuide, ClosingFromTheFrameAsksLikeAbortAndNeverDestroysTheWindow)
{
    Init();
    {
        ztesting::MessageBoxCapture refuse(plat::vbNo);
        mDriver.CloseForm(*guide);
        EXPECT_TRUE(spy.Names().empty());
    }
    mDriver.CloseForm(*guide);
    EXPECT_EQ(std::vector<std::string>{"AbortTest"}, spy.Names());
    EXPECT_FALSE(guide->IsUnloaded());
    EXPECT_TRUE(guide->Visible());
}

TEST_F(TestGuide, NextStoresTheIdentityPageBeforeNextTest)
{
    Init();
    std::string storedSerial;
    auto connection = guide->NextTest.Connect([&] {
        host::HostRegistry registry;
        registry.OpenKey(host::HKEY_LOCAL_MACHINE, std::string(ztest::XMTIData::RegistryKey) + "ZARVIK");
        storedSerial = registry.GetStringValue("Serial");
    });
    mDriver.SelectPage(*guide->xtwWizard(), 1);
    mDriver.Type(*guide->xmdMtiData()->txtSerial(), "SN-42");
    mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonNext);
    EXPECT_EQ("SN-42", storedSerial);

    // The start button acting as Next stores it too; nothing else does.
    mDriver.Type(*guide->xmdMtiData()->txtSerial(), "7");
    mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonPrevious);
    guide->SetRunState(1, true);
    storedSerial.clear();
    mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonStart);
    EXPECT_EQ("SN-427", storedSerial);
    EXPECT_EQ("SN-427", guide->GetMtiData()->Serial());
}

// A serial number typed beyond ASCII is stored as typed: in the unit record, in the registry on
// Next, and on the identity page that reads it back.
TEST_F(TestGuide, ASerialTypedBeyondAsciiSurvivesNextAndAReload)
{
    for (const std::string serial : {"ＳＮ１２", "V2😀"}) {
        SCOPED_TRACE(serial);
        auto window = std::make_shared<FZARVIKTestGuide>();
        element->Initialize("ZARVIK", 100, 1);
        window->Load();
        window->SetRunState(1, false);
        window->InitGuide(element, context, Steps({"Connect the paddles"}));
        window->Show(plat::vbModeless);
        mDriver.SelectPage(*window->xtwWizard(), 1);
        auto box = window->xmdMtiData()->txtSerial();
        mDriver.SelectAll(*box);
        mDriver.Type(*box, serial);
        mDriver.ClickToolbarButton(*window->xtbToolbar(), ITgToolbar::ButtonNext);
        EXPECT_EQ(serial, window->GetMtiData()->Serial());
        window->Unload();

        host::HostRegistry registry;
        registry.OpenKey(host::HKEY_LOCAL_MACHINE, std::string(ztest::XMTIData::RegistryKey) + "ZARVIK");
        EXPECT_EQ(serial, registry.GetStringValue("Serial"));
        ztest::XMTIData reloaded;
        EXPECT_EQ(serial, reloaded.txtSerial()->Text());
        EXPECT_EQ(serial, reloaded.GetMtiData()->Serial());
    }
}

// Translating the window reaches captions, never the stored serial number and firmware that
// the identity page holds: they are registered with the run and saved again on Next.
TEST_F(TestGuide, AStoredIdentityThatLooksLikeALanguageTextIsKeptAsItIs)
{
    const std::string unitKey = std::string(ztest::XMTIData::RegistryKey) + "ZARVIK";
    {
        host::HostRegistry registry;
        registry.CreateKey(host::HKEY_LOCAL_MACHINE, unitKey);
        registry.SetStringValue("Serial", "SN::4711");
        registry.SetStringValue("Firmware", "V2::01");
    }
    Init();
    auto page = guide->xmdMtiData();
    EXPECT_EQ("SN::4711", page->txtSerial()->Text());
    EXPECT_EQ("V2::01", page->txtFirmware()->Text());
    EXPECT_EQ("SN::4711", guide->GetMtiData()->Serial());
    EXPECT_EQ("V2::01", guide->GetMtiData()->Firmware());
    EXPECT_EQ("Analysator", guide->xtwWizard()->PageCaption(1)) << "captions are still translated";

    mDriver.ClickToolbarButton(Toolbar(), ITgToolbar::ButtonNext);
    host::HostRegistry registry;
    registry.OpenKey(host::HKEY_LOCAL_MACHINE, unitKey);
    EXPECT_EQ("SN::4711", registry.GetStringValue("Serial"));
    EXPECT_EQ("V2::01", registry.GetStringValue("Firmware"));
}

TEST_F(TestGuide, IdentityPageShowsTheUnitTheResultNames)
{
    auto entry = context->MtiList()->NewEntry();
    entry->Initialize("ZARVIK", 2);
    entry->SetMtiData("ZARVIK-2", "A77", "3.1");
    context->MtiList()->Add(entry);
    result->mtiid = 2;
    Init();
    auto page = guide->xmdMtiData();
    EXPECT_EQ("A77", page->txtSerial()->Text());
    EXPECT_EQ("ZARVIK-2", page->cboMtiType()->Text());
    EXPECT_EQ("3.1", guide->GetMtiData()->Firmware());
}

TEST_F(TestGuide, ToolbarFlagsComeFromTheTestGuideSettings)
{
    const struct {
        const char* name;
        int flags;  // -1: no configuration record
        bool skip, na;
    } cases[] = {{"no settings", -1, true, true}, {"flags 0", 0, false, false}, {"Skip only", 1, true, false}, {"N/A only", 2, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = std::make_shared<FZARVIKTestGuide>();
        if (c.flags >= 0) {
            auto config = std::make_shared<ztest::CConfigEnergy>();
            config->TestGuideConfig()->SetToolbarFlags(c.flags);
            element->SetConfiguration(config);
        } else {
            element->SetConfiguration(nullptr);
        }
        element->Initialize("ZARVIK", 100, 1);
        window->InitGuide(element, context, Steps({}));
        auto toolbar = window->xtbToolbar();
        EXPECT_EQ(c.skip, toolbar->Button(ITgToolbar::ButtonSkip)->Visible());
        EXPECT_EQ(c.na, toolbar->Button(ITgToolbar::ButtonNA)->Visible());
        EXPECT_TRUE(toolbar->Button(ITgToolbar::ButtonAbort)->Visible());
        EXPECT_TRUE(toolbar->Button(ITgToolbar::ButtonPrevious)->Visible());
        EXPECT_TRUE(toolbar->Button(ITgToolbar::ButtonNext)->Visible());
        window->Unload();
    }
}

TEST_F(TestGuide, StatusTextTranslatesOnlyLanguageIdTexts)
{
    Init();
    const std::pair<const char*, const char*> cases[] = {
        {"20531::Test in progress", "Messung laeuft"},
        {"T9::x", "Defibrillieren"},
        {"12345::Five digits", "Five digits"},
        {"123456::Six digits", "123456::Six digits"},
        {"Ready: 3 :: 4", "Ready: 3 :: 4"},
        {"", ""},
    };
    for (const auto& [text, shown] : cases) {
        guide->ShowStatusText(text);
        EXPECT_EQ(shown, Status()) << text;
    }
}

TEST_F(TestGuide, ResultStatusGoesToTheStatusField)
{
    Init();
    result->status = 2;
    guide->ShowResultStatus(result);
    EXPECT_EQ(2, Toolbar().StatusField()->Status());
    guide->ShowResultStatus(nullptr);
    EXPECT_EQ(2, Toolbar().StatusField()->Status());
}

TEST_F(TestGuide, InitialStandardSelectionFillsTheLimitColumns)
{
    Init();
    auto list = std::dynamic_pointer_cast<ztest::XChargeResult>(guide->ResultView())->lvwResult();
    auto row = list->ItemByKey("ENGY");
    EXPECT_EQ("200 J", row->SubItemByKey("hi").text);
    EXPECT_EQ("150 J", row->SubItemByKey("lo").text);
    EXPECT_EQ("IEC 60601", row->SubItemByKey("hi").toolTipText);

    mDriver.SelectStandard(Toolbar(), 1);
    EXPECT_EQ("210 J", row->SubItemByKey("hi").text);
    EXPECT_EQ("AAMI DF80", row->SubItemByKey("lo").toolTipText);
}

TEST_F(TestGuide, StandardSelectorListsTheRunsStandardsThatTheElementHolds)
{
    auto selected = std::make_shared<host::HostStandards>();
    selected->Add(ztesting::MakeStandard("AAMI", "AAMI DF80"));
    selected->Add(ztesting::MakeStandard("UL", "UL 2601"));
    context->SetSelectedStandards(selected);
    Init();
    auto listed = Toolbar().ListedStandards();
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ("AAMI", listed[0].alphaName);
    auto row = std::dynamic_pointer_cast<ztest::XChargeResult>(guide->ResultView())->lvwResult()->ItemByKey("ENGY");
    EXPECT_EQ("140 J", row->SubItemByKey("lo").text);
}

TEST_F(TestGuide, RightClickOnTheResultViewOpensTheMenuALeftOneDoesNot)
{
    Init();
    auto list = std::dynamic_pointer_cast<ztest::XChargeResult>(guide->ResultView())->lvwResult();
    mDriver.MouseDown(*list, plat::mouse::Left);
    EXPECT_EQ(0, Toolbar().MenuShownCount());
    mDriver.MouseDown(*list, plat::mouse::Right);
    EXPECT_EQ(1, Toolbar().MenuShownCount());
    EXPECT_TRUE(spy.Names().empty());
}

TEST_F(TestGuide, ChecklistClickReachesTheTestAsItemClicked)
{
    result->items.clear();
    result->Add("NSW", "Normal sinus wave", "", Variant(), 0, ztest::CMeasurement::ValueTypeBoolean);
    Init(400);
    auto grid = std::dynamic_pointer_cast<ztest::XTestResult>(guide->ResultView())->tliResult();
    mDriver.ClickCell(*grid, 1, 3);
    ASSERT_EQ(std::vector<std::string>{"ItemClicked"}, spy.Names());
    EXPECT_EQ(Variant(false), spy.Last().args[0]);
    EXPECT_EQ(2, result->items[0]->GetStatus());
}

// The result view's "ItemClicked" reaches the test as True for any non-zero argument.
TEST_F(TestGuide, ItemClickedRelaysTheViewsArgumentAsABoolean)
{
    Init(400);
    auto view = std::dynamic_pointer_cast<plat::UserControl>(guide->ResultView());
    ASSERT_TRUE(view);
    const std::pair<std::vector<Variant>, bool> cases[] = {
        {{Variant(int16_t{-1})}, true}, {{Variant(int16_t{1})}, true}, {{Variant(int32_t{7})}, true},
        {{Variant(int16_t{0})}, false}, {{}, false},
    };
    for (const auto& [args, relayed] : cases) {
        SCOPED_TRACE(args.empty() ? std::string("no argument") : plat::CStr(args[0]));
        spy.Clear();
        view->RaiseEvent("ItemClicked", args);
        ASSERT_EQ(std::vector<std::string>{"ItemClicked"}, spy.Names());
        EXPECT_EQ(Variant(relayed), spy.Last().args[0]);
    }
}

TEST_F(TestGuide, InstructionPopupCoversTheResultViewAndFlashesInVirtualTime)
{
    Init();
    auto popup = guide->xtipopup();
    auto view = guide->EmbeddedControl();
    guide->ShowInstruction("TI:SHOCK", "T9::Defibrillate now", true);
    EXPECT_TRUE(popup->IsShownOnScreen());
    EXPECT_EQ(view->Top(), popup->Top());
    EXPECT_EQ(view->Height(), popup->Height());
    EXPECT_EQ("TI:SHOCK", popup->IconKey());
    EXPECT_EQ("Defibrillieren", popup->Message());
    EXPECT_EQ(ztest::XTestInstruction::FlashOn, popup->BackColor());

    std::vector<int32_t> colours;
    for (int tick = 0; tick < 3; ++tick) {
        FastForwardBy(plat::Millis(500));
        colours.push_back(popup->BackColor());
    }
    EXPECT_EQ((std::vector<int32_t>{ztest::XTestInstruction::FlashOff, ztest::XTestInstruction::FlashOn,
                                    ztest::XTestInstruction::FlashOff}),
              colours);

    // An empty key keeps the icon; a steady message stops the flashing.
    guide->ShowInstruction("", "Wait", false);
    EXPECT_EQ("TI:SHOCK", popup->IconKey());
    EXPECT_FALSE(popup->Flash());
    guide->HideInstruction();
    EXPECT_FALSE(popup->Visible());
    FastForwardBy(plat::Millis(2000));
    EXPECT_EQ(ztest::XTestInstruction::FlashOff, popup->BackColor());
}

TEST_F(TestGuide, PopupFollowsTheResultViewWhenTheWindowIsLaidOut)
{
    Init();
    guide->ShowInstruction("TI:WAIT", "Wait", false);
    auto view = guide->EmbeddedControl();
    auto popup = guide->xtipopup();
    auto pane = std::dynamic_pointer_cast<plat::Window>(guide->xtwWizard());
    ASSERT_TRUE(pane);
    struct Size {
        float width, height;
    };
    // Each layout of the window moves the view; the popup lies exactly over it every time. A
    // window too small for its toolbar gives the page container no negative height.
    for (const Size size : {Size{12000, 9000}, Size{300, 100}, Size{10000, 8000}}) {
        SCOPED_TRACE(size.width);
        guide->Move(0, 0, size.width, size.height);
        EXPECT_EQ(size.width, pane->Width());
        EXPECT_EQ(view->Left(), popup->Left());
        EXPECT_EQ(view->Top(), popup->Top());
        EXPECT_EQ(view->Width(), popup->Width());
        EXPECT_EQ(view->Height(), popup->Height());
    }
    guide->Move(0, 0, 300, 100);
    EXPECT_EQ(0, pane->Height());
}

TEST_F(TestGuide, HighLightStepsMarksExactlyTheNamedLines)
{
    Init();
    auto details = guide->xtwDetails();
    guide->HighLightSteps(1, 3);
    EXPECT_EQ((std::vector<int32_t>{1, 3}), details->HighlightedLines());
    guide->HighLightSteps(2, 9);
    EXPECT_EQ((std::vector<int32_t>{2}), details->HighlightedLines());
    guide->HighLightSteps();
    EXPECT_TRUE(details->HighlightedLines().empty());
}

TEST_F(TestGuide, HandlerThatHidesAndPumpsEndsTheModalShowAfterItReturns)
{
    element->Initialize("ZARVIK", 100, 1);
    guide->InitGuide(element, context, Steps({"One"}));
    bool handlerDone = false;
    bool unloadedInside = true;
    auto connection = guide->StartTest.Connect([&] {
        guide->Hide();
        guide->Unload();
        // The window waits for its handler: still whole while the test pumps.
        unloadedInside = guide->IsUnloaded();
        bool waited = false;
        plat::Timer timer = TestLoop().StartOneShot(plat::Millis(300), [&] { waited = true; });
        TestLoop().RunUntil([&] { return waited; });
        handlerDone = true;
    });
    TestLoop().Post([&] { mDriver.ClickToolbarButton(*guide->xtbToolbar(), ITgToolbar::ButtonStart); });
    guide->Show(plat::vbModal);
    EXPECT_TRUE(handlerDone);
    EXPECT_FALSE(unloadedInside);
    EXPECT_TRUE(guide->IsUnloaded());
}

TEST_F(TestGuide, FakeElementPerformsAWholeModalRound)
{
    element->Initialize("ZARVIK", 100, 1);
    element->SetGuideSteps({"Connect", "Discharge"});
    TestLoop().Post([&] {
        auto window = element->Round().window.lock();
        ASSERT_TRUE(window);
        auto toolbar = window->xtbToolbar();
        mDriver.ClickToolbarButton(*toolbar, ITgToolbar::ButtonStart);
        EXPECT_EQ("Messung laeuft", toolbar->StatusField()->Text());
        EXPECT_EQ("Next", toolbar->Button(ITgToolbar::ButtonStart)->Caption());
        mDriver.SelectPage(*window->xtwWizard(), 1);
        mDriver.Type(*window->xmdMtiData()->txtSerial(), "S1");
        mDriver.ClickToolbarButton(*toolbar, ITgToolbar::ButtonStart);
    });
    element->Perform(context);
    const auto& round = element->Round();
    EXPECT_EQ((std::vector<std::string>{"StartTest", "NextTest"}), round.events);
    EXPECT_EQ("NextTest", round.navigation);
    ASSERT_TRUE(round.unit);
    EXPECT_EQ("S1", round.unit->Serial());
    EXPECT_EQ("ZARVIK", round.unit->MtiType());
    EXPECT_TRUE(round.window.expired());
}

} // namespace
