#pragma once

#include "host/standards/HostLimitItem.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/elements/HostTestFilter.h"
#include "host/documents/HostTranslator.h"
#include "platform/ui/MessageBox.h"
#include "support/FakeTestElement.h"
#include "support/LimitItems.h"
#include "support/MessageBoxRecorder.h"
#include "testlib/config/CConfigArr.h"
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
#include "testlib/core/CLimitData.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/results/CLimitRatedResult.h"
#include "testlib/results/CResultArr.h"
#include "testlib/results/CResultBatCap.h"
#include "testlib/results/CResultCardio.h"
#include "testlib/results/CResultCharge.h"
#include "testlib/results/CResultDefib.h"
#include "testlib/results/CResultEcg.h"
#include "testlib/results/CResultEnergy.h"
#include "testlib/results/CResultNSW.h"
#include "testlib/results/CResultPacerPar.h"
#include "testlib/results/CResultPacerRef.h"
#include "testlib/results/CResultPerf.h"
#include "testlib/results/CResultRecord.h"
#include "testlib/results/CVerdictResult.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

// What a result record's test element gives it, ready for every record: a configuration
// record of the record's test with its defaults, the element's limits with one standard (no
// items until a test adds them), and a filter that asks for a service record.
struct ResultWorld {
    ResultWorld()
        : limits(std::make_shared<ztest::CLimitData>()),
          filter(std::make_shared<host::HostTestFilter>(host::HostTestFilter::FlagServiceRecord)),
          element(std::make_shared<FakeTestElement>(0, nullptr, limits, filter)),
          standards(std::make_shared<host::HostStandards>())
    {
        // Texts show their default language: no table of another run leaks in.
        previousTranslator = host::HostTranslator::SetProcess(std::make_shared<host::HostTranslator>());
        previousMessageBoxes = plat::SetMessageBoxService(messageBoxes);
        limits->SetOwner(element, true);
        // The run's selected standard is the element's own, found again by its two names.
        standard = limits->CreateStandard("STD", "Standard");
        standards->Add(standard);
    }
    ~ResultWorld()
    {
        plat::SetMessageBoxService(previousMessageBoxes);
        host::HostTranslator::SetProcess(previousTranslator);
    }
    ResultWorld(const ResultWorld&) = delete;
    ResultWorld& operator=(const ResultWorld&) = delete;

    // Adds an item of the key to the element's standard with an upper and/or a lower bound.
    void AddBounds(const std::string& key, std::optional<float> upper, std::optional<float> lower,
                   const std::string& upperFormula = {}) const
    {
        ztesting::LimitItemSpec spec{.key = key};
        if (upper) spec.upper = {true, *upper, upperFormula};
        if (lower) spec.lower = {true, *lower, ""};
        standard->AddItem(MakeLimitItem(spec));
    }

    // The records' message boxes are kept, instead of shown, and answered with OK.
    std::shared_ptr<MessageBoxRecorder> messageBoxes = std::make_shared<MessageBoxRecorder>(plat::vbOK);
    std::shared_ptr<host::HostTranslator> previousTranslator;
    std::shared_ptr<plat::IMessageBoxService> previousMessageBoxes;
    std::shared_ptr<ztest::CLimitData> limits;
    std::shared_ptr<host::HostTestFilter> filter;
    std::shared_ptr<FakeTestElement> element;
    std::shared_ptr<host::HostStandards> standards;
    std::shared_ptr<host::HostStandard> standard;
};

// One of the eleven result records, as the shared tests see it.
struct RecordKind {
    std::string name;
    std::string errorSource;
    std::string loadText;
    // The measurement keys after Initialize with the configuration's defaults, in order.
    std::vector<std::string> keys;
    // Creates a record, and initialises it the way its test element does.
    std::function<std::shared_ptr<ztest::CResultRecord>()> create;
    std::function<void(ztest::CResultRecord&, ResultWorld&)> initialize;
    // Gives every measurement a value and rates the record as passed (true) or failed (false):
    // measured values and limits for the limit-rated records, the operator's verdict for the
    // others.
    std::function<void(ztest::CResultRecord&, ResultWorld&, bool passed)> rate;
    // Rates the record with the skipped argument (the operator chose N/A).
    std::function<void(ztest::CResultRecord&, ResultWorld&)> skip;

    std::shared_ptr<ztest::CResultRecord> make(ResultWorld& world) const
    {
        std::shared_ptr<ztest::CResultRecord> record = create();
        initialize(*record, world);
        return record;
    }
};

// The creation of a record class, and its initialisation with the configuration record or
// with the test element.
template <class Record>
std::shared_ptr<ztest::CResultRecord> Create()
{
    return std::make_shared<Record>();
}

// The element's configuration record, made with its defaults when the element has none of
// the class yet.
template <class Config>
std::shared_ptr<Config> ConfigurationOf(ResultWorld& world)
{
    auto config = std::dynamic_pointer_cast<Config>(world.element->Configuration());
    if (!config) {
        config = std::make_shared<Config>();
        world.element->SetConfiguration(config);
    }
    return config;
}

template <class Record, class Config>
void InitializeWithConfiguration(ztest::CResultRecord& record, ResultWorld& world)
{
    dynamic_cast<Record&>(record).Initialize(ConfigurationOf<Config>(world));
}

template <class Record, class Config>
void InitializeWithElement(ztest::CResultRecord& record, ResultWorld& world)
{
    ConfigurationOf<Config>(world);
    dynamic_cast<Record&>(record).Initialize(world.element);
}

// Tests name their record kind by its class.
inline void PrintTo(const RecordKind& kind, std::ostream* os)
{
    *os << kind.name;
}

