#include "platform/ui/CheckBox.h"
#include "platform/ui/Frame.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/editors/XNSWConfig.h"
#include "testlib/editors/XPerfConfig.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/testlib/editors/EditorHarness.h"

#include <gtest/gtest.h>

using ztest::CConfigNSW;
using ztest::CConfigPerf;
using ztest::XNSWConfig;
using ztest::XPerfConfig;

namespace {

// The checked entries of a check-box list.
std::vector<int> Checked(const plat::ListBox& list)
{
    std::vector<int> checked;
    for (int i = 0; i < list.ListCount(); ++i) {
        if (list.Selected(i)) checked.push_back(i);
    }
    return checked;
}

class NswEditor : public ztesting::EditorHarness<CConfigNSW, XNSWConfig> {
protected:
    plat::ListBox& Waves() { return Find<plat::ListBox>("lstNSWParameters"); }
    plat::TextBox& Text() { return Find<plat::TextBox>("txtTimeSlider"); }
    plat::Slider& Slider() { return Find<plat::Slider>("sldTimeSlider"); }
    plat::CheckBox& Indefinite() { return Find<plat::CheckBox>("chkIndefiniteDuration"); }
    // Makes the duration text box editable as the editor does it: locked, then unlocked.
    void UnlockText()
    {
        dialog->SetLocked(true);
        dialog->SetLocked(false);
    }
};

class PerfEditor : public ztesting::EditorHarness<CConfigPerf, XPerfConfig> {
protected:
    plat::ListBox& Waves() { return Find<plat::ListBox>("lstPerformance"); }
};

} // namespace

TEST_F(NswEditor, ShowsTheRecordWithoutWritingItOrTellingTheHost)
{
    host::HostTranslator::Process()->SetText("ZARVIK", "20252", "Sinus 80/min");
    record->SetWavetype(102);
    record->SetDuration(12);
    Open();

    ASSERT_EQ(Waves().ListCount(), 8);
    EXPECT_EQ(Waves().List(0), "Sine 30 BPM");
    EXPECT_EQ(Waves().List(2), "Sinus 80/min");
    EXPECT_EQ(Checked(Waves()), std::vector<int>{2});
    EXPECT_EQ(Text().Text(), "12 s");
    EXPECT_EQ(Slider().Value(), 12);
    EXPECT_EQ(Indefinite().Value(), plat::vbUnchecked);
    EXPECT_TRUE(Text().Enabled());
    // The text box is read-only until the editor has been locked and unlocked.
    EXPECT_TRUE(Text().Locked());
    EXPECT_EQ(record->GetWavetype(), 102);
    EXPECT_EQ(record->GetDuration(), 12);
    EXPECT_EQ(Changes(), 0);

    // Shown again (with the same record): still one check, the list not filled twice.
    Reinitialize();
    EXPECT_EQ(Waves().ListCount(), 8);
    EXPECT_EQ(Checked(Waves()), std::vector<int>{2});
    EXPECT_EQ(Changes(), 0);
}

TEST_F(NswEditor, CheckingAWaveWritesItsCodeBetweenTwoNotices)
{
    Open();
    driver.Check(Waves(), 3);
    EXPECT_EQ(Checked(Waves()), std::vector<int>{3});
    EXPECT_EQ(record->GetWavetype(), 103);
    EXPECT_EQ(Changes(), 2);

    // Clicking the checked wave leaves it the one checked.
    driver.Check(Waves(), 3);
    EXPECT_EQ(Checked(Waves()), std::vector<int>{3});
    EXPECT_EQ(record->GetWavetype(), 103);
    EXPECT_EQ(Changes(), 4);
}

TEST_F(NswEditor, ACodeOutsideTheListChecksNothingAndWritesNothing)
{
    for (int32_t code : {99, 108, 300, 200, -1}) {
        SCOPED_TRACE(code);
        record->SetWavetype(code);
        if (!editor) Open();
        else Reinitialize();
        EXPECT_TRUE(Checked(Waves()).empty());
        EXPECT_EQ(record->GetWavetype(), code);
        // The editor still works afterwards.
        EXPECT_EQ(Changes(), 0);
    }
    driver.Check(Waves(), 7);
    EXPECT_EQ(record->GetWavetype(), 107);
}

TEST_F(NswEditor, MovingTheSliderWritesTheDurationOnce)
{
    Open();
    driver.MoveSlider(Slider(), 12);
    EXPECT_EQ(Text().Text(), "12 s");
    EXPECT_EQ(record->GetDuration(), 12);
    EXPECT_EQ(Changes(), 1);
}

