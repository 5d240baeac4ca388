#pragma once

#include "host/interfaces/ITestElement.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ztesting {

// A test element that gives the result records and the limits what a real element gives them:
// its test ID, configuration record, limits, filter and current result, and counts how often the
// limits and the filter were asked for. Everything else does nothing.
class FakeTestElement : public host::ITestElement {
public:
    FakeTestElement() = default;
    explicit FakeTestElement(int32_t testId, std::shared_ptr<host::IResultData> result = nullptr);
    FakeTestElement(int32_t testId, std::shared_ptr<host::IConfigData> configuration,
                    std::shared_ptr<host::ILimitData> limits, std::shared_ptr<host::HostTestFilter> filter);

    void SetConfiguration(std::shared_ptr<host::IConfigData> configuration) { mConfiguration = std::move(configuration); }
    void SetLimits(std::shared_ptr<host::ILimitData> limits) { mLimits = std::move(limits); }
    void SetFilter(std::shared_ptr<host::HostTestFilter> filter) { mFilter = std::move(filter); }
    void SetResult(std::shared_ptr<host::IResultData> result) { mResult = std::move(result); }

    int LimitsAsked() const { return mLimitsAsked; }
    int FilterAsked() const { return mFilterAsked; }

    // ITestElement
    void Initialize(const std::string& moduleKey, int32_t testId, int32_t id) override;
    std::shared_ptr<host::ITestElement> Clone() override { return nullptr; }
    int32_t TestID() override { return mTestId; }
    std::shared_ptr<host::IResultData> Result() override { return mResult; }
    std::shared_ptr<host::ILimitData> Limits() override;
    std::shared_ptr<host::IConfigData> Configuration() override { return mConfiguration; }
    std::shared_ptr<host::HostTestFilter> Filter() override;
    std::shared_ptr<host::HostTestInfo> Info() override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>& element, const std::shared_ptr<host::HostLoadLog>& log) override;
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>& document) override;
    void Perform(const std::shared_ptr<host::HostTestContext>& context) override;
    std::string PlugInID() override { return "ZARVIK"; }
    int32_t ID() override { return mId; }
    void SetID(int32_t id) override { mId = id; }
    plat::ObjectPtr Parent() override { return mParent.lock(); }
    void SetParent(const plat::ObjectPtr& parent) override { mParent = parent; }
    void PrintReport(const std::shared_ptr<host::HostReport>& /*report*/, const plat::Variant& /*argument*/) override {}
    bool QuerySetParent(const plat::ObjectPtr& /*parent*/) override { return true; }
    void Terminate() override {}
    void UpdateReferences() override {}
    plat::Variant GetMeasurementList() override { return {}; }

private:
    int32_t mTestId = 0;
    int32_t mId = 0;
    std::weak_ptr<plat::IUnknown> mParent;
    std::shared_ptr<host::IConfigData> mConfiguration;
    std::shared_ptr<host::ILimitData> mLimits;
    std::shared_ptr<host::HostTestFilter> mFilter;
    std::shared_ptr<host::IResultData> mResult;
    int mLimitsAsked = 0;
    int mFilterAsked = 0;
};

} // namespace ztesting
