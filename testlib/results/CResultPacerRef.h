#pragma once

#include "testlib/results/CReplyResult.h"

#include <memory>

namespace ztest {

// The result of the pacer refractory-period test (type 800): the sensed and the paced
// refractory period in milliseconds, from the reply "x,paced,sensed" in seconds.
class CResultPacerRef : public CReplyResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultPacerRef";
    static constexpr const char* ClassId = "{7CE9F17E-EE6E-49BA-9BDA-F1FD84F0138C}";

    CResultPacerRef();

    // Builds the two measurements; the configuration is not used (they have no preset).
    void Initialize(const std::shared_ptr<host::IConfigData>& configuration);
};

} // namespace ztest
