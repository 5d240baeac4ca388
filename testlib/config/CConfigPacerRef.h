#pragma once

#include "testlib/config/CConfigPacer.h"

namespace ztest {

// The configuration of the pacer refractory-period test (800).
class CConfigPacerRef : public CConfigPacer {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigPacerRef";

    CConfigPacerRef() = default;

    const RecordInfo& Info() const override;

protected:
    CConfigPacerRef(const CConfigPacerRef&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigPacerRef>(new CConfigPacerRef(*this)); }
    std::string ThirdLoadOfAdapter3() const override;
};

} // namespace ztest
