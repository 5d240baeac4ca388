#pragma once

#include "testlib/config/CConfigBase.h"

#include <cstdint>
#include <span>
#include <string>

namespace ztest {

// The records of the two pacemaker tests (pacer parameters, pacer refractory period): the load
// the pacemaker's output is connected to (the analyzer's fixed internal 50 Ohm load, or a pacer
// adapter and one of its loads), and the rate and amplitude the pacemaker is set to.
class CConfigPacer : public CConfigBase {
public:
    // Display texts of the chosen load and adapter, as the editor last set them.
    const std::string& GetLoad() const { return mLoad; }
    void SetLoad(const std::string& load) { mLoad = load; }
    const std::string& GetAdapter() const { return mAdapter; }
    void SetAdapter(const std::string& adapter) { mAdapter = adapter; }
    int16_t GetLoadIndex() const { return mLoadIndex; }
    void SetLoadIndex(int16_t index) { mLoadIndex = index; }
    // 0: the fixed internal 50 Ohm load; 1 to 10: the pacer adapters.
    int16_t GetAdapterIndex() const { return mAdapterIndex; }
    void SetAdapterIndex(int16_t index) { mAdapterIndex = index; }
    // PPM
    float GetRate() const { return mRate; }
    void SetRate(float rate) { mRate = rate; }
    // mA
    float GetAmplitude() const { return mAmplitude; }
    void SetAmplitude(float amplitude) { mAmplitude = amplitude; }

    // The analyzer's code of the load for the "PACELOAD" command: "INT" for the internal load,
    // "ADAP0" to "ADAP4" for an adapter's load, the empty text for a load the adapter lacks
    // and for an unknown adapter.
    std::string GetLoadCode(int16_t loadIndex, int16_t adapterIndex) const;

protected:
    CConfigPacer();
    CConfigPacer(const CConfigPacer&) = default;

    // The code of the third load of adapter 3.
    virtual std::string ThirdLoadOfAdapter3() const = 0;
    std::vector<ReportRow> ReportRows() const override;
    // The value children of both records, in load and in save order.
    static std::span<const ValueChild> Children();

    std::string mLoad;
    std::string mAdapter;
    int16_t mLoadIndex = 0;
    int16_t mAdapterIndex = 0;
    float mRate = 60.0f;
    float mAmplitude = 50.0f;
};

} // namespace ztest
