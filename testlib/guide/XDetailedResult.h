#pragma once

#include "host/interfaces/CustomControl.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextBox.h"

#include <memory>

namespace ztest {

// The read-only comment view that a result record's dialog shows: a title and the result's
// comment.
class XDetailedResult : public host::CustomControl {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XDetailedResult";
    static constexpr const char* ClassId = "{8729077E-C9F2-45F6-816F-74C01E3970B2}";

    XDetailedResult();

    // ICustomControl: the comment is always read-only, so the lock state is always False and
    // setting it does nothing; the callback is not kept.
    std::shared_ptr<host::HostCallback> CallBack() override { return nullptr; }
    void SetCallBack(const std::shared_ptr<host::HostCallback>& /*callback*/) override {}
    bool Locked() override { return false; }
    void SetLocked(bool /*locked*/) override {}
    void Initialize(const plat::Variant& data) override;
    void Refresh() override;
    void SetFocus() override;

    const std::shared_ptr<plat::Label>& lblTitle() const { return mTitle; }
    const std::shared_ptr<plat::TextBox>& txtComment() const { return mComment; }

private:
    void Layout();

    std::shared_ptr<plat::Label> mTitle;
    std::shared_ptr<plat::TextBox> mComment;
    std::vector<plat::ScopedConnection> mConnections;
};

} // namespace ztest
