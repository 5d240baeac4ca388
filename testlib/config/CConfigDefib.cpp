#include "testlib/config/CConfigDefib.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const CConfigBase::ValueChild> CConfigDefib::Children()
{
    static const ValueChild children[] = {
        {"PresetEnergy", &Bind<&CConfigDefib::mPresetEnergy>, Stored::HostNumber, Reading::Number},
        {"BatteryOperated", &Bind<&CConfigDefib::mBatteryOperated>, Stored::Boolean, Reading::Boolean},
        SettingsChild,
    };
    return children;
}

const CConfigBase::RecordInfo& CConfigDefib::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigDefib", "TelvoZarvikTest.XDefibConfig",
                                 ReportLayout::InnerWidth, Children(), Children()};
    return info;
}

std::vector<CConfigBase::ReportRow> CConfigDefib::ReportRows() const
{
    return {PresetEnergyRow("#0.0"),
            {"20108::Battery operated", Translate(mBatteryOperated ? "20106::True" : "20107::False"), ""}};
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigDefib, ztest::CConfigDefib::ProgId, "{9273AA33-E85B-4A46-BEE1-1105263AFA96}")
