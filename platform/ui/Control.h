#pragma once

#include "platform/ui/Colors.h"
#include "platform/ui/TextFont.h"
#include "platform/ui/Window.h"

#include <cstdint>
#include <string>

namespace plat {

// Mouse buttons and shift states as the mouse events report them.
namespace mouse {
constexpr int16_t Left = 1;
constexpr int16_t Right = 2;
constexpr int16_t Middle = 4;
} // namespace mouse

// A control on a form or inside a user control: a window with a name (and an index when it is
// an element of a control array), tab order, tool tip, colours, font and the input focus.
//
// The methods named User... perform an operator's action on the control: they change the
// control and raise the events exactly as a mouse or keyboard action would. They do not check
// whether an operator could reach the control; the test driver does that.
class Control : public Window {
public:
    const std::string& Name() const { return mName; }
    // The index within a control array; -1 for a control outside any array.
    int Index() const { return mIndex; }

    int TabIndex() const { return mTabIndex; }
    void SetTabIndex(int v);
    bool TabStop() const { return mTabStop; }
    void SetTabStop(bool v) { mTabStop = v; }
    const std::string& ToolTipText() const { return mToolTipText; }
    void SetToolTipText(const std::string& v) { mToolTipText = v; }
    const std::string& Tag() const { return mTag; }
    void SetTag(const std::string& v) { mTag = v; }
    int32_t BackColor() const { return mBackColor; }
    void SetBackColor(int32_t v) { mBackColor = v; }
    int32_t ForeColor() const { return mForeColor; }
    void SetForeColor(int32_t v) { mForeColor = v; }
    const TextFont& Font() const { return mFont; }
    void SetFont(const TextFont& v) { mFont = v; }
    void SetFontBold(bool v) { mFont.bold = v; }

    // Whether this kind of control can take the input focus at all.
    virtual bool CanFocus() const { return false; }
    // Gives the control the input focus. A control that cannot take it now (a kind that never
    // takes it, or hidden, disabled or destroyed, or on a window that is not shown) raises 5.
    void SetFocus();
    bool HasFocus() const;

    Event<> GotFocus;
    Event<> LostFocus;
    Event<> Click;
    Event<> DblClick;
    // Button, shift state, x and y in twips.
    Event<int16_t, int16_t, float, float> MouseDown;
    Event<int16_t, int16_t, float, float> MouseUp;
    // The character code, by reference: a handler that sets it to 0 discards the key.
    Event<int16_t&> KeyPress;

    void MapTexts(const TextMap& map) override;

    // Operator actions.
    // A mouse click: the focus moves here first when the control can take it, then Click.
    virtual void UserClick();
    void UserMouseDown(int16_t button, int16_t shift = 0, float x = 0, float y = 0);
    // A key typed while the control has the focus; returns the code the handlers left.
    int16_t UserKeyPress(int16_t keyAscii);

protected:
    explicit Control(std::string kind);

    void OnGotFocus() override { Raise(GotFocus); }
    void OnLostFocus() override { Raise(LostFocus); }
    // "TextBox txtEnergy": names the control in the errors it raises.
    std::string Source() const;
    [[noreturn]] void Refuse(int32_t number) const;
    // Gives the focus here when the control can take it now, quietly otherwise.
    void TakeFocusIfPossible();

private:
    int mTabIndex = 0;
    bool mTabStop = true;
    std::string mToolTipText;
    std::string mTag;
    int32_t mBackColor = color::ButtonFace;
    int32_t mForeColor = color::ButtonText;
    TextFont mFont;
};

} // namespace plat
