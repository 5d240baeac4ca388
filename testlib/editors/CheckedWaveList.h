#pragma once

#include "platform/ui/ListBox.h"
#include "testlib/editors/GroupSite.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

// A list of waves with a check box per entry, of which exactly one is checked: the wave the
// record holds. Entry i stands for the wave code firstCode + i. Checking an entry writes its
// code into the record between two "Change" notices.
class CheckedWaveList {
public:
    // What the list needs of its editor, the record's wave code (a write may fail when no
    // record is bound; it is then skipped), and what the editor does itself when the operator
    // checks an entry (before the checks are redrawn).
    struct Site {
        GroupSite editor;
        std::function<void(int32_t)> setWavetype;
        std::function<void(int)> picked;
    };

    // Adds the list (check-box style) to the container under its name.
    CheckedWaveList(plat::Window& container, const std::string& name, std::span<const std::string_view> texts,
                    int32_t firstCode, Site site);
    CheckedWaveList(const CheckedWaveList&) = delete;
    CheckedWaveList& operator=(const CheckedWaveList&) = delete;

    // Empties the list and fills it with the translated texts, under the loading flag.
    void FillWaveList();
    // Sets every entry's check to the state.
    void ClearChecks(bool state);
    // Checks the entry of a stored code, alone, and scrolls to it. A code outside the list's
    // range checks nothing.
    void SelectWave(int32_t code);
    // The entry of a code, or -1 when the code is outside the list's range.
    int IndexOf(int32_t code) const;

    const std::shared_ptr<plat::ListBox>& List() const { return mList; }

private:
    void ItemCheck(int index);

    std::span<const std::string_view> mTexts;
    int32_t mFirstCode;
    Site mSite;
    std::shared_ptr<plat::ListBox> mList;
};

} // namespace ztest
