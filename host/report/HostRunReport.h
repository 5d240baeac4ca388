#pragma once

#include "host/interfaces/HostForward.h"

#include <chrono>
#include <memory>
#include <string>

namespace host {

class HostReport;
class HostTestSequence;

// What the readable report of one run opens with, besides the analyzer units the sequence
// recorded: when the run started, and whether it ran on the built-in simulated analyzer.
struct RunReportHeading {
    std::chrono::system_clock::time_point started;
    bool simulated = false;
};

// Writes the readable report of a run: the heading (the date and time the run started, in
// UTC; each analyzer unit of the sequence's list with its type, serial number and firmware;
// for a run on the built-in simulated analyzer a line saying that the results come from it),
// then each element as it prints itself, given its outcome in the run as the argument.
void PrintRunReport(const std::shared_ptr<HostReport>& report, const HostTestSequence& sequence,
                    const RunReportHeading& heading);

// The date and time as the report heading shows it: "2026-12-10 14:05:09 UTC".
std::string RunTimeText(std::chrono::system_clock::time_point when);

} // namespace host
