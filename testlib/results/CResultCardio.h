#pragma once

#include "testlib/config/CConfigCardio.h"
#include "testlib/results/CDischargeResult.h"

namespace ztest {

// The result of the cardioversion test (type 300): energy, peak voltage and peak current of
// the synchronised discharge and its delay after the R-wave, from the reply
// "energy,voltage,current,delay" (delay in s, kept in ms). A delay of "NOSYNC" means the
// analyzer saw no synchronised discharge: the operator is told, and the delay keeps that text,
// which a rating never passes.
//
// An error while storing reaches the caller.
class CResultCardio : public CDischargeResult<CConfigCardio> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultCardio";
    static constexpr const char* ClassId = "{F801B802-B52C-4F0F-A14B-6E7EAD2480E2}";
    static constexpr const char* NoSync = "NOSYNC";

    CResultCardio();

protected:
    void StoreField(std::size_t index, std::string_view field, const ReplyFieldSpec& spec,
                    CMeasurement& measurement) override;
};

} // namespace ztest
