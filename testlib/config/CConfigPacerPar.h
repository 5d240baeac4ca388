#pragma once

#include "testlib/config/CConfigPacer.h"

namespace ztest {

// The configuration of the pacer-parameter test (700); its result record takes the rate and
// amplitude as the preset values of its measurements.
class CConfigPacerPar : public CConfigPacer {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigPacerPar";

    CConfigPacerPar() = default;

    const RecordInfo& Info() const override;

protected:
    CConfigPacerPar(const CConfigPacerPar&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigPacerPar>(new CConfigPacerPar(*this)); }
    std::string ThirdLoadOfAdapter3() const override;
};

} // namespace ztest
