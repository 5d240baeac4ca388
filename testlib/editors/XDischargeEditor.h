#pragma once

#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigWaveIndex.h"
#include "testlib/editors/XConfigEditor.h"

#include <concepts>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

// The design of one defibrillator editor, as data: its size, the first frame with the wave
// list (when the record has one), the preset-energy group and the battery check box (when it
// has one), the settings frame and the third frame (when there is one), and the help panel.
struct DischargeDesign {
    const char* kind;
    float width;
    float height;
    const char* firstFrameName;
    Place firstFrame;
    // The wave list, empty when the editor has none.
    std::span<const std::string_view> waves;
    Place waveLabel;
    Place waveList;
    // The preset-energy group: caption, number box, unit.
    Place presetLabel;
    Place energyBox;
    Place energyUnit;
    std::optional<Place> batteryCheck;
    Place settingsFrame;
    const char* settingsLabelName;
    Place settingsLabel;
    Place settings;
    std::optional<Place> thirdFrame;
    Place help;
    const char* helpCaption;
};

template <class Record>
concept WaveIndexRecord = std::derived_from<Record, CConfigWaveIndex>;
template <class Record>
concept BatteryRecord = requires(Record& record) {
    record.SetBatteryOperated(true);
    { record.GetBatteryOperated() } -> std::convertible_to<bool>;
};

// The editors of the defibrillator output records (energy, charge time, cardioversion, pulse
// repetition, battery capacity): the preset-energy group, and the ECG wave list or the battery
// check box where the record has one. What differs beyond the design (inner layout moves) is
// in the final classes.
//
// - Initialize shows, in this order: the preset energy as a whole number; the battery check
//   box; the settings editor bound to the record's settings; the stored wave index (an index
//   that names no entry leaves the list without a selection).
// - Locking sets, in this order: the wave list, the settings editor, the number box, the check
//   box. An input is enabled exactly when a record is bound and the editor is not locked; every
//   Initialize applies that again, so an input typed into never writes into nothing, and a
//   record bound after none is editable at once.
// - The number box writes its leading number at every change (and on a click) and notifies;
//   the wave list writes its index; the check box writes its value even while loading (the
//   record's own value) and notifies only when not loading.
template <class Record>
class XDischargeEditor : public XRecordEditor<Record> {
    using Base = XRecordEditor<Record>;

public:
    static constexpr const char* PresetEnergyCaption = "20082::Preset energy";
    static constexpr const char* EnergyUnitCaption = "20450::J";
    static constexpr const char* WaveCaption = "20081::Select ECG wave:";
    static constexpr const char* SettingsCaption = "20080::Test guide settings:";
    static constexpr const char* BatteryCaption = "20099::Battery Operated ";

    // Gives the number box the focus with its first five characters selected.
    void SetFocus() override
    {
        Base::Try([&] { Base::FocusNumberBox(*mEnergy); });
    }

    const DischargeDesign& Design() const { return mDesign; }

protected:
    explicit XDischargeEditor(const DischargeDesign& design)
        : Base(design.kind, design.width, design.height), mDesign(design)
    {
        auto first = Base::AddFrame(design.firstFrameName, design.firstFrame);
        if (!design.waves.empty()) {
            Base::AddLabel(*first, "lblECGWave", design.waveLabel, WaveCaption);
            mWaveList = Base::AddList(*first, "cboECGWave", design.waveList);
            mWaveList->Click.Connect([this] { WaveClicked(); });
        }
        mPresetLabel = Base::AddLabel(*first, "lblPresetEnergy", design.presetLabel, PresetEnergyCaption);
        mEnergy = Base::AddNumberBox(*first, "txtEnergy", design.energyBox);
        mEnergy->SetText("100");
        mEnergy->Change.Connect([this] { EnergyChanged(); });
        mEnergy->Click.Connect([this] { EnergyChanged(); });
        mEnergyUnit = Base::AddLabel(*first, "lblEnergy", design.energyUnit, EnergyUnitCaption);
        if (design.batteryCheck) {
            mBattery = Base::AddCheck(*first, "chkBatteryOperated", *design.batteryCheck, BatteryCaption);
            mBattery->Click.Connect([this] { BatteryClicked(); });
        }

        auto settingsFrame = Base::AddFrame("fraTestGuideSettings", design.settingsFrame);
        Base::AddLabel(*settingsFrame, design.settingsLabelName, design.settingsLabel, SettingsCaption);
        Base::AddSettingsEditor(*settingsFrame, design.settings);
        std::shared_ptr<plat::Frame> third;
        if (design.thirdFrame) third = Base::AddFrame("fraTestSetup", *design.thirdFrame);
        Base::AddHelpText(design.help, design.helpCaption);
        Base::SetLayoutFrames(first, settingsFrame, third);
        Base::Start();
    }

    void OnStart() override
    {
        if (mWaveList) Base::FillList(*mWaveList, mDesign.waves);
        SetFocus();
    }

    void FillFromRecord() override
    {
        Record& record = Base::Rec();
        Base::Try([&] { mEnergy->SetText(Base::WholeText(record.GetPresetEnergy())); });
        if constexpr (BatteryRecord<Record>) {
            Base::Try([&] { mBattery->SetValue(record.GetBatteryOperated() ? plat::vbChecked : plat::vbUnchecked); });
        }
        Base::Try([&] { Base::BindSettingsEditor(); });
        if constexpr (WaveIndexRecord<Record>) {
            Base::Try([&] { Base::ShowIndex(*mWaveList, record.GetWaveFormIndex()); });
        }
        EnableInputs();
    }

    void ShowNoRecord() override { EnableInputs(); }

    void ApplyLock(bool locked) override
    {
        const bool enabled = Base::Config() && !locked;
        if (mWaveList) Base::Enable(*mWaveList, enabled);
        Base::Try([&] { Base::LockSettingsEditor(locked); });
        Base::Enable(*mEnergy, enabled);
        if (mBattery) Base::Enable(*mBattery, enabled);
    }

    typename XConfigEditor::LayoutRule Rule() const override { return {9660, 3435, 0.34f}; }

    std::shared_ptr<plat::ComboBox> mWaveList;
    std::shared_ptr<plat::Label> mPresetLabel;
    std::shared_ptr<plat::TextBox> mEnergy;
    std::shared_ptr<plat::Label> mEnergyUnit;
    std::shared_ptr<plat::CheckBox> mBattery;

private:
    // The inputs' enabled states for the binding and the lock as they are now.
    void EnableInputs()
    {
        const bool enabled = Base::Config() && !Base::Locked();
        if (mWaveList) Base::Enable(*mWaveList, enabled);
        Base::Enable(*mEnergy, enabled);
        if (mBattery) Base::Enable(*mBattery, enabled);
    }

    void EnergyChanged()
    {
        Base::Edit([&] { Base::Rec().SetPresetEnergy(Base::SingleOf(Base::LeadingNumber(mEnergy->Text()))); });
    }

    void WaveClicked()
    {
        if constexpr (WaveIndexRecord<Record>) {
            Base::Edit([&] { Base::Rec().SetWaveFormIndex(mWaveList->ListIndex()); });
        }
    }

    void BatteryClicked()
    {
        if constexpr (BatteryRecord<Record>) {
            // Written while loading too: Initialize shows the record's own value, so the write
            // changes nothing then.
            Base::Try([&] { Base::Rec().SetBatteryOperated(mBattery->Value() == plat::vbChecked); });
            if (!Base::Loading()) Base::NotifyHost("Change");
        }
    }

    DischargeDesign mDesign;
};

} // namespace ztest
