#pragma once

// What the tests of the four wave tests share: the types as a table (with the stepping ECG test
// and the performance test on a wave other than zero output), their hold time, the verdict a
// record holds.

#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "platform/base/Conversions.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

struct WaveType {
    const char* name;
    std::function<std::shared_ptr<host::ITestElement>()> make;
    // The prefix of the command that puts the wave on the monitor.
    const char* wave;
};

inline std::vector<WaveType> WaveTypes()
{
    return {
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, "NSB"},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, "AF1"},
        {"performance",
         [] {
             auto element = ztest::CTestPerf::Create();
             std::dynamic_pointer_cast<ztest::CConfigPerf>(element->Configuration())->SetWavetype(301);
             return element;
         },
         "SQU"},
        {"ECG R-wave", [] { return ztest::CTestEcg::Create(); }, "THRESH"},
        // Thresholds 160, 180 and 200, one hold each.
        {"ECG R-wave stepping its width",
         [] {
             auto element = ztest::CTestEcg::Create();
             std::dynamic_pointer_cast<ztest::CConfigEcg>(element->Configuration())
                 ->SetAutoIncrement(ztest::CConfigEcg::StepWidth);
             return element;
         },
         "THRESH"},
    };
}

// Sets the hold time of any of the four tests.
inline void SetHold(const std::shared_ptr<host::ITestElement>& element, int32_t seconds)
{
    if (auto ecg = std::dynamic_pointer_cast<ztest::CConfigEcg>(element->Configuration())) ecg->SetDuration(seconds);
    if (auto wave = std::dynamic_pointer_cast<ztest::CConfigSimWave>(element->Configuration())) wave->SetDuration(seconds);
}

// The verdict a record's measurement holds: "", "passed" or "failed".
inline std::string VerdictOf(const std::shared_ptr<host::IResultData>& record)
{
    const auto measurement = record ? record->Measurement(plat::Variant(int32_t{1})) : nullptr;
    if (!measurement) return "no measurement";
    const plat::Variant value = measurement->value();
    if (value.IsEmpty() || value.IsNull()) return "";
    return plat::CBool(value) ? "passed" : "failed";
}

} // namespace ztesting
