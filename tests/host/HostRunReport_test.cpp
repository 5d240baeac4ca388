// The readable report's heading, and the save of a run's results and report as one pair.
#include "host/elements/HostTestSequence.h"
#include "host/report/HostRunReport.h"
#include "host/units/HostMtiList.h"
#include "platform/base/ComError.h"
#include "platform/base/FileIo.h"
#include "support/TempFolder.h"
#include "support/WithoutPrivileges.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
        bool reportBefore = true;
    };
    const Case cases[] = {
        // No report stood beside the previous results: the line says so.
        {RunSaveStep::ReportRemoved, path,
         "the results were not saved: '" + path + "': Is a directory; " + path +
             " is as it was, and no report stood beside it",
         "", false},
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
        if (!c.reportBefore) std::filesystem::remove(path + ".txt");
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

// Makes the file look unchanged for two hours.
void Age(const std::string& path)
{
    const timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A save removes what killed saves of both files of the pair left behind, and leaves a save in
// progress alone.
TEST(HostRunReport, ASaveRemovesTheAbandonedTemporariesOfTheResultsAndOfTheReport)
{
    const pid_t child = ::fork();
    if (child == 0) std::_Exit(0);
    ASSERT_GT(child, 0);
    ::waitpid(child, nullptr, 0);
    const std::string gone = std::to_string(child);
    ztesting::TempFolder dir;
    const std::string path = dir.File("results.xml");
    const std::vector<std::string> abandoned = {".results.xml." + gone + ".0.tmp", ".results.xml.txt." + gone + ".0.tmp"};
    for (const auto& name : abandoned) {
        ztesting::WriteAll(dir.File(name), "partial");
        Age(dir.File(name));
    }
    Save("NEW", path);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{".results.xml.lock", "results.xml", "results.xml.txt"}));
}

// What stands at either place and is no regular file (after following a link) is never
// replaced: a FIFO that another program reads, a device node. The save fails before it changes
// anything, and says so.
TEST(HostRunReport, ASaveReplacesOnlyARegularFile)
{
    ztesting::TempFolder dir;
    const std::string path = dir.File("results.xml");
    for (const std::string& at : {path, path + ".txt"}) {
        for (const bool device : {false, true}) {
            SCOPED_TRACE(at + (device ? " device" : " fifo"));
            std::filesystem::remove(path);
            std::filesystem::remove(path + ".txt");
            // Only the superuser can make a device node.
            if (device && ::geteuid() != 0) continue;
            ASSERT_EQ(device ? ::mknod(at.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) : ::mkfifo(at.c_str(), 0666), 0);
            try {
                Save("NEW", path);
                ADD_FAILURE() << "saved";
            } catch (const plat::ComError& error) {
                EXPECT_EQ(error.Description(), "the results were not saved: '" + at + "' is not a file; " + path +
                                                   " and " + path + ".txt are as they were");
            }
            struct stat info {};
            ASSERT_EQ(::lstat(at.c_str(), &info), 0);
            EXPECT_TRUE(device ? S_ISCHR(info.st_mode) : S_ISFIFO(info.st_mode));
            for (const auto& name : dir.Names()) EXPECT_FALSE(name.ends_with(".tmp")) << name;
        }
    }
}

// A name that fits the folder while the names of the save's temporary files beside it do not:
// the failure names the file that could not be made, not the results.
TEST(HostRunReport, AFailedSaveNamesTheFileItCouldNotMake)
{
    ztesting::TempFolder dir;
    const std::string path = dir.File(std::string(246, 'r'));
    try {
        Save("NEW", path);
        ADD_FAILURE() << "saved";
    } catch (const plat::ComError& error) {
        const std::string temporary = dir.File("." + std::string(246, 'r') + "." + std::to_string(::getpid()) + ".");
        EXPECT_EQ(error.Description().rfind("the results were not saved: '" + temporary, 0), 0u) << error.Description();
        EXPECT_NE(error.Description().find(".tmp': File name too long; "), std::string::npos) << error.Description();
    }
}

// Nothing measured is lost to a lock: while another process keeps the file locked the save
// waits, saying so again and again, and then saves the pair under a name of its own beside it,
// the first one free; the locked file is left as it was.
TEST(HostRunReport, ASaveThatWaitsTooLongSavesUnderANameOfItsOwn)
{
    ztesting::TempFolder dir;
    const std::string path = dir.File("results.xml");
    ztesting::WriteAll(path, "another run's");
    plat::FileLock held(dir.File(".results.xml.lock"));
    // A name of its own that stands already is not taken.
    const std::string taken = host::RunSaveOwnPath(path, ::getpid(), 0);
    EXPECT_EQ(taken, dir.File("results-" + std::to_string(::getpid()) + ".xml"));
    ztesting::WriteAll(taken + ".txt", "a report that stays");
    int firsts = 0;
    int reminders = 0;
    host::RunSaveHooks hooks;
    hooks.wait = std::chrono::milliseconds(150);
    hooks.remindEvery = std::chrono::milliseconds(40);
    hooks.onWait = [&](bool first) { ++(first ? firsts : reminders); };
    const std::string saved =
        host::SaveRunFiles(*RunWith("NEW"), path, host::RunReportHeading{kRunStart, false}, hooks);
    EXPECT_EQ(saved, host::RunSaveOwnPath(path, ::getpid(), 1));
    EXPECT_EQ(RunIn(saved), "NEW");
    EXPECT_EQ(RunIn(saved + ".txt"), "NEW");
    EXPECT_EQ(ztesting::ReadAll(path), "another run's");
    EXPECT_EQ(ztesting::ReadAll(taken + ".txt"), "a report that stays");
    EXPECT_EQ(firsts, 1);
    EXPECT_GE(reminders, 2);
}

// Two technicians save one FILE in a group folder (2775), one after the other and again: each
// save of either succeeds, whatever their umasks made of the files the other left.
TEST(HostRunReport, ColleaguesSaveOneFileInAGroupFolder)
{
    if (!ztesting::CanSwitchUsers()) GTEST_SKIP() << "acting as other users needs the superuser";
    ztesting::TempFolder dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    const std::string folder = dir.File("bench");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(folder.c_str(), 0, ztesting::SharedGroup), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 02775), 0);
    const std::string path = folder + "/results.xml";
    for (const auto& [who, serial] : {std::pair{ztesting::OtherUser, "FIRST"}, {ztesting::ThirdUser, "SECOND"},
                                      {ztesting::OtherUser, "THIRD"}}) {
        SCOPED_TRACE(serial);
        const int status = ztesting::RunAsUser(who, who, 022, [&, serial = serial] {
            try {
                Save(serial, path);
                return 0;
            } catch (const std::exception&) {
                return 1;
            }
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(RunIn(path), serial);
        EXPECT_EQ(RunIn(path + ".txt"), serial);
    }
}

} // namespace
