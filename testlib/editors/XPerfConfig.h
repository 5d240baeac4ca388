#pragma once

#include "platform/ui/OptionButton.h"
#include "testlib/editors/WaveListEditor.h"

namespace ztest {

// The editor of the performance-wave record: one of 17 performance waves (codes 300 to 316),
// its duration, and the monitor lead (I or II) it is delivered on.
class XPerfConfig : public WaveListEditor {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XPerfConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F02}";

    XPerfConfig();

protected:
    bool Accepts(const plat::ObjectPtr& object) const override;
    // Lead I is on until a record is shown.
    void OnStart() override;
    // The stored lead's option on; a lead other than I or II switches both off.
    void ShowMore(CConfigSimWave& record) override;
    void LockMore(bool locked) override;

private:
    void LeadClick(int16_t lead);

    std::shared_ptr<plat::OptionButton> mLeadI;
    std::shared_ptr<plat::OptionButton> mLeadII;
};

} // namespace ztest
