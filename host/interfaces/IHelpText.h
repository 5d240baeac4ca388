#pragma once

#include "platform/base/Unknown.h"

#include <string>

namespace host {

// The host's help-text control ("TelvoView.XHelpText") as the pages that embed it set it: a
// panel that shows one explanatory text. A language-ID text is translated with the captions of
// the page that holds the control.
class IHelpText : public virtual plat::IUnknown {
public:
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
};

} // namespace host
