#include "platform/ui/ListBox.h"

#include "platform/ui/UiError.h"

#include <algorithm>
#include <limits>

namespace plat {

namespace {
// The height of one entry in twips with the usual font.
constexpr float kRowHeight = 195;
const std::string kEmpty;
} // namespace

ListBox::ListBox(int style) : Control("ListBox"), mStyle(style)
{
    if (style != vbListBoxStandard && style != vbListBoxCheckbox) Refuse(uierr::InvalidPropertyValue);
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
}

void ListBox::CheckIndex(int index) const
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidPropertyArrayIndex);
}

const std::string& ListBox::List(int index) const
{
    CheckIndex(index);
    return mItems[static_cast<size_t>(index)];
}

void ListBox::SetList(int index, const std::string& text)
{
    CheckIndex(index);
    mItems[static_cast<size_t>(index)] = text;
}

int32_t ListBox::ItemData(int index) const
{
    CheckIndex(index);
    return mItemData[static_cast<size_t>(index)];
}

void ListBox::SetItemData(int index, int32_t value)
{
    CheckIndex(index);
    mItemData[static_cast<size_t>(index)] = value;
}

void ListBox::AddItem(const std::string& text, int index)
{
    if (index < -1 || index > ListCount()) Refuse(uierr::InvalidCall);
    if (index == -1) index = ListCount();
    mItems.insert(mItems.begin() + index, text);
    mItemData.insert(mItemData.begin() + index, 0);
    mChecked.insert(mChecked.begin() + index, false);
    if (mListIndex >= index) ++mListIndex;
    mNewIndex = index;
}

void ListBox::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidCall);
    mItems.erase(mItems.begin() + index);
    mItemData.erase(mItemData.begin() + index);
    mChecked.erase(mChecked.begin() + index);
    if (mListIndex == index) {
        mListIndex = -1;
    } else if (mListIndex > index) {
        --mListIndex;
    }
    mTopIndex = std::clamp(mTopIndex, 0, std::max(0, ListCount() - 1));
}

void ListBox::Clear()
{
    mItems.clear();
    mItemData.clear();
    mChecked.clear();
    mListIndex = -1;
    mNewIndex = -1;
    mTopIndex = 0;
}

void ListBox::SetListIndex(int v)
{
    if (v < -1 || v >= ListCount()) Refuse(uierr::InvalidPropertyValue);
    if (v == mListIndex) return;
    mListIndex = v;
    Raise(Click);
}

bool ListBox::Selected(int index) const
{
    CheckIndex(index);
    return mStyle == vbListBoxCheckbox ? static_cast<bool>(mChecked[static_cast<size_t>(index)]) : index == mListIndex;
}

void ListBox::SetSelected(int index, bool v)
{
    CheckIndex(index);
    if (mStyle != vbListBoxCheckbox) {
        if (v) {
            SetListIndex(index);
        } else if (index == mListIndex) {
            SetListIndex(-1);
        }
        return;
    }
    if (mChecked[static_cast<size_t>(index)] == v) return;
    mChecked[static_cast<size_t>(index)] = v;
    Raise(ItemCheck, index);
}

int ListBox::SelCount() const
{
    if (mStyle != vbListBoxCheckbox) return mListIndex >= 0 ? 1 : 0;
    return static_cast<int>(std::count(mChecked.begin(), mChecked.end(), true));
}

int ListBox::VisibleRows() const
{
    // Any finite height is accepted, so the row count is capped before it becomes an int.
    double rows = static_cast<double>(Height()) / kRowHeight;
    if (rows >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    return std::max(1, static_cast<int>(rows));
}

void ListBox::SetTopIndex(int v)
{
    if (v < 0 || v >= std::max(1, ListCount())) Refuse(uierr::InvalidPropertyValue);
    mTopIndex = std::min(v, std::max(0, ListCount() - VisibleRows()));
}

const std::string& ListBox::Text() const
{
    return mListIndex >= 0 ? mItems[static_cast<size_t>(mListIndex)] : kEmpty;
}

void ListBox::UserSelect(int index)
{
    TakeFocusIfPossible();
    SetListIndex(index);
}

void ListBox::UserCheckItem(int index)
{
    CheckIndex(index);
    TakeFocusIfPossible();
    if (mStyle == vbListBoxCheckbox) SetSelected(index, !mChecked[static_cast<size_t>(index)]);
    SetListIndex(index);
}

} // namespace plat
