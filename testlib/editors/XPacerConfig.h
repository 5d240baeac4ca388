#pragma once

#include "platform/ui/Frame.h"
#include "platform/ui/TextBox.h"
#include "testlib/editors/EditorShim.h"
#include "testlib/editors/PacerLoadGroup.h"

#include <memory>

namespace ztest {

class CConfigPacer;

// What the two pacer editors share: the pacer frame with the adapter and load lists and the
// preset rate and amplitude boxes (digits only), the test-guide settings frame, an empty frame
// filling the rest, and the help panel. The two editors differ only in their record class,
// their help text and the order in which they show a stored adapter and load.
class XPacerConfig : public EditorShim {
public:
    // ICustomControl
    // Shows the record without writing it or telling the host. A stored index that names no
    // entry, or a stored text that a list does not hold, leaves that list as it was.
    void Initialize(const plat::Variant& vData) override;
    void SetLocked(bool locked) override;
    // No control of these editors takes the focus first.
    void SetFocus() override {}

    const std::shared_ptr<CConfigPacer>& Config() const { return mConfig; }

protected:
    XPacerConfig(const char* kind, const char* help, PacerLoadGroup::ShowOrder order);

    virtual std::shared_ptr<CConfigPacer> Accept(const plat::Variant& vData) const = 0;

private:
    void RateChange();
    void AmplitudeChange();
    void Layout();
    std::shared_ptr<plat::TextBox> AddNumberBox(const char* name, float top);

    PacerLoadGroup::ShowOrder mShowOrder;
    std::shared_ptr<CConfigPacer> mConfig;
    std::shared_ptr<plat::Frame> mPacerFrame;
    std::shared_ptr<plat::Frame> mEmptyFrame;
    PacerLoadGroup mLoads;
    std::shared_ptr<plat::TextBox> mRate;
    std::shared_ptr<plat::TextBox> mAmplitude;
};

} // namespace ztest
