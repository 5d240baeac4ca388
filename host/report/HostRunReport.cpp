#include "host/report/HostRunReport.h"

#include "host/elements/HostTestElement.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "host/report/HostReport.h"
#include "host/documents/HostXmlDocument.h"
#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"
#include "platform/base/FileIo.h"
#include "platform/base/Variant.h"

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

// An analyzer unit as the report names it: "ZARVIK, serial number 1234, firmware 2.10".
std::string UnitText(const HostMtiList::Entry& unit)
{
    auto shown = [](const std::string& text) { return text.empty() ? std::string("unknown") : text; };
    return shown(unit.MtiType()) + ", serial number " + shown(unit.Serial()) + ", firmware " + shown(unit.Firmware());
}

// The line that names the analyzer unit a test's result was measured with: the run may have
// known several units (the identity changed between two runs of a test), and only the result
// says which one measured it. A test without a result prints none.
std::string MeasuredWith(ITestElement& element, const std::shared_ptr<HostMtiList>& units)
{
    const auto result = element.Result();
    if (!result) return {};
    const int32_t index = result->MTIID();
    if (index <= 0) return "Measured with: no analyzer unit recorded";
    const auto unit = units ? units->Find(element.PlugInID(), index) : nullptr;
    if (!unit) return "Measured with: analyzer unit " + std::to_string(index) + ", which the list of units lacks";
    return "Measured with: " + UnitText(*unit);
}

constexpr const char* kSource = "HostRunReport";

// Why a step failed, in words.
std::string Reason(const std::exception& error)
{
    if (const auto* com = dynamic_cast<const plat::ComError*>(&error)) return com->Description();
    return error.what();
}

[[noreturn]] void RaiseNotSaved(const std::exception& error, const std::string& what)
{
    throw plat::ComError(plat::rt::PermissionDenied, kSource, "the results were not saved: " + Reason(error) + "; " + what);
}

} // namespace

std::string RunTimeText(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    if (!::gmtime_r(&seconds, &utc)) return "unknown";
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc) == 0) return "unknown";
    return text;
}

void PrintRunReport(const std::shared_ptr<HostReport>& report, const HostTestSequence& sequence,
                    const RunReportHeading& heading)
{
    if (!report) return;
    // A result is worth filing only with when and with what it was measured.
    report->WriteLine("Test run of " + RunTimeText(heading.started));
    const auto& units = sequence.MtiList();
    if (!units || units->Count() == 0) {
        report->WriteLine("Analyzer: none recorded");
    } else {
        for (const auto& unit : *units) report->WriteLine("Analyzer: " + UnitText(*unit));
    }
    if (heading.simulated) {
        report->WriteLine("The results come from the built-in simulated analyzer, not from a real unit.");
    }
    report->WriteLine("");
    for (const auto& entry : sequence.Entries()) {
        if (!entry.element) continue;
        auto subject = std::make_shared<HostTestElement::PrintSubject>();
        subject->outcome = HostTestSequence::PrintedOutcome(entry);
        subject->measuredWith = MeasuredWith(*entry.element, units);
        entry.element->PrintReport(report, plat::Variant(subject));
    }
}

namespace {

// The lock file that saves of the path take turns by.
std::string LockPathOf(const std::string& path)
{
    const std::filesystem::path target(path);
    return (target.parent_path() / ("." + target.filename().string() + ".lock")).string();
}

// Refuses to replace what is there unless it is a regular file (after following a link): a save
// never turns a device, a FIFO or a socket into a file of results.
void RequireRegularOrMissing(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return;
        throw plat::FileError(plat::FileError::Kind::System, errno, path);
    }
    if (!S_ISREG(info.st_mode))
        throw plat::FileError(plat::FileError::Kind::NotAFile, S_ISDIR(info.st_mode) ? EISDIR : 0, path);
}

