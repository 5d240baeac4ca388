#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace host {

// The run context that the host hands to a test element's Perform: it answers whether the
// element is to run, is told the operator's navigation and that the element's result changed,
// and carries the standards selected for the run and the list of known analyzer units.
class HostTestContext : public plat::IUnknown {
public:
    // Navigation codes.
    static constexpr int32_t NavigationNone = -1;
    static constexpr int32_t NavigateNext = 0;
    static constexpr int32_t NavigatePrevious = 1;
    static constexpr int32_t NavigateAbort = 2;
    static constexpr int32_t NavigateSkip = 3;

    using AskRunRule = std::function<bool(const std::shared_ptr<ITestElement>&)>;
    using ResultListener = std::function<void(const std::shared_ptr<ITestElement>&)>;

    HostTestContext();

    // Whether the element is to run now; every element runs unless a rule says otherwise.
    bool AskRun(const std::shared_ptr<ITestElement>& element);
    void SetAskRunRule(AskRunRule rule) { mAskRun = std::move(rule); }

    // The navigation the element reported last; NavigationNone until it reports one.
    void SetNavigation(int32_t code) { mNavigation = code; }
    int32_t Navigation() const { return mNavigation; }
    void ClearNavigation() { mNavigation = NavigationNone; }

    // The element's result was rated, stamped or replaced.
    void ResultChanged(const std::shared_ptr<ITestElement>& element);
    int ResultChangedCount() const { return mResultChanged; }
    void SetResultListener(ResultListener listener) { mResultListener = std::move(listener); }

    // The standards the run is rated against; none when the run selects none.
    const std::shared_ptr<HostStandards>& SelectedStandards() const { return mSelectedStandards; }
    void SetSelectedStandards(std::shared_ptr<HostStandards> standards) { mSelectedStandards = std::move(standards); }

    // The host's list of known analyzer units; a context always has one (an empty pointer puts
    // a new empty list in place).
    const std::shared_ptr<HostMtiList>& MtiList() const { return mMtiList; }
    void SetMtiList(std::shared_ptr<HostMtiList> list);

private:
    AskRunRule mAskRun;
    int32_t mNavigation = NavigationNone;
    int mResultChanged = 0;
    ResultListener mResultListener;
    std::shared_ptr<HostStandards> mSelectedStandards;
    std::shared_ptr<HostMtiList> mMtiList;
};

} // namespace host
