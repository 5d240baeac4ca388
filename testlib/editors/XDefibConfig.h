#pragma once

#include "testlib/config/CConfigDefib.h"
#include "testlib/editors/XDischargeEditor.h"

namespace ztest {

// The editor of the pulse-repetition record: the preset energy and the battery check box, no wave list.
class XDefibConfig : public XDischargeEditor<CConfigDefib> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XDefibConfig";
    static constexpr const char* ClassId = "{3C1E2A70-5D41-4B8E-A3F2-7E0B9D6C1A04}";

    XDefibConfig();

    // The design, shared with the battery-capacity editor.
    static DischargeDesign DefibDesign(const char* kind);

protected:
    // The caption follows the first frame's width; the inputs keep their rows.
    void LayoutFirstFrame(float firstWidth, float height) override;
    // The settings editor keeps its place inside its frame.
    void LayoutSettingsFrame() override;
};

} // namespace ztest
