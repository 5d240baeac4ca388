#include "host/documents/HostTranslator.h"
#include "host/elements/HostTestGuideSettings.h"
#include "host/interfaces/ITestGuideSettings.h"
#include "testlib/config/CConfigBatCap.h"
#include "testlib/config/CConfigCardio.h"
#include "testlib/config/CConfigCharge.h"
#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/editors/XBatCapConfig.h"
#include "testlib/editors/XCardioConfig.h"
#include "testlib/editors/XChargeConfig.h"
#include "testlib/editors/XDefibConfig.h"
#include "testlib/editors/XEnergyConfig.h"
#include "tests/support/DecimalCommaLocale.h"
#include "tests/testlib/editors/EditorFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using ztest::CConfigDischarge;

namespace {

// One defibrillator editor and its record.
struct DischargeCase {
    const char* editorProgId;
    std::function<std::shared_ptr<CConfigDischarge>()> makeRecord;
    int waves;     // entries of the wave list; 0 when there is none
    bool battery;  // whether it has the battery check box
};

template <class Record>
std::shared_ptr<CConfigDischarge> Make()
{
    return std::make_shared<Record>();
}

const DischargeCase kCases[] = {
    {"TelvoZarvikTest.XEnergyConfig", Make<ztest::CConfigEnergy>, 7, false},
    {"TelvoZarvikTest.XChargeConfig", Make<ztest::CConfigCharge>, 7, false},
    {"TelvoZarvikTest.XCardioConfig", Make<ztest::CConfigCardio>, 5, false},
    {"TelvoZarvikTest.XDefibConfig", Make<ztest::CConfigDefib>, 0, true},
    {"TelvoZarvikTest.XBatCapConfig", Make<ztest::CConfigBatCap>, 0, false},
};

std::string Name(const ::testing::TestParamInfo<DischargeCase>& info)
{
    std::string name = info.param.editorProgId;
    return name.substr(name.find('.') + 1);
}

using ztest::Place;

Place PlaceOf(const plat::Control& control)
{
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

ztest::CConfigWaveIndex* Waves(CConfigDischarge& record)
{
    return dynamic_cast<ztest::CConfigWaveIndex*>(&record);
}

class DischargeEditor : public ztesting::EditorFixture, public ::testing::WithParamInterface<DischargeCase> {
protected:
    void OpenWith(float presetEnergy, int32_t waveIndex = 1, bool battery = true)
    {
        record->SetPresetEnergy(presetEnergy);
        if (auto waves = Waves(*record)) waves->SetWaveFormIndex(waveIndex);
        if (auto defib = std::dynamic_pointer_cast<ztest::CConfigDefib>(record)) defib->SetBatteryOperated(battery);
        Open(record);
    }

    plat::TextBox& Energy() const { return Find<plat::TextBox>("txtEnergy"); }
    // Every input of the editor: the number box, the wave list and the battery check box.
    std::vector<plat::Control*> Inputs() const
    {
        std::vector<plat::Control*> inputs{&Energy()};
        if (GetParam().waves > 0) inputs.push_back(&Find<plat::ComboBox>("cboECGWave"));
        if (GetParam().battery) inputs.push_back(&Find<plat::CheckBox>("chkBatteryOperated"));
        return inputs;
    }
    void ExpectOperable(bool operable) const
    {
        for (plat::Control* input : Inputs()) {
            SCOPED_TRACE(input->Name());
            EXPECT_EQ(ztesting::UiDriver::CanOperate(*input), operable);
        }
    }
    void Bind(const plat::ObjectPtr& object) { host.Dialog()->Initialize(plat::Variant(object)); }

    std::shared_ptr<CConfigDischarge> record = GetParam().makeRecord();
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Editors, DischargeEditor, ::testing::ValuesIn(kCases), Name);

TEST_P(DischargeEditor, InitializeShowsTheRecordWithoutWritingOrNotifying)
{
    const std::pair<float, const char*> energies[] = {{150.4f, "150"}, {150.6f, "151"}, {0.0f, "0"}, {360.0f, "360"}};
    for (const auto& [energy, shown] : energies) {
        SCOPED_TRACE(shown);
        OpenWith(energy, 3);
        EXPECT_EQ(Energy().Text(), shown);
        EXPECT_FLOAT_EQ(record->GetPresetEnergy(), energy) << "showing rounds nothing back into the record";
    }
    EXPECT_EQ(Changes(), 0);
    if (GetParam().waves > 0) {
        auto& list = Find<plat::ComboBox>("cboECGWave");
        EXPECT_EQ(list.Style(), plat::vbComboDropdownList);
        EXPECT_EQ(list.ListCount(), GetParam().waves) << "every entry once";
        EXPECT_EQ(list.ListIndex(), 3);
        EXPECT_EQ(Waves(*record)->GetWaveFormIndex(), 3);
    }
    if (GetParam().battery) {
        EXPECT_EQ(Find<plat::CheckBox>("chkBatteryOperated").Value(), plat::vbChecked);
    }
    // Refresh repaints; it reads nothing from the record again.
    record->SetPresetEnergy(5);
    host.Dialog()->Refresh();
    EXPECT_EQ(Energy().Text(), "360");
}

// Another record shown in the open editor, with another energy, wave and battery choice: the
// controls follow it, and neither record is written nor the host told.
TEST_P(DischargeEditor, AnotherRecordIsShownWithoutWritingOrNotifying)
{
    OpenWith(150, 1, true);
    auto other = GetParam().makeRecord();
    other->SetPresetEnergy(200);
    if (auto waves = Waves(*other)) waves->SetWaveFormIndex(3);
    auto otherDefib = std::dynamic_pointer_cast<ztest::CConfigDefib>(other);
    if (otherDefib) otherDefib->SetBatteryOperated(false);
    Bind(plat::ObjectPtr(other));

    EXPECT_EQ(Energy().Text(), "200");
    EXPECT_FLOAT_EQ(other->GetPresetEnergy(), 200);
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 150);
    if (auto waves = Waves(*other)) {
        EXPECT_EQ(Find<plat::ComboBox>("cboECGWave").ListIndex(), 3);
        EXPECT_EQ(waves->GetWaveFormIndex(), 3);
        EXPECT_EQ(Waves(*record)->GetWaveFormIndex(), 1);
    }
    if (otherDefib) {
        EXPECT_EQ(Find<plat::CheckBox>("chkBatteryOperated").Value(), plat::vbUnchecked);
        EXPECT_FALSE(otherDefib->GetBatteryOperated());
        EXPECT_TRUE(std::dynamic_pointer_cast<ztest::CConfigDefib>(record)->GetBatteryOperated());
    }
    EXPECT_EQ(Changes(), 0);
}

TEST_P(DischargeEditor, TypingWritesEveryKeystrokeAndNotifiesOnce)
{
    OpenWith(150);
    auto& box = Energy();
    driver.Focus(box);
    EXPECT_EQ(box.SelLength(), 3) << "the focus selects the whole text";
    driver.PressKey(box, 8);
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 0) << "an emptied box is 0";
    EXPECT_EQ(Changes(), 1);

