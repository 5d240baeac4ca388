// The readable report's heading, and the save of a run's results and report as one pair.
#include "host/elements/HostTestSequence.h"
#include "host/report/HostRunReport.h"
#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using host::RunSaveStep;

// 2026-12-10 14:05:09 UTC.
const auto kRunStart = std::chrono::system_clock::time_point(std::chrono::seconds(1796911509));

// Sets the time zone of the process while it lives.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* before = std::getenv("TZ")) mBefore = before;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (mBefore) {
            ::setenv("TZ", mBefore->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    std::optional<std::string> mBefore;
};

// The heading says UTC, and so it is on a computer in any time zone.
TEST(HostRunReport, TheHeadingsTimeIsUtcInEveryTimeZone)
{
    for (const char* zone : {"UTC0", "XST-5", "YST+8"}) {
        SCOPED_TRACE(zone);
        TimeZone local(zone);
        EXPECT_EQ(host::RunTimeText(kRunStart), "2026-12-10 14:05:09 UTC");
    }
}

// A run told by the serial number of its analyzer unit, which both of its files name.
std::shared_ptr<host::HostTestSequence> RunWith(const std::string& serial)
{
    auto sequence = std::make_shared<host::HostTestSequence>(nullptr);
    auto unit = sequence->MtiList()->NewEntry();
    unit->Initialize("ZARVIK", 1);
    unit->SetMtiData("ZARVIK", serial, "1.0");
    sequence->MtiList()->Add(unit);
    return sequence;
}

void Save(const std::string& serial, const std::string& path, const host::RunSaveHooks& hooks = {})
{
    host::SaveRunFiles(*RunWith(serial), path, host::RunReportHeading{kRunStart, false}, hooks);
}

// The serial number of the run whose results (or report) the file holds whole; "" when the file
// is missing or holds no whole run.
std::string RunIn(const std::string& path)
{
    const std::string text = ztesting::ReadAll(path);
    const bool report = path.ends_with(".txt");
    const std::string before = report ? "serial number " : "Serial=\"";
    const std::string whole = report ? "\n\n" : "</TestSequence>";
    const auto at = text.find(before);
    if (at == std::string::npos || text.find(whole) == std::string::npos) return {};
    const auto from = at + before.size();
    return text.substr(from, text.find_first_of(",\"", from) - from);
}

void MakeFolderAt(const std::string& path)
{
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
}

// A save killed at any moment leaves the results and the report of one run, or the results
// alone; never a report beside the results of another run. The next save is not hindered.
TEST(HostRunReport, ASaveKilledAtAnyMomentLeavesNoReportBesideAnotherRunsResults)
{
    struct Case {
        RunSaveStep killedAfter;
        const char* results;
        const char* report;
    };
    const Case cases[] = {
        {RunSaveStep::Locked, "OLD", "OLD"},       {RunSaveStep::Prepared, "OLD", "OLD"},
        {RunSaveStep::ReportRemoved, "OLD", ""}, {RunSaveStep::ResultsSaved, "NEW", ""},
        {RunSaveStep::ReportSaved, "NEW", "NEW"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.killedAfter));
        ztesting::TempFolder dir;
        const std::string path = dir.File("results.xml");
        Save("OLD", path);
        const pid_t child = ::fork();
        if (child == 0) {
            host::RunSaveHooks hooks;
            hooks.afterStep = [&](RunSaveStep step) {
                if (step == c.killedAfter) ::raise(SIGKILL);
            };
            try {
                Save("NEW", path, hooks);
            } catch (...) {
            }
            std::_Exit(0);
        }
        ASSERT_GT(child, 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        EXPECT_EQ(RunIn(path), c.results);
        EXPECT_EQ(RunIn(path + ".txt"), c.report);

        Save("NEXT", path);
        EXPECT_EQ(RunIn(path), "NEXT");
        EXPECT_EQ(RunIn(path + ".txt"), "NEXT");
    }
}

// A save that fails says exactly what it saved: nothing, or the results without a report. A
// folder takes the place of a file at the moment given.
TEST(HostRunReport, AFailedSaveSaysWhatItSaved)
{
    ztesting::TempFolder dir;
    const std::string path = dir.File("results.xml");
    struct Case {
        RunSaveStep when;
        std::string folder;
        std::string message;
        const char* results;
    };
    const Case cases[] = {
        {RunSaveStep::Locked, path + ".txt",
         "the results were not saved: '" + path + ".txt' is not a file; " + path + " and " + path +
             ".txt are as they were",
         "OLD"},
        {RunSaveStep::ReportRemoved, path,
         "the results were not saved: '" + path + "': Is a directory; " + path +
             " is as it was, and the report that stood beside it was removed",
         ""},
        {RunSaveStep::ResultsSaved, path + ".txt",
         "the results were saved in " + path + ", but their report was not: '" + path +
             ".txt': Is a directory; no report stands beside them",
         "NEW"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::filesystem::remove(path);
        std::filesystem::remove(path + ".txt");
        Save("OLD", path);
        host::RunSaveHooks hooks;
        hooks.afterStep = [&](RunSaveStep step) {
            if (step == c.when) MakeFolderAt(c.folder);
        };
        try {
            Save("NEW", path, hooks);
            ADD_FAILURE() << "saved";
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Description(), c.message);
        }
        EXPECT_EQ(RunIn(path), c.results);
        EXPECT_EQ(RunIn(path + ".txt"), "");
        // Nothing is left behind but the lock file and what the case made.
        for (const auto& name : dir.Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name;
        std::filesystem::remove(c.folder);
    }
}

} // namespace
