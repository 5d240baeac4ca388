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
    // Places the panel at the foot of a page of the given height (in twips), across the page's
    // width, and returns the panel's top edge, above which the page lays out its own controls.
    virtual float FitHeight(float height) = 0;
};

} // namespace host
