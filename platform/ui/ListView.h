#pragma once

#include "platform/ui/ColumnHeader.h"
#include "platform/ui/Control.h"
#include "platform/ui/ListItem.h"

#include <memory>
#include <string>
#include <vector>

namespace plat {

// List view modes.
constexpr int lvwIcon = 0;
constexpr int lvwSmallIcon = 1;
constexpr int lvwList = 2;
constexpr int lvwReport = 3;

// A list view; the system uses it in report mode: column headers, and rows of a text with
// sub-items. Positions count from 1: a position outside raises 35600, an unknown key 35601,
// a key already in use 35602.
class ListView : public Control {
public:
    ListView();
    ~ListView() override;

    int View() const { return mView; }
    void SetView(int v);
    bool Checkboxes() const { return mCheckboxes; }
    void SetCheckboxes(bool v) { mCheckboxes = v; }
    bool FullRowSelect() const { return mFullRowSelect; }
    void SetFullRowSelect(bool v) { mFullRowSelect = v; }
    bool HideSelection() const { return mHideSelection; }
    void SetHideSelection(bool v) { mHideSelection = v; }
    int LabelEdit() const { return mLabelEdit; }
    void SetLabelEdit(int v) { mLabelEdit = v; }

    int ColumnCount() const { return static_cast<int>(mColumns.size()); }
    ColumnHeader& AddColumn(const std::string& text, float width = 1440, int alignment = lvwColumnLeft,
                            const std::string& key = {});
    ColumnHeader& Column(int index);
    void ClearColumns() { mColumns.clear(); }

    int ItemCount() const { return static_cast<int>(mItems.size()); }
    std::shared_ptr<ListItem> AddItem(const std::string& key = {}, const std::string& text = {}, int index = -1);
    std::shared_ptr<ListItem> Item(int index) const;
    std::shared_ptr<ListItem> ItemByKey(const std::string& key) const;
    // Like ItemByKey, but null for an unknown key.
    std::shared_ptr<ListItem> FindItem(const std::string& key) const;
    void RemoveItem(int index);
    void ClearItems();
    int IndexOf(const ListItem* item) const;

    // The selected row; null for none. Setting null deselects.
    std::shared_ptr<ListItem> SelectedItem() const { return mSelected.lock(); }
    void SetSelectedItem(const std::shared_ptr<ListItem>& item);

    bool CanFocus() const override { return true; }

    Event<const std::shared_ptr<ListItem>&> ItemClick;
    Event<const std::shared_ptr<ListItem>&> ItemCheck;
    Event<int> ColumnClick;

    void MapTexts(const TextMap& map) override;

    // The operator clicks a row with the left button: it is selected, then ItemClick and Click.
    void UserClickItem(const std::shared_ptr<ListItem>& item);
    // The operator clicks a row's check box.
    void UserCheckItem(const std::shared_ptr<ListItem>& item);
    void UserClickColumn(int index);

private:
    friend class ListItem;

    int mView = lvwIcon;
    bool mCheckboxes = false;
    bool mFullRowSelect = false;
    bool mHideSelection = true;
    int mLabelEdit = 0;
    std::vector<ColumnHeader> mColumns;
    std::vector<std::shared_ptr<ListItem>> mItems;
    std::weak_ptr<ListItem> mSelected;
};

} // namespace plat
