#pragma once

#include "platform/ui/Frame.h"
#include "platform/ui/TextBox.h"
#include "testlib/config/CConfigPacer.h"
#include "testlib/editors/GroupSite.h"
#include "testlib/editors/PacerLoadGroup.h"

#include <memory>

namespace ztest {

// What the two pacer editors share: the pacer frame with the adapter and load lists and the
// preset rate and amplitude boxes (digits only), the test-guide settings frame, an empty frame
// filling the rest, and the help panel. They are laid out as if they had one fixed size. The
// two editors differ only in their record class, their help text and the order in which they
// show a stored adapter and load.
//
// Initialize shows the record without writing it or telling the host. A stored index that
// names no entry, or a stored text that a list does not hold, leaves that list as it was.
class XPacerConfig : public XGroupEditor<CConfigPacer> {
public:
    // No control of these editors takes the focus first.
    void SetFocus() override {}

protected:
    XPacerConfig(const char* kind, const char* help, PacerLoadGroup::ShowOrder order);

    void OnStart() override;
    void FillFromRecord() override;
    void ApplyLock(bool locked) override;
    LayoutRule Rule() const override;

private:
    void RateChange();
    void AmplitudeChange();

    PacerLoadGroup::ShowOrder mShowOrder;
    std::shared_ptr<plat::Frame> mPacerFrame;
    PacerLoadGroup mLoads;
    std::shared_ptr<plat::TextBox> mRate;
    std::shared_ptr<plat::TextBox> mAmplitude;
};

} // namespace ztest
