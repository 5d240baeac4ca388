#include "testlib/results/ReplyFieldReader.h"

#include "platform/base/Conversions.h"

namespace ztest {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

} // namespace

ReplyFieldReader::ReplyFieldReader(std::string_view reply)
{
    // The line end ends the reply; it belongs to no field.
    const std::size_t last = reply.find_last_not_of(kLineEnd);
    if (last == std::string_view::npos) return;
    const std::string_view text = reply.substr(0, last + 1);

    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            mFields.emplace_back(text.substr(start));
            break;
        }
        mFields.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

std::optional<std::string_view> ReplyFieldReader::Field(std::size_t index) const
{
    if (index >= mFields.size()) return std::nullopt;
    return mFields[index];
}

std::optional<double> ReplyFieldReader::Number(std::size_t index) const
{
    const std::optional<std::string_view> field = Field(index);
    if (!field) return std::nullopt;
    return LeadingNumber(*field);
}

double ReplyFieldReader::LeadingNumber(std::string_view text)
{
    // A line end before the number is skipped like a blank; one after it ends the number, so
    // that the rest of a line never joins it.
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return 0.0;
    text.remove_prefix(first);
    return plat::Val(text.substr(0, text.find_first_of(kLineEnd)));
}

} // namespace ztest
