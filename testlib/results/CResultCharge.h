#pragma once

#include "testlib/config/CConfigCharge.h"
#include "testlib/results/CDischargeResult.h"

namespace ztest {

// The result of the charge-time test (type 200): energy, peak voltage and peak current of the
// discharge and the charge time before it, from the reply "energy,voltage,current,charge time"
// (charge time in s, kept in s).
//
// A field that cannot be stored shows the error in a message box and ends the storing; the
// record is then not marked stored.
class CResultCharge : public CDischargeResult<CConfigCharge> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultCharge";
    static constexpr const char* ClassId = "{4FABCD89-29AE-45A7-8D77-03BC71EAF348}";

    CResultCharge();
};

} // namespace ztest