    driver.Type(box, "2");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 2);
    driver.Type(box, "0");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 20);
    driver.Type(box, "0");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 200);
    EXPECT_EQ(Changes(), 4);

    // Only digits and backspace are typed into the box.
    driver.Type(box, "a.-e+ ");
    EXPECT_EQ(box.Text(), "200");
    EXPECT_EQ(Changes(), 4);
    driver.PressKey(box, 8);
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 20);
    EXPECT_EQ(Changes(), 5);

    // A click rewrites the same value and tells the host once.
    driver.Click(box);
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 20);
    EXPECT_EQ(Changes(), 6);

    // Every digit is taken, the leading zero too.
    driver.SelectAll(box);
    driver.PressKey(box, 8);
    driver.Type(box, "0123456789");
    EXPECT_EQ(box.Text(), "0123456789");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 123456789.0f);
}

TEST_P(DischargeEditor, PickingAWaveOrTheBatteryWritesItAndNotifiesOnce)
{
    OpenWith(100, 1, false);
    if (GetParam().waves > 0) {
        auto& list = Find<plat::ComboBox>("cboECGWave");
        driver.Select(list, GetParam().waves - 1);
        EXPECT_EQ(Waves(*record)->GetWaveFormIndex(), GetParam().waves - 1);
        EXPECT_EQ(Changes(), 1);
    }
    if (GetParam().battery) {
        auto defib = std::dynamic_pointer_cast<ztest::CConfigDefib>(record);
        driver.Click(Find<plat::CheckBox>("chkBatteryOperated"));
        EXPECT_TRUE(defib->GetBatteryOperated());
        driver.Click(Find<plat::CheckBox>("chkBatteryOperated"));
        EXPECT_FALSE(defib->GetBatteryOperated());
        EXPECT_EQ(Changes(), 2);
    }
}