// Saves the pair at the path, waiting at most the time for another save of it; false, with
// nothing changed, when that save held the lock all that time.
bool SavePair(const HostTestSequence& sequence, const std::string& path, const RunReportHeading& heading,
              const RunSaveHooks& hooks, std::chrono::milliseconds wait)
{
    const std::string reportPath = path + ".txt";
    auto step = [&](RunSaveStep done) {
        if (hooks.afterStep) hooks.afterStep(done);
    };

    std::optional<plat::FileLock> lock;
    std::optional<plat::PendingFile> results;
    std::optional<plat::PendingFile> report;
    bool reportRemoved = false;
    try {
        bool first = true;
        auto onWait = [&] {
            if (hooks.onWait) hooks.onWait(first);
            first = false;
        };
        try {
            lock.emplace(LockPathOf(path), wait, onWait, hooks.remindEvery);
        } catch (const plat::FileError& error) {
            if (error.GetKind() == plat::FileError::Kind::Locked) return false;
            throw;
        }
        step(RunSaveStep::Locked);
        plat::RemoveAbandonedTemporaries(path);
        plat::RemoveAbandonedTemporaries(reportPath);
        RequireRegularOrMissing(path);
        RequireRegularOrMissing(reportPath);
        auto text = std::make_shared<HostReport>();
        PrintRunReport(text, sequence, heading);
        results.emplace(path, sequence.SaveDocument()->SavedText(path));
        report.emplace(reportPath, text->Text());
        step(RunSaveStep::Prepared);
        // The previous report goes first, so that it never stands beside these results.
        RequireRegularOrMissing(reportPath);
        if (::unlink(reportPath.c_str()) == 0) {
            reportRemoved = true;
        } else if (errno != ENOENT) {
            throw plat::FileError(errno == EISDIR ? plat::FileError::Kind::NotAFile : plat::FileError::Kind::System,
                                  errno, reportPath);
        }
    } catch (const std::exception& error) {
        RaiseNotSaved(error, path + " and " + reportPath + " are as they were");
    }
    step(RunSaveStep::ReportRemoved);
    try {
        results->Commit();
    } catch (const std::exception& error) {
        RaiseNotSaved(error, path + (reportRemoved ? " is as it was, and the report that stood beside it was removed"
                                                   : " is as it was, and no report stood beside it"));
    }
    step(RunSaveStep::ResultsSaved);
    try {
        report->Commit();
    } catch (const std::exception& error) {
        throw plat::ComError(plat::rt::PermissionDenied, kSource,
                             "the results were saved in " + path + ", but their report was not: " + Reason(error) +
                                 "; no report stands beside them");
    }
    step(RunSaveStep::ReportSaved);
    return true;
}

// How many names of its own a save may try beside the path.
constexpr int kOwnNames = 99;

} // namespace

std::string RunSaveOwnPath(const std::string& path, int pid, int attempt)
{
    const std::filesystem::path target(path);
    std::string name = target.stem().string() + "-" + std::to_string(pid);
    if (attempt > 0) name += "-" + std::to_string(attempt);
    return (target.parent_path() / (name + target.extension().string())).string();
}

std::vector<std::string> RunSaveNames(const std::string& path)
{
    const std::string name = std::filesystem::path(path).filename().string();
    // The longest name of its own that a save may take when FILE stays locked.
    const std::string own = std::filesystem::path(RunSaveOwnPath(path, 2147483647, kOwnNames)).filename().string();
    std::vector<std::string> names;
    for (const std::string& file : {name, own}) {
        names.push_back(file);
        names.push_back(file + ".txt");
        names.push_back("." + file + ".lock");
        names.push_back(plat::PendingFile::LongestTemporaryName(file));
        names.push_back(plat::PendingFile::LongestTemporaryName(file + ".txt"));
    }
    return names;
}

std::string RunSaveLockPath(const std::string& path)
{
    return LockPathOf(path);
}

std::string SaveRunFiles(const HostTestSequence& sequence, const std::string& path, const RunReportHeading& heading,
                         const RunSaveHooks& hooks)
{
    if (SavePair(sequence, path, heading, hooks, hooks.wait)) return path;
    // Another run held the path all that time: the results are saved under a name of their own
    // beside it rather than lost. A name that stands, or is being saved, is never taken.
    for (int attempt = 0; attempt <= kOwnNames; ++attempt) {
        const std::string own = RunSaveOwnPath(path, static_cast<int>(::getpid()), attempt);
        struct stat info {};
        if (::lstat(own.c_str(), &info) == 0 || ::lstat((own + ".txt").c_str(), &info) == 0) continue;
        RunSaveHooks ownHooks;
        ownHooks.afterStep = hooks.afterStep;
        if (SavePair(sequence, own, heading, ownHooks, std::chrono::milliseconds(0))) return own;
    }
    throw plat::ComError(plat::rt::PermissionDenied, kSource,
                         "the results were not saved: another run kept saving " + path +
                             ", and no name of their own beside it was free; " + path + " is as it was");
}

} // namespace host
