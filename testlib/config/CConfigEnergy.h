#pragma once

#include "testlib/config/CConfigWaveIndex.h"

#include <span>

namespace ztest {

// The configuration of the energy-measurement test (100): the preset energy and the ECG rhythm
// shown to the defibrillator while it is discharged.
class CConfigEnergy : public CConfigWaveIndex {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigEnergy";

    CConfigEnergy() = default;

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override { return WaveTable(); }

    // The shockable rhythms, by index; the charge-time record uses them too.
    static std::span<const WaveEntry> WaveTable();
    // The value children, shared with the charge-time record.
    static std::span<const ValueChild> LoadOrder();
    static std::span<const ValueChild> SaveOrder();

protected:
    CConfigEnergy(const CConfigEnergy&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigEnergy>(new CConfigEnergy(*this)); }
};

} // namespace ztest
