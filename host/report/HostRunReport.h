#pragma once

#include "host/interfaces/HostForward.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

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
// then each element as it prints itself, given (in a HostTestElement::PrintSubject) its outcome
// in the run and the line naming the unit its result was measured with: the list may hold units
// that no kept result was measured with, so only that line ties a result to its unit.
void PrintRunReport(const std::shared_ptr<HostReport>& report, const HostTestSequence& sequence,
                    const RunReportHeading& heading);

// The date and time as the report heading shows it: "2026-12-10 14:05:09 UTC".
std::string RunTimeText(std::chrono::system_clock::time_point when);

// The steps of SaveRunFiles, in their order.
enum class RunSaveStep {
    Locked,        // this save holds the lock of the path; nothing is changed yet
    Prepared,      // both new files are written in full beside their places, not yet in them
    ReportRemoved, // the previous report is gone; the previous results are still in place
    ResultsSaved,  // the new results are in place, their report not yet
    ReportSaved,   // both are in place
};

// How long a save waits for another process's save of the same path before it saves under a
// name of its own, and how often it says that it still waits.
constexpr std::chrono::seconds RunSaveWait{30};
constexpr std::chrono::seconds RunSaveRemindEvery{5};

// What the caller of SaveRunFiles is told while it saves, and how long it waits.
struct RunSaveHooks {
    // Called when another process saves the same path and this save waits for it (first true),
    // and then every remindEvery while it still waits (first false).
    std::function<void(bool first)> onWait;
    // Called after each step (a test ends the save there to see what each moment leaves).
    std::function<void(RunSaveStep)> afterStep;
    std::chrono::milliseconds wait = RunSaveWait;
    std::chrono::milliseconds remindEvery = RunSaveRemindEvery;
};

// Saves the results of a run (the sequence's document) at the path and its readable report
// (PrintRunReport) at the path + ".txt" as one pair: a report never stands beside the results of
// another run. Saves of one path take turns, by a lock on the file "." + its name + ".lock"
// beside it, which stays. Both files are written in full before either takes its place; then the
// previous report is removed, the results take their place and the report takes its own, so
// that a save ended at any moment leaves the previous pair, the previous results alone, the new
// results alone or the new pair. Only a regular file (after following a link) is replaced:
// anything else at either place fails the save before anything is changed. Temporary files
// that killed saves of the pair left are removed once they are provably abandoned. Raises a
// ComError whose description says exactly what was saved and what was not.
//
// When another process keeps the path locked for longer than the wait, nothing measured is lost
// to it: the pair is saved under a name of its own beside the path (RunSaveOwnPath, the first
// free one). Gives the path where the results were saved.
std::string SaveRunFiles(const HostTestSequence& sequence, const std::string& path, const RunReportHeading& heading,
                         const RunSaveHooks& hooks = {});

// The name of its own beside the path under which the process saves when the path stays
// locked: the file's stem + "-" + the process id (+ "-" + the attempt after the first) + its
// extension ("results-4711.xml").
std::string RunSaveOwnPath(const std::string& path, int pid, int attempt);

// The lock file beside the path that its saves take turns by.
std::string RunSaveLockPath(const std::string& path);

// Every name a save of the path may make in its folder, the longest of each kind: the results,
// the report, the lock file and their temporaries, at the path and at a name of its own, so that
// a check before a run can tell whether the folder takes them all.
std::vector<std::string> RunSaveNames(const std::string& path);

} // namespace host
