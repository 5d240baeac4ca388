#include "testlib/config/CConfigEcg.h"
#include "testlib/editors/XEcgConfig.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/testlib/editors/EditorHarness.h"

#include <gtest/gtest.h>

using ztest::CConfigEcg;
using ztest::XEcgConfig;

namespace {

class EcgEditor : public ztesting::EditorHarness<CConfigEcg, XEcgConfig> {
protected:
    plat::ComboBox& Width() { return Find<plat::ComboBox>("cboWidth"); }
    plat::ComboBox& Amplitude() { return Find<plat::ComboBox>("cboAmplitude"); }
    plat::TextBox& Text() { return Find<plat::TextBox>("txtTimeSlider"); }
    plat::Slider& Slider() { return Find<plat::Slider>("sldTimeSlider"); }
    plat::OptionButton& Option(int index) { return Find<plat::OptionButton>("rdAutoincrementduration", index); }
};

} // namespace

TEST_F(EcgEditor, ShowingARecordBringsItsValuesIntoLineWithItsIndexesAndNothingElse)
{
    // Stored values that disagree with the stored indexes.
    record->SetWidth(3.0f);
    record->SetAmplitude(9.0f);
    Open();

    ASSERT_EQ(Width().ListCount(), 12);
    ASSERT_EQ(Amplitude().ListCount(), 28);
    EXPECT_EQ(Amplitude().List(0), "0.05");
    EXPECT_EQ(Amplitude().List(27), "5.00");
    EXPECT_EQ(Width().Text(), "160");
    EXPECT_EQ(Amplitude().Text(), "0.50");
    EXPECT_EQ(Text().Text(), "7 s");
    EXPECT_TRUE(Text().Locked());
    EXPECT_EQ(Slider().Value(), 7);
    EXPECT_TRUE(Option(0).Value());
    EXPECT_EQ(record->GetWidth(), 160.0f);
    EXPECT_EQ(record->GetAmplitude(), 0.5f);
    EXPECT_EQ(record->GetDuration(), 7);
    EXPECT_EQ(Changes(), 0);

    // Shown again with other indexes: the lists are not filled twice and the values follow.
    record->SetWidthIndex(11.0f);
    record->SetAmplitudeIndex(27.0f);
    record->SetAutoIncrement(CConfigEcg::StepAmplitude);
    Reinitialize();
    EXPECT_EQ(Width().ListCount(), 12);
    EXPECT_EQ(record->GetWidth(), 200.0f);
    EXPECT_EQ(record->GetAmplitude(), 5.0f);
    EXPECT_TRUE(Option(2).Value());
    EXPECT_EQ(Changes(), 0);
}

TEST_F(EcgEditor, StoredValuesTheControlsCannotShowLeaveThemEmptyAndTheRecordAlone)
{
    record->SetWidthIndex(12.0f);
    record->SetAmplitudeIndex(-1.0f);
    record->SetWidth(3.0f);
    record->SetAmplitude(9.0f);
    record->SetAutoIncrement(5);
    record->SetDuration(0);
    Open();
    EXPECT_EQ(Width().ListIndex(), -1);
    EXPECT_EQ(Amplitude().ListIndex(), -1);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Option(i).Value()) << i;
    EXPECT_EQ(Text().Text(), "0 s");
    EXPECT_EQ(Slider().Value(), 1);
    EXPECT_EQ(record->GetWidthIndex(), 12.0f);
    EXPECT_EQ(record->GetAmplitudeIndex(), -1.0f);
    EXPECT_EQ(record->GetWidth(), 3.0f);
    EXPECT_EQ(record->GetAutoIncrement(), 5);
    EXPECT_EQ(record->GetDuration(), 0);
    EXPECT_EQ(Changes(), 0);

    // The editor is not left loading.
    driver.Select(Width(), "200");
    EXPECT_EQ(record->GetWidth(), 200.0f);
    EXPECT_EQ(record->GetWidthIndex(), 11.0f);
    EXPECT_EQ(Changes(), 1);
}

TEST_F(EcgEditor, PicksWriteValueAndIndexAndTellTheHostOnce)
{
    Open();
    driver.Select(Width(), "200");
    EXPECT_EQ(record->GetWidth(), 200.0f);
    EXPECT_EQ(record->GetWidthIndex(), 11.0f);
    EXPECT_EQ(Changes(), 1);
    driver.Select(Amplitude(), "1.25");
    EXPECT_EQ(record->GetAmplitude(), 1.25f);
    EXPECT_EQ(record->GetAmplitudeIndex(), 12.0f);
    EXPECT_EQ(Changes(), 2);
    driver.Click(Option(2));
    EXPECT_EQ(record->GetAutoIncrement(), CConfigEcg::StepAmplitude);
    EXPECT_EQ(Changes(), 3);
    // A drag writes through the text and by itself: two notices.
    driver.MoveSlider(Slider(), 12);
    EXPECT_EQ(Text().Text(), "12 s");
    EXPECT_EQ(record->GetDuration(), 12);
    EXPECT_EQ(Changes(), 5);
}

TEST_F(EcgEditor, ReadsTheAmplitudesWithAPointInADecimalCommaLocale)
{
    ztesting::DecimalCommaLocale comma;
    record->SetAmplitudeIndex(10.0f);
    Open();
    EXPECT_EQ(Amplitude().Text(), "0.75");
    EXPECT_EQ(record->GetAmplitude(), 0.75f);
    driver.Select(Amplitude(), "2.25");
    EXPECT_EQ(record->GetAmplitude(), 2.25f);
}

TEST_F(EcgEditor, LockingDisablesEveryInputAndTheTextStaysReadOnly)
{
    Open();
    const char* inputs[] = {"cboWidth", "cboAmplitude", "txtTimeSlider", "sldTimeSlider"};
    dialog->SetLocked(true);
    for (const char* name : inputs) EXPECT_FALSE(Find<plat::Control>(name).Enabled()) << name;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Option(i).Enabled()) << i;
    dialog->SetLocked(false);
    for (const char* name : inputs) EXPECT_TRUE(Find<plat::Control>(name).Enabled()) << name;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Option(i).Enabled()) << i;
    EXPECT_TRUE(Text().Locked());
}

TEST_F(EcgEditor, LaysOutAtTheMinimumHeightWhenSmaller)
{
    Open();
    dialog->Move(0, 0, 9000, 2055);
    auto& setup = Find<plat::Frame>("fraTestSetup");
    auto& settings = Find<plat::Frame>("fraTestGuideSettings");
    const float height = setup.Height();
    EXPECT_GT(height, 0);
    EXPECT_EQ(setup.Width(), 6000);
    EXPECT_EQ(settings.Left(), 6120);
    EXPECT_EQ(settings.Width(), 2600);
    EXPECT_EQ(settings.Height(), height);
    dialog->Move(0, 0, 700, 300);
    EXPECT_EQ(setup.Height(), height);
}
