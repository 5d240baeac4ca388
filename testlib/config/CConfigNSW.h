#pragma once

#include "testlib/config/CConfigSimWave.h"

#include <span>
#include <string>

namespace ztest {

// The configuration of the normal sinus wave test (400): one of eight sinus rhythms and its
// hold time; the R-wave threshold is fixed.
class CConfigNSW : public CConfigSimWave {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigNSW";

    CConfigNSW() : CConfigSimWave(100) {}

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override { return WaveTable(); }
    static std::span<const WaveEntry> WaveTable();

    // "THRESH=40,2.00" and LF, whatever the wave.
    std::string GetThresholdCommand() const { return "THRESH=40,2.00\n"; }

protected:
    CConfigNSW(const CConfigNSW&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigNSW>(new CConfigNSW(*this)); }
    std::string SecondCommand() override { return GetThresholdCommand(); }

private:
    static std::span<const ValueChild> LoadOrder();
    static std::span<const ValueChild> SaveOrder();
};

} // namespace ztest
