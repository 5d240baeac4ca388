#include "platform/ui/CheckBox.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/editors/XArrConfig.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/testlib/editors/EditorHarness.h"

#include <gtest/gtest.h>

using ztest::CConfigArr;
using ztest::XArrConfig;

namespace {

class ArrEditor : public ztesting::EditorHarness<CConfigArr, XArrConfig> {
protected:
    plat::ListBox& Waves() { return Find<plat::ListBox>("lstArrhythmia"); }
    plat::ComboBox& Width() { return Find<plat::ComboBox>("cboWidth"); }
    plat::ComboBox& Amplitude() { return Find<plat::ComboBox>("cboAmplitude"); }

    // Whether the pace lists are in their usable state (enabled, window background).
    void ExpectPaceLists(bool usable, const std::string& width, const std::string& amplitude)
    {
        for (plat::ComboBox* list : {&Width(), &Amplitude()}) {
            SCOPED_TRACE(list->Name());
            EXPECT_EQ(list->Enabled(), usable);
            EXPECT_EQ(list->BackColor(), usable ? plat::color::WindowBackground : plat::color::ButtonFace);
        }
        EXPECT_EQ(Width().Text(), width);
        EXPECT_EQ(Amplitude().Text(), amplitude);
    }
};

} // namespace

TEST_F(ArrEditor, AFreshRecordShowsTheFirstWaveWithThePaceListsOff)
{
    Open();
    ASSERT_EQ(Waves().ListCount(), 36);
    EXPECT_EQ(Waves().List(35), "TQNC");
    EXPECT_TRUE(Waves().Selected(0));
    EXPECT_EQ(Waves().SelCount(), 1);
    EXPECT_EQ(Find<plat::TextBox>("txtTimeSlider").Text(), "7 s");
    ASSERT_EQ(Width().ListCount(), 5);
    EXPECT_EQ(Width().List(3), "1.0");
    ASSERT_EQ(Amplitude().ListCount(), 31);
    EXPECT_EQ(Amplitude().List(0), "-700");
    EXPECT_EQ(Amplitude().List(6), "-18");
    EXPECT_EQ(Amplitude().List(15), "0");
    EXPECT_EQ(Amplitude().List(30), "700");
    ExpectPaceLists(false, "", "");
    EXPECT_EQ(Changes(), 0);
}

