#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ztest {

// The one reading that the series tests keep of each data reply: the energy of a discharge
// (pulse repetition) and the charge time of a charge (battery capacity). Replies come as the
// link returns them, with their line end, which is never part of a field.
//
// A field must begin with a number (blanks before it allowed): a line end alone, "NODATA" or
// any other token is no reading, and gives none, so that it is never counted as a reading of 0.
// Nor is a number whose kept text (ReadingText) would not read back as a number.

// The energy of an "ENERGYDATA" reply ("energy,voltage,current,width" CR LF): its first field.
// A reply without a comma is no discharge record and gives none.
std::optional<std::string> EnergyField(std::string_view reply);

// The charge time of a "MAXEDATA" reply ("energy,voltage,current,charge time" CR LF). A reply
// with up to three commas gives the text after its last comma (the whole reply when it has
// none); a reply with four or more commas gives its fourth field, the charge time's place in
// the charge-time record.
std::optional<std::string> ChargeTimeField(std::string_view reply);

// A reading as the tests keep and show it: the field's leading number written back as text
// ("6.20" gives "6.2").
std::string ReadingText(std::string_view field);

} // namespace ztest
