#pragma once

#include "host/ILimitData.h"

#include <memory>
#include <string>

namespace ztesting {

// Limits for rating tests: standards of HostStandard items, and FindFailedStandards as the
// limits rate a measurement: each given standard is looked up among these by its two names and
// judges the measurement by the first four characters of its key. A value that is no number
// fails wherever an item of its key is enabled. Nothing else does anything.
class FakeLimitData : public host::ILimitData {
public:
    FakeLimitData();

    // Adds a standard (alpha name "STD", complete name "Standard" unless given) and returns it.
    std::shared_ptr<host::HostStandard> AddStandard(const std::string& alphaName = "STD",
                                                    const std::string& completeName = "Standard");
    // Adds an item of the key to the standard with an upper and/or lower bound.
    static void AddBounds(host::HostStandard& standard, const std::string& key, const float* upper,
                          const float* lower);

    // ILimitData
    std::string Description() override { return {}; }
    void SetDescription(const std::string&) override {}
    bool HasDialog() override { return false; }
    std::shared_ptr<host::HostStandards> Standards() override { return mStandards; }
    std::shared_ptr<host::ITestElement> Owner() override { return nullptr; }
    std::shared_ptr<host::ILimitData> Clone() override { return nullptr; }
    std::shared_ptr<host::IDialog> CreateDialog() override { return nullptr; }
    std::shared_ptr<host::HostStandard> CreateStandard(const std::string& alphaName,
                                                       const std::string& completeName) override;
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void PrintReport(const std::shared_ptr<host::HostReport>&, const std::shared_ptr<host::HostPrintContext>&) override {}
    void UpdateLimits(const plat::ObjectPtr&) override {}
    std::shared_ptr<host::HostStandards> FindFailedStandards(const std::shared_ptr<host::IMeasurement>& measurement,
                                                             const std::shared_ptr<host::HostStandards>& standards) override;

private:
    std::shared_ptr<host::HostStandards> mStandards;
};

} // namespace ztesting
