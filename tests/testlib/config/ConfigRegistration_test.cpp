#include "platform/com/ComRuntime.h"
#include "testlib/config/CConfigBatCap.h"
#include "testlib/config/CConfigCardio.h"
#include "testlib/config/CConfigCharge.h"
#include "testlib/config/CConfigDefib.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/config/CConfigPacerRef.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/config/CConfigArr.h"
#include "tests/platform/ui/fixture/UiFixtureRegistry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

template <class Record>
bool IsA(const plat::ObjectPtr& object)
{
    return std::dynamic_pointer_cast<Record>(object) != nullptr;
}

} // namespace

TEST(ConfigRegistration, EveryRecordIsCreatedByItsProgId)
{
    ztesting::UiFixtureRegistry registry;
    plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvikTest.so");

    const std::pair<std::string, std::function<bool(const plat::ObjectPtr&)>> records[] = {
        {"TelvoZarvikTest.CConfigEnergy", IsA<ztest::CConfigEnergy>},
        {"TelvoZarvikTest.CConfigCharge", IsA<ztest::CConfigCharge>},
        {"TelvoZarvikTest.CConfigCardio", IsA<ztest::CConfigCardio>},
        {"TelvoZarvikTest.CConfigDefib", IsA<ztest::CConfigDefib>},
        {"TelvoZarvikTest.CConfigBatCap", IsA<ztest::CConfigBatCap>},
        {"TelvoZarvikTest.CConfigEcg", IsA<ztest::CConfigEcg>},
        {"TelvoZarvikTest.CConfigArr", IsA<ztest::CConfigArr>},
        {"TelvoZarvikTest.CConfigNSW", IsA<ztest::CConfigNSW>},
        {"TelvoZarvikTest.CConfigPerf", IsA<ztest::CConfigPerf>},
        {"TelvoZarvikTest.CConfigPacerPar", IsA<ztest::CConfigPacerPar>},
        {"TelvoZarvikTest.CConfigPacerRef", IsA<ztest::CConfigPacerRef>},
    };
    for (const auto& [progId, isRecord] : records) {
        SCOPED_TRACE(progId);
        plat::ObjectPtr object = plat::CreateObject(progId);
        EXPECT_TRUE(isRecord(object));
        EXPECT_NE(std::dynamic_pointer_cast<host::IConfigData>(object), nullptr);
    }
}
