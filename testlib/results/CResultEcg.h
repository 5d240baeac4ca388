#pragma once

#include "testlib/results/CVerdictResult.h"

#include <memory>
#include <string>

namespace ztest {

// The result of the ECG R-wave peak detection test (type 1100): the operator's verdict, "ECGR".
class CResultEcg : public CVerdictResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultEcg";
    static constexpr const char* ClassId = "{5CE8A40C-F4C2-454C-B2D3-1B6682EA8427}";

    CResultEcg();

protected:
    // The caption is translated when the record is built, in the language then in use.
    std::string CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const override;
};

} // namespace ztest