// The editors with a wave list.
class DischargeWaveEditor : public DischargeEditor {};
INSTANTIATE_TEST_SUITE_P(Editors, DischargeWaveEditor,
                         ::testing::ValuesIn(std::begin(kCases), std::begin(kCases) + 3), Name);

TEST_P(DischargeWaveEditor, AStoredWaveIndexOutsideTheListShowsNoEntryAndWritesNothing)
{
    ASSERT_GT(GetParam().waves, 0);
    for (int32_t index : {-1, GetParam().waves, 40000}) {
        SCOPED_TRACE(index);
        OpenWith(100, index);
        EXPECT_EQ(Find<plat::ComboBox>("cboECGWave").ListIndex(), -1);
        EXPECT_EQ(Waves(*record)->GetWaveFormIndex(), index);
        EXPECT_EQ(Find<plat::TextBox>("txtEnergy").Text(), "100") << "the rest of Initialize still ran";
    }
    EXPECT_EQ(Changes(), 0);
    EXPECT_FALSE(Editor().Loading());
}

TEST_P(DischargeEditor, LockingDisablesTheInputsAndTheSettingsEditorAndUnlockingEnablesThem)
{
    OpenWith(100);
    auto settings = Editor().SettingsEditor();
    ASSERT_NE(settings, nullptr);

    Editor().SetLocked(false); // equal to the value kept: nothing to do
    Editor().SetLocked(true);
    Editor().SetLocked(true);
    EXPECT_TRUE(Editor().Locked());
    EXPECT_TRUE(settings->SettingsLocked());
    ExpectOperable(false);
    // A record bound while locked leaves the inputs locked.
    Bind(GetParam().makeRecord());
    EXPECT_FALSE(Energy().Enabled());

    host.Dialog()->SetLocked(false);
    EXPECT_FALSE(settings->SettingsLocked());
    ExpectOperable(true);
    EXPECT_EQ(Changes(), 0);
}

// An input is enabled exactly when a record is bound and the editor is not locked, and every
// Initialize applies that again: nothing can be typed that would be stored nowhere, and a record
// bound after none is editable at once.
TEST_P(DischargeEditor, InputsAreEnabledOnlyWhileARecordIsBoundAndTheEditorIsUnlocked)
{
    OpenUnbound(GetParam().editorProgId);
    EXPECT_EQ(Energy().Text(), "100");
    ExpectOperable(false);
    host.Dialog()->SetLocked(true);
    host.Dialog()->SetLocked(false);
    ExpectOperable(false);
    // Something that is no record of this editor binds nothing.
    Bind(std::make_shared<host::HostTestGuideSettings>());
    host.Dialog()->Initialize(plat::Variant(int32_t{7}));
    ExpectOperable(false);

    Bind(record);
    ExpectOperable(true);
    driver.SelectAll(Energy());
    driver.Type(Energy(), "75");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 75);
    EXPECT_EQ(Changes(), 2);

    // A null record unbinds.
    Bind(nullptr);
    ExpectOperable(false);
    // Bound while locked: usable once unlocked.
    host.Dialog()->SetLocked(true);
    Bind(record);
    ExpectOperable(false);
    host.Dialog()->SetLocked(false);
    ExpectOperable(true);
    EXPECT_EQ(Changes(), 2);
}

