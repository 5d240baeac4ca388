#include "testlib/results/CResultNSW.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigNSW.h"

namespace ztest {

namespace {

constexpr WaveCaption kWaves[] = {
    {100, "20250::Sine 30 BPM"},
    {101, "20251::Sine 60 BPM"},
    {102, "20252::Sine 80 BPM"},
    {103, "20253::Sine 120 BPM"},
    {104, "20254::Sine 160 BPM"},
    {105, "20255::Sine 200 BPM"},
    {106, "20256::Sine 240 BPM"},
    {107, "20257::Sine 300 BPM"},
};

} // namespace

CResultNSW::CResultNSW()
    : CVerdictResult("TelvoZarvikTest.CResultNSW", "20264::Loading Normal Sinus Wave Test result data", "NSW")
{
}

std::string CResultNSW::CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const
{
    const std::shared_ptr<CConfigNSW> config = std::dynamic_pointer_cast<CConfigNSW>(configuration);
    return config ? CaptionOfWave(kWaves, config->GetWavetype()) : std::string();
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultNSW, ztest::CResultNSW::ProgId, ztest::CResultNSW::ClassId)
