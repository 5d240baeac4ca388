#include "testlib/config/CConfigCharge.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigEnergy.h"

namespace ztest {

std::span<const CConfigBase::WaveEntry> CConfigCharge::Waves() const
{
    return CConfigEnergy::WaveTable();
}

const CConfigBase::RecordInfo& CConfigCharge::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigCharge", "TelvoZarvikTest.XChargeConfig",
                                 ReportLayout::BodyWidth, CConfigEnergy::LoadOrder(), CConfigEnergy::SaveOrder()};
    return info;
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigCharge, ztest::CConfigCharge::ProgId, "{86985E8B-5872-4E3F-8FB3-FDA04E3B4176}")
