#pragma once

#include "platform/ui/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// What a combo box and a list box share: the entries with their item data, the selected entry
// (ListIndex) and the index of the entry added last. Adding and removing entries moves the
// selection with its entry and raises no event; a different ListIndex raises Click.
class ListControl : public Control {
public:
    int ListCount() const { return static_cast<int>(mItems.size()); }
    // An entry; an index outside 0..ListCount-1 raises 381.
    const std::string& List(int index) const;
    void SetList(int index, const std::string& text);
    int32_t ItemData(int index) const;
    void SetItemData(int index, int32_t value);
    // Appends, or inserts at `index` (0..ListCount; anything else raises 5).
    void AddItem(const std::string& text, int index = -1);
    // Removes an entry (an index outside the list raises 5); removing the selected entry
    // leaves no selection.
    void RemoveItem(int index);
    // Removes every entry; the selection goes too, without events.
    void Clear();
    // The index of the last entry added.
    int NewIndex() const { return mNewIndex; }

    // -1 for no selection; anything outside -1..ListCount-1 raises 380.
    int ListIndex() const { return mListIndex; }
    void SetListIndex(int v);

    bool CanFocus() const override { return true; }

protected:
    using Control::Control;

    // Raises 381 for an index outside the entries.
    void CheckIndex(int index) const;
    // Moves the selection without Click.
    void SetListIndexQuietly(int v) { mListIndex = v; }
    // A per-entry mark that moves with its entry (the check of a check-box list).
    bool Marked(int index) const { return mItems[static_cast<size_t>(index)].marked; }
    void SetMarked(int index, bool v) { mItems[static_cast<size_t>(index)].marked = v; }
    int MarkedCount() const;

    // Told after the change, before any event: an entry's text changed; the selected entry was
    // removed; every entry was removed; ListIndex changed (before Click).
    virtual void OnTextChanged(int /*index*/) {}
    virtual void OnSelectedRemoved() {}
    virtual void OnRemoved() {}
    virtual void OnCleared() {}
    virtual void OnListIndexChanged() {}

private:
    struct Item {
        std::string text;
        int32_t data = 0;
        bool marked = false;
    };

    std::vector<Item> mItems;
    int mListIndex = -1;
    int mNewIndex = -1;
};

} // namespace plat
