#include "host/elements/HostTestCatalogue.h"

#include "host/interfaces/ITestElement.h"
#include "platform/base/Conversions.h"

#include <string>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostTestCatalogue";

} // namespace

std::shared_ptr<ITestElement> HostTestCatalogue::Item(int32_t index)
{
    if (index < 0 || index >= Count()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    return mItems[static_cast<size_t>(index)];
}

std::shared_ptr<ITestElement> HostTestCatalogue::ItemByTestID(int32_t testId)
{
    for (const auto& item : mItems)
        if (item->TestID() == testId) return item;
    // A copy of the list: a group's lookup may not change this one, but it stays safe if it did.
    const auto items = mItems;
    for (const auto& item : items) {
        if (auto group = plat::QueryInterface<HostTestCollection>(item)) {
            if (auto found = group->ItemByTestID(testId)) return found;
        }
    }
    return nullptr;
}

void HostTestCatalogue::Add(const std::shared_ptr<ITestElement>& element, const plat::Variant& before, int32_t flags)
{
    if (!element) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);
    if (element.get() == dynamic_cast<ITestElement*>(this)) plat::RaiseRuntime(plat::rt::InvalidCall, kSource);
    if (flags & AddUnique) {
        const int32_t testId = element->TestID();
        for (const auto& item : mItems) {
            if (item->TestID() == testId) {
                throw plat::ComError(ErrDuplicateTestId, kSource,
                                     "The test ID " + std::to_string(testId) + " is already in the collection");
            }
        }
    }
    auto at = mItems.end();
    if (!before.IsEmpty()) {
        const int32_t index = plat::CLng(before);
        if (index < 0 || index > Count()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
        at = mItems.begin() + index;
    }
    mItems.insert(at, element);
}

} // namespace host
