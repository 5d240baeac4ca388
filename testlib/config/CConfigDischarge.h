#pragma once

#include "testlib/config/CConfigBase.h"

#include <string_view>

namespace ztest {

// The records of the defibrillator output tests (energy, charge time, cardioversion, pulse
// repetition, battery capacity): each holds the energy the operator presets on the
// defibrillator.
class CConfigDischarge : public CConfigBase {
public:
    // J; the result records take it as the preset value of their energy measurement.
    float GetPresetEnergy() const { return mPresetEnergy; }
    void SetPresetEnergy(float presetEnergy) { mPresetEnergy = presetEnergy; }

protected:
    CConfigDischarge() = default;
    CConfigDischarge(const CConfigDischarge&) = default;

    // The "Preset Energy" row with the value formatted by the mask.
    ReportRow PresetEnergyRow(std::string_view mask) const;

    float mPresetEnergy = 100.0f;
};

} // namespace ztest
