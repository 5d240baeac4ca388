#pragma once

#include "host/interfaces/ITestElement.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztest {
class CMtiData2;
class FZARVIKTestGuide;
} // namespace ztest

namespace ztesting {

// A test element that gives the result records and the limits what a real element gives them:
// its test ID, configuration record, limits, filter and current result, and counts how often the
// limits and the filter were asked for. Everything else does nothing, except Perform once
// SetGuideSteps has been called: then it runs one modal round through the test-guide window as
// a test element does (see GuideRound).
class FakeTestElement : public host::ITestElement, public std::enable_shared_from_this<FakeTestElement> {
public:
    FakeTestElement() = default;
    explicit FakeTestElement(int32_t testId, std::shared_ptr<host::IResultData> result = nullptr);
    FakeTestElement(int32_t testId, std::shared_ptr<host::IConfigData> configuration,
                    std::shared_ptr<host::ILimitData> limits, std::shared_ptr<host::HostTestFilter> filter);

    void SetConfiguration(std::shared_ptr<host::IConfigData> configuration) { mConfiguration = std::move(configuration); }
    void SetLimits(std::shared_ptr<host::ILimitData> limits) { mLimits = std::move(limits); }
    void SetFilter(std::shared_ptr<host::HostTestFilter> filter) { mFilter = std::move(filter); }
    void SetResult(std::shared_ptr<host::IResultData> result) { mResult = std::move(result); }

    void SetInfo(std::shared_ptr<host::HostTestInfo> info) { mInfo = std::move(info); }

    // What one Perform through the test-guide window did. The window is loaded with
    // SetRunState(1, False), InitGuide with the steps and ShowResultStatus, and shown modally.
    // StartTest runs a "test": running state, "20531::Test in progress", the result shown,
    // finished ready state and its status. StopTest goes back to the initial ready state.
    // NextTest, Previous, Skip, NA and AbortTest end the round: the navigation is noted and the
    // window hidden. After the modal show the confirmed unit is read and the window unloaded.
    struct GuideRound {
        std::vector<std::string> events;
        std::string navigation;
        std::shared_ptr<ztest::CMtiData2> unit;
        std::weak_ptr<ztest::FZARVIKTestGuide> window;
    };
    void SetGuideSteps(std::vector<std::string> steps);
    const GuideRound& Round() const { return mRound; }

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
    std::shared_ptr<host::HostTestInfo> Info() override { return mInfo; }
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
    std::shared_ptr<host::HostTestInfo> mInfo;
    bool mGuided = false;
    std::vector<std::string> mGuideSteps;
    GuideRound mRound;
    int mLimitsAsked = 0;
    int mFilterAsked = 0;
};

} // namespace ztesting
