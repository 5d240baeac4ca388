#include "testlib/config/CConfigSimWave.h"

#include "platform/base/Conversions.h"

namespace ztest {

std::string CConfigSimWave::GetStepCommand(int32_t step)
{
    if (step == 0) return GetWaveCommand();
    if (step == 1) return SecondCommand();
    return {};
}

std::string CConfigSimWave::GetWaveCommand()
{
    return DeriveWave(Waves(), mWavetype, mWavename) + "\n";
}

void CConfigSimWave::AfterCopy()
{
    // The description is never copied as text: a copy starts without one and derives it from
    // its own wave ID, so an ID outside the table leaves it empty.
    mWavename.clear();
    GetWaveCommand();
}

std::vector<CConfigBase::ReportRow> CConfigSimWave::ReportRows() const
{
    return {
        {"20084::Duration", plat::Format(plat::Variant(mDuration), "#0"), "s"},
        {"20083::ECG Waveform", DescribeWave(Waves(), mWavetype, mWavename), NoneUnit()},
    };
}

} // namespace ztest
