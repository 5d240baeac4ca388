#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>
#include <string>

namespace host {

// The host's services for a test-guide window: the caption it shows for an element, and the
// confirmation the operator gives before a test is aborted.
class HostGuideServices : public plat::IUnknown {
public:
    static constexpr const char* AbortPrompt = "Do you really want to abort the test?";
    static constexpr const char* AbortTitle = "Test guide";

    // The element's name from its info object, translated for the element's module; empty for
    // no element or an element without info.
    std::string CaptionText(const std::shared_ptr<ITestElement>& element) const;
    // Asks the operator through the message-box service (Yes and No, No the default) and
    // answers whether they said Yes.
    bool ConfirmAbort() const;
};

} // namespace host
