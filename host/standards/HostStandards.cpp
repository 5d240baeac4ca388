#include "host/standards/HostStandards.h"

#include "platform/base/ComError.h"

namespace host {

namespace {
constexpr const char* kSource = "Host.HostStandards";
}

const std::shared_ptr<HostStandard>& HostStandards::Item(std::size_t index) const
{
    if (index >= mStandards.size()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    return mStandards[index];
}

std::shared_ptr<HostStandard> HostStandards::Find(const std::string& alphaName, const std::string& completeName) const
{
    for (const auto& standard : mStandards) {
        if (standard->AlphaName() == alphaName && standard->CompleteName() == completeName) return standard;
    }
    return nullptr;
}

void HostStandards::Add(std::shared_ptr<HostStandard> standard)
{
    if (!standard) throw plat::ComError(plat::rt::InvalidCall, kSource, "No standard was given");
    mStandards.push_back(std::move(standard));
}

void HostStandards::Remove(std::size_t index)
{
    if (index >= mStandards.size()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    mStandards.erase(mStandards.begin() + static_cast<std::ptrdiff_t>(index));
}

std::shared_ptr<HostStandards> HostStandards::Copy() const
{
    auto copy = std::make_shared<HostStandards>();
    for (const auto& standard : mStandards) copy->mStandards.push_back(standard->Copy());
    return copy;
}

} // namespace host
