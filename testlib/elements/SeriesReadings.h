#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ztest {

// The one reading that the series tests keep of each data reply: the energy of a discharge
// (pulse repetition) and the charge time of a charge (battery capacity). Replies come as the
// link returns them, with their line end, which is never part of a field.
//
// A reply gives its reading only when it is a reading of the test by the rule of DataRecord: a
// discharge record of its four fields at least, whose kept field is a number in full. A line end
// alone, "NODATA", any other token, a field with a number in front ("6.2s") or a reply short of
// fields is no reading, and gives none, so that it is never counted as a reading of 0. Nor is a
// number whose kept text (ReadingText) would not read back as a number.

// The energy of an "ENERGYDATA" reply ("energy,voltage,current,width" CR LF): its first field.
std::optional<std::string> EnergyField(std::string_view reply);

// The charge time of a "MAXEDATA" reply ("energy,voltage,current,charge time" CR LF): its fourth
// field.
std::optional<std::string> ChargeTimeField(std::string_view reply);

// A reading as the tests keep and show it: the field's number written back as text ("6.20"
// gives "6.2").
std::string ReadingText(std::string_view field);

} // namespace ztest
