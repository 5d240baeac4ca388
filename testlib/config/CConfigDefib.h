#pragma once

#include "testlib/config/CConfigDischarge.h"

#include <span>

namespace ztest {

// The configuration of the pulse-repetition test (1000): the preset energy and whether the
// defibrillator runs on its battery (10 discharges) or on mains (15).
class CConfigDefib : public CConfigDischarge {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigDefib";

    CConfigDefib() = default;

    const RecordInfo& Info() const override;

    bool GetBatteryOperated() const { return mBatteryOperated; }
    void SetBatteryOperated(bool batteryOperated) { mBatteryOperated = batteryOperated; }

protected:
    CConfigDefib(const CConfigDefib&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigDefib>(new CConfigDefib(*this)); }
    std::vector<ReportRow> ReportRows() const override;

private:
    static std::span<const ValueChild> Children();

    bool mBatteryOperated = false;
};

} // namespace ztest
