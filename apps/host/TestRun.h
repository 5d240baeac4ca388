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

// Who acts in the guide window: a person at the console, or the automatic operator.
enum class OperatorKind { Person, Auto };

// The highest port number the serial port and the instrument query take.
constexpr int32_t HighestPort = 32767;

// What `run` is told: "--port N [--device PATH|sim] [--operator person|auto] [--out FILE]
// TESTID...".
struct RunArguments {
    int32_t port = 0;
    std::optional<std::string> device;
    // Unset: the automatic operator when the port leads to the built-in simulated analyzer,
    // else the person.
    std::optional<OperatorKind> operatorKind;
    std::optional<std::string> out;
    std::vector<int32_t> testIds;
};

// Reads the arguments; an unknown option, a missing or malformed value, a port outside 1 to
// HighestPort, a test ID that is no number or no test ID at all raise a UsageError.
RunArguments ParseRunArguments(const std::vector<std::string>& args);

// Exit statuses of a run. A signal that ends the run (Ctrl-C, SIGTERM, SIGHUP) gives 128 + its
// number; the end of the person's input gives RunInterrupted, as Ctrl-C does.
constexpr int RunAllPassed = 0;
constexpr int RunNotAllPassed = 1;
constexpr int RunUsage = 2;
constexpr int RunSaveFailed = 3;
constexpr int RunInterrupted = 130;

// Whether a port leads to the built-in simulated analyzer, by where it leads (--device sim, or a
// port the registry maps to "sim"), not by how it was named. A run there records the unit as
// the simulator (SimulatedUnitType, SimulatedUnitSerial, SimulatedUnitFirmware) and leaves the registry's analyzer
// identity list as it was, so that what it measured is never taken for a real unit's result.
bool RunsOnBuiltInSimulator(int32_t port);
constexpr const char* SimulatedUnitType = "ZARVIK";
constexpr const char* SimulatedUnitSerial = "SIMULATED";
// The simulated unit names a firmware of its own, so that the window and the readable report,
// which show an empty one each in its own words, read the same.
constexpr const char* SimulatedUnitFirmware = "SIMULATED";

// Refuses, as a usage error naming it, a device path that does not exist or is not a character
// device; "sim" (the built-in simulated analyzer) passes.
void CheckDevicePath(const std::string& device);
// Refuses, as a usage error, a result file whose folder does not exist or takes no file (tried
// by making one), or that is a folder, as is its report's place (path + ".txt").
void CheckOutFile(const std::string& path);

// Runs the tests as one sequence and prints each test's status and measurements (see
// PrintResults). Where the port leads (--device, else the registry's port map) decides the
// clock: the built-in simulated analyzer with the automatic operator runs on a virtual clock,
// and the operator performs the physical actions too; everything else runs on the real clock.
// With the person's console (PersonConsole) a person reads the window on the error stream and
// acts by typing on the standard input, physical actions included when the analyzer is the
// built-in one. The automatic operator against a real analyzer presses the buttons and answers
// the boxes, only asks for the physical actions, and never judges a wave: those tests end not
// rated. A catalogue test ID that is unknown, or a catalogue that cannot be read, is a usage
// error. Ctrl-C, SIGTERM, SIGHUP and the end of the person's input stop the test in hand
// and end the sequence without aborting it: a result the window shows is kept as Next keeps
// it, printed and saved; the tests after it are not run. From the start-up until the results
// are saved these signals never kill the process: one before the first test ends the run there
// (nothing run), one after the tests only records itself; the first one gives the exit status.
// The results and the report are saved as one pair (host::SaveRunFiles); a pair that cannot be
// saved at the end gives RunSaveFailed.
// A port that another program holds when the run begins raises plat::PortInUseError before
// anything reaches the analyzer. A plug-in already started may be given.
int RunTests(const RunArguments& arguments, CommandContext& context, std::shared_ptr<host::IPlugIn> plugIn = nullptr);

// The plug-in, registered first when it is not (a fresh registry) and initialised as the host
// does; a catalogue that cannot be read raises a UsageError.
std::shared_ptr<host::IPlugIn> StartPlugIn();

// The test IDs of the plug-in's catalogue whose templates exist, in catalogue order.
std::vector<int32_t> CatalogueTestIds(host::IPlugIn& plugIn);

// "<ID>\t<status>" for each element, then "\t<key>\t<value>\t<unit>\t<status>" for each of
// its measurements; the status of an element is "passed", "failed", "not rated", "skipped",
// "aborted" or "not run", and that of a measurement of a skipped element is empty (nothing was rated).
// Returns whether every element passed.
bool PrintResults(const host::HostTestSequence& sequence, std::ostream& out);

// The value of a measurement as the result view shows it, with "." decimals; text values as
// they are; a verdict (a Boolean) as the column the checklist view checks, "passed" or
// "failed"; empty when there is none.
std::string MeasurementValueText(const plat::Variant& value);

} // namespace zhost
