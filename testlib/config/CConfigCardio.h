#pragma once

#include "testlib/config/CConfigWaveIndex.h"

#include <span>

namespace ztest {

// The configuration of the cardioversion test (300): the preset energy and the rhythm on which
// the defibrillator synchronises its discharge.
class CConfigCardio : public CConfigWaveIndex {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigCardio";

    CConfigCardio() = default;

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override { return WaveTable(); }

    static std::span<const WaveEntry> WaveTable();

protected:
    CConfigCardio(const CConfigCardio&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigCardio>(new CConfigCardio(*this)); }

private:
    static std::span<const ValueChild> Children();
};

} // namespace ztest
