#include "testlib/elements/DataRecord.h"

#include "platform/base/Conversions.h"
#include "testlib/results/ReplyFieldReader.h"

#include <exception>

namespace ztest {

DataRecord DataRecord::Numbers(std::size_t fields)
{
    DataRecord record(fields, {});
    for (std::size_t i = 0; i < fields; ++i) record.mRead.push_back({i});
    return record;
}

DataRecord::DataRecord(std::size_t fields, std::initializer_list<Field> read) : mFields(fields), mRead(read) {}

bool DataRecord::IsNumber(std::string_view field)
{
    if (!plat::IsNumericText(field)) return false;
    try {
        (void)plat::CDbl(plat::Variant(std::string(field)));
    } catch (const std::exception&) {
        return false; // beyond the range of a Double
    }
    return true;
}

bool DataRecord::IsReading(std::string_view reply) const
{
    const ReplyFieldReader reader(reply);
    if (reader.Count() < mFields) return false;
    for (const Field& read : mRead) {
        const std::optional<std::string_view> field = reader.Field(read.index);
        if (!field) return false;
        if (read.token && field->starts_with(read.token)) continue;
        if (!IsNumber(*field)) return false;
    }
    return true;
}

std::optional<std::string> DataRecord::FieldOf(std::string_view reply, std::size_t index) const
{
    if (!IsReading(reply)) return std::nullopt;
    const ReplyFieldReader reader(reply);
    const std::optional<std::string_view> field = reader.Field(index);
    if (!field) return std::nullopt;
    return std::string(*field);
}

} // namespace ztest
