#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/ListSubItem.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

class ListView;

// One row of a list view: its first column (text, key) and its sub-items. Positions of
// sub-items count from 1; a position outside raises 35600, an unknown key 35601, a key already
// in use 35602.
class ListItem {
public:
    const std::string& Key() const { return mKey; }
    const std::string& Text() const { return mText; }
    void SetText(const std::string& v) { mText = v; }
    bool Bold() const { return mBold; }
    void SetBold(bool v) { mBold = v; }
    int32_t ForeColor() const { return mForeColor; }
    void SetForeColor(int32_t v) { mForeColor = v; }
    const std::string& ToolTipText() const { return mToolTipText; }
    void SetToolTipText(const std::string& v) { mToolTipText = v; }
    const std::string& Tag() const { return mTag; }
    void SetTag(const std::string& v) { mTag = v; }
    // The position in the list, from 1; 0 once removed.
    int Index() const;

    bool Selected() const;
    void SetSelected(bool v);
    // A changed check raises the list view's ItemCheck.
    bool Checked() const { return mChecked; }
    void SetChecked(bool v);

    int SubItemCount() const { return static_cast<int>(mSubItems.size()); }
    ListSubItem& AddSubItem(const std::string& key = {}, const std::string& text = {}, int index = -1);
    ListSubItem& SubItem(int index);
    ListSubItem& SubItemByKey(const std::string& key);
    // The text of the cell in column `index` + 1 (1 is the second column). Reading a cell
    // that has no sub-item gives ""; writing it creates the sub-items up to it. An index of 0
    // or beyond the last column raises 380.
    std::string SubItems(int index) const;
    void SetSubItems(int index, const std::string& text);

private:
    friend class ListView;

    ListView* mView = nullptr;  // cleared when the item leaves its list
    std::string mKey;
    std::string mText;
    bool mBold = false;
    int32_t mForeColor = color::WindowText;
    std::string mToolTipText;
    std::string mTag;
    bool mChecked = false;
    std::vector<ListSubItem> mSubItems;
};

} // namespace plat
