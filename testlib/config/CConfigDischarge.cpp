#include "testlib/config/CConfigDischarge.h"

#include "platform/base/Conversions.h"

namespace ztest {

CConfigBase::ReportRow CConfigDischarge::PresetEnergyRow(std::string_view mask) const
{
    return {"20082::Preset Energy", plat::Format(plat::Variant(mPresetEnergy), mask), "J"};
}

} // namespace ztest
