#pragma once

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

// What makes a data reply of the analyzer a reading of its test: the one rule of every test
// that keeps numbers from a reply (the discharge tests, the pacer tests, the series tests).
//
// A data reply is a record of comma-separated fields, read as the link returns it (its line end
// is no part of a field). It is a reading of its test when it has at least the record's fields
// (further ones are allowed) and each field that the test reads is a number in full (blanks
// around it allowed, within the range of a Double) or a token that the analyzer sends in that
// field's place. Anything else ("NODATA", "NEWDATA", "OK", a text with a number in front such as
// "12ABC", a reply short of fields) is no reading: its leading number is never taken as a
// measurement.
class DataRecord {
public:
    // A field that the test reads: its place (from 0) and a word that the analyzer may send in
    // place of the number (compared by its leading characters), if any.
    struct Field {
        std::size_t index;
        const char* token = nullptr;
    };

    // A record of that many fields, each read as a number.
    static DataRecord Numbers(std::size_t fields);
    // A record of that many fields of which the test reads only the given ones.
    DataRecord(std::size_t fields, std::initializer_list<Field> read);

    bool IsReading(std::string_view reply) const;
    // Field i of a reply that is a reading; none for a reply that is none or lacks the field.
    std::optional<std::string> FieldOf(std::string_view reply, std::size_t index) const;

    // A number in full, blanks around it allowed, within the range of a Double.
    static bool IsNumber(std::string_view field);

private:
    std::size_t mFields;
    std::vector<Field> mRead;
};

} // namespace ztest
