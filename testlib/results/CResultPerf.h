#pragma once

#include "testlib/results/CVerdictResult.h"

#include <memory>
#include <string>

namespace ztest {

// The result of the performance wave test (type 600): the operator's verdict on the simulated wave,
// "PERF", captioned with the short name of the configured wave.
class CResultPerf : public CVerdictResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultPerf";
    static constexpr const char* ClassId = "{099D7DE2-A7CD-4D83-AB00-F679674A140E}";

    CResultPerf();

protected:
    // The caption of the configured wave ID (a language-ID text, translated when shown); empty
    // for an ID outside the record's table or without a configuration record.
    std::string CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const override;
};

} // namespace ztest
