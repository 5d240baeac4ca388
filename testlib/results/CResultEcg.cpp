#include "testlib/results/CResultEcg.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

// This record still names itself with the project's former name in its errors.
CResultEcg::CResultEcg()
    : CVerdictResult("ZARVIKTests.CResultEcg", "20435::Loading ECG-R Wave Peak Detection Test result data", "ECGR")
{
}

std::string CResultEcg::CaptionOf(const std::shared_ptr<host::IConfigData>& /*configuration*/) const
{
    return Translate("20135::ECG R-Wave Detection ");
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultEcg, ztest::CResultEcg::ProgId, ztest::CResultEcg::ClassId)
