#include "testlib/results/CReplyResult.h"

#include "host/interfaces/ITestElement.h"
#include "platform/base/ComError.h"
#include "platform/ui/MessageBox.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/results/ReplyFieldReader.h"

#include <cmath>
#include <exception>
#include <utility>

namespace ztest {

CReplyResult::CReplyResult(std::string errorSource, std::string loadText,
                           std::span<const MeasurementSpec> measurements, std::span<const ReplyFieldSpec> fields,
                           StoreErrors storeErrors)
    : CLimitRatedResult(std::move(errorSource), std::move(loadText)),
      mMeasurementSpecs(measurements),
      mFields(fields),
      mStoreErrors(storeErrors)
{
}

void CReplyResult::InitializeFrom(const std::shared_ptr<host::IConfigData>& configuration)
{
    BuildMeasurements(mMeasurementSpecs, [&](const MeasurementSpec& spec) {
        try {
            return PresetOf(spec, configuration);
        } catch (const std::exception&) {
            return plat::Variant(); // a preset that cannot be read is left out
        }
    });
}

plat::Variant CReplyResult::PresetOf(const MeasurementSpec& /*spec*/,
                                     const std::shared_ptr<host::IConfigData>& /*configuration*/) const
{
    return {};
}

std::shared_ptr<host::IConfigData> CReplyResult::ConfigurationOf(const std::shared_ptr<host::ITestElement>& element)
{
    try {
        if (element) return element->Configuration();
    } catch (const std::exception&) {
        // The configuration is missing: the measurements are built without presets.
    }
    return nullptr;
}

void CReplyResult::StoreField(std::size_t /*index*/, std::string_view field, const ReplyFieldSpec& spec,
                              CMeasurement& measurement)
{
    const double value = ReplyFieldReader::LeadingNumber(field) * spec.scale;
    // A number that its scaling takes beyond the range is as unreadable as one beyond it in the
    // reply: the record's store-error rule handles both alike.
    if (!std::isfinite(value)) plat::RaiseRuntime(plat::rt::Overflow);
    measurement.SetValue(value);
}

void CReplyResult::StoreResult(const std::string& reply)
{
    const ReplyFieldReader reader(reply);
    for (std::size_t i = 0; i < mFields.size(); ++i) {
        const std::optional<std::string_view> field = reader.Field(i);
        if (!field) break; // a short reply: the later measurements keep their values
        const ReplyFieldSpec& spec = mFields[i];
        if (!spec.key) continue;
        const std::shared_ptr<CMeasurement> measurement = FindMeasurement(spec.key);
        if (!measurement) continue;
        try {
            StoreField(i, *field, spec, *measurement);
        } catch (const std::exception& error) {
            if (mStoreErrors == StoreErrors::SkipField) continue;
            if (mStoreErrors == StoreErrors::PassOn) throw;
            // The box shows the description followed at once by the number.
            const auto* coded = dynamic_cast<const plat::ComError*>(&error);
            const std::string text = coded ? coded->Description() + std::to_string(coded->Number()) : error.what();
            plat::MsgBox(text, plat::vbOKOnly);
            return;
        }
    }
    mResultStored = true;
}

} // namespace ztest
