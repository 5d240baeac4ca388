#pragma once

// Small stand-ins for the test element and its result, as the limits and their report rows
// see them.

#include "host/IResultData.h"
#include "host/ITestElement.h"
#include "platform/base/ComError.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace ztesting {

// A result record that hands out its measurements by key.
class FakeResult : public host::IResultData {
public:
    std::map<std::string, std::shared_ptr<host::IMeasurement>> measurements;
    // When set, asking for a measurement raises, as a result whose host call fails.
    bool failing = false;

    std::string Comment() override { return {}; }
    void SetComment(const std::string&) override {}
    bool HasDialog() override { return false; }
    int32_t Status() override { return 0; }
    std::shared_ptr<host::IMeasurement> Measurement(const plat::Variant& indexOrKey) override
    {
        if (failing) throw plat::ComError(plat::rt::InvalidCall, "FakeResult", "failing on purpose");
        if (!indexOrKey.IsString()) return nullptr;
        auto found = measurements.find(indexOrKey.AsString());
        return found == measurements.end() ? nullptr : found->second;
    }
    int32_t MeasurementCount() override { return static_cast<int32_t>(measurements.size()); }
    std::shared_ptr<host::HostServiceRecord> ServiceRecord() override { return nullptr; }
    int32_t MTIID() override { return 0; }
    std::shared_ptr<host::IDialog> CreateDialog() override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void PrintReport(const std::shared_ptr<host::HostReport>&, const plat::ObjectPtr&) override {}
};

// A test element of one test type, with its limits and current result.
class FakeElement : public host::ITestElement {
public:
    explicit FakeElement(int32_t testId, std::shared_ptr<host::IResultData> result = nullptr)
        : testId(testId), result(std::move(result))
    {
    }

    int32_t testId;
    std::shared_ptr<host::IResultData> result;
    std::shared_ptr<host::ILimitData> limits;

    void Initialize(const std::string&, int32_t, int32_t) override {}
    std::shared_ptr<host::ITestElement> Clone() override { return nullptr; }
    int32_t TestID() override { return testId; }
    std::shared_ptr<host::IResultData> Result() override { return result; }
    std::shared_ptr<host::ILimitData> Limits() override { return limits; }
    std::shared_ptr<host::IConfigData> Configuration() override { return nullptr; }
    std::shared_ptr<host::HostTestFilter> Filter() override { return nullptr; }
    std::shared_ptr<host::HostTestInfo> Info() override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void Perform(const std::shared_ptr<host::HostTestContext>&) override {}
};

} // namespace ztesting
