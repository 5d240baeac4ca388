#pragma once

#include "testlib/results/CSeriesResult.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztest {

// The result of the battery-capacity test (type 900): the charge time of each of fifteen
// charges, "CHTI1" to "CHTI15", in seconds.
class CResultBatCap : public CSeriesResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultBatCap";
    static constexpr const char* ClassId = "{BD9E37DB-7D37-42FB-BAB0-5821F8514FAB}";
    static constexpr int32_t ChargeCount = 15;

    CResultBatCap();

    // Builds the fifteen charge-time measurements; the configuration is not used.
    void Initialize(const std::shared_ptr<host::IConfigData>& configuration);

    // Stores entry i of the charge times (seconds, as text) into "CHTI" i + 1, for i from 0 to
    // 14; an empty entry is skipped and its measurement keeps its value.
    void StoreResult(const std::vector<std::string>& chargeTimes);
};

} // namespace ztest
