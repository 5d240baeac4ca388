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

void SaveRunFiles(const HostTestSequence& sequence, const std::string& path, const RunReportHeading& heading,
                  const RunSaveHooks& hooks)
{
    const std::string reportPath = path + ".txt";
    const std::filesystem::path target(path);
    const std::string lockPath = (target.parent_path() / ("." + target.filename().string() + ".lock")).string();
    auto step = [&](RunSaveStep done) {
        if (hooks.afterStep) hooks.afterStep(done);
    };

    std::optional<plat::FileLock> lock;
    std::optional<plat::PendingFile> results;
    std::optional<plat::PendingFile> report;
    try {
        lock.emplace(lockPath, std::chrono::duration_cast<std::chrono::milliseconds>(RunSaveWait), hooks.onWait);
        step(RunSaveStep::Locked);
        plat::RemoveAbandonedTemporaries(path);
        plat::RemoveAbandonedTemporaries(reportPath);
        auto text = std::make_shared<HostReport>();
        PrintRunReport(text, sequence, heading);
        results.emplace(path, sequence.SaveDocument()->SavedText(path));
        report.emplace(reportPath, text->Text());
        step(RunSaveStep::Prepared);
        // The previous report goes first, so that it never stands beside these results.
        if (::unlink(reportPath.c_str()) != 0 && errno != ENOENT) {
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
        RaiseNotSaved(error, path + " is as it was, and the report that stood beside it was removed");
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
}

} // namespace host
