#pragma once

#include "testlib/config/CConfigCardio.h"
#include "testlib/editors/XDischargeEditor.h"

namespace ztest {

// The editor of the cardioversion record: its own, longer wave list in a wider first frame.
class XCardioConfig : public XDischargeEditor<CConfigCardio> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XCardioConfig";
    static constexpr const char* ClassId = "{3C1E2A70-5D41-4B8E-A3F2-7E0B9D6C1A03}";

    XCardioConfig();

protected:
    // The wave list follows the first frame's width.
    void LayoutFirstFrame(float firstWidth, float height) override;
};

} // namespace ztest
