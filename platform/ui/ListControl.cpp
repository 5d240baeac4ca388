#include "platform/ui/ListControl.h"

#include "platform/ui/UiError.h"

#include <algorithm>

namespace plat {

void ListControl::CheckIndex(int index) const
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidPropertyArrayIndex);
}

const std::string& ListControl::List(int index) const
{
    CheckIndex(index);
    return mItems[static_cast<size_t>(index)].text;
}

void ListControl::SetList(int index, const std::string& text)
{
    CheckIndex(index);
    mItems[static_cast<size_t>(index)].text = text;
    OnTextChanged(index);
}

int32_t ListControl::ItemData(int index) const
{
    CheckIndex(index);
    return mItems[static_cast<size_t>(index)].data;
}

void ListControl::SetItemData(int index, int32_t value)
{
    CheckIndex(index);
    mItems[static_cast<size_t>(index)].data = value;
}

void ListControl::AddItem(const std::string& text, int index)
{
    if (index < -1 || index > ListCount()) Refuse(uierr::InvalidCall);
    if (index == -1) index = ListCount();
    mItems.insert(mItems.begin() + index, Item{text});
    if (mListIndex >= index) ++mListIndex;
    mNewIndex = index;
}

void ListControl::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount()) Refuse(uierr::InvalidCall);
    mItems.erase(mItems.begin() + index);
    if (mListIndex == index) {
        mListIndex = -1;
        OnSelectedRemoved();
    } else if (mListIndex > index) {
        --mListIndex;
    }
    OnRemoved();
}

void ListControl::Clear()
{
    mItems.clear();
    mListIndex = -1;
    mNewIndex = -1;
    OnCleared();
}

void ListControl::SetListIndex(int v)
{
    if (v < -1 || v >= ListCount()) Refuse(uierr::InvalidPropertyValue);
    if (v == mListIndex) return;
    mListIndex = v;
    OnListIndexChanged();
    Raise(Click);
}

int ListControl::MarkedCount() const
{
    return static_cast<int>(std::count_if(mItems.begin(), mItems.end(), [](const Item& item) { return item.marked; }));
}

} // namespace plat
