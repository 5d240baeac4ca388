#pragma once

#include "testlib/results/CSeriesResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztest {

// The result of the pulse-repetition test (type 1000): the delivered energy of each discharge,
// "ENGY1", "ENGY2", ..., ten for a battery-operated defibrillator and fifteen otherwise.
class CResultDefib : public CSeriesResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultDefib";
    static constexpr const char* ClassId = "{48E0099C-FC45-4CD1-9D1F-A0D13DC5957C}";
    static constexpr int32_t BatteryPulseCount = 10;
    static constexpr int32_t PulseCount = 15;

    CResultDefib();

    // Builds one energy measurement per pulse, each preset with the configured energy; the
    // count follows the configuration's battery-operated flag (15 without a configuration).
    void Initialize(const std::shared_ptr<host::IConfigData>& configuration);

    // Stores entry i of the pulse energies (J, as text) into "ENGY" i + 1, for i from 0 to
    // last; the first empty entry ends the series.
    void StoreResult(const std::vector<std::string>& energies, int16_t last);
};

} // namespace ztest