TEST_F(NswEditor, AnIndefiniteDurationReopensCheckedWithTheDurationDisabled)
{
    record->SetDuration(0);
    Open();
    EXPECT_EQ(Text().Text(), "0 s");
    EXPECT_EQ(Indefinite().Value(), plat::vbChecked);
    EXPECT_FALSE(Text().Enabled());
    EXPECT_FALSE(Slider().Enabled());
    EXPECT_EQ(Text().BackColor(), plat::color::ButtonFace);
    EXPECT_EQ(Slider().Value(), 1);
    EXPECT_EQ(record->GetDuration(), 0);
    EXPECT_EQ(Changes(), 0);

    // Unchecking reads "0 s" as 0: the text becomes "1", selected, and the record gets 1.
    driver.Click(Indefinite());
    EXPECT_EQ(Text().Text(), "1");
    EXPECT_EQ(Text().SelLength(), 1);
    EXPECT_TRUE(Text().Enabled());
    EXPECT_TRUE(Slider().Enabled());
    EXPECT_EQ(Text().BackColor(), plat::color::WindowBackground);
    EXPECT_EQ(record->GetDuration(), 1);
    EXPECT_EQ(Changes(), 1);

    // Checking it again writes 0 and tells the host.
    driver.Click(Indefinite());
    EXPECT_EQ(record->GetDuration(), 0);
    EXPECT_EQ(Changes(), 2);
    EXPECT_FALSE(Slider().Enabled());

    // Unchecking with a valid duration shown writes it and tells the host once.
    driver.Click(Indefinite());
    EXPECT_EQ(Text().Text(), "1");
    EXPECT_EQ(record->GetDuration(), 1);
    EXPECT_EQ(Changes(), 3);
}

