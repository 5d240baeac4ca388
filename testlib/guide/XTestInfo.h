#pragma once

#include "platform/base/Variant.h"
#include "platform/ui/ControlExtender.h"
#include "platform/ui/Label.h"
#include "platform/ui/TimerControl.h"
#include "platform/ui/UserControl.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace host {
class ITestWizard;
}

namespace ztest {

// A step list with a counter below it and a flashing message mode, wrapping the host's step
// list ("TelvoView.XTestWizard", named "xtwInfo"). Its back colour and border style are kept
// in the property bag as "BackColor" and "Border".
class XTestInfo : public plat::UserControl {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XTestInfo";
    static constexpr const char* ClassId = "{08242159-D88D-4C80-8E3C-24200F2E2702}";
    static constexpr int32_t MessageColor = 0x5BC0F7;
    static constexpr int32_t DefaultBackColor = plat::color::InfoBackground;
    static constexpr int16_t DefaultBorder = 1;

    XTestInfo();

    // Sets the back colour of the control and of its step list (hides the plain setter).
    void SetBackColor(int32_t color);
    bool Border() const { return BorderStyle() == 1; }
    void SetBorder(bool border);
    bool ShowCounter() const;
    void SetShowCounter(bool show);

    // Keeps the step texts (any number, taken as one array) and shows them.
    template <class... T>
    void Initialize(T... steps)
    {
        InitializeSteps(std::vector<std::string>{std::string(steps)...});
    }
    void InitializeSteps(const std::vector<std::string>& steps);
    template <class... N>
    void HighLightItem(N... items)
    {
        HighLightItems(std::vector<int16_t>{static_cast<int16_t>(items)...});
    }
    void HighLightItems(const std::vector<int16_t>& items);
    void UpdateCounter(int32_t n);
    // An empty or null message puts the steps back; anything else is shown as a flashing
    // message.
    void ShowPacerMsg(const plat::Variant& msg);

    void ReadProperties(const plat::PropertyBag& bag) override;
    void WriteProperties(plat::PropertyBag& bag) const override;

    std::shared_ptr<host::ITestWizard> xtwInfo() const;
    std::shared_ptr<plat::Control> xtwInfoControl() const;
    const std::shared_ptr<plat::Label>& lblCounter() const { return mCounter; }
    const std::shared_ptr<plat::TimerControl>& tmrFlash() const { return mFlash; }

private:
    void Layout();
    void OnFlashTick();
    void SetListBackColor(int32_t color);
    int32_t ListBackColor() const;

    plat::Variant mSteps;
    int16_t mTicks = 0;
    std::shared_ptr<plat::ControlExtender> mList;
    std::shared_ptr<plat::Label> mCounter;
    std::shared_ptr<plat::TimerControl> mFlash;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
