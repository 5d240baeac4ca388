#pragma once

#include "testlib/results/CVerdictResult.h"

#include <memory>
#include <string>

namespace ztest {

// The result of the normal sinus wave test (type 400): the operator's verdict on the simulated wave,
// "NSW", captioned with the short name of the configured wave.
class CResultNSW : public CVerdictResult {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CResultNSW";
    static constexpr const char* ClassId = "{75AE8AD1-0DBC-4945-9B30-C768CD8CB0FC}";

    CResultNSW();

protected:
    // The caption of the configured wave ID (a language-ID text, translated when shown); empty
    // for an ID outside the record's table or without a configuration record.
    std::string CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const override;
};

} // namespace ztest
