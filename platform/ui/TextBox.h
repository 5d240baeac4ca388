#pragma once

#include "platform/ui/Control.h"

#include <string>

namespace plat {

// A text box. Positions and lengths count characters (UTF-8 code points). Setting a different
// text, by code or by typing, raises Change; setting the text puts the caret at the start.
class TextBox : public Control {
public:
    TextBox();

    const std::string& Text() const { return mText; }
    void SetText(const std::string& v);
    // The caret and the selection. A start beyond the text puts the caret at its end; a
    // length reaching beyond the text selects up to its end; negative values raise 380.
    int SelStart() const { return mSelStart; }
    void SetSelStart(int v);
    int SelLength() const { return mSelLength; }
    void SetSelLength(int v);
    std::string SelText() const;
    // Replaces the selection (raises Change when the text changes).
    void SetSelText(const std::string& v);
    // Read-only for the operator; code can still set the text.
    bool Locked() const { return mLocked; }
    void SetLocked(bool v) { mLocked = v; }
    int MaxLength() const { return mMaxLength; }  // 0: no limit
    void SetMaxLength(int v);
    bool MultiLine() const { return mMultiLine; }
    void SetMultiLine(bool v) { mMultiLine = v; }
    int Alignment() const { return mAlignment; }
    void SetAlignment(int v);
    int Length() const;

    bool CanFocus() const override { return true; }

    Event<> Change;

    // A text map reaches the tool tip only: what the box holds is data (an operator's entry, a
    // stored serial number), never a caption, so translating a form leaves it as it is.

    // Types characters as an operator: each raises KeyPress (a handler may discard it by
    // setting the code to 0); a kept character replaces the selection, backspace (8) deletes
    // the selection or the character before the caret. A read-only box takes no characters.
    // Every character of the text goes in as typed, in any plane of Unicode: KeyPress sees a
    // character beyond 0x7FFF as a negative code, and one beyond the first plane by its leading
    // surrogate; a key left unchanged types the character itself.
    void UserType(const std::string& text);
    // One key code (a negative code stands for a character from 0x8000 to 0xFFFF).
    void UserTypeKey(int16_t keyAscii);

private:
    // KeyPress with the key code, then the typed character unless the handler changed the key.
    void TypeKey(int16_t keyAscii, char32_t typed);
    void Replace(int start, int length, const std::string& with);

    std::string mText;
    int mSelStart = 0;
    int mSelLength = 0;
    bool mLocked = false;
    int mMaxLength = 0;
    bool mMultiLine = false;
    int mAlignment = 0;
};

} // namespace plat
