#pragma once

#include "testlib/config/CConfigBatCap.h"
#include "testlib/editors/XDischargeEditor.h"

namespace ztest {

// The editor of the battery-capacity record: the preset energy only.
class XBatCapConfig : public XDischargeEditor<CConfigBatCap> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XBatCapConfig";
    static constexpr const char* ClassId = "{3C1E2A70-5D41-4B8E-A3F2-7E0B9D6C1A05}";

    XBatCapConfig();
};

} // namespace ztest
