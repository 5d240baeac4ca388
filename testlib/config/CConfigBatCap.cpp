#include "testlib/config/CConfigBatCap.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::ValueChild> CConfigBatCap::Children()
{
    static const ValueChild children[] = {
        {"PresetEnergy", &Bind<&CConfigBatCap::mPresetEnergy>, Stored::HostNumber, Reading::Number},
        SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigBatCap::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigBatCap", "TelvoZarvikTest.XBatCapConfig",
                                 ReportLayout::InnerWidth, Children(), Children()};
    return info;
}

std::vector<CConfigBase::ReportRow> CConfigBatCap::ReportRows() const
{
    return {PresetEnergyRow("#0.0")};
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigBatCap, ztest::CConfigBatCap::ProgId, "{C1D2142E-B9BF-4269-9BCE-B77A00B6362E}")
