#include "support/FakeLimitData.h"

#include "host/HostLimitItem.h"
#include "host/HostStandard.h"
#include "host/HostStandards.h"
#include "host/IMeasurement.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <limits>

namespace ztesting {

FakeLimitData::FakeLimitData() : mStandards(std::make_shared<host::HostStandards>()) {}

std::shared_ptr<host::HostStandard> FakeLimitData::CreateStandard(const std::string& alphaName,
                                                                  const std::string& completeName)
{
    return AddStandard(alphaName, completeName);
}

std::shared_ptr<host::HostStandard> FakeLimitData::AddStandard(const std::string& alphaName,
                                                               const std::string& completeName)
{
    auto standard = std::make_shared<host::HostStandard>();
    standard->Initialize(alphaName, completeName, 1);
    mStandards->Add(standard);
    return standard;
}

void FakeLimitData::AddBounds(host::HostStandard& standard, const std::string& key, const float* upper,
                              const float* lower)
{
    std::shared_ptr<host::HostLimitItem> item = host::HostLimitItem::Create();
    item->Initialize(key, "", "", "");
    if (upper) {
        item->SetEnabled(host::HostLimitItem::UpperBound, true);
        item->SetValue(host::HostLimitItem::UpperBound, *upper);
    }
    if (lower) {
        item->SetEnabled(host::HostLimitItem::LowerBound, true);
        item->SetValue(host::HostLimitItem::LowerBound, *lower);
    }
    standard.AddItem(item);
}

std::shared_ptr<host::HostStandards> FakeLimitData::FindFailedStandards(
    const std::shared_ptr<host::IMeasurement>& measurement, const std::shared_ptr<host::HostStandards>& standards)
{
    if (!measurement || !standards || mStandards->Count() == 0) return nullptr;
    const std::string key = measurement->Key().substr(0, 4);
    float value = std::numeric_limits<float>::quiet_NaN();
    try {
        value = plat::CSng(measurement->value());
    } catch (const plat::ComError&) {
        // Left as no number: the standard fails it.
    }
    auto failed = std::make_shared<host::HostStandards>();
    for (const auto& given : *standards) {
        const std::shared_ptr<host::HostStandard> own = mStandards->Find(given->AlphaName(), given->CompleteName());
        if (own && own->Evaluate(key, value, measurement->PresetValue()) == host::HostStandard::StatusFailed)
            failed->Add(own);
    }
    return failed->Count() > 0 ? failed : nullptr;
}

} // namespace ztesting