// Limit-rated records: every measurement gets 5; failing puts an upper bound of 1 on the first.
inline void RateByLimits(ztest::CResultRecord& record, ResultWorld& world, bool passed)
{
    for (const auto& measurement : record.Measurements()) measurement->SetValue(5.0);
    world.standard->ClearItems();
    if (!passed) world.AddBounds(record.Measurements().front()->GetKey().substr(0, 4), 1.0f, std::nullopt);
    dynamic_cast<ztest::CLimitRatedResult&>(record).UpdateStatus(world.element, world.standards, false);
}

inline void SkipByLimits(ztest::CResultRecord& record, ResultWorld& world)
{
    dynamic_cast<ztest::CLimitRatedResult&>(record).UpdateStatus(world.element, world.standards, true);
}

// Verdict records: the checklist view writes the verdict into the measurement.
inline void RateByVerdict(ztest::CResultRecord& record, ResultWorld& world, bool passed)
{
    for (const auto& measurement : record.Measurements()) {
        measurement->SetValue(passed);
        measurement->SetStatus(passed ? ztest::CMeasurement::StatusPassed : ztest::CMeasurement::StatusFailed);
    }
    dynamic_cast<ztest::CVerdictResult&>(record).UpdateStatus(world.element, false);
}

inline void SkipByVerdict(ztest::CResultRecord& record, ResultWorld& world)
{
    dynamic_cast<ztest::CVerdictResult&>(record).UpdateStatus(world.element, true);
}

inline std::vector<std::string> Numbered(const std::string& key, int count)
{
    std::vector<std::string> keys;
    for (int n = 1; n <= count; ++n) keys.push_back(key + std::to_string(n));
    return keys;
}

// The eleven records.
const std::vector<RecordKind>& AllRecordKinds();
// The record kind of a class name; the test fails when there is none.
const RecordKind& KindNamed(const std::string& name);

inline const std::vector<RecordKind>& AllRecordKinds()
{
    using namespace ztest;
    static const std::vector<RecordKind> kinds = {
        {"CResultEnergy", "TelvoZarvikTest.CResultEnergy", "20202::Loading Energy Measurement Test result data",
         {"ENGY", "PEAV", "PEAC", "PULW"}, Create<CResultEnergy>, InitializeWithElement<CResultEnergy, CConfigEnergy>,
         RateByLimits, SkipByLimits},
        {"CResultCharge", "TelvoZarvikTest.CResultCharge", "20223::Loading Charge Time Test result data",
         {"ENGY", "PEAV", "PEAC", "CHTI"}, Create<CResultCharge>, InitializeWithElement<CResultCharge, CConfigCharge>,
         RateByLimits, SkipByLimits},
        {"CResultCardio", "TelvoZarvikTest.CResultCardio", "20242::Loading Cardio version Sync test result data",
         {"ENGY", "PEAV", "PEAC", "CADT"}, Create<CResultCardio>, InitializeWithElement<CResultCardio, CConfigCardio>,
         RateByLimits, SkipByLimits},
        {"CResultDefib", "CResultDefib", "20425::Loading Defib Pulse Repetition Test result data", Numbered("ENGY", 15),
         Create<CResultDefib>, InitializeWithConfiguration<CResultDefib, CConfigDefib>, RateByLimits, SkipByLimits},
        {"CResultBatCap", "CResultBatCap", "20403::Loading Battery Capacity Test result data", Numbered("CHTI", 15),
         Create<CResultBatCap>, InitializeWithConfiguration<CResultBatCap, CConfigBatCap>, RateByLimits, SkipByLimits},
        {"CResultPacerPar", "TelvoZarvikTest.CResultPacerPar", "20373::Loading Pacer Parameter Test result data",
         {"PACR", "PACC", "PACW"}, Create<CResultPacerPar>, InitializeWithConfiguration<CResultPacerPar, CConfigPacerPar>,
         RateByLimits, SkipByLimits},
        {"CResultPacerRef", "TelvoZarvikTest.CResultPacerRef", "20387::Loading Pacer Refractory Test result data",
         {"SENS", "PACE"}, Create<CResultPacerRef>, InitializeWithConfiguration<CResultPacerRef, CConfigPacerRef>,
         RateByLimits, SkipByLimits},
        {"CResultEcg", "ZARVIKTests.CResultEcg", "20435::Loading ECG-R Wave Peak Detection Test result data", {"ECGR"},
         Create<CResultEcg>, InitializeWithConfiguration<CResultEcg, CConfigEcg>, RateByVerdict, SkipByVerdict},
        {"CResultArr", "TelvoZarvikTest.CResultArr", "20337::Loading Arrythmia Test result data", {"ARR"},
         Create<CResultArr>, InitializeWithConfiguration<CResultArr, CConfigArr>, RateByVerdict, SkipByVerdict},
        {"CResultNSW", "TelvoZarvikTest.CResultNSW", "20264::Loading Normal Sinus Wave Test result data", {"NSW"},
         Create<CResultNSW>, InitializeWithConfiguration<CResultNSW, CConfigNSW>, RateByVerdict, SkipByVerdict},
        {"CResultPerf", "TelvoZarvikTest.CResultPerf", "20344::Loading Performance Test result data", {"PERF"},
         Create<CResultPerf>, InitializeWithConfiguration<CResultPerf, CConfigPerf>, RateByVerdict, SkipByVerdict},
    };
    return kinds;
}

inline const RecordKind& KindNamed(const std::string& name)
{
    for (const RecordKind& kind : AllRecordKinds()) {
        if (kind.name == name) return kind;
    }
    ADD_FAILURE() << "no record kind " << name;
    return AllRecordKinds().front();
}

inline std::string KindName(const testing::TestParamInfo<RecordKind>& info)
{
    return info.param.name;
}

} // namespace ztesting