TEST_F(ArrEditor, AnAtrialPacingWaveShowsTheRecordsWidthAndAmplitude)
{
    struct Case {
        int32_t code;
        float width;
        float amplitude;
        const char* shownWidth;
        const char* shownAmplitude;
    };
    const Case cases[] = {
        {229, 0.5f, -20.0f, "0.5", "-20"},
        {230, 2.0f, 700.0f, "2.0", "700"},
        // Values that no entry holds leave the list without a selection.
        {230, 0.3f, 100.4f, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        record->SetWavetype(c.code);
        record->SetWidth(c.width);
        record->SetAmplitude(c.amplitude);
        if (!editor) Open();
        else Reinitialize();
        EXPECT_TRUE(Waves().Selected(c.code - 200));
        ExpectPaceLists(true, c.shownWidth, c.shownAmplitude);
        EXPECT_EQ(record->GetWidth(), c.width);
        EXPECT_EQ(record->GetAmplitude(), c.amplitude);
    }
    EXPECT_EQ(Changes(), 0);
}

// The lists show what the record holds, which is what the test sends to the analyzer.
TEST_F(ArrEditor, CheckingAnAtrialPacingWaveShowsTheRecordsPaceValuesWithoutWritingThem)
{
    record->SetWidth(0.5f);
    record->SetAmplitude(-20.0f);
    Open();

    driver.Check(Waves(), 30);
    ExpectPaceLists(true, "0.5", "-20");
    EXPECT_EQ(record->GetWavetype(), 230);
    EXPECT_EQ(record->GetWidth(), 0.5f);
    EXPECT_EQ(record->GetAmplitude(), -20.0f);
    EXPECT_EQ(Changes(), 2);

    driver.Select(Width(), "2.0");
    EXPECT_EQ(record->GetWidth(), 2.0f);
    EXPECT_EQ(Changes(), 3);
    driver.Select(Amplitude(), "-700");
    EXPECT_EQ(record->GetAmplitude(), -700.0f);
    EXPECT_EQ(Changes(), 4);

    // The checked wave clicked again stays checked and shows the values picked.
    driver.Check(Waves(), 30);
    EXPECT_TRUE(Waves().Selected(30));
    ExpectPaceLists(true, "2.0", "-700");
    EXPECT_EQ(record->GetWidth(), 2.0f);
    EXPECT_EQ(Changes(), 6);

    driver.Check(Waves(), 5);
    ExpectPaceLists(false, "", "");
    EXPECT_EQ(record->GetWavetype(), 205);
    EXPECT_EQ(record->GetAmplitude(), -700.0f);
    EXPECT_EQ(Changes(), 8);

    // A value that no entry holds selects nothing.
    record->SetWidth(0.3f);
    driver.Check(Waves(), 29);
    ExpectPaceLists(true, "", "-700");
    EXPECT_EQ(record->GetWidth(), 0.3f);
}

// Without a record the lists stand at their default entries.
TEST_F(ArrEditor, WithoutARecordAnAtrialPacingWaveShowsTheDefaultEntries)
{
    OpenUnbound(XArrConfig::ProgId);
    driver.Check(Waves(), 29);
    ExpectPaceLists(true, "0.1", "100");
}

TEST_F(ArrEditor, CodesOutsideTheListCheckNothing)
{
    for (int32_t code : {199, 236, 400, 429}) {
        SCOPED_TRACE(code);
        record->SetWavetype(code);
        if (!editor) Open();
        else Reinitialize();
        EXPECT_EQ(Waves().SelCount(), 0);
        ExpectPaceLists(false, "", "");
        EXPECT_EQ(record->GetWavetype(), code);
    }
    EXPECT_EQ(Changes(), 0);
}

TEST_F(ArrEditor, UnlockingEnablesThePaceListsOnlyForAnAtrialPacingWave)
{
    Open();
    dialog->SetLocked(true);
    for (const char* name : {"lstArrhythmia", "txtTimeSlider", "sldTimeSlider", "chkIndefiniteDuration"}) {
        EXPECT_FALSE(Find<plat::Control>(name).Enabled()) << name;
    }
    dialog->SetLocked(false);
    for (const char* name : {"lstArrhythmia", "txtTimeSlider", "sldTimeSlider", "chkIndefiniteDuration"}) {
        EXPECT_TRUE(Find<plat::Control>(name).Enabled()) << name;
    }
    ExpectPaceLists(false, "", "");

    driver.Check(Waves(), 29);
    dialog->SetLocked(true);
    EXPECT_FALSE(Width().Enabled());
    EXPECT_FALSE(Amplitude().Enabled());
    dialog->SetLocked(false);
    ExpectPaceLists(true, "0.1", "100");
}

// A record shown while the editor is locked enables nothing: not the duration of a wave that is
// held for a time, not the pace lists of an atrial-pacing wave.
TEST_F(ArrEditor, TheLockOutranksInitializeForTheDurationAndThePaceLists)
{
    record->SetWavetype(205);
    record->SetDuration(0);
    Open();
    dialog->SetLocked(true);
    record->SetWavetype(229);
    record->SetDuration(12);
    record->SetWidth(0.5f);
    Reinitialize();
    EXPECT_EQ(Find<plat::TextBox>("txtTimeSlider").Text(), "12 s");
    for (const char* name :
         {"lstArrhythmia", "txtTimeSlider", "sldTimeSlider", "chkIndefiniteDuration", "cboWidth", "cboAmplitude"}) {
        EXPECT_FALSE(Find<plat::Control>(name).Enabled()) << name;
    }
    dialog->SetLocked(false);
    ExpectPaceLists(true, "0.5", "100");
    for (const char* name : {"lstArrhythmia", "txtTimeSlider", "sldTimeSlider", "chkIndefiniteDuration"}) {
        EXPECT_TRUE(Find<plat::Control>(name).Enabled()) << name;
    }
    EXPECT_EQ(Changes(), 0);
}

TEST_F(ArrEditor, ReadsAndShowsThePaceValuesWithAPointInADecimalCommaLocale)
{
    ztesting::DecimalCommaLocale comma;
    record->SetWavetype(229);
    record->SetWidth(0.2f);
    Open();
    EXPECT_EQ(Width().List(0), "0.1");
    EXPECT_EQ(Width().Text(), "0.2");
    driver.Select(Width(), "0.5");
    EXPECT_EQ(record->GetWidth(), 0.5f);
}

TEST_F(ArrEditor, LaysOutThePaceRowsAndTheDuration)
{
    Open();
    dialog->Move(0, 0, 800, 800);
    const float height = Find<plat::Frame>("fraArrhythmia").Height();
    EXPECT_EQ(Find<plat::Frame>("fraArrhythmia").Width(), 6000);
    EXPECT_EQ(Waves().Height(), height - 900);
    EXPECT_EQ(Find<plat::TextBox>("txtTimeSlider").Left(), 5000);
    EXPECT_EQ(Width().Left(), 3600);
    EXPECT_EQ(Width().Top(), 1600);
    EXPECT_EQ(Amplitude().Top(), 2100);
    EXPECT_EQ(Find<plat::Label>("lblmV").Left(), 5100);
}
