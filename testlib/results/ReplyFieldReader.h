#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

// Reads the comma-separated data replies of the analyzer ("150.2,2000,50.1,0.0045" CR LF).
//
// The reply reaches the result records as the link returns it, with its line end. The line end
// is no part of any field: a reply with or without it gives the same fields, and a reply that
// is nothing but a line end has no field at all. The last field runs to the end of the reply.
// A field that the reply does not have is missing, never a copy of a neighbouring field.
class ReplyFieldReader {
public:
    explicit ReplyFieldReader(std::string_view reply);

    // The number of fields: 0 for an empty reply, else the number of commas plus one.
    std::size_t Count() const { return mFields.size(); }
    bool Empty() const { return mFields.empty(); }

    // The text of field i (from 0), or none when the reply has fewer fields.
    std::optional<std::string_view> Field(std::size_t index) const;

    // The leading number of field i (see LeadingNumber), or none when the reply has fewer
    // fields. Raises Overflow (6) for a number beyond the range of a Double.
    std::optional<double> Number(std::size_t index) const;

    // The leading number of a text: blanks, tabs and line ends before it are skipped, "." is
    // the decimal point, reading stops at the first character that cannot continue the number
    // and at the latest at a CR or LF; a text that does not begin with a number gives 0.
    // Raises Overflow (6) for a number beyond the range of a Double.
    static double LeadingNumber(std::string_view text);

private:
    std::vector<std::string> mFields;
};

} // namespace ztest
