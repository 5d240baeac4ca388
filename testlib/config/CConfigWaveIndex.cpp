#include "testlib/config/CConfigWaveIndex.h"

namespace ztest {

std::string CConfigWaveIndex::GetWaveCode(int32_t index)
{
    return DeriveWave(Waves(), index, mWavetype);
}

void CConfigWaveIndex::AfterCopy()
{
    GetWaveCode(mWaveFormIndex);
}

std::vector<CConfigBase::ReportRow> CConfigWaveIndex::ReportRows() const
{
    return {PresetEnergyRow("#0"),
            {"20083::ECG Waveform", DescribeWave(Waves(), mWaveFormIndex, mWavetype), NoneUnit()}};
}

} // namespace ztest
