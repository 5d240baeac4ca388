#pragma once

#include "host/elements/HostTestCollection.h"

#include <memory>
#include <vector>

namespace host {

// The host's collection class: an ordered list of test elements. The plug-in keeps its template
// test elements in one; a test element that is a group derives from it to hold its entries.
class HostTestCatalogue : public HostTestCollection {
public:
    int32_t Count() override { return static_cast<int32_t>(mItems.size()); }
    std::shared_ptr<ITestElement> Item(int32_t index) override;
    std::shared_ptr<ITestElement> ItemByTestID(int32_t testId) override;
    void Add(const std::shared_ptr<ITestElement>& element, const plat::Variant& before, int32_t flags) override;
    void Clear() override { mItems.clear(); }

    const std::vector<std::shared_ptr<ITestElement>>& Items() const { return mItems; }

private:
    std::vector<std::shared_ptr<ITestElement>> mItems;
};

} // namespace host
