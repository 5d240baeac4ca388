#pragma once

// A small stand-in for the result of a test element, as the limits and their report rows see
// it; the element itself is the shared FakeTestElement.

#include "host/interfaces/IResultData.h"
#include "platform/base/ComError.h"
#include "platform/base/Variant.h"
#include "support/FakeTestElement.h"

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

} // namespace ztesting
