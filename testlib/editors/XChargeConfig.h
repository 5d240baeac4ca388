#pragma once

#include "testlib/config/CConfigCharge.h"
#include "testlib/editors/XDischargeEditor.h"

namespace ztest {

// The editor of the charge-time record: laid out and behaving as the energy editor.
class XChargeConfig : public XDischargeEditor<CConfigCharge> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XChargeConfig";
    static constexpr const char* ClassId = "{3C1E2A70-5D41-4B8E-A3F2-7E0B9D6C1A02}";

    XChargeConfig();
};

} // namespace ztest