TEST_P(DischargeEditor, TheSettingsEditorEditsTheRecordsSettingsAndTheHostHearsOfIt)
{
    OpenWith(100);
    auto settings = Editor().SettingsEditor();
    ASSERT_NE(settings, nullptr);
    auto extender = Editor().SettingsExtender();
    auto skip = extender->Control()->FindAs<plat::CheckBox>("chkSkip");
    ASSERT_NE(skip, nullptr);
    const int32_t before = record->TestGuideConfig()->ToolbarFlags();
    driver.Click(*skip);
    EXPECT_NE(record->TestGuideConfig()->ToolbarFlags(), before);
    EXPECT_EQ(Changes(), 1);
}

TEST_P(DischargeEditor, NumbersAreShownAndReadWithAPointInADecimalCommaLocale)
{
    const ztesting::DecimalCommaLocale comma;
    OpenWith(150.6f);
    EXPECT_EQ(Energy().Text(), "151");
    // A pasted text is not filtered; its leading number is read with "." as the point.
    Energy().SetText("12.5");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 12.5f);
    Energy().SetText("12,5");
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 12.0f);
    // A number too large for the record is no number for it: the write is skipped.
    Energy().SetText(std::string(50, '9'));
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 12.0f);
    EXPECT_EQ(Changes(), 3);
}

TEST_P(DischargeEditor, FocusSelectsTheFirstCharactersOfTheNumberBox)
{
    OpenWith(1234567);
    Editor().SetFocus();
    EXPECT_TRUE(Energy().HasFocus());
    EXPECT_EQ(Energy().SelLength(), 5);
}

// Below its minimum the editor lays its frames out as at 9660 x 3435 twips; above it they follow
// the size. The help panel stands at the foot, the frames end 120 twips above it.
TEST_P(DischargeEditor, LayoutFollowsTheSizeDownToTheMinimum)
{
    OpenWith(100, 1);
    const bool hasThird = GetParam().waves > 0;
    const std::string firstName = GetParam().waves > 0 ? "fraECGWave" : "fraEnergy";
    struct Size {
        float width, height, layoutWidth, layoutHeight;
    };
    const Size small{5000, 2000, 9660, 3435};
    for (const Size size : {small, Size{12000, 4000, 12000, 4000}, small}) {
        SCOPED_TRACE(size.width);
        Place thirdBefore{};
        if (hasThird) thirdBefore = PlaceOf(Find<plat::Frame>("fraTestSetup"));
        host.Resize(size.width, size.height);
        auto help = Editor().HelpExtender();
        ASSERT_NE(help, nullptr);
        const float frameHeight = size.layoutHeight - help->Height() - 120;
        EXPECT_FLOAT_EQ(help->Top(), size.layoutHeight - help->Height());
        const float first = size.layoutWidth * 0.34f;
        auto& firstFrame = Find<plat::Frame>(firstName);
        EXPECT_FLOAT_EQ(firstFrame.Width(), first);
        EXPECT_FLOAT_EQ(firstFrame.Height(), frameHeight);
        auto& settings = Find<plat::Frame>("fraTestGuideSettings");
        EXPECT_FLOAT_EQ(settings.Left(), first + 120);
        EXPECT_FLOAT_EQ(settings.Height(), frameHeight);
        if (hasThird) {
            auto& third = Find<plat::Frame>("fraTestSetup");
            const float left = settings.Left() + settings.Width() + 120;
            if (size.width > left) {
                EXPECT_FLOAT_EQ(third.Left(), left);
                EXPECT_FLOAT_EQ(third.Width(), size.width - left) << "the real width, not the layout's";
                EXPECT_FLOAT_EQ(third.Height(), frameHeight);
            } else {
                // No room right of the settings frame: the third frame keeps its last place.
                const Place after = PlaceOf(third);
                EXPECT_FLOAT_EQ(after.left, thirdBefore.left);
                EXPECT_FLOAT_EQ(after.top, thirdBefore.top);
                EXPECT_FLOAT_EQ(after.width, thirdBefore.width);
                EXPECT_FLOAT_EQ(after.height, thirdBefore.height);
            }
        }
    }
    EXPECT_EQ(Changes(), 0);
}

