#pragma once

#include "testlib/editors/WaveListEditor.h"

namespace ztest {

// The editor of the normal-sinus-wave record: one of eight sinus rhythms (codes 100 to 107)
// and its duration.
class XNSWConfig : public WaveListEditor {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XNSWConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F01}";

    XNSWConfig();

protected:
    bool Accepts(const plat::ObjectPtr& object) const override;
};

} // namespace ztest
