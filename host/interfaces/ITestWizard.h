#pragma once

#include "platform/base/ComError.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// The host's step list ("TelvoView.XTestWizard"): lines of text, some of them marked. Its back
// colour is the control's own.
class ITestWizard : public virtual plat::IUnknown {
public:
    // The dispatch IDs under which late-bound callers reach SetSteps and HighLight.
    static constexpr int32_t DispIdSetSteps = 0x60030002;
    static constexpr int32_t DispIdHighLight = 0x60030004;

    // A late-bound call of SetSteps or HighLight by its dispatch ID with its one argument; any
    // other ID raises Object doesn't support this property or method (438).
    void Invoke(int32_t dispId, const plat::Variant& argument)
    {
        if (dispId == DispIdSetSteps) {
            SetSteps(argument);
        } else if (dispId == DispIdHighLight) {
            HighLight(argument);
        } else {
            throw plat::ComError(plat::rt::ObjectLacksMember, "XTestWizard", "Object doesn't support this property or method");
        }
    }

    // Replaces all lines with the entries of a Variant holding a String array (one line per
    // entry, an empty entry gives an empty line); anything else empties the list.
    virtual void SetSteps(const plat::Variant& steps) = 0;
    // Marks exactly the lines whose numbers (counted from 1) the array holds and unmarks all
    // others; a number that names no line marks nothing, an empty array clears all marks.
    virtual void HighLight(const plat::Variant& items) = 0;
    // Shows the lines as one message instead of as steps (no numbers, no marks).
    virtual void SetMessageMode(bool message) = 0;

    // What the operator sees.
    virtual std::vector<std::string> Lines() = 0;
    virtual std::vector<int32_t> HighlightedLines() = 0;
    virtual bool MessageMode() = 0;
};

} // namespace host
