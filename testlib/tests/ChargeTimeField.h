#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ztest {

// The charge time of one battery-capacity read-out, from the analyzer's "MAXEDATA" reply
// ("energy,voltage,current,charge time" CR LF).
//
// A reply with up to three commas gives the text after its last comma (the whole reply when it
// has none); a reply with four or more commas gives its fourth field, the charge time's place in
// the charge-time record. The line end is never part of the field. The field must begin with a
// number (blanks before it allowed): a line end alone, "NODATA" or any other token is no charge
// time, and gives none, so that it is never counted as a charge of 0 s.
std::optional<std::string> ChargeTimeField(std::string_view reply);

// The charge time as the test keeps it: the field's leading number written back as text
// ("6.20" gives "6.2").
std::string ChargeTimeText(std::string_view field);

} // namespace ztest
