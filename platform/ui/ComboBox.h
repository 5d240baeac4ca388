#pragma once

#include "platform/ui/Control.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// Combo box styles.
constexpr int vbComboDropdown = 0;      // an edit field with a list
constexpr int vbComboDropdownList = 2;  // pick from the list only

// A combo box. A different ListIndex, set by code or picked by the operator, raises Click;
// a different text in the edit field raises Change. In a pick-only box the text is always the
// selected entry, and setting it to a text that is no entry raises 383.
class ComboBox : public Control {
public:
    explicit ComboBox(int style = vbComboDropdown);

    int Style() const { return mStyle; }
    void SetStyle(int v);

    int ListCount() const { return static_cast<int>(mItems.size()); }
    // An entry; an index outside 0..ListCount-1 raises 381.
    const std::string& List(int index) const;
    void SetList(int index, const std::string& text);
    int32_t ItemData(int index) const;
    void SetItemData(int index, int32_t value);
    // Appends, or inserts at `index` (0..ListCount; anything else raises 5).
    void AddItem(const std::string& text, int index = -1);
    void RemoveItem(int index);
    // Removes every entry; the selection and the text go too, without events.
    void Clear();
    // The index of the last entry added.
    int NewIndex() const { return mNewIndex; }

    // -1 for no selection; anything outside -1..ListCount-1 raises 380.
    int ListIndex() const { return mListIndex; }
    void SetListIndex(int v);
    const std::string& Text() const { return mText; }
    void SetText(const std::string& v);
    bool Locked() const { return mLocked; }
    void SetLocked(bool v) { mLocked = v; }

    bool CanFocus() const override { return true; }

    Event<> Change;
    Event<> DropDown;

    void MapTexts(const TextMap& map) override;

    // The operator opens the list and picks an entry.
    void UserSelect(int index);
    // The operator picks the entry with this text; false when there is none.
    bool UserSelect(const std::string& text);
    // The operator replaces the edit field's text (dropdown style; ignored when locked).
    void UserEditText(const std::string& text);

private:
    int FindExact(const std::string& text, bool ignoreCase) const;
    void CheckIndex(int index) const;

    int mStyle;
    std::vector<std::string> mItems;
    std::vector<int32_t> mItemData;
    int mListIndex = -1;
    int mNewIndex = -1;
    std::string mText;
    bool mLocked = false;
};

} // namespace plat
