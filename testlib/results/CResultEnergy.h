#pragma once

#include "testlib/config/CConfigEnergy.h"
#include "testlib/results/CDischargeResult.h"

namespace ztest {

// The result of the energy measurement test (type 100): energy, peak voltage, peak current and
// pulse width of one discharge, from the reply "energy,voltage,current,width" (width in s).
class CResultEnergy : public CDischargeResult<CConfigEnergy> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultEnergy";
    static constexpr const char* ClassId = "{17569EDD-AEF5-4620-AC68-555537928605}";

    CResultEnergy();
};

} // namespace ztest
