#include "testlib/editors/XPacerParConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"

namespace ztest {

namespace {

template <class Record>
bool IsA(const plat::ObjectPtr& object)
{
    return std::dynamic_pointer_cast<Record>(object) != nullptr;
}

} // namespace

XPacerParConfig::XPacerParConfig()
    : XPacerConfig("XPacerParConfig",
                   "20156::Select Pacer PXA Adapter and supported load by the Adapter. Set Pacer Rate and Pacer "
                   "Amplitude to be Configured at ",
                   PacerLoadGroup::ShowOrder::IndexThenText)
{
}

bool XPacerParConfig::Accepts(const plat::ObjectPtr& object) const
{
    return IsA<CConfigPacerPar>(object);
}

XPacerRefConfig::XPacerRefConfig()
    : XPacerConfig("XPacerRefConfig",
                   "20157::Set pacer rate and pacer amplitude to be set at the pacemaker to conduct the pacer "
                   "refractory test.",
                   PacerLoadGroup::ShowOrder::TextThenIndex)
{
}

bool XPacerRefConfig::Accepts(const plat::ObjectPtr& object) const
{
    return IsA<CConfigPacerRef>(object);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XPacerParConfig, ztest::XPacerParConfig::ProgId, ztest::XPacerParConfig::ClassId)
ZARVIK_REGISTER_CLASS(ztest::XPacerRefConfig, ztest::XPacerRefConfig::ProgId, ztest::XPacerRefConfig::ClassId)
