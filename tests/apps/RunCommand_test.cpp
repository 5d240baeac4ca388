// zarvik-host run and session: test elements performed as one sequence with the automatic
// operator, against the built-in simulated analyzer on a virtual clock, and against zarvik-sim
// on a pseudo-terminal on the real clock. The person's console has tests of its own
// (AttendedRun_test.cpp).
#include "support/HostProgram.h"
#include "support/SimProgram.h"
#include "support/WithoutPrivileges.h"

#include "platform/base/FileIo.h"
#include "platform/base/RegistryStore.h"
#include "platform/serial/PortMap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <cstring>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class RunCommand : public ::testing::Test {
protected:
    RunCommand() { mHost.SetLeadingArguments({"--registry", mDir + "/registry"}); }
    Outcome Host(std::vector<std::string> args) { return mHost.Run(std::move(args)); }

    // Starts a run of test 100 on zarvik-sim's terminal with the automatic operator and waits
    // until the operator asks the person to discharge (the run is then polling for data); the
    // run's id, or -1.
    pid_t StartUntilTheDischargePrompt(std::vector<std::string> testIds)
    {
        if (!mSim.Start({})) return -1;
        std::string path = mSim.ReadLine(5s);
        if (!path.ends_with("\n")) return -1;
        path.pop_back();
        std::vector<std::string> args{"run", "--port", "1", "--device", path, "--operator", "auto"};
        args.insert(args.end(), testIds.begin(), testIds.end());
        const pid_t pid = mHost.Start(args);
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (ReadFile(mHost.File("stderr")).find("please discharge now") == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || Ended(pid)) return pid;
            std::this_thread::sleep_for(20ms);
        }
        return pid;
    }

    static bool Ended(pid_t pid) { return ztesting::HasEnded(pid); }

    ztesting::HostProgram mHost{"zarvik-run-command", "env-registry"};
    const std::string mDir = mHost.Folder();
    ztesting::SimProgram mSim;
};

