#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Tab.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

// A tab strip. The first tab added is selected. Selecting another tab, by code or by the
// operator, raises Click; the operator's press raises BeforeClick first, whose handlers may
// cancel it. Tab positions count from 1; a position outside raises 35600, an unknown key
// 35601, a key already in use 35602.
class TabStrip : public Control {
public:
    TabStrip();
    ~TabStrip() override;

    int TabCount() const { return static_cast<int>(mTabs.size()); }
    std::shared_ptr<Tab> AddTab(const std::string& caption, const std::string& key = {}, int index = -1);
    std::shared_ptr<Tab> TabAt(int index) const;
    std::shared_ptr<Tab> TabByKey(const std::string& key) const;
    void RemoveTab(int index);
    void ClearTabs();

    std::shared_ptr<Tab> SelectedItem() const { return mSelected.lock(); }
    void SetSelectedItem(const std::shared_ptr<Tab>& tab);
    void SetSelectedIndex(int index) { SetSelectedItem(TabAt(index)); }
    int IndexOf(const Tab* tab) const;

    bool CanFocus() const override { return true; }

    // The operator's press on a tab: set the flag to cancel.
    Event<bool&> BeforeClick;

    void MapTexts(const TextMap& map) override;

    void UserSelectTab(int index);

private:
    std::vector<std::shared_ptr<Tab>> mTabs;
    std::weak_ptr<Tab> mSelected;
};

} // namespace plat
