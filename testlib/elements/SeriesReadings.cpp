#include "testlib/elements/SeriesReadings.h"

#include "platform/base/Conversions.h"
#include "testlib/elements/DataRecord.h"
#include "testlib/results/ReplyFieldReader.h"

#include <exception>

namespace ztest {

namespace {

constexpr std::size_t kRecordFields = 4;
constexpr std::size_t kEnergyField = 0;
constexpr std::size_t kChargeTimeField = 3;

std::optional<std::string> Reading(const DataRecord& record, std::string_view reply, std::size_t index)
{
    std::optional<std::string> field = record.FieldOf(reply, index);
    if (!field) return std::nullopt;
    // The series record reads the kept text back: a number whose 15-digit text lies beyond the
    // range (the largest Doubles round up) would be counted and shown blank, so it is no reading.
    try {
        (void)ReplyFieldReader::LeadingNumber(ReadingText(*field));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return field;
}

} // namespace

std::optional<std::string> EnergyField(std::string_view reply)
{
    static const DataRecord kDischarge(kRecordFields, {{kEnergyField}});
    return Reading(kDischarge, reply, kEnergyField);
}

std::optional<std::string> ChargeTimeField(std::string_view reply)
{
    static const DataRecord kCharge(kRecordFields, {{kChargeTimeField}});
    return Reading(kCharge, reply, kChargeTimeField);
}

std::string ReadingText(std::string_view field)
{
    return plat::CStr(plat::Val(field));
}

} // namespace ztest