TEST_F(RunCommand, PrintsARatedEnergyResultOfTheBuiltInSimulator)
{
    const auto started = std::chrono::steady_clock::now();
    Outcome run = Host({"run", "--port", "1", "--device", "sim", "--out", mDir + "/results.xml", "100"});
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "100\tpassed\n"
                       "\tENGY\t100\tJ\tpassed\n"
                       "\tPEAV\t1414\tV\tpassed\n"
                       "\tPEAC\t28.3\tA\tpassed\n"
                       "\tPULW\t5\tms\tpassed\n");
    // The operator says what it sees and does.
    EXPECT_NE(run.err.find("instruction: Defibrillate Now\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("operator: discharges 100 J into the analyzer\n"), std::string::npos) << run.err;
    // Virtual time: the 500 ms polls cost nothing (generous bound for loaded machines).
    EXPECT_LT(took, 10s);

    // The result document keeps captions as language-ID texts; the report is beside it.
    const std::string saved = ReadFile(mDir + "/results.xml");
    EXPECT_NE(saved.find("<TestSequence"), std::string::npos);
    EXPECT_NE(saved.find("20120::Energy"), std::string::npos) << saved;
    // Measured on the simulated analyzer, and recorded so.
    EXPECT_NE(saved.find("Type=\"ZARVIK\" Serial=\"SIMULATED\""), std::string::npos) << saved;
    // The readable report says when, with what and on what the test ran, and how it ended.
    const std::string report = ReadFile(mDir + "/results.xml.txt");
    EXPECT_TRUE(std::regex_search(report, std::regex("^Test run of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC\n"
                                                     "Analyzer: ZARVIK, serial number SIMULATED, firmware SIMULATED\n"
                                                     "The results come from the built-in simulated analyzer")))
        << report;
    EXPECT_NE(report.find("Energy measurement\nOutcome: passed\n"), std::string::npos) << report;
}

// The tests the operator judges store a verdict: printed as the checklist view shows it, by
// the column it checks, never as the number behind it.
TEST_F(RunCommand, PrintsTheOperatorsVerdictAsTheChecklistShowsIt)
{
    auto run = Host({"run", "--port", "1", "--device", "sim", "400", "500", "600", "1100"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "400\tpassed\n\tNSW\tpassed\t\tpassed\n"
                       "500\tpassed\n\tARR\tpassed\t\tpassed\n"
                       "600\tpassed\n\tPERF\tpassed\t\tpassed\n"
                       "1100\tpassed\n\tECGR\tpassed\t\tpassed\n");
}

TEST_F(RunCommand, RefusesWrongArgumentsWithAClearMessage)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    std::filesystem::create_directory(mDir + "/taken.xml.txt");
    const Case cases[] = {
        {{"run", "--port", "1", "--device", "sim", "4242"}, "unknown test ID 4242"},
        {{"run", "--port", "1", "--fast", "100"}, "unknown option '--fast'"},
        {{"run", "--port", "1", "--device", "sim"}, "no test ID given"},
        {{"run", "--device", "sim", "100"}, "--port N is required"},
        {{"run", "--port", "1", "energy"}, "'energy' is no test ID"},
        {{"session", "--port", "1"}, "unexpected argument '--port'"},
        {{"run", "--port", "0", "--device", "sim", "100"}, "--port needs a port number from 1 to 32767, not '0'"},
        // A port number the serial port and the instrument query cannot take.
        {{"run", "--port", "40000", "--device", "sim", "100"}, "--port needs a port number from 1 to 32767, not '40000'"},
        {{"run", "--port", "1", "--device", "sim", "--operator", "robot", "100"},
         "--operator needs person or auto, not 'robot'"},
        {{"run", "--port", "1", "--device", "sim", "--operator"}, "--operator needs a value"},
        // What would fail only after the test is refused before it: the result file's folder
        // and the device path.
        {{"run", "--port", "1", "--device", "sim", "--out", "/no/such/dir/x.xml", "100"},
         "--out /no/such/dir/x.xml: the folder /no/such/dir does not exist"},
        // A folder that takes no file, whatever its permissions say to the superuser.
        {{"run", "--port", "1", "--device", "sim", "--out", "/proc/x.xml", "100"},
         "--out /proc/x.xml: the folder /proc cannot be written"},
        // The report goes beside the results, and is checked as they are.
        {{"run", "--port", "1", "--device", "sim", "--out", mDir + "/taken.xml", "100"},
         "taken.xml.txt, where the report goes, is a folder, not a file"},
        {{"run", "--port", "1", "--device", "/dev/pts/999999", "100"}, "--device /dev/pts/999999: no such device"},
        {{"run", "--port", "1", "--device", "/etc/hostname", "100"}, "--device /etc/hostname: not a character device"},
        {{"probe", "--port", "1", "--device", "/dev/pts/999999"}, "--device /dev/pts/999999: no such device"},
        {{"send", "--port", "1", "--device", "/no/such/tty", "LOC"}, "--device /no/such/tty: no such device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Outcome run = Host(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// The names in the folder with what each is (its mode and inode), to show that a refused run left
// it as it was.
std::map<std::string, std::pair<mode_t, ino_t>> Contents(const std::string& folder)
{
    std::map<std::string, std::pair<mode_t, ino_t>> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat info {};
        ::lstat(entry.path().c_str(), &info);
        contents[entry.path().filename().string()] = {info.st_mode, info.st_ino};
    }
    return contents;
}

// An --out that the save could never write is a usage error before anything reaches the
// analyzer, and what stands there is left untouched: FILE or FILE.txt that is no regular file (a
// FIFO another program reads, a device node), a lock file that is a folder, a link, a FIFO or a
// device, and a name so long that the names a save makes beside it exceed the folder's limit.
TEST_F(RunCommand, AnOutTheSaveCouldNeverWriteIsRefusedBeforeTheFirstTest)
{
    const bool root = ::geteuid() == 0;
    auto fifo = [](const std::string& path) { return ::mkfifo(path.c_str(), 0666) == 0; };
    auto device = [](const std::string& path) { return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0; };
    auto folder = [](const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; };
    auto link = [](const std::string& path) { return ::symlink("elsewhere", path.c_str()) == 0; };
    const std::string notRegular = "is not a regular file (a device, a FIFO or a socket), which a save never replaces";
    const std::string badLock = "the lock file ";
    struct Case {
        std::string name;      // FILE's name
        std::string at;        // what is made, beside FILE
        std::function<bool(const std::string&)> make;
        std::string message;
        bool needsRoot = false;
    };
    const std::string longName(240, 'r');
    const Case cases[] = {
        {"results.xml", "results.xml", fifo, ": " + notRegular},
        {"results.xml", "results.xml.txt", fifo, "results.xml.txt, where the report goes, " + notRegular},
        {"results.xml", "results.xml", device, ": " + notRegular, true},
        {"results.xml", "results.xml.txt", device, "where the report goes, " + notRegular, true},
        {"results.xml", ".results.xml.lock", folder, badLock},
        {"results.xml", ".results.xml.lock", link, badLock},
        {"results.xml", ".results.xml.lock", fifo, badLock},
        {"results.xml", ".results.xml.lock", device, badLock, true},
        {longName, "", nullptr, ": the name is too long: a save makes "},
    };
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at + ": " + c.message);
        if (c.needsRoot && !root) continue;
        const std::string dir = mDir + "/case" + std::to_string(index++);
        ASSERT_TRUE(std::filesystem::create_directory(dir));
        if (c.make) {
            ASSERT_TRUE(c.make(dir + "/" + c.at));
        }
        const auto before = Contents(dir);
        const std::string out = dir + "/" + c.name;
        Outcome run = Host({"run", "--port", "1", "--device", "sim", "--out", out, "100"});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("run: --out " + out + ":"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Contents(dir), before);
    }
}

// The check of --out leaves nothing in the results folder: a run leaves its pair and the lock
// file, a refused one nothing of the check, and a run killed at any moment of its start-up
// nothing either. Where the folder cannot make a file without a name (a filesystem without
// O_TMPFILE) the check's named file goes as well.
TEST_F(RunCommand, TheCheckOfOutLeavesNothingInTheFolder)
{
    const std::string dir = mDir + "/out";
    std::filesystem::create_directory(dir);
    Outcome run = Host({"run", "--port", "1", "--device", "sim", "--out", dir + "/results.xml", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    auto names = [&] {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) found.insert(entry.path().filename());
        return found;
    };
    const std::set<std::string> pair{".results.xml.lock", "results.xml", "results.xml.txt"};
    EXPECT_EQ(names(), pair);
    // Refused after the check: the test ID is unknown.
    run = Host({"run", "--port", "1", "--device", "sim", "--out", dir + "/other.xml", "4242"});
    EXPECT_EQ(run.status, 2);
    std::set<std::string> expected = pair;
    expected.insert(".other.xml.lock");
    EXPECT_EQ(names(), expected);
    for (int delay = 0; delay < 12; ++delay) {
        const pid_t pid = mHost.Start({"run", "--port", "1", "--device", "sim", "--out", dir + "/results.xml", "100"});
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        ::kill(pid, SIGKILL);
        mHost.Finish(pid);
        for (const auto& name : names()) {
            EXPECT_FALSE(name.starts_with(".zarvik-check")) << name;
        }
    }

    if (::geteuid() != 0) GTEST_SKIP() << "mounting a filesystem without O_TMPFILE needs the superuser";
    // A message-queue filesystem makes named files but none without a name.
    const std::string queues = mDir + "/queues";
    std::filesystem::create_directory(queues);
    ztesting::HostProgram elsewhere{"zarvik-run-queues"};
    elsewhere.SetLeadingArguments({"--registry", mDir + "/registry"});
    // A message-queue filesystem of its own: that of a new IPC namespace.
    elsewhere.SetLauncher({"unshare", "--mount", "--ipc", "sh", "-c",
                           "mount -t mqueue none \"$0\" || exit 99; \"$@\"; status=$?; ls -A \"$0\" >&2; exit $status",
                           queues});
    run = elsewhere.Run({"run", "--port", "1", "--device", "sim", "--out", queues + "/results.xml", "4242"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("unknown test ID 4242"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".zarvik-check"), std::string::npos) << run.err;
}

// $TMPDIR set but empty means /tmp, as it does for every program.
TEST_F(RunCommand, AnEmptyTmpdirMeansTmp)
{
    ztesting::HostProgram emptyTmpdir{"zarvik-run-tmpdir"};
    emptyTmpdir.SetLeadingArguments({"--registry", mDir + "/registry"});
    emptyTmpdir.SetLauncher({"env", "TMPDIR="});
    Outcome run = emptyTmpdir.Run({"run", "--port", "1", "--device", "sim", "100"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n", 0), 0u) << run.out;
}

// A temporary folder too full for the scratch copy of the registry fails the run before its
// first test with the reason, a full disk, never as a corrupt registry or as "not every test
// passed", and the scratch folder goes.
TEST_F(RunCommand, AFullTemporaryFolderIsToldAndLeavesNoScratchFolder)
{
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small filesystem needs the superuser";
    plat::RegistryStore(mDir + "/registry").SetString("HKEY_CURRENT_USER\\Software\\Padding", "Text",
                                                      std::string(300000, 'p'));
    const std::string temp = mDir + "/small";
    std::filesystem::create_directory(temp);
    ztesting::HostProgram full{"zarvik-run-full"};
    full.SetLeadingArguments({"--registry", mDir + "/registry"});
    full.SetLauncher({"unshare", "--mount", "sh", "-c",
                      "mount -t tmpfs -o size=64k none \"$0\" || exit 99; TMPDIR=\"$0\" \"$@\"; status=$?; "
                      "echo left:; ls -A \"$0\"; exit $status",
                      temp});
    Outcome run = full.Run({"run", "--port", "1", "--device", "sim", "--out", mDir + "/results.xml", "100"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("cannot make the scratch copy of the registry in " + temp), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("corrupt"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "left:\n");
}

// Runs as other users (real user ids, as the superuser can start them): another user's FILE in
// a sticky folder (/tmp) and a lock file that cannot be opened are usage errors before the first
// test, since the save could never replace or lock them; a colleague's FILE and lock file in a
// group folder (2775) are saved over.
TEST_F(RunCommand, AnotherUsersFilesAreCheckedAsTheSaveWouldMeetThem)
{
    if (!ztesting::CanSwitchUsers()) GTEST_SKIP() << "acting as other users needs the superuser";
    ztesting::HostProgram colleague{"zarvik-run-colleague"};
    ASSERT_EQ(::chmod(colleague.Folder().c_str(), 0777), 0);
    colleague.SetLeadingArguments({"--registry", colleague.File("registry")});
    colleague.SetLauncher(ztesting::AsUserLauncher(ztesting::OtherUser, ztesting::OtherUser));
    auto folderOf = [&](const std::string& name, mode_t mode) {
        const std::string folder = colleague.File(name);
        EXPECT_EQ(::mkdir(folder.c_str(), 0700), 0);
        EXPECT_EQ(::chown(folder.c_str(), 0, ztesting::SharedGroup), 0);
        EXPECT_EQ(::chmod(folder.c_str(), mode), 0);
        return folder;
    };
    auto plant = [](const std::string& path, mode_t mode) {
        ztesting::WriteAll(path, "the third user's");
        EXPECT_EQ(::chown(path.c_str(), ztesting::ThirdUser, ztesting::ThirdUser), 0);
        EXPECT_EQ(::chmod(path.c_str(), mode), 0);
    };
    const std::string sticky = folderOf("tmp", 01777);
    const std::string group = folderOf("bench", 02775);
    struct Case {
        std::string planted;
        mode_t mode;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {sticky + "/a.xml", 0666, 2, "--out " + sticky + "/a.xml: " + sticky + "/a.xml belongs to another user"},
        {sticky + "/b.xml.txt", 0666, 2, "b.xml.txt, where the report goes, belongs to another user"},
        {sticky + "/.c.xml.lock", 0600, 2, "--out " + sticky + "/c.xml: the lock file " + sticky + "/.c.xml.lock"},
        {group + "/.d.xml.lock", 0644, 0, "results saved in " + group + "/d.xml"},
        {group + "/e.xml", 0644, 0, "results saved in " + group + "/e.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.planted);
        plant(c.planted, c.mode);
        std::string out = c.planted;
        for (const char* suffix : {".txt", ".lock"}) {
            if (out.ends_with(suffix)) out.resize(out.size() - std::strlen(suffix));
        }
        if (const auto slash = out.rfind("/."); slash != std::string::npos) out.erase(slash + 1, 1);
        Outcome run = colleague.Run({"run", "--port", "1", "--device", "sim", "--out", out, "100"});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        if (c.status == 2) {
            EXPECT_EQ(ztesting::ReadAll(c.planted), "the third user's");
        } else {
            EXPECT_NE(ztesting::ReadAll(out).find("TestID=\"100\""), std::string::npos);
        }
    }
}

// A port that the registry maps to the built-in analyzer is the built-in analyzer, with its
// virtual clock and the automatic operator, as --device sim is.
TEST_F(RunCommand, APortTheRegistryMapsToTheSimulatorRunsOnTheVirtualClock)
{
    plat::RegistryStore(mDir + "/registry").SetString(plat::PortMap::RegistryKey, "1", "sim");
    const auto started = std::chrono::steady_clock::now();
    // The battery test's phases and idle minute last over ten minutes on a real clock.
    Outcome run = Host({"run", "--port", "1", "100", "900"});
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^100\tpassed\n\tENGY\t100\tJ\tpassed\n"))) << run.out;
    EXPECT_NE(run.out.find("900\tpassed\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("operator: discharges 100 J into the analyzer\n"), std::string::npos) << run.err;
    // Generous for a loaded machine or a sanitizer build, and still far below the real clock.
    EXPECT_LT(took, 60s);
}

// Makes the file or folder look unchanged for two hours.
void Age(const std::string& path)
{
    const timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// The id of a process that has ended, as a process of another PID namespace looks from here.
pid_t GoneProcess()
{
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    EXPECT_EQ(ztesting::Reap(gone, 5s), 0);
    return gone;
}

// A run on the simulated analyzer works on a scratch registry in the temporary folder; one that
// a killed run left behind goes with the next such run once it is provably abandoned: the
// user's own, unchanged for long and not locked by its run, which holds the lock for its life.
// Whether the process of the name runs is not asked.
TEST_F(RunCommand, ARunOnTheSimulatorRemovesOnlyAbandonedScratchFolders)
{
    const std::string gone = std::to_string(GoneProcess());
    const std::string abandoned = mHost.File("zarvik-simulated-" + gone + "-AbC123");
    const std::string unlocked = mHost.File("zarvik-simulated-" + gone + "-AbC124"); // its run ended, lock left
    const std::string running = mHost.File("zarvik-simulated-" + gone + "-XyZ789");  // a live run elsewhere
    const std::string young = mHost.File("zarvik-simulated-" + gone + "-New001");    // a run just starting
    const std::string foreign = mHost.File("zarvik-simulated-" + gone + "-Usr002");  // another user's
    for (const auto& folder : {abandoned, unlocked, running, young, foreign})
        std::filesystem::create_directories(folder + "/inside");
    for (const auto& folder : {unlocked, running}) ztesting::WriteAll(folder + "/lock", "");
    plat::FileLock live(running + "/lock");
    // Only the superuser can give a folder away; for anyone else it stays their own.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
    }
    for (const auto& folder : {abandoned, unlocked, running, foreign}) Age(folder);

    Outcome run = Host({"run", "--port", "1", "--device", "sim", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_FALSE(std::filesystem::exists(unlocked));
    EXPECT_TRUE(std::filesystem::exists(running + "/inside"));
    EXPECT_TRUE(std::filesystem::exists(young + "/inside"));
    EXPECT_EQ(std::filesystem::exists(foreign + "/inside"), root);
    // The run's own scratch folder went at its end.
    std::set<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(mHost.Folder())) {
        if (entry.path().filename().string().starts_with("zarvik-simulated-")) left.insert(entry.path().string());
    }
    std::set<std::string> kept{running, young};
    if (root) kept.insert(foreign);
    EXPECT_EQ(left, kept);
}

// Two bench PCs on a network home, or two containers on one folder: a run in another PID
// namespace sees none of this one's processes, and still leaves alone a save of the registry in
// progress here and the scratch folder of a rehearsal running here, however long unchanged,
// while it removes what is abandoned.
TEST_F(RunCommand, ARunInAnotherPidNamespaceRemovesNothingInUse)
{
    if (::geteuid() != 0) GTEST_SKIP() << "a new PID namespace needs the superuser";
    if (std::system("unshare --pid --fork --mount-proc true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "unshare --pid --fork --mount-proc does not work here";
    const pid_t rehearsal =
        mHost.StartAttended({"run", "--port", "1", "--device", "sim", "--operator", "person", "100"});
    ASSERT_NE(mHost.WaitForError("buttons: start", rehearsal), std::string::npos) << mHost.ErrorText();
    std::string scratch;
    for (const auto& entry : std::filesystem::directory_iterator(mHost.Folder())) {
        if (entry.path().filename().string().starts_with("zarvik-simulated-")) scratch = entry.path().string();
    }
    ASSERT_FALSE(scratch.empty());
    // This process saving the registry, and what killed runs left.
    const std::string gone = std::to_string(GoneProcess());
    const std::string saving = mHost.File(".registry." + std::to_string(::getpid()) + ".0.tmp");
    const std::string abandonedTemp = mHost.File(".registry." + gone + ".0.tmp");
    const std::string abandonedFolder = mHost.File("zarvik-simulated-" + gone + "-Gone01");
    for (const auto& temp : {saving, abandonedTemp}) ztesting::WriteAll(temp, "partial");
    std::filesystem::create_directories(abandonedFolder + "/inside");
    plat::FileLock save(saving);
    for (const auto& path : {saving, abandonedTemp, scratch, abandonedFolder}) Age(path);

    ztesting::HostProgram elsewhere{"zarvik-run-elsewhere"};
    elsewhere.SetLeadingArguments({"--registry", mDir + "/registry"});
    elsewhere.SetLauncher({"env", "TMPDIR=" + mHost.Folder(), "unshare", "--pid", "--fork", "--mount-proc"});
    Outcome run = elsewhere.Run({"run", "--port", "1", "--device", "sim", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(saving));
    EXPECT_TRUE(std::filesystem::exists(scratch + "/registry"));
    EXPECT_FALSE(std::filesystem::exists(abandonedTemp));
    EXPECT_FALSE(std::filesystem::exists(abandonedFolder));

    // The rehearsal goes on.
    mHost.Type("skip");
    Outcome rehearsed = mHost.Finish(rehearsal);
    EXPECT_EQ(rehearsed.status, 1) << rehearsed.err;
    EXPECT_EQ(rehearsed.out, "100\tskipped\n") << rehearsed.err;
    EXPECT_FALSE(std::filesystem::exists(scratch));
}

// Against a real analyzer nobody watches the monitor for the automatic operator: the wave is
// held and the test ends not rated, never passed.
TEST_F(RunCommand, TheAutomaticOperatorNeverRatesAWaveOnARealAnalyzer)
{
    ASSERT_TRUE(mSim.Start({}));
    std::string path = mSim.ReadLine(5s);
    ASSERT_TRUE(path.ends_with("\n"));
    path.pop_back();
    // The hold of the normal-sinus test is 7 s of the real clock.
    Outcome run = mHost.Finish(mHost.Start({"run", "--port", "1", "--device", path, "--operator", "auto", "400"}), 30s);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "400\tnot rated\n\tNSW\t\t\tnot rated\n") << run.err;
    EXPECT_EQ(run.err.find("judges"), std::string::npos) << run.err;
}

TEST_F(RunCommand, SessionRunsTheCatalogueAgainstTheSimulator)
{
    Outcome session = Host({"session", "--out", mDir + "/session.xml"});
    ASSERT_EQ(session.status, 0) << session.err;
    EXPECT_TRUE(std::regex_search(session.out, std::regex("^100\tpassed\n"))) << session.out;
    EXPECT_NE(ReadFile(mDir + "/session.xml.txt"), "");
}

// The real clock over a pseudo-terminal: the operator presses the buttons and a person (the
// simulator's "discharge" input) discharges once the run asks for it.
TEST_F(RunCommand, APersonsDischargeCompletesARunOverAPseudoTerminal)
{
    const pid_t pid = StartUntilTheDischargePrompt({"100"});
    ASSERT_GT(pid, 0);
    // The person shocks again until the run has its data (a discharge the analyzer takes
    // before the run's mode command is not this run's).
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!Ended(pid) && std::chrono::steady_clock::now() < deadline && mSim.Tell("discharge 150\n")) {
        for (int i = 0; i < 25 && !Ended(pid); ++i) std::this_thread::sleep_for(20ms);
    }
    Outcome run = mHost.Finish(pid, 5s);
    // 150 J against a preset of 100 J (85 J to 115 J) fails.
    EXPECT_EQ(run.status, 1) << run.err << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^100\tfailed\n\tENGY\t150\tJ\tfailed\n"))) << run.out;
    EXPECT_NE(run.err.find("please discharge now"), std::string::npos) << run.err;
}

// Ctrl-C in the poll: the automatic operator stops the test in hand and leaves it with Next,
// never aborting it: the test ends not rated, the one after it is not run.
TEST_F(RunCommand, CtrlCEndsTheSequenceCleanly)
{
    const pid_t pid = StartUntilTheDischargePrompt({"100", "100"});
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGINT);
    Outcome run = mHost.Finish(pid, 20s);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(run.out.rfind("100\tnot rated\n\tENGY\t\tJ\tnot rated\n", 0), 0u) << run.out;
    EXPECT_TRUE(run.out.ends_with("\n100\tnot run\n")) << run.out;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("operator: presses Next"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Abort"), std::string::npos) << run.err;
}

} // namespace
