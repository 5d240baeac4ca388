#include "testlib/results/CResultArr.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigArr.h"

namespace ztest {

namespace {

constexpr WaveCaption kWaves[] = {
    {200, "20270::AF1"},
    {201, "20271::AF2"},
    {202, "20272::AFL"},
    {203, "20273::SINA"},
    {204, "20274::1DB"},
    {205, "20275::2DB1"},
    {206, "20276::2DB2"},
    {207, "20277::3DB"},
    {208, "20278::PVC1"},
    {209, "20279::PVC2"},
    {210, "20280::MF"},
    {211, "20281::PAIR"},
    {212, "20282::BIG"},
    {213, "20283::TRG"},
    {214, "20284::RUN5"},
    {215, "20285::RUN11"},
    {216, "20286::VNT"},
    {217, "20287::VTC 130"},
    {218, "20288::VTC 175"},
    {219, "20289::VTC 180"},
    {220, "20290::VTC 185"},
    {221, "20291::VTC 220"},
    {222, "20292::VFB1"},
    {223, "20293::VFB2"},
    {224, "20294::ASY1"},
    {225, "20295::ASY2"},
    {226, "20296::ASN"},
    {227, "20297::DM1"},
    {228, "20298::DM2"},
    {229, "20299::AVS"},
    {230, "20300::NCA"},
    {231, "20301::NFU"},
    {232, "20302::TQASYS"},
    {233, "20303::TQBRAD"},
    {234, "20304::TQDEM"},
    {235, "20305::TQNC"},
};

} // namespace

CResultArr::CResultArr()
    : CVerdictResult("TelvoZarvikTest.CResultArr", "20337::Loading Arrythmia Test result data", "ARR")
{
}

std::string CResultArr::CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const
{
    const std::shared_ptr<CConfigArr> config = std::dynamic_pointer_cast<CConfigArr>(configuration);
    return config ? CaptionOfWave(kWaves, config->GetWavetype()) : std::string();
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultArr, ztest::CResultArr::ProgId, ztest::CResultArr::ClassId)
