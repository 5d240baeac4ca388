#pragma once

#include "platform/ui/ListControl.h"

#include <string>

namespace plat {

// List box styles.
constexpr int vbListBoxStandard = 0;
constexpr int vbListBoxCheckbox = 1;

// A list box, plain or with a check box per entry. A different ListIndex raises Click; in the
// check-box style a changed check (Selected) raises ItemCheck with the entry's index, whether
// code or the operator changed it. In the plain style Selected(i) is "i is the ListIndex".
class ListBox : public ListControl {
public:
    explicit ListBox(int style = vbListBoxStandard);

    int Style() const { return mStyle; }

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

    Event<int> ItemCheck;

    // The operator clicks an entry (selects it).
    void UserSelect(int index);
    // The operator clicks an entry's check box: the check flips and the entry is selected.
    void UserCheckItem(int index);

protected:
    void OnRemoved() override;
    void OnCleared() override { mTopIndex = 0; }

private:
    int mStyle;
    int mTopIndex = 0;
};

} // namespace plat
