#pragma once

#include "platform/base/Unknown.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The host's list of known analyzer units. Each entry belongs to a module (module key) and is
// numbered within it from 1; it carries the unit's type, serial number and firmware version.
// The list lives in memory; it keeps the order in which entries were added.
class HostMtiList : public plat::IUnknown {
public:
    class Entry : public plat::IUnknown {
    public:
        // Sets the module key and the index; the unit's texts are left as they are.
        void Initialize(const std::string& moduleKey, int32_t index);
        void SetMtiData(const std::string& mtiType, const std::string& serial, const std::string& firmware);

        const std::string& ModuleKey() const { return mModuleKey; }
        int32_t Index() const { return mIndex; }
        const std::string& MtiType() const { return mMtiType; }
        const std::string& Serial() const { return mSerial; }
        const std::string& Firmware() const { return mFirmware; }

    private:
        std::string mModuleKey;
        int32_t mIndex = 0;
        std::string mMtiType;
        std::string mSerial;
        std::string mFirmware;
    };

    using EntryList = std::vector<std::shared_ptr<Entry>>;

    // A new entry that is not yet in the list.
    std::shared_ptr<Entry> NewEntry() const { return std::make_shared<Entry>(); }

    // Adds an initialised entry. Raises Invalid procedure call for an empty pointer, an entry
    // without a module key or with an index below 1, and for an entry whose module key and
    // index are already in the list: two units must never share an index, since results refer
    // to a unit by it.
    void Add(std::shared_ptr<Entry> entry);

    // The entry of this module (module keys compare without regard to case) and index, or none.
    std::shared_ptr<Entry> Find(const std::string& moduleKey, int32_t index) const;

    std::size_t Count() const { return mEntries.size(); }
    // The entry at position 0 .. Count() - 1 in the order of adding; else Subscript out of range.
    const std::shared_ptr<Entry>& Item(std::size_t position) const;
    EntryList::const_iterator begin() const { return mEntries.begin(); }
    EntryList::const_iterator end() const { return mEntries.end(); }

    void Clear() { mEntries.clear(); }

private:
    EntryList mEntries;
};

} // namespace host
