#pragma once

#include "testlib/config/CConfigCardio.h"
#include "testlib/results/CResultCardio.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/CTestOf.h"

#include <cstdint>

namespace ztest {

// The cardioversion test (300): a synchronised discharge while the analyzer plays the
// configured background ECG wave; the energy, peak voltage, peak current and the delay of the
// discharge after the R-wave. A missing synchronisation ("NOSYNC") is the result record's to
// report and rate; for the run it is data like any other.
class CTestCardio : public CTestOf<CTestCardio, CConfigCardio, CResultCardio, CDischargeTest> {
public:
    static constexpr int32_t TypeCode = 300;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestCardio";
    static constexpr const char* ClassId = "{F74B20DD-D69C-4BBB-9F9E-E2198922222D}";

    CTestCardio() : CTestOf(TypeCode, ClassProgId) {}

protected:
    const DischargeCommands& Commands() const override;
    plat::Variant BuildInstructions() override;
    std::span<const MeasurementListRow> MeasurementList() const override;
};

} // namespace ztest
