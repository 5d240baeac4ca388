#pragma once

#include "testlib/config/CConfigSimWave.h"

#include <cstdint>
#include <span>
#include <string>

namespace ztest {

// The configuration of the performance wave test (600): one of 17 performance waves, its hold
// time and the monitor lead on which it is delivered.
class CConfigPerf : public CConfigSimWave {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigPerf";
    static constexpr int16_t LeadI = 1;
    static constexpr int16_t LeadII = 2;

    CConfigPerf() : CConfigSimWave(300) {}

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override { return WaveTable(); }
    static std::span<const WaveEntry> WaveTable();

    int16_t GetLead() const { return mLead; }
    void SetLead(int16_t lead) { mLead = lead; }
    // The lead as the last lead command sent it ("I", "II" or empty); not persisted.
    const std::string& GetLeadText() const { return mLeadText; }

    // "PERFLEAD=" and "I" (lead 1), "II" (lead 2) or nothing, and LF; the lead text is kept.
    std::string GetLeadCommand();

    // The name of a lead: "I", "II", or the empty text for any other value.
    static std::string LeadName(int16_t lead);

protected:
    CConfigPerf(const CConfigPerf&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigPerf>(new CConfigPerf(*this)); }
    std::string SecondCommand() override { return GetLeadCommand(); }
    void AfterCopy() override;
    // Adds the lead row, named after the configured lead.
    std::vector<ReportRow> ReportRows() const override;

private:
    static std::span<const ValueChild> LoadOrder();
    static std::span<const ValueChild> SaveOrder();

    int16_t mLead = LeadI;
    std::string mLeadText;
};

} // namespace ztest
