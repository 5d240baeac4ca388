#include "testlib/editors/XChargeConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/editors/XEnergyConfig.h"

namespace ztest {

XChargeConfig::XChargeConfig() : XDischargeEditor(XEnergyConfig::EnergyDesign("XChargeConfig")) {}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XChargeConfig, ztest::XChargeConfig::ProgId, ztest::XChargeConfig::ClassId)
