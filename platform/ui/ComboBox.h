#pragma once

#include "platform/ui/ListControl.h"

#include <string>

namespace plat {

// Combo box styles.
constexpr int vbComboDropdown = 0;      // an edit field with a list
constexpr int vbComboDropdownList = 2;  // pick from the list only

// A combo box. A different ListIndex, set by code or picked by the operator, raises Click;
// a different text in the edit field raises Change. In a pick-only box the text is always the
// selected entry, and setting it to a text that is no entry raises 383.
class ComboBox : public ListControl {
public:
    explicit ComboBox(int style = vbComboDropdown);

    int Style() const { return mStyle; }
    void SetStyle(int v);

    const std::string& Text() const { return mText; }
    void SetText(const std::string& v);
    bool Locked() const { return mLocked; }
    void SetLocked(bool v) { mLocked = v; }

    Event<> Change;
    Event<> DropDown;

    void MapTexts(const TextMap& map) override;

    // The operator opens the list and picks an entry.
    void UserSelect(int index);
    // The operator picks the entry with this text; false when there is none.
    bool UserSelect(const std::string& text);
    // The operator replaces the edit field's text (dropdown style; ignored when locked).
    void UserEditText(const std::string& text);

protected:
    void OnTextChanged(int index) override;
    void OnSelectedRemoved() override;
    void OnCleared() override { mText.clear(); }
    void OnListIndexChanged() override;

private:
    int FindExact(const std::string& text, bool ignoreCase) const;

    int mStyle;
    std::string mText;
    bool mLocked = false;
};

} // namespace plat
