#include "testlib/editors/XBatCapConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/editors/XDefibConfig.h"

namespace ztest {

namespace {

// The pulse-repetition editor's design without the battery check box, the energy row higher.
DischargeDesign BatCapDesign()
{
    DischargeDesign design = XDefibConfig::DefibDesign("XBatCapConfig");
    design.batteryCheck = std::nullopt;
    design.energyBox.top = 600;
    design.energyUnit.top = 620;
    design.helpCaption = "20150::Select energy according to 'Energy select' settings on the defibrillator. ";
    return design;
}

} // namespace

XBatCapConfig::XBatCapConfig() : XDischargeEditor(BatCapDesign()) {}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XBatCapConfig, ztest::XBatCapConfig::ProgId, ztest::XBatCapConfig::ClassId)
