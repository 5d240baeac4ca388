#pragma once

#include "testlib/config/CConfigDischarge.h"

#include <span>

namespace ztest {

// The configuration of the battery-capacity test (900): the preset energy only.
class CConfigBatCap : public CConfigDischarge {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigBatCap";

    CConfigBatCap() = default;

    const RecordInfo& Info() const override;

protected:
    CConfigBatCap(const CConfigBatCap&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigBatCap>(new CConfigBatCap(*this)); }
    std::vector<ReportRow> ReportRows() const override;

private:
    static std::span<const ValueChild> Children();
};

} // namespace ztest