TEST(DischargeEditorLayout, CardioWidensItsWaveListAndDefibPlacesItsSettingsEditor)
{
    ztesting::ControlLibraries libraries;
    {
        ztesting::DialogHost host;
        host.Dock(std::make_shared<ztest::CConfigCardio>()->CreateDialog(), 12000, 4000);
        EXPECT_FLOAT_EQ(host.Find<plat::ComboBox>("cboECGWave").Width(), 12000 * 0.34f - 540);
    }
    {
        ztesting::DialogHost host;
        host.Dock(std::make_shared<ztest::CConfigDefib>()->CreateDialog(), 12000, 4000);
        EXPECT_FLOAT_EQ(host.Find<plat::Label>("lblPresetEnergy").Width(), 12000 * 0.34f - 540);
        EXPECT_FLOAT_EQ(host.Find<plat::TextBox>("txtEnergy").Top(), 720);
        auto editor = host.HostedAs<ztest::XDefibConfig>();
        ASSERT_NE(editor, nullptr);
        EXPECT_FLOAT_EQ(editor->SettingsExtender()->Left(), 120);
        EXPECT_FLOAT_EQ(editor->SettingsExtender()->Top(), 600);
    }
}

TEST(DischargeEditorStart, CaptionsAndWavesAreTranslated)
{
    ztesting::ControlLibraries libraries;
    auto previous = host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
    host::HostTranslator::Process()->SetText("ZARVIK", "20081", "EKG-Welle:");
    host::HostTranslator::Process()->SetText("ZARVIK", "20233", "Vorhofflimmern 1");
    host::HostTranslator::Process()->SetText("ZARVIK", "20151", "Hilfe");
    {
        ztesting::DialogHost host;
        host.Dock(std::make_shared<ztest::CConfigCardio>()->CreateDialog());
        EXPECT_EQ(host.Find<plat::Label>("lblECGWave").Caption(), "EKG-Welle:");
        EXPECT_EQ(host.Find<plat::Label>("lblPresetEnergy").Caption(), "Preset energy");
        auto& list = host.Find<plat::ComboBox>("cboECGWave");
        ASSERT_EQ(list.ListCount(), 5);
        EXPECT_EQ(list.List(3), "Vorhofflimmern 1");
        EXPECT_EQ(list.List(1), "Normal Sinus Rhythm at 80 BPM ");
        EXPECT_EQ(host.HostedAs<ztest::XCardioConfig>()->HelpText()->Text(), "Hilfe");
    }
    host::HostTranslator::SetProcess(previous);
}

// The host's callback failing is the host's business: the edit is written and the handler
// returns normally to the event loop.
TEST_P(DischargeEditor, AFailingCallbackNeitherStopsTheEditNorLeavesTheHandler)
{
    struct FailingCallback : host::HostCallback {
        void Notify(const std::string&, const plat::VariantArray&) override
        {
            throw plat::ComError(plat::Hr(0x80004005u), "host", "the host's callback failed");
        }
    };
    OpenWith(100);
    host.Dialog()->SetCallBack(std::make_shared<FailingCallback>());
    driver.SelectAll(Energy());
    EXPECT_NO_THROW(driver.Type(Energy(), "42"));
    EXPECT_FLOAT_EQ(record->GetPresetEnergy(), 42);
}
