#include "testlib/editors/XPacerParConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"

namespace ztest {

namespace {

template <class Record>
std::shared_ptr<CConfigPacer> RecordOf(const plat::Variant& vData)
{
    return vData.IsObject() ? std::dynamic_pointer_cast<Record>(vData.AsObject()) : nullptr;
}

} // namespace

XPacerParConfig::XPacerParConfig()
    : XPacerConfig("XPacerParConfig",
                   "20156::Select Pacer PXA Adapter and supported load by the Adapter. Set Pacer Rate and Pacer "
                   "Amplitude to be Configured at ",
                   PacerLoadGroup::ShowOrder::IndexThenText)
{
}

std::shared_ptr<CConfigPacer> XPacerParConfig::Accept(const plat::Variant& vData) const
{
    return RecordOf<CConfigPacerPar>(vData);
}

XPacerRefConfig::XPacerRefConfig()
    : XPacerConfig("XPacerRefConfig",
                   "20157::Set pacer rate and pacer amplitude to be set at the pacemaker to conduct the pacer "
                   "refractory test.",
                   PacerLoadGroup::ShowOrder::TextThenIndex)
{
}

std::shared_ptr<CConfigPacer> XPacerRefConfig::Accept(const plat::Variant& vData) const
{
    return RecordOf<CConfigPacerRef>(vData);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XPacerParConfig, ztest::XPacerParConfig::ProgId, ztest::XPacerParConfig::ClassId)
ZARVIK_REGISTER_CLASS(ztest::XPacerRefConfig, ztest::XPacerRefConfig::ProgId, ztest::XPacerRefConfig::ClassId)
