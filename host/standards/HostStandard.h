#pragma once

#include "host/standards/HostLimitItem.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// One standard: a named set of limit items, in order. A standard is known by two names, the
// short alpha name and the complete name, and rates a measurement against the items of its key.
class HostStandard : public plat::IUnknown {
public:
    using ItemList = std::vector<std::shared_ptr<HostLimitItem>>;

    static constexpr int32_t StatusPassed = 0;
    static constexpr int32_t StatusFailed = 2;

    // Sets both names and the kind number the caller gives (the test library passes 1); the
    // items are left as they are.
    void Initialize(const std::string& alphaName, const std::string& completeName, int32_t kind);

    const std::string& AlphaName() const { return mAlphaName; }
    void SetAlphaName(const std::string& name) { mAlphaName = name; }
    const std::string& CompleteName() const { return mCompleteName; }
    void SetCompleteName(const std::string& name) { mCompleteName = name; }
    int32_t Kind() const { return mKind; }

    // The limit items in the order they were added; Item raises Subscript out of range outside
    // 0 .. Count() - 1.
    const ItemList& Items() const { return mItems; }
    std::size_t Count() const { return mItems.size(); }
    const std::shared_ptr<HostLimitItem>& Item(std::size_t index) const;
    ItemList::const_iterator begin() const { return mItems.begin(); }
    ItemList::const_iterator end() const { return mItems.end(); }

    // Appends an item; an empty pointer raises Invalid procedure call.
    void AddItem(std::shared_ptr<HostLimitItem> item);
    void RemoveItem(std::size_t index);
    void ClearItems() { mItems.clear(); }
    // The first item with exactly this key, or none.
    std::shared_ptr<HostLimitItem> FindItem(const std::string& key) const;

    // Rates a measurement: every item whose key equals key (exactly; callers pass the first four
    // characters of a measurement key) is looked at in order, each enabled bound against the
    // value, in 32-bit floats: above an enabled upper bound or below an enabled lower bound
    // fails, a value equal to a bound passes, a disabled bound is not looked at. The result is
    // StatusFailed at the first failing item, else StatusPassed. The preset value is the X of
    // formula bounds.
    // A value that is not a number, or an enabled bound whose limit cannot be worked out (a
    // formula that cannot be read, a preset that is no number), fails: a measurement that cannot
    // be judged must not be reported as passed.
    int32_t Evaluate(const std::string& key, float value, const plat::Variant& preset) const;

    // A copy with copies of all items; it shares nothing with this standard.
    std::shared_ptr<HostStandard> Copy() const;

private:
    std::string mAlphaName;
    std::string mCompleteName;
    int32_t mKind = 0;
    ItemList mItems;
};

} // namespace host
