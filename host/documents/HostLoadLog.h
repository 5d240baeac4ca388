#pragma once

#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <string>
#include <vector>

namespace host {

// The load log that the host hands to every load: sections opened and closed around the load
// of one object, and entries that describe what could not be loaded.
class HostLoadLog : public plat::IUnknown {
public:
    struct Section {
        int32_t number;
        std::string moduleKey;
        std::string text;
        bool open;
    };

    struct Entry {
        int32_t section; // the innermost section open when the entry was added; 0 for none
        int32_t code;
        int32_t severity;
        std::string text;
        plat::VariantArray arguments;
    };

    // Opens a section and gives its number (1, 2, ... in the order of opening).
    int32_t OpenSection(const std::string& moduleKey, const std::string& text);
    // Adds an entry to the innermost open section.
    void AddEntry(int32_t code, int32_t severity, const std::string& text,
                  const plat::VariantArray& arguments = {});
    // Closes the section of that number. A number that was never given, or a section that is
    // already closed, is ignored: a load that closes its section on every exit must not fail.
    void CloseSection(int32_t number);

    const std::vector<Section>& Sections() const { return mSections; }
    const std::vector<Entry>& Entries() const { return mEntries; }
    int32_t OpenSectionCount() const;

    // One line per entry ("[ZARVIK] severity 2, 0x8004A3FF: text"), for showing the log.
    std::string ToText() const;

private:
    std::vector<Section> mSections;
    std::vector<Entry> mEntries;
};

} // namespace host
