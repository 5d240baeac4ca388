#pragma once

#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "testlib/editors/GroupSite.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

class CConfigPacer;

// The load a pacemaker's output is connected to, as the pacer editors show it: the adapter
// list cboAdapter (the analyzer's fixed internal 50 Ohm load, or one of ten pacer adapters)
// and the load list cboLoad with the loads the chosen adapter offers. The record keeps both
// indexes and both display texts.
//
// Choosing an adapter writes it, sends "Change", then picks the adapter's first load, which
// writes the load and sends "Change" again. The load list is disabled for the internal load.
class PacerLoadGroup {
public:
    struct Adapter {
        std::string_view caption;
        // The loads in Ohm; 0 stands for the open circuit.
        std::span<const int> loads;
    };
    static std::span<const Adapter> Adapters();

    // What the group needs of its editor, and the record (none before one is bound).
    struct Site {
        GroupSite editor;
        std::function<CConfigPacer*()> record;
    };
    // The order in which Show sets a list: its index first, then its text (pacer parameters),
    // or its text first (pacer refractory).
    enum class ShowOrder { IndexThenText, TextThenIndex };

    // Adds the labels and lists to the container at their design places.
    PacerLoadGroup(plat::Window& container, Site site);
    PacerLoadGroup(const PacerLoadGroup&) = delete;
    PacerLoadGroup& operator=(const PacerLoadGroup&) = delete;

    // Fills the adapter list with the translated adapters and chooses the internal load.
    void FillAdapterList();
    // Puts the internal load alone into the load list, chosen, and disables the list.
    void FillLoadList();
    // Shows the record's adapter and load, under the loading flag. An index that names no
    // entry, or a text that the list does not hold, leaves the list as it was.
    void Show(const CConfigPacer& record, ShowOrder order);
    // Locking disables both lists; unlocking enables them.
    void SetLocked(bool locked);

    const std::shared_ptr<plat::ComboBox>& AdapterList() const { return mAdapter; }
    const std::shared_ptr<plat::ComboBox>& LoadList() const { return mLoad; }

private:
    void AdapterClick();
    void LoadClick();
    void FillLoads(int adapterIndex);
    static std::string LoadText(int ohms);
    static void ShowIndex(plat::ComboBox& list, int index);

    Site mSite;
    bool mLocked = false;
    std::shared_ptr<plat::ComboBox> mAdapter;
    std::shared_ptr<plat::ComboBox> mLoad;
};

} // namespace ztest
