#include "platform/ui/ListView.h"

#include "platform/ui/UiError.h"

namespace plat {

namespace {
[[noreturn]] void RefuseItem(int32_t number) { RaiseUiError(number, "ListItem"); }
} // namespace

int ListItem::Index() const { return mView ? mView->IndexOf(this) : 0; }

bool ListItem::Selected() const { return mView && mView->SelectedItem().get() == this; }

void ListItem::SetSelected(bool v)
{
    if (!mView) return;
    auto self = mView->Item(Index());
    if (v) {
        mView->SetSelectedItem(self);
    } else if (Selected()) {
        mView->SetSelectedItem(nullptr);
    }
}

void ListItem::SetChecked(bool v)
{
    if (v == mChecked) return;
    mChecked = v;
    if (mView) {
        auto self = mView->Item(Index());
        mView->Raise(mView->ItemCheck, self);
    }
}

ListSubItem& ListItem::AddSubItem(const std::string& key, const std::string& text, int index)
{
    if (index == -1) index = SubItemCount() + 1;
    if (index < 1 || index > SubItemCount() + 1) RefuseItem(uierr::IndexOutOfBounds);
    if (!key.empty()) {
        for (const auto& sub : mSubItems) {
            if (sub.key == key) RefuseItem(uierr::KeyNotUnique);
        }
    }
    ListSubItem sub;
    sub.key = key;
    sub.text = text;
    return *mSubItems.insert(mSubItems.begin() + (index - 1), sub);
}

ListSubItem& ListItem::SubItem(int index)
{
    if (index < 1 || index > SubItemCount()) RefuseItem(uierr::IndexOutOfBounds);
    return mSubItems[static_cast<size_t>(index - 1)];
}

ListSubItem& ListItem::SubItemByKey(const std::string& key)
{
    for (auto& sub : mSubItems) {
        if (sub.key == key) return sub;
    }
    RefuseItem(uierr::ElementNotFound);
}

std::string ListItem::SubItems(int index) const
{
    int columns = mView ? mView->ColumnCount() : 0;
    if (index < 1 || index >= columns) RefuseItem(uierr::InvalidPropertyValue);
    return index <= SubItemCount() ? mSubItems[static_cast<size_t>(index - 1)].text : std::string();
}

void ListItem::SetSubItems(int index, const std::string& text)
{
    int columns = mView ? mView->ColumnCount() : 0;
    if (index < 1 || index >= columns) RefuseItem(uierr::InvalidPropertyValue);
    while (SubItemCount() < index) mSubItems.emplace_back();
    mSubItems[static_cast<size_t>(index - 1)].text = text;
}

ListView::ListView() : Control("ListView")
{
    SetBackColor(color::WindowBackground);
    SetForeColor(color::WindowText);
}

ListView::~ListView()
{
    for (auto& item : mItems) item->mView = nullptr;
}

void ListView::SetView(int v)
{
    if (v < lvwIcon || v > lvwReport) Refuse(uierr::InvalidPropertyValue);
    mView = v;
}

ColumnHeader& ListView::AddColumn(const std::string& text, float width, int alignment, const std::string& key)
{
    if (width < 0 || alignment < lvwColumnLeft || alignment > lvwColumnCenter) Refuse(uierr::InvalidPropertyValue);
    if (!key.empty()) {
        for (const auto& column : mColumns) {
            if (column.key == key) Refuse(uierr::KeyNotUnique);
        }
    }
    mColumns.push_back(ColumnHeader{key, text, width, alignment});
    return mColumns.back();
}

ColumnHeader& ListView::Column(int index)
{
    if (index < 1 || index > ColumnCount()) Refuse(uierr::IndexOutOfBounds);
    return mColumns[static_cast<size_t>(index - 1)];
}

std::shared_ptr<ListItem> ListView::AddItem(const std::string& key, const std::string& text, int index)
{
    if (index == -1) index = ItemCount() + 1;
    if (index < 1 || index > ItemCount() + 1) Refuse(uierr::IndexOutOfBounds);
    if (!key.empty() && FindItem(key)) Refuse(uierr::KeyNotUnique);
    auto item = std::make_shared<ListItem>();
    item->mView = this;
    item->mKey = key;
    item->mText = text;
    mItems.insert(mItems.begin() + (index - 1), item);
    return item;
}

std::shared_ptr<ListItem> ListView::Item(int index) const
{
    if (index < 1 || index > ItemCount()) Refuse(uierr::IndexOutOfBounds);
    return mItems[static_cast<size_t>(index - 1)];
}

std::shared_ptr<ListItem> ListView::FindItem(const std::string& key) const
{
    if (key.empty()) return nullptr;
    for (const auto& item : mItems) {
        if (item->mKey == key) return item;
    }
    return nullptr;
}

std::shared_ptr<ListItem> ListView::ItemByKey(const std::string& key) const
{
    auto item = FindItem(key);
    if (!item) Refuse(uierr::ElementNotFound);
    return item;
}

int ListView::IndexOf(const ListItem* item) const
{
    for (size_t i = 0; i < mItems.size(); ++i) {
        if (mItems[i].get() == item) return static_cast<int>(i) + 1;
    }
    return 0;
}

void ListView::RemoveItem(int index)
{
    auto item = Item(index);
    item->mView = nullptr;
    mItems.erase(mItems.begin() + (index - 1));
    if (mSelected.lock() == item) mSelected.reset();
}

void ListView::ClearItems()
{
    for (auto& item : mItems) item->mView = nullptr;
    mItems.clear();
    mSelected.reset();
}

void ListView::SetSelectedItem(const std::shared_ptr<ListItem>& item)
{
    if (item && item->mView != this) Refuse(uierr::InvalidPropertyValue);
    mSelected = item;
}

void ListView::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    for (auto& column : mColumns) {
        if (!column.text.empty()) column.text = map(column.text);
    }
}

void ListView::UserClickItem(const std::shared_ptr<ListItem>& item)
{
    if (!item || item->mView != this) Refuse(uierr::InvalidPropertyValue);
    TakeFocusIfPossible();
    mSelected = item;
    Raise(ItemClick, item);
    Raise(Click);
}

void ListView::UserCheckItem(const std::shared_ptr<ListItem>& item)
{
    if (!item || item->mView != this) Refuse(uierr::InvalidPropertyValue);
    TakeFocusIfPossible();
    item->SetChecked(!item->Checked());
}

void ListView::UserClickColumn(int index)
{
    Column(index);
    TakeFocusIfPossible();
    Raise(ColumnClick, index);
}

} // namespace plat
