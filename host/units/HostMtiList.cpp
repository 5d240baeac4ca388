#include "host/units/HostMtiList.h"

#include "platform/base/ComError.h"

#include <algorithm>
#include <cctype>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostMtiList";

bool SameModule(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

void HostMtiList::Entry::Initialize(const std::string& moduleKey, int32_t index)
{
    mModuleKey = moduleKey;
    mIndex = index;
}

void HostMtiList::Entry::SetMtiData(const std::string& mtiType, const std::string& serial, const std::string& firmware)
{
    mMtiType = mtiType;
    mSerial = serial;
    mFirmware = firmware;
}

void HostMtiList::Add(std::shared_ptr<Entry> entry)
{
    if (!entry) throw plat::ComError(plat::rt::InvalidCall, kSource, "No analyzer unit was given");
    if (entry->ModuleKey().empty() || entry->Index() < 1) {
        throw plat::ComError(plat::rt::InvalidCall, kSource,
                             "An analyzer unit needs a module key and an index of 1 or more");
    }
    if (Find(entry->ModuleKey(), entry->Index())) {
        throw plat::ComError(plat::rt::InvalidCall, kSource,
                             "The analyzer unit index " + std::to_string(entry->Index()) + " of module " +
                                 entry->ModuleKey() + " is already in use");
    }
    mEntries.push_back(std::move(entry));
}

std::shared_ptr<HostMtiList::Entry> HostMtiList::Find(const std::string& moduleKey, int32_t index) const
{
    for (const auto& entry : mEntries) {
        if (entry->Index() == index && SameModule(entry->ModuleKey(), moduleKey)) return entry;
    }
    return nullptr;
}

const std::shared_ptr<HostMtiList::Entry>& HostMtiList::Item(std::size_t position) const
{
    if (position >= mEntries.size()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    return mEntries[position];
}

} // namespace host
