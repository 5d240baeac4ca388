#include "host/standards/HostStandard.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <cmath>
#include <optional>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostStandard";

// The limit of one bound, or none when it cannot be worked out.
std::optional<float> LimitOf(const HostLimitItem& item, int bound, const std::optional<float>& presetX)
{
    try {
        // A plain item does not look at X, so a missing preset only matters to formulas.
        float limit = item.LimitValue(bound, presetX.value_or(std::nanf("")));
        if (std::isnan(limit)) return std::nullopt;
        return limit;
    } catch (const plat::ComError&) {
        return std::nullopt;
    }
}

} // namespace

void HostStandard::Initialize(const std::string& alphaName, const std::string& completeName, int32_t kind)
{
    mAlphaName = alphaName;
    mCompleteName = completeName;
    mKind = kind;
}

const std::shared_ptr<HostLimitItem>& HostStandard::Item(std::size_t index) const
{
    if (index >= mItems.size()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    return mItems[index];
}

void HostStandard::AddItem(std::shared_ptr<HostLimitItem> item)
{
    if (!item) throw plat::ComError(plat::rt::InvalidCall, kSource, "No limit item was given");
    mItems.push_back(std::move(item));
}

void HostStandard::RemoveItem(std::size_t index)
{
    if (index >= mItems.size()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    mItems.erase(mItems.begin() + static_cast<std::ptrdiff_t>(index));
}

std::shared_ptr<HostLimitItem> HostStandard::FindItem(const std::string& key) const
{
    for (const auto& item : mItems) {
        if (item->Key() == key) return item;
    }
    return nullptr;
}

int32_t HostStandard::Evaluate(const std::string& key, float value, const plat::Variant& preset) const
{
    std::optional<float> presetX;
    try {
        presetX = plat::CSng(preset);
    } catch (const plat::ComError&) {
        // Left empty: only formula bounds need X, and they then fail below.
    }

    for (const auto& item : mItems) {
        if (item->Key() != key) continue;
        for (int bound : {HostLimitItem::UpperBound, HostLimitItem::LowerBound}) {
            if (!item->Enabled(bound)) continue;
            std::optional<float> limit = LimitOf(*item, bound, presetX);
            if (!limit || std::isnan(value)) return StatusFailed;
            if (bound == HostLimitItem::UpperBound && *limit < value) return StatusFailed;
            if (bound == HostLimitItem::LowerBound && *limit > value) return StatusFailed;
        }
    }
    return StatusPassed;
}

std::shared_ptr<HostStandard> HostStandard::Copy() const
{
    auto copy = std::make_shared<HostStandard>();
    copy->Initialize(mAlphaName, mCompleteName, mKind);
    for (const auto& item : mItems) copy->mItems.push_back(item->Clone());
    return copy;
}

} // namespace host
