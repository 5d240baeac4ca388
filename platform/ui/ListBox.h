#pragma once

#include "platform/ui/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// List box styles.
constexpr int vbListBoxStandard = 0;
constexpr int vbListBoxCheckbox = 1;

// A list box, plain or with a check box per entry. A different ListIndex raises Click; in the
// check-box style a changed check (Selected) raises ItemCheck with the entry's index, whether
// code or the operator changed it. In the plain style Selected(i) is "i is the ListIndex".
class ListBox : public Control {
public:
    explicit ListBox(int style = vbListBoxStandard);

    int Style() const { return mStyle; }

    int ListCount() const { return static_cast<int>(mItems.size()); }
    // An entry; an index outside 0..ListCount-1 raises 381.
    const std::string& List(int index) const;
    void SetList(int index, const std::string& text);
    int32_t ItemData(int index) const;
    void SetItemData(int index, int32_t value);
    void AddItem(const std::string& text, int index = -1);
    void RemoveItem(int index);
    void Clear();
    int NewIndex() const { return mNewIndex; }

    int ListIndex() const { return mListIndex; }
    void SetListIndex(int v);
    bool Selected(int index) const;
    void SetSelected(int index, bool v);
    int SelCount() const;
    // The first entry shown. Setting it scrolls as far as the list can: the last page of a
    // long list starts at ListCount minus the rows that fit; an index outside the list raises 380.
    int TopIndex() const { return mTopIndex; }
    void SetTopIndex(int v);
    // The entries that fit into the list's height.
    int VisibleRows() const;
    const std::string& Text() const;

    bool CanFocus() const override { return true; }

    Event<int> ItemCheck;

    // The operator clicks an entry (selects it).
    void UserSelect(int index);
    // The operator clicks an entry's check box: the check flips and the entry is selected.
    void UserCheckItem(int index);

private:
    void CheckIndex(int index) const;

    int mStyle;
    std::vector<std::string> mItems;
    std::vector<int32_t> mItemData;
    std::vector<bool> mChecked;
    int mListIndex = -1;
    int mNewIndex = -1;
    int mTopIndex = 0;
};

} // namespace plat
