#pragma once

#include "testlib/config/CConfigEnergy.h"
#include "testlib/editors/XDischargeEditor.h"

namespace ztest {

// The editor of the energy-measurement record.
class XEnergyConfig : public XDischargeEditor<CConfigEnergy> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XEnergyConfig";
    static constexpr const char* ClassId = "{3C1E2A70-5D41-4B8E-A3F2-7E0B9D6C1A01}";

    XEnergyConfig();

    // The shockable rhythms by the record's wave index, and the design, both shared with the
    // charge-time editor.
    static std::span<const std::string_view> Waves();
    static DischargeDesign EnergyDesign(const char* kind);
};

} // namespace ztest
