#pragma once

#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Shape.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UserControl.h"

#include <memory>
#include <string>

namespace ztest {

// The instruction popup that the test-guide window lays over its result view: an icon, a
// translated instruction text and, while it flashes, a background that turns red and back
// every 500 ms.
class XTestInstruction : public plat::UserControl {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XTestInstruction";
    static constexpr const char* ClassId = "{046025DC-7F83-4336-B8D3-B7A9E73DECAC}";
    static constexpr int32_t FlashOn = plat::color::Red;
    static constexpr int32_t FlashOff = plat::color::WindowBackground;
    static constexpr int32_t FlashInterval = 500;

    XTestInstruction();

    // Whether the flash timer runs. Setting it makes the background red (True) or the window
    // colour (False) and runs the timer exactly while True.
    bool Flash() const;
    void SetFlash(bool flash);
    // A non-empty icon key replaces the icon with that bitmap resource; the message is
    // translated (module key "ZARVIK") and shown.
    void ShowMsg(const std::string& iconKey, const std::string& message);
    // Moves the icon to left 1000 and the text to left 1750 twips.
    void MoveImage();

    // What the operator sees.
    std::string IconKey() const;
    // The message as shown (translated); as it was given it is the tag of "lblHelpTxt".
    std::string Message() const;

    const std::shared_ptr<plat::Image>& imgIcon() const { return mIcon; }
    const std::shared_ptr<plat::Label>& lblHelpTxt() const { return mText; }
    const std::shared_ptr<plat::Shape>& shpBackground() const { return mBackground; }
    const std::shared_ptr<plat::TimerControl>& tmrFlash() const { return mFlash; }

private:
    void Layout();
    void OnFlashTick();

    std::shared_ptr<plat::Image> mIcon;
    std::shared_ptr<plat::Label> mText;
    std::shared_ptr<plat::Shape> mBackground;
    std::shared_ptr<plat::TimerControl> mFlash;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
