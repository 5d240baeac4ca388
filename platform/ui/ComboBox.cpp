#include "platform/ui/ComboBox.h"

#include "platform/ui/UiError.h"

#include <algorithm>
#include <cctype>

namespace plat {

ComboBox::ComboBox(int style) : ListControl("ComboBox"), mStyle(style)
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

void ComboBox::OnTextChanged(int index)
{
    if (index == ListIndex()) mText = List(index);
}

void ComboBox::OnSelectedRemoved()
{
    if (mStyle == vbComboDropdownList) mText.clear();
}

void ComboBox::OnListIndexChanged()
{
    mText = ListIndex() >= 0 ? List(ListIndex()) : std::string();
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
    for (int i = 0; i < ListCount(); ++i) {
        if (same(List(i))) return i;
    }
    return -1;
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
    SetListIndexQuietly(FindExact(v, false));
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
