#pragma once

#include "testlib/config/CConfigWaveIndex.h"

#include <span>

namespace ztest {

// The configuration of the charge-time test (200): as the energy record, with its own editor
// and error source.
class CConfigCharge : public CConfigWaveIndex {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigCharge";

    CConfigCharge() = default;

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override;

protected:
    CConfigCharge(const CConfigCharge&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigCharge>(new CConfigCharge(*this)); }
};

} // namespace ztest