// Only a duration below one second is "Indefinite": the shortest real duration is shown as one.
TEST_F(NswEditor, AStoredDurationOfOneSecondIsNotIndefinite)
{
    record->SetDuration(1);
    Open();
    EXPECT_EQ(Text().Text(), "1 s");
    EXPECT_EQ(Indefinite().Value(), plat::vbUnchecked);
    EXPECT_TRUE(Text().Enabled());
    EXPECT_TRUE(Slider().Enabled());
    EXPECT_EQ(Text().BackColor(), plat::color::WindowBackground);
    EXPECT_EQ(Slider().Value(), 1);
    EXPECT_EQ(record->GetDuration(), 1);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(NswEditor, AStoredDurationOutsideTheSliderIsShownClampedAndNotWrittenBack)
{
    record->SetDuration(75);
    Open();
    EXPECT_EQ(Text().Text(), "75 s");
    EXPECT_EQ(Slider().Value(), 60);
    EXPECT_EQ(Indefinite().Value(), plat::vbUnchecked);
    EXPECT_EQ(record->GetDuration(), 75);
    EXPECT_EQ(Changes(), 0);
    // The editor is not left loading: the operator's moves still count.
    driver.MoveSlider(Slider(), 30);
    EXPECT_EQ(record->GetDuration(), 30);
}

TEST_F(NswEditor, TypedDurationsAreClampedToOneMinute)
{
    ztesting::DecimalCommaLocale comma;
    Open();
    UnlockText();
    ASSERT_FALSE(Text().Locked());
    // The focus selects the whole text.
    driver.Focus(Text());
    EXPECT_EQ(Text().SelStart(), 0);
    EXPECT_EQ(Text().SelLength(), 3);

    // Typing "75" over the selected text: 7 first, then 75 is clamped to 60 (selected).
    driver.SelectAll(Text());
    driver.Type(Text(), "7");
    EXPECT_EQ(record->GetDuration(), 7);
    driver.Type(Text(), "5");
    EXPECT_EQ(Text().Text(), "60");
    EXPECT_EQ(Text().SelLength(), 2);
    EXPECT_EQ(record->GetDuration(), 60);
    EXPECT_EQ(Changes(), 2);

    struct Case {
        const char* typed;
        const char* shown;
        int32_t duration;
    };
    const Case cases[] = {
        {"", "1", 1},                              // an emptied box reads 0
        {"x", "1", 1},
        {"0.5", "1", 1},                           // halves round to even: 0
        {"1.5", "1.5", 2},                         // ... and 2
        {"60.5", "60.5", 60},
        {"60.6", "60", 60},
        {"-3", "1", 1},
        {"99999999999999999999999999", "60", 60},  // clamped before it is rounded
        {"1e400", "60", 60},                       // beyond any number
        {"4 2", "4 2", 42},                        // blanks are skipped
        {"7,5", "7,5", 7},                         // only "." continues a number, whatever the locale
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        // Pasted over the whole text, as one change.
        driver.SelectAll(Text());
        ResetChanges();
        Text().SetSelText(c.typed);
        EXPECT_EQ(Changes(), 1);
        EXPECT_EQ(Text().Text(), c.shown);
        EXPECT_EQ(record->GetDuration(), c.duration);
    }
}

TEST_F(NswEditor, LockingDisablesTheInputsAndUnlockingKeepsAnIndefiniteDurationDisabled)
{
    Open();
    // Unlocking a fresh editor changes nothing: the text box stays read-only.
    dialog->SetLocked(false);
    EXPECT_TRUE(Text().Locked());

    dialog->SetLocked(true);
    EXPECT_TRUE(editor->Locked());
    for (plat::Control* control : std::initializer_list<plat::Control*>{&Waves(), &Text(), &Slider(), &Indefinite()}) {
        SCOPED_TRACE(control->Name());
        EXPECT_FALSE(control->Enabled());
    }
    dialog->SetLocked(false);
    for (plat::Control* control : std::initializer_list<plat::Control*>{&Waves(), &Text(), &Slider(), &Indefinite()}) {
        SCOPED_TRACE(control->Name());
        EXPECT_TRUE(control->Enabled());
    }
    EXPECT_FALSE(Text().Locked());

    driver.Click(Indefinite());
    dialog->SetLocked(true);
    dialog->SetLocked(false);
    EXPECT_TRUE(Indefinite().Enabled());
    EXPECT_FALSE(Text().Enabled());
    EXPECT_FALSE(Slider().Enabled());
    EXPECT_EQ(Changes(), 1);
}

TEST_F(NswEditor, EditsWithoutARecordStillTellTheHost)
{
    OpenUnbound(XNSWConfig::ProgId);
    auto& bare = dynamic_cast<XNSWConfig&>(Editor());
    EXPECT_EQ(bare.Config(), nullptr);
    // A record of another class is refused.
    host.Dialog()->Initialize(plat::Variant(plat::ObjectPtr(std::make_shared<CConfigPerf>())));
    EXPECT_EQ(bare.Config(), nullptr);

    driver.Check(Waves(), 4);
    EXPECT_EQ(Changes(), 2);
    driver.MoveSlider(Slider(), 20);
    EXPECT_EQ(Changes(), 3);
    driver.Click(Indefinite());
    EXPECT_EQ(Changes(), 4);
    EXPECT_FALSE(bare.Loading());
}

TEST_F(NswEditor, ARecordOfAnotherClassKeepsTheRecordBound)
{
    Open();
    dialog->Initialize(plat::Variant(plat::ObjectPtr(std::make_shared<CConfigPerf>())));
    EXPECT_EQ(editor->Config(), record);
    driver.Check(Waves(), 1);
    EXPECT_EQ(record->GetWavetype(), 101);
}

TEST_F(NswEditor, LaysOutAtTheMinimumHeightWhenSmaller)
{
    Open();
    auto& frame = Find<plat::Frame>("fraNSW");
    auto& settings = Find<plat::Frame>("fraTestGuideSettings");
    dialog->Move(0, 0, 3000, 2055);
    const float height = frame.Height();
    EXPECT_EQ(frame.Width(), 6000);
    EXPECT_EQ(settings.Left(), 6120);
    EXPECT_EQ(settings.Width(), 2600);
    EXPECT_EQ(settings.Height(), height);
    EXPECT_EQ(Waves().Top(), 800);
    EXPECT_EQ(Waves().Height(), height - 950);
    // Smaller still: laid out as at the minimum.
    dialog->Move(0, 0, 1000, 500);
    EXPECT_EQ(frame.Height(), height);
    EXPECT_EQ(Waves().Height(), height - 950);
    // The duration controls keep their design places.
    EXPECT_EQ(Text().Left(), 4920);
    EXPECT_EQ(Slider().Top(), 840);
}

TEST_F(PerfEditor, ShowsTheLastWaveScrolledIntoViewAndTheStoredLead)
{
    record->SetWavetype(316);
    record->SetLead(CConfigPerf::LeadII);
    Open();
    ASSERT_EQ(Waves().ListCount(), 17);
    EXPECT_EQ(Checked(Waves()), std::vector<int>{16});
    // Scrolled to its end: the last wave is in view.
    EXPECT_GT(Waves().TopIndex(), 0);
    EXPECT_GE(Waves().TopIndex() + Waves().VisibleRows(), 17);
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadI").Value());
    EXPECT_TRUE(Find<plat::OptionButton>("opLeadII").Value());
    EXPECT_EQ(Changes(), 0);

    driver.Check(Waves(), 0);
    EXPECT_EQ(record->GetWavetype(), 300);
    EXPECT_EQ(Changes(), 2);
    driver.Click(Find<plat::OptionButton>("opLeadI"));
    EXPECT_EQ(record->GetLead(), CConfigPerf::LeadI);
    EXPECT_EQ(Changes(), 3);
}

TEST_F(PerfEditor, CodesOfOtherListsAndLeadsOfNoOptionShowNothing)
{
    // 600 would name the first wave if the code were only taken modulo 300.
    record->SetWavetype(600);
    record->SetLead(3);
    Open();
    EXPECT_TRUE(Checked(Waves()).empty());
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadI").Value());
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadII").Value());
    EXPECT_EQ(record->GetWavetype(), 600);
    EXPECT_EQ(record->GetLead(), 3);

    for (int32_t code : {107, 317, 299}) {
        SCOPED_TRACE(code);
        record->SetWavetype(code);
        Reinitialize();
        EXPECT_TRUE(Checked(Waves()).empty());
    }
    // Lead 0 names no option either: showing Lead II would misstate what the test sends.
    record->SetLead(0);
    Reinitialize();
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadI").Value());
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadII").Value());
    EXPECT_EQ(record->GetLead(), 0);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PerfEditor, LockingAlsoDisablesTheLeadsAndTheLayoutPlacesTheDuration)
{
    Open();
    dialog->SetLocked(true);
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadI").Enabled());
    EXPECT_FALSE(Find<plat::OptionButton>("opLeadII").Enabled());
    dialog->SetLocked(false);
    EXPECT_TRUE(Find<plat::OptionButton>("opLeadII").Enabled());

    dialog->Move(0, 0, 500, 500);
    const float height = Find<plat::Frame>("fraPerformance").Height();
    EXPECT_EQ(Waves().Height(), height - 900);
    EXPECT_EQ(Find<plat::TextBox>("txtTimeSlider").Left(), 5000);
    EXPECT_EQ(Find<plat::TextBox>("txtTimeSlider").Top(), 250);
    EXPECT_EQ(Find<plat::Slider>("sldTimeSlider").Left(), 2100);
    EXPECT_EQ(Find<plat::CheckBox>("chkIndefiniteDuration").Left(), 3300);
}

// Another record shown in the open editor, with another wave (and lead): the controls follow
// it, and neither record is written nor the host told.
TEST_F(NswEditor, AnotherRecordIsShownWithoutWritingOrNotifying)
{
    record->SetWavetype(102);
    Open();
    auto other = std::make_shared<CConfigNSW>();
    other->SetWavetype(105);
    other->SetDuration(20);
    dialog->Initialize(plat::Variant(plat::ObjectPtr(other)));
    EXPECT_EQ(Checked(Waves()), std::vector<int>{5});
    EXPECT_EQ(Slider().Value(), 20);
    EXPECT_EQ(other->GetWavetype(), 105);
    EXPECT_EQ(other->GetDuration(), 20);
    EXPECT_EQ(record->GetWavetype(), 102);
    EXPECT_EQ(Changes(), 0);
}

TEST_F(PerfEditor, AnotherRecordIsShownWithoutWritingOrNotifying)
{
    record->SetWavetype(300);
    record->SetLead(CConfigPerf::LeadI);
    Open();
    auto other = std::make_shared<CConfigPerf>();
    other->SetWavetype(316);
    other->SetLead(CConfigPerf::LeadII);
    dialog->Initialize(plat::Variant(plat::ObjectPtr(other)));
    EXPECT_EQ(Checked(Waves()), std::vector<int>{16});
    EXPECT_TRUE(Find<plat::OptionButton>("opLeadII").Value());
    EXPECT_EQ(other->GetWavetype(), 316);
    EXPECT_EQ(other->GetLead(), CConfigPerf::LeadII);
    EXPECT_EQ(record->GetWavetype(), 300);
    EXPECT_EQ(record->GetLead(), CConfigPerf::LeadI);
    EXPECT_EQ(Changes(), 0);
}
