#include "platform/ui/ComboBox.h"

#include "platform/ui/UiError.h"

#include <algorithm>
#include <cctype>

namespace plat {

ComboBox::ComboBox(int style) : Control("ComboBox"), mStyle(style)
{
    if (style != vbComboDropdown && style != 1 && style != vbComboDropdownList) Refuse(uierr::InvalidPropertyValue);
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
}

void ComboBox::SetStyle(int v)
{
    if (v != vbComboDropdown && v != 1 && v != vbComboDropdownList) Refuse(uierr::InvalidPropertyValue);
    mStyle = v;
}

void ComboBox::CheckIndex(int index) const
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidPropertyArrayIndex);
}

const std::string& ComboBox::List(int index) const
{
    CheckIndex(index);
    return mItems[static_cast<size_t>(index)];
}

void ComboBox::SetList(int index, const std::string& text)
{
    CheckIndex(index);
    mItems[static_cast<size_t>(index)] = text;
    if (index == mListIndex) mText = text;
}

int32_t ComboBox::ItemData(int index) const
{
    CheckIndex(index);
    return mItemData[static_cast<size_t>(index)];
}

void ComboBox::SetItemData(int index, int32_t value)
{
    CheckIndex(index);
    mItemData[static_cast<size_t>(index)] = value;
}

void ComboBox::AddItem(const std::string& text, int index)
{
    if (index < -1 || index > ListCount()) Refuse(uierr::InvalidCall);
    if (index == -1) index = ListCount();
    mItems.insert(mItems.begin() + index, text);
    mItemData.insert(mItemData.begin() + index, 0);
    if (mListIndex >= index) ++mListIndex;
    mNewIndex = index;
}

void ComboBox::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidCall);
    mItems.erase(mItems.begin() + index);
    mItemData.erase(mItemData.begin() + index);
    if (mListIndex == index) {
        mListIndex = -1;
        if (mStyle == vbComboDropdownList) mText.clear();
    } else if (mListIndex > index) {
        --mListIndex;
    }
}

void ComboBox::Clear()
{
    mItems.clear();
    mItemData.clear();
    mListIndex = -1;
    mNewIndex = -1;
    mText.clear();
}

void ComboBox::SetListIndex(int v)
{
    if (v < -1 || v >= ListCount()) Refuse(uierr::InvalidPropertyValue);
    if (v == mListIndex) return;
    mListIndex = v;
    mText = v >= 0 ? mItems[static_cast<size_t>(v)] : std::string();
    Raise(Click);
}

int ComboBox::FindExact(const std::string& text, bool ignoreCase) const
{
    auto same = [&](const std::string& item) {
        if (!ignoreCase) return item == text;
        return item.size() == text.size() &&
               std::equal(item.begin(), item.end(), text.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
               });
    };
    auto it = std::find_if(mItems.begin(), mItems.end(), same);
    return it == mItems.end() ? -1 : static_cast<int>(it - mItems.begin());
}

void ComboBox::SetText(const std::string& v)
{
    if (mStyle == vbComboDropdownList) {
        // A pick-only box can only show one of its entries.
        int index = FindExact(v, true);
        if (index < 0) Refuse(uierr::TextReadOnly);
        SetListIndex(index);
        return;
    }
    // The edit field follows the text; the selection follows only an exact entry.
    mListIndex = FindExact(v, false);
    if (v == mText) return;
    mText = v;
    Raise(Change);
}

void ComboBox::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (mStyle != vbComboDropdownList && !mText.empty()) {
        std::string mapped = map(mText);
        if (mapped != mText) SetText(mapped);
    }
}

void ComboBox::UserSelect(int index)
{
    TakeFocusIfPossible();
    Raise(DropDown);
    SetListIndex(index);
}

bool ComboBox::UserSelect(const std::string& text)
{
    int index = FindExact(text, false);
    if (index < 0) return false;
    UserSelect(index);
    return true;
}

void ComboBox::UserEditText(const std::string& text)
{
    TakeFocusIfPossible();
    if (mLocked || mStyle == vbComboDropdownList) return;
    SetText(text);
}

} // namespace plat
