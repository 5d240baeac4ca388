#include "platform/ui/TabStrip.h"

#include "platform/base/ComError.h"
#include "platform/ui/UiError.h"

#include <algorithm>

namespace plat {

int Tab::Index() const { return mStrip ? mStrip->IndexOf(this) : 0; }

bool Tab::Selected() const { return mStrip && mStrip->SelectedItem().get() == this; }

TabStrip::TabStrip() : Control("TabStrip") {}

TabStrip::~TabStrip()
{
    for (auto& tab : mTabs) tab->mStrip = nullptr;
}

std::shared_ptr<Tab> TabStrip::AddTab(const std::string& caption, const std::string& key, int index)
{
    if (index == -1) index = TabCount() + 1;
    if (index < 1 || index > TabCount() + 1) Refuse(uierr::IndexOutOfBounds);
    if (!key.empty()) {
        for (const auto& tab : mTabs) {
            if (tab->mKey == key) Refuse(uierr::KeyNotUnique);
        }
    }
    auto tab = std::make_shared<Tab>();
    tab->mStrip = this;
    tab->mCaption = caption;
    tab->mKey = key;
    mTabs.insert(mTabs.begin() + (index - 1), tab);
    if (!mSelected.lock()) mSelected = tab;
    return tab;
}

std::shared_ptr<Tab> TabStrip::TabAt(int index) const
{
    if (index < 1 || index > TabCount()) Refuse(uierr::IndexOutOfBounds);
    return mTabs[static_cast<size_t>(index - 1)];
}

std::shared_ptr<Tab> TabStrip::TabByKey(const std::string& key) const
{
    for (const auto& tab : mTabs) {
        if (tab->mKey == key) return tab;
    }
    Refuse(uierr::ElementNotFound);
}

int TabStrip::IndexOf(const Tab* tab) const
{
    for (size_t i = 0; i < mTabs.size(); ++i) {
        if (mTabs[i].get() == tab) return static_cast<int>(i) + 1;
    }
    return 0;
}

void TabStrip::RemoveTab(int index)
{
    auto tab = TabAt(index);
    tab->mStrip = nullptr;
    mTabs.erase(mTabs.begin() + (index - 1));
    if (mSelected.lock() == tab) mSelected = mTabs.empty() ? std::weak_ptr<Tab>() : mTabs.front();
}

void TabStrip::ClearTabs()
{
    for (auto& tab : mTabs) tab->mStrip = nullptr;
    mTabs.clear();
    mSelected.reset();
}

void TabStrip::SetSelectedItem(const std::shared_ptr<Tab>& tab)
{
    if (!tab || tab->mStrip != this) Refuse(uierr::InvalidPropertyValue);
    if (mSelected.lock() == tab) return;
    mSelected = tab;
    Raise(Click);
}

void TabStrip::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    for (auto& tab : mTabs) {
        if (!tab->mCaption.empty()) tab->mCaption = map(tab->mCaption);
        if (!tab->mToolTipText.empty()) tab->mToolTipText = map(tab->mToolTipText);
    }
}

void TabStrip::UserSelectTab(int index)
{
    auto tab = TabAt(index);
    TakeFocusIfPossible();
    bool cancel = false;
    Raise(BeforeClick, cancel);
    if (cancel || IsDestroyed()) return;
    SetSelectedItem(tab);
}

} // namespace plat
