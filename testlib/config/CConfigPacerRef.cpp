#include "testlib/config/CConfigPacerRef.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

const CConfigBase::RecordInfo& CConfigPacerRef::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigPacerRef", "TelvoZarvikTest.XPacerRefConfig",
                                 ReportLayout::InnerWidth, Children(), Children()};
    return info;
}

std::string CConfigPacerRef::ThirdLoadOfAdapter3() const
{
    return "ADAP0";
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigPacerRef, ztest::CConfigPacerRef::ProgId, "{35D1055C-0F61-4C45-BEF9-F3EC0E721CE3}")
