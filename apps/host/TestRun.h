#pragma once

#include "apps/host/CommandTable.h"
#include "platform/base/Variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace host {
class HostTestSequence;
class IPlugIn;
class IResultData;
}

namespace zhost {

// What `run` is told: "--port N [--device PATH|sim] [--out FILE] TESTID...".
struct RunArguments {
    int32_t port = 0;
    std::optional<std::string> device;
    std::optional<std::string> out;
    std::vector<int32_t> testIds;
};

// Reads the arguments; an unknown option, a missing or malformed value, a test ID that is no
// number or no test ID at all raise a UsageError.
RunArguments ParseRunArguments(const std::vector<std::string>& args);

// Exit statuses of a run.
constexpr int RunAllPassed = 0;
constexpr int RunNotAllPassed = 1;
constexpr int RunUsage = 2;
constexpr int RunInterrupted = 130;

// Runs the tests as one sequence with the automatic operator and prints each test's status and
// measurements (see PrintResults). With the device "sim" the built-in simulated analyzer runs on
// a virtual clock and the operator performs the physical actions too; with a device path the
// real clock runs, the operator presses the buttons and answers the boxes, and a person does
// what the instructions ask. A catalogue test ID that is unknown, or a catalogue that cannot be
// read, is a usage error. Ctrl-C stops the test in hand, ends the sequence cleanly and gives
// RunInterrupted.
// A plug-in already started may be given.
int RunTests(const RunArguments& arguments, CommandContext& context, std::shared_ptr<host::IPlugIn> plugIn = nullptr);

// The plug-in, registered first when it is not (a fresh registry) and initialised as the host
// does; a catalogue that cannot be read raises a UsageError.
std::shared_ptr<host::IPlugIn> StartPlugIn();

// The test IDs of the plug-in's catalogue whose templates exist, in catalogue order.
std::vector<int32_t> CatalogueTestIds(host::IPlugIn& plugIn);

// "<ID>\t<status>" for each element, then "\t<key>\t<value>\t<unit>\t<status>" for each of
// its measurements; the status of an element is "passed", "failed", "not rated", "skipped" or
// "not run". Returns whether every element passed.
bool PrintResults(const host::HostTestSequence& sequence, std::ostream& out);

// The value of a measurement as the result view shows it, with "." decimals; text values as
// they are; empty when there is none.
std::string MeasurementValueText(const plat::Variant& value);

} // namespace zhost
