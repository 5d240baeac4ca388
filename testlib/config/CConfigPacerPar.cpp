#include "testlib/config/CConfigPacerPar.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

const CConfigBase::RecordInfo& CConfigPacerPar::Info() const
{
    static const RecordInfo info{"TelvoZarvikTest.CConfigPacerPar", "TelvoZarvikTest.XPacerParConfig",
                                 ReportLayout::InnerWidth, Children(), Children()};
    return info;
}

std::string CConfigPacerPar::ThirdLoadOfAdapter3() const
{
    // This record passes the code through the translator; a text without a language ID comes
    // back unchanged, so both pacer records send the same code.
    return Translate("ADAP0");
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CConfigPacerPar, ztest::CConfigPacerPar::ProgId, "{969B4C69-725A-4C79-B769-B30223265BA8}")
