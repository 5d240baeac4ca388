#include "testlib/results/CResultPerf.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigPerf.h"

namespace ztest {

namespace {

constexpr WaveCaption kWaves[] = {
    {300, "20320::ZERO"},
    {301, "20321::SQU"},
    {302, "20322::PUL"},
    {303, "20323::SIN 0.05"},
    {304, "20324::SIN 0.5"},
    {305, "20325::SIN 1"},
    {306, "20326::sin 10"},
    {307, "20327::sin 25"},
    {308, "20328::sin 30"},
    {309, "20329::sin 40"},
    {310, "20330::sin 50"},
    {311, "20331::sin 60"},
    {312, "20332::sin 100"},
    {313, "20333::sin 125"},
    {314, "20334::Sin 150"},
    {315, "20335::SQ 1K"},
    {316, "20336::TRI"},
};

} // namespace

CResultPerf::CResultPerf()
    : CVerdictResult("TelvoZarvikTest.CResultPerf", "20344::Loading Performance Test result data", "PERF")
{
}

std::string CResultPerf::CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const
{
    const std::shared_ptr<CConfigPerf> config = std::dynamic_pointer_cast<CConfigPerf>(configuration);
    return config ? CaptionOfWave(kWaves, config->GetWavetype()) : std::string();
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultPerf, ztest::CResultPerf::ProgId, ztest::CResultPerf::ClassId)
