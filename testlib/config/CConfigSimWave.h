#pragma once

#include "testlib/config/CConfigBase.h"

#include <cstdint>
#include <span>
#include <string>

namespace ztest {

// The records of the tests in which the analyzer simulates a wave on the defibrillator's
// monitor (arrhythmia, normal sinus wave, performance wave): the wave chosen by its ID, the
// time it is held, and the description of the wave last derived, kept for the report and
// persisted. Each test sends two commands: the wave (step 0) and one of its own (step 1).
class CConfigSimWave : public CConfigBase {
public:
    int32_t GetWavetype() const { return mWavetype; }
    void SetWavetype(int32_t wavetype) { mWavetype = wavetype; }
    // s; 0 holds the wave until the operator stops it.
    int32_t GetDuration() const { return mDuration; }
    void SetDuration(int32_t duration) { mDuration = duration; }
    // The translated description of the wave as last derived or loaded.
    const std::string& GetWavename() const { return mWavename; }

    // Step 0: the wave command; step 1: the record's second command; other steps: "".
    std::string GetStepCommand(int32_t step);
    // The analyzer's code of the configured wave and LF (LF alone for an ID outside the
    // table). The wave's translated description becomes Wavename; an ID outside the table
    // keeps Wavename's text.
    std::string GetWaveCommand();

    // The record's wave table, by wave ID.
    virtual std::span<const WaveEntry> Waves() const = 0;

protected:
    explicit CConfigSimWave(int32_t firstWave) : mWavetype(firstWave) {}
    CConfigSimWave(const CConfigSimWave&) = default;

    virtual std::string SecondCommand() = 0;
    // A copy derives its description from its own wave ID, never from the source's text.
    void AfterCopy() override;
    // "Duration" and "ECG Waveform", the wave named after the configured ID whenever that ID
    // is in the table.
    std::vector<ReportRow> ReportRows() const override;

    int32_t mDuration = 7;
    int32_t mWavetype;
    std::string mWavename;
};

} // namespace ztest
