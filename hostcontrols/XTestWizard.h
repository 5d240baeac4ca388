#pragma once

#include "host/interfaces/ITestWizard.h"
#include "platform/ui/UserControl.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// The host's step list: numbered lines of text, some of them marked. This stand-in keeps the
// lines and marks so that a test or the automatic operator reads what a person would see.
class XTestWizard : public plat::UserControl, public ITestWizard {
public:
    static constexpr const char* ProgId = "TelvoView.XTestWizard";
    static constexpr const char* ClassId = "{0BCCE375-9AE6-4C4F-A728-2559D3EDF191}";

    XTestWizard();

    // ITestWizard
    void SetSteps(const plat::Variant& steps) override;
    void HighLight(const plat::Variant& items) override;
    void SetMessageMode(bool message) override;
    std::vector<std::string> Lines() override { return mLines; }
    std::vector<int32_t> HighlightedLines() override;
    bool MessageMode() override { return mMessageMode; }

private:
    std::vector<std::string> mLines;
    std::vector<bool> mMarked;
    bool mMessageMode = false;
};

} // namespace host
