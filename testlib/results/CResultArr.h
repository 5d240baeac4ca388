#pragma once

#include "testlib/results/CVerdictResult.h"

#include <memory>
#include <string>

namespace ztest {

// The result of the arrhythmia test (type 500): the operator's verdict on the simulated wave,
// "ARR", captioned with the short name of the configured wave.
class CResultArr : public CVerdictResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultArr";
    static constexpr const char* ClassId = "{F12A4C24-92C6-4607-87F7-6B66C11BE4DF}";

    CResultArr();

protected:
    // The caption of the configured wave ID (a language-ID text, translated when shown); empty
    // for an ID outside the record's table or without a configuration record.
    std::string CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const override;
};

} // namespace ztest
