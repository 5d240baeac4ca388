#pragma once

#include <string>

namespace plat {

class TabStrip;

// One tab of a tab strip.
class Tab {
public:
    const std::string& Caption() const { return mCaption; }
    void SetCaption(const std::string& v) { mCaption = v; }
    const std::string& Key() const { return mKey; }
    const std::string& ToolTipText() const { return mToolTipText; }
    void SetToolTipText(const std::string& v) { mToolTipText = v; }
    const std::string& Tag() const { return mTag; }
    void SetTag(const std::string& v) { mTag = v; }
    // The position on the strip, from 1; 0 once removed.
    int Index() const;
    bool Selected() const;

private:
    friend class TabStrip;

    TabStrip* mStrip = nullptr;  // cleared when the tab leaves its strip
    std::string mCaption;
    std::string mKey;
    std::string mToolTipText;
    std::string mTag;
};

} // namespace plat
