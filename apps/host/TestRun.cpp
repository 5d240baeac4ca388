#include "apps/host/TestRun.h"

#include "apps/host/PersonConsole.h"
#include "apps/host/ServerLibraries.h"

#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestCollection.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "host/report/HostRunReport.h"
#include "host/units/HostMtiSettings.h"
#include "instrument/ZarvikModule.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "operator/recipes/SimulationRecipes.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/base/FileIo.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialPort.h"
#include "simulator/Analyzer.h"
#include "simulator/HandActions.h"
#include "testlib/guide/XMTIData.h"
#include "simulator/SimDevice.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace zhost {

namespace {

constexpr const char* kPlugInProgId = "TelvoZARVIK.CZARVIKPlugIn";
constexpr const char* kModuleKey = zarvik::ModuleKey;
// The name of the built-in simulated analyzer in the port map.
constexpr const char* kSimDevice = "sim";
// How long the operator waits in virtual time, in a window where nothing it knows happens,
// before it gives the test up.
constexpr plat::Millis kSimPatience{120000};

std::optional<int32_t> Integer(const std::string& text)
{
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string CodeText(int32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

// The signals that end an attended run as Ctrl-C does: SIGTERM (a shutdown, kill) and SIGHUP
// (the terminal closed) too. The handler only writes the signal's number; the run reads it.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
int gInterruptPipe[2] = {-1, -1};
volatile sig_atomic_t gHangUpHeldBack = 0;

void WriteSignal(int signal)
{
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] auto written = ::write(gInterruptPipe[1], &byte, 1);
}

// The handler runs with every ending signal blocked, so that the numbers are written in the
// order the signals were taken. Signals that are pending together are handed over by the kernel
// lowest number first, not in the order they were sent: a logout's SIGTERM followed at once by
// SIGHUP would come as SIGHUP first. So a SIGHUP that finds another ending signal pending beside
// it is written after that one, and the first signal sent gives the status.
extern "C" void OnInterrupt(int signal)
{
    const int savedErrno = errno;
    sigset_t pending;
    ::sigemptyset(&pending);
    ::sigpending(&pending);
    if (signal == SIGHUP && (::sigismember(&pending, SIGTERM) == 1 || ::sigismember(&pending, SIGINT) == 1)) {
        gHangUpHeldBack = 1;
    } else {
        WriteSignal(signal);
        if (gHangUpHeldBack) {
            gHangUpHeldBack = 0;
            WriteSignal(SIGHUP);
        }
    }
    errno = savedErrno;
}

// Catches the ending signals while it lives: a run keeps it from its start-up until its results
// are saved, so that no signal kills the process before what was measured is kept. While the
// tests are performed the signals are handed to the run on the event loop (Watch); before and
// after, a signal only records itself until the run takes it (Take). Ending signals that
// whoever started the process had blocked are let through, so that one sent before the run
// could catch it is heard as well; one that it had ignored (nohup ignores SIGHUP) stays ignored.
class InterruptWatch {
public:
    InterruptWatch()
    {
        if (::pipe2(gInterruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            gInterruptPipe[0] = gInterruptPipe[1] = -1;
            return;
        }
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            struct sigaction current {};
            mIgnored[i] = ::sigaction(kEndingSignals[i], nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
        }
        Catch();
        sigset_t ending;
        ::sigemptyset(&ending);
        for (int signal : kEndingSignals) ::sigaddset(&ending, signal);
        ::pthread_sigmask(SIG_UNBLOCK, &ending, &mMask);
    }
    ~InterruptWatch()
    {
        mWatch.Stop();
        if (gInterruptPipe[0] < 0) return;
        Release();
        ::pthread_sigmask(SIG_SETMASK, &mMask, nullptr);
        ::close(gInterruptPipe[0]);
        ::close(gInterruptPipe[1]);
        gInterruptPipe[0] = gInterruptPipe[1] = -1;
        gHangUpHeldBack = 0;
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Hands each signal that arrives to the function, told its number, on the event loop.
    void Watch(std::function<void(int)> onInterrupt)
    {
        if (gInterruptPipe[0] < 0) return;
        mWatch = plat::Loop().WatchFd(gInterruptPipe[0], [this, onInterrupt] {
            for (int signal : Take()) onInterrupt(signal);
        });
    }
    void StopWatching() { mWatch.Stop(); }

    // Puts back what the signals did before, and catches them again.
    void Release()
    {
        if (!mCaught) return;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (!mIgnored[i]) ::sigaction(kEndingSignals[i], &mPrevious[i], nullptr);
        }
        mCaught = false;
    }
    void Catch()
    {
        if (mCaught || gInterruptPipe[0] < 0) return;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        ::sigemptyset(&action.sa_mask);
        for (int signal : kEndingSignals) ::sigaddset(&action.sa_mask, signal);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            if (!mIgnored[i]) ::sigaction(kEndingSignals[i], &action, &mPrevious[i]);
        }
        mCaught = true;
    }

    // The signals that arrived and were not handed on yet, in their order.
    std::vector<int> Take()
    {
        std::vector<int> signals;
        if (gInterruptPipe[0] < 0) return signals;
        char bytes[16];
        ssize_t n = 0;
        while ((n = ::read(gInterruptPipe[0], bytes, sizeof bytes)) > 0) signals.insert(signals.end(), bytes, bytes + n);
        return signals;
    }

private:
    struct sigaction mPrevious[std::size(kEndingSignals)] {};
    bool mIgnored[std::size(kEndingSignals)] {};
    sigset_t mMask {};
    bool mCaught = false;
    plat::FdWatch mWatch;
};

// The folder for temporary files: $TMPDIR when it is set and not empty, else /tmp.
std::filesystem::path TemporaryFolder()
{
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? std::filesystem::path(folder) : std::filesystem::path("/tmp");
}

// Why a step failed, in words.
std::string Reason(const std::exception& error)
{
    if (const auto* com = dynamic_cast<const plat::ComError*>(&error)) return com->Description();
    return error.what();
}

// The scratch folders of runs on the built-in simulated analyzer are named after the process,
// "zarvik-simulated-" + its id + "-" + six random characters, and hold a lock file that the run
// holds locked for its whole life.
constexpr std::string_view kScratchPrefix = "zarvik-simulated-";
constexpr const char* kScratchLock = "lock";

// Removes the scratch folders that runs killed before they could remove their own left behind:
// only those provably abandoned (plat::IsAbandoned). Whether the process of the name still runs
// says nothing: a run of another PID namespace, or of another computer, cannot be seen from here.
void RemoveAbandonedScratchFolders(const std::filesystem::path& temp)
{
    std::error_code error;
    std::filesystem::directory_iterator it(temp, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(kScratchPrefix)) continue;
        const char* first = name.data() + kScratchPrefix.size();
        const char* last = name.data() + name.size();
        long id = 0;
        const auto [end, ec] = std::from_chars(first, last, id);
        if (ec != std::errc() || end == first || end == last || *end != '-' || id <= 0) continue;
        std::error_code ignored;
        if (it->is_symlink(ignored) || !it->is_directory(ignored)) continue;
        const std::string folder = it->path().string();
        if (plat::IsAbandoned(folder, folder + "/" + kScratchLock)) std::filesystem::remove_all(folder, ignored);
    }
}

// The scratch registry cannot be made: found before the first test, and no wrong argument.
class ScratchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A run on the built-in simulated analyzer works on a scratch copy of the registry, in which the
// analyzer identity list holds the simulator alone: the window shows and the results record
// that unit, and whatever the window confirms never reaches the bench's identity list. The
// scratch copy is removed and the registry path put back when the run ends; one that a kill
// left behind goes with the next run on the simulated analyzer.
class SimulatedUnitRegistry {
public:
    SimulatedUnitRegistry()
    {
        mRealPath = plat::Registry().Path();
        const std::filesystem::path temp = TemporaryFolder();
        RemoveAbandonedScratchFolders(temp);
        std::string folder = (temp / (std::string(kScratchPrefix) + std::to_string(::getpid()) + "-XXXXXX")).string();
        if (!::mkdtemp(folder.data()))
            throw ScratchError("cannot make a scratch registry folder in " + temp.string() + ": " + std::strerror(errno));
        mFolder = folder;
        // Whatever fails here fails before the first test, and takes the scratch folder along:
        // a copy cut short (a full disk) is told as what it is, never read as a corrupt registry.
        try {
            mLock.emplace(mFolder + "/" + kScratchLock);
            const std::string scratch = mFolder + "/registry";
            std::error_code error;
            if (std::filesystem::exists(mRealPath, error))
                plat::SaveFileAtomically(scratch, plat::ReadFileBounded(mRealPath, plat::RegistryStore::MaxFileBytes));
            plat::SetRegistryPath(scratch);
            const std::string units = std::string("HKEY_LOCAL_MACHINE\\") + ztest::XMTIData::RegistryKey;
            auto& store = plat::Registry();
            store.Change([&] {
                store.DeleteKey(units);
                store.SetDWord(units, "MRU", 0);
                store.SetString(units + SimulatedUnitType, "Serial", SimulatedUnitSerial);
                store.SetString(units + SimulatedUnitType, "Firmware", SimulatedUnitFirmware);
            });
        } catch (const std::exception& error) {
            const std::string reason = Reason(error);
            plat::SetRegistryPath(mRealPath);
            mLock.reset();
            std::error_code ignored;
            std::filesystem::remove_all(mFolder, ignored);
            throw ScratchError("cannot make the scratch copy of the registry in " + temp.string() + ": " + reason);
        }
    }
    ~SimulatedUnitRegistry()
    {
        plat::SetRegistryPath(mRealPath);
        std::error_code ignored;
        std::filesystem::remove_all(mFolder, ignored);
    }
    SimulatedUnitRegistry(const SimulatedUnitRegistry&) = delete;
    SimulatedUnitRegistry& operator=(const SimulatedUnitRegistry&) = delete;

private:
    std::string mRealPath;
    std::string mFolder;
    // Held until the folder is gone: the folder is a live run's.
    std::optional<plat::FileLock> mLock;
};

std::string Trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// The automatic operator's physical actions: performed on the built-in analyzer, else asked of
// the person at the bench.
void SetUpOperator(zop::Operator& op, const std::shared_ptr<zsim::Analyzer>& analyzer, CommandContext& context)
{
    op.SetLog([&context](const std::string& line) { context.err << line << '\n' << std::flush; });
    if (!analyzer) {
        for (const char* action : {zop::physical::Discharge, zop::physical::Charge, zop::physical::AttachPacemaker,
                                   zop::physical::SetPacemakerOutput, zop::physical::ConnectAdapter}) {
            op.SetPhysical(action, [&context, action](double amount) {
                context.err << "operator: please " << action << " now (" << plat::CStr(amount) << ")\n" << std::flush;
            });
        }
        return;
    }
    op.SetPatience(kSimPatience);
    op.SetPhysical(zop::physical::Discharge, [analyzer, &op](double joules) {
        op.Say("operator: discharges " + plat::CStr(joules) + " J into the analyzer");
        analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
    });
    op.SetPhysical(zop::physical::Charge, [analyzer](double seconds) { analyzer->Charge(seconds); });
    // The pacemaker is attached at the rate (ppm) and output (mA) the operator set.
    auto pacemaker = std::make_shared<zsim::Pacemaker>();
    op.SetPhysical(zop::physical::SetPacemakerOutput, [pacemaker](double mA) { pacemaker->current = mA / 1000.0; });
    op.SetPhysical(zop::physical::ConnectAdapter,
                   [analyzer](double connected) { analyzer->Model().SetAdapterPresent(connected != 0); });
    op.SetPhysical(zop::physical::AttachPacemaker, [analyzer, pacemaker](double rate) {
        if (rate > 0) pacemaker->rate = rate;
        analyzer->AttachPacemaker(*pacemaker);
    });
}

// A bench rehearsal against the built-in analyzer: the person does by typing what the
// instructions ask of the hands, in the words and units zarvik-sim takes.
void AddBenchWords(PersonConsole& console, const std::shared_ptr<zsim::Analyzer>& analyzer)
{
    for (const auto& hand : zsim::HandWords) {
        const std::string word = hand.word;
        console.AddBenchWord({word, hand.arguments, hand.meaning,
                              [analyzer, word](const std::vector<std::string>& args) -> std::string {
                                  std::vector<std::string> words{word};
                                  words.insert(words.end(), args.begin(), args.end());
                                  return zsim::DoHandAction(*analyzer, words).text;
                              }});
    }
}

// Saves the results and the readable report as a pair; false, with what was saved and what was
// not on the error stream, when they cannot both be saved.
bool SaveResults(const host::HostTestSequence& sequence, const std::string& out,
                 std::chrono::system_clock::time_point started, bool builtIn, CommandContext& context)
{
    host::RunSaveHooks hooks;
    hooks.onWait = [&](bool first) {
        if (first) {
            context.err << "zarvik-host: another run is saving " << out << "; waiting until it has\n" << std::flush;
        } else {
            context.err << "zarvik-host: still waiting for another run's save of " << out << "\n" << std::flush;
        }
    };
    std::string saved;
    try {
        saved = host::SaveRunFiles(sequence, out, host::RunReportHeading{started, builtIn}, hooks);
    } catch (const plat::ComError& error) {
        context.err << "zarvik-host: run: " << error.Description() << '\n' << std::flush;
        return false;
    }
    if (saved != out) {
        context.err << "zarvik-host: run: the results were not saved in " << out << ": another run kept saving it for "
                    << host::RunSaveWait.count() << " s; they were saved in " << saved << ", the report in " << saved
                    << ".txt\n"
                    << std::flush;
        return false;
    }
    context.err << "zarvik-host: results saved in " << out << ", the report in " << out << ".txt\n" << std::flush;
    return true;
}

} // namespace

RunArguments ParseRunArguments(const std::vector<std::string>& args)
{
    RunArguments arguments;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--port" || arg == "--device" || arg == "--out" || arg == "--operator") {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            const std::string& value = args[++i];
            if (arg == "--port") {
                auto port = Integer(value);
                if (!port || *port < 1 || *port > HighestPort)
                    throw UsageError("--port needs a port number from 1 to " + std::to_string(HighestPort) + ", not '" +
                                     value + "'");
                arguments.port = *port;
                havePort = true;
            } else if (arg == "--operator") {
                if (value != "person" && value != "auto")
                    throw UsageError("--operator needs person or auto, not '" + value + "'");
                arguments.operatorKind = value == "person" ? OperatorKind::Person : OperatorKind::Auto;
            } else if (value.empty()) {
                throw UsageError(arg + " needs a value");
            } else if (arg == "--device") {
                arguments.device = value;
            } else {
                arguments.out = value;
            }
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') throw UsageError("unknown option '" + arg + "'");
        auto id = Integer(arg);
        if (!id) throw UsageError("'" + arg + "' is no test ID");
        arguments.testIds.push_back(*id);
    }
    if (!havePort) throw UsageError("--port N is required");
    if (arguments.testIds.empty()) throw UsageError("no test ID given");
    return arguments;
}

std::string MeasurementValueText(const plat::Variant& value)
{
    if (value.IsEmpty() || value.IsNull()) return {};
    // A verdict the operator gave: the checklist view checks its "passed" or its "fail" column.
    if (value.Type() == plat::VarType::Boolean) return value.AsBool() ? "passed" : "failed";
    if (value.IsString() && !plat::IsNumericText(value.AsString())) return value.AsString();
    try {
        return plat::CStr(plat::CSng(value));
    } catch (const std::exception&) {
        return plat::CStr(value);
    }
}

bool PrintResults(const host::HostTestSequence& sequence, std::ostream& out)
{
    bool allPassed = sequence.Count() > 0;
    for (const auto& entry : sequence.Entries()) {
        const auto& element = entry.element;
        auto result = element->Result();
        const std::string status = host::HostTestSequence::Outcome(entry);
        if (status != "passed") allPassed = false;
        out << element->TestID() << '\t' << status << '\n';
        if (!result || !entry.performed) continue;
        // A test left not applicable was not rated: its values stand without a verdict, as in
        // the report, where a verdict per value would read as if they had been judged.
        const bool rated = status != "skipped";
        for (int32_t i = 1; i <= result->MeasurementCount(); ++i) {
            auto measurement = result->Measurement(plat::Variant(i));
            if (!measurement) continue;
            const int32_t measurementStatus = measurement->Status();
            out << '\t' << measurement->Key() << '\t' << MeasurementValueText(measurement->value()) << '\t'
                << Trimmed(measurement->Unit()) << '\t'
                << (!rated                   ? ""
                    : measurementStatus == 1 ? "passed"
                    : measurementStatus == 2 ? "failed"
                                             : "not rated")
                << '\n';
        }
    }
    return allPassed;
}

bool RunsOnBuiltInSimulator(int32_t port)
{
    const plat::PortMap::Target target = plat::PortMap::Resolve(port);
    return target.kind == plat::PortMap::Target::Kind::InProcess && target.name == kSimDevice;
}

void CheckDevicePath(const std::string& device)
{
    if (device == kSimDevice) return;
    // A mapped text without "/" names a device under /dev, as the port map reads it.
    const std::string path = device.find('/') == std::string::npos ? "/dev/" + device : device;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        throw UsageError("--device " + device + ": no such device (" + std::strerror(errno) + ")");
    if (!S_ISCHR(status.st_mode)) throw UsageError("--device " + device + ": not a character device");
}

namespace {

// Whether the folder takes a new file, told by making one: its permissions alone say yes to the
// superuser also where no file can be made, as in /proc or /sys. The file has no name
// (O_TMPFILE), so that nothing is left in the folder whatever ends the process; where the folder
// cannot make such a file, a named one is made and removed with the ending signals held back,
// so that none of them ends the process between the two. Gives 0 or the errno.
int TryMakingAFile(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return 0;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
    sigset_t ending;
    sigset_t before;
    ::sigemptyset(&ending);
    for (int signal : kEndingSignals) ::sigaddset(&ending, signal);
    ::pthread_sigmask(SIG_BLOCK, &ending, &before);
    std::string probe = folder + "/.zarvik-check-XXXXXX";
    fd = ::mkstemp(probe.data());
    const int err = fd < 0 ? errno : 0;
    if (fd >= 0) {
        ::close(fd);
        ::unlink(probe.c_str());
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return err;
}

// Whether the process may replace or remove someone else's file in a folder with the sticky bit.
bool MayReplaceOthersFiles()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (::syscall(SYS_capget, &header, data) != 0) return ::geteuid() == 0;
    return (data[0].effective & (1u << CAP_FOWNER)) != 0;
}

} // namespace

void CheckOutFile(const std::string& path)
{
    std::filesystem::path file(path);
    std::string folder = file.parent_path().string();
    if (folder.empty()) folder = ".";
    struct stat folderStatus {};
    if (::stat(folder.c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
        throw UsageError("--out " + path + ": the folder " + folder + " does not exist");
    if (const int err = TryMakingAFile(folder); err != 0)
        throw UsageError("--out " + path + ": the folder " + folder + " cannot be written (" + std::strerror(err) + ")");
    if (!file.has_filename()) throw UsageError("--out " + path + ": is a folder, not a file");
    // The report goes beside the results, and the save replaces both or neither; it replaces
    // only a regular file, and in a folder with the sticky bit (/tmp) only one it may.
    const bool sticky = (folderStatus.st_mode & S_ISVTX) != 0 && folderStatus.st_uid != ::geteuid();
    for (const std::string& target : {path, path + ".txt"}) {
        const std::string what = target == path ? "" : target + ", where the report goes, ";
        struct stat status {};
        if (::stat(target.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode)) throw UsageError("--out " + path + ": " + what + "is a folder, not a file");
            if (!S_ISREG(status.st_mode))
                throw UsageError("--out " + path + ": " + what +
                                 "is not a regular file (a device, a FIFO or a socket), which a save never replaces");
        }
        if (sticky && ::lstat(target.c_str(), &status) == 0 && status.st_uid != ::geteuid() && !MayReplaceOthersFiles())
            throw UsageError("--out " + path + ": " + (what.empty() ? target + " " : what) +
                             "belongs to another user, and the folder " + folder +
                             " lets only its owner replace it");
    }
    // Every name a save makes beside FILE must fit the folder's limit of a name.
    const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    for (const std::string& name : host::RunSaveNames(path)) {
        if (longest > 0 && name.size() > static_cast<std::size_t>(longest))
            throw UsageError("--out " + path + ": the name is too long: a save makes " + std::to_string(name.size()) +
                             "-byte names beside it, and the folder takes names of at most " +
                             std::to_string(longest) + " bytes");
    }
    // The lock that saves of FILE take turns by must be one that can be taken; another run that
    // holds it now is waited for at the end.
    const std::string lockPath = host::RunSaveLockPath(path);
    try {
        plat::FileLock lock(lockPath);
    } catch (const plat::FileError& error) {
        if (error.GetKind() != plat::FileError::Kind::Locked)
            throw UsageError("--out " + path + ": the lock file " + lockPath + " cannot be used: " + error.what());
    }
}

std::shared_ptr<host::IPlugIn> StartPlugIn()
{
    std::shared_ptr<host::IPlugIn> plugIn;
    try {
        plugIn = plat::CreateObjectAs<host::IPlugIn>(kPlugInProgId);
    } catch (const plat::ComError& error) {
        if (error.Number() != plat::rt::ClassNotRegistered) throw;
        std::ostringstream quiet;
        RegisterDeliverables(quiet);
        plugIn = plat::CreateObjectAs<host::IPlugIn>(kPlugInProgId);
    }
    if (!plugIn) throw plat::ComError(plat::rt::TypeMismatch, "zarvik-host", std::string(kPlugInProgId) + " is no plug-in");
    try {
        plugIn->Initialize(std::make_shared<host::HostLoadLog>());
        if (!plugIn->Tests()) throw UsageError("the plug-in has no test catalogue");
    } catch (const plat::ComError& error) {
        throw UsageError("cannot read the test catalogue: error " + CodeText(error.Number()) + ": " + error.Description());
    }
    return plugIn;
}

std::vector<int32_t> CatalogueTestIds(host::IPlugIn& plugIn)
{
    std::vector<int32_t> ids;
    auto tests = plugIn.Tests();
    for (int32_t i = 0; i < tests->Count(); ++i) {
        if (auto test = tests->Item(i)) ids.push_back(test->TestID());
    }
    return ids;
}

int RunTests(const RunArguments& arguments, CommandContext& context, std::shared_ptr<host::IPlugIn> plugIn)
{
    // What can be known wrong before the first test is refused before anything reaches the
    // analyzer.
    if (arguments.device) CheckDevicePath(*arguments.device);
    if (arguments.out) CheckOutFile(*arguments.out);
    // From here until the results are saved no ending signal kills the process.
    InterruptWatch interrupts;
    if (arguments.device) plat::PortMap::SetOverride(arguments.port, *arguments.device);
    plat::SerialPort::CheckFree(arguments.port);
    host::HostMtiSettings::SetPortOverride(kModuleKey, arguments.port);
    // Where the port leads decides, not how it was named: a port the registry maps to "sim" is
    // the built-in analyzer as much as --device sim is.
    const bool builtIn = RunsOnBuiltInSimulator(arguments.port);
    const OperatorKind who = arguments.operatorKind.value_or(builtIn ? OperatorKind::Auto : OperatorKind::Person);
    const bool virtualClock = builtIn && who == OperatorKind::Auto;

    std::shared_ptr<zsim::Analyzer> analyzer;
    if (builtIn) {
        // The automatic operator's run on a virtual clock: waits and count-downs take no real
        // time. A person rehearses on the real clock.
        if (virtualClock) plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeVirtualClock()));
        analyzer = std::make_shared<zsim::Analyzer>();
        zsim::SimDevice::Install(analyzer, kSimDevice);
    }

    if (!plugIn) plugIn = StartPlugIn();
    // Started on the bench's registry (which it may register into), the run on the simulated
    // analyzer then works on the scratch copy.
    std::unique_ptr<SimulatedUnitRegistry> simulatedUnit;
    if (builtIn) {
        try {
            simulatedUnit = std::make_unique<SimulatedUnitRegistry>();
        } catch (const ScratchError& error) {
            context.err << "zarvik-host: run: " << error.what() << '\n' << std::flush;
            return RunUsage;
        }
    }
    auto tests = plugIn->Tests();
    for (int32_t id : arguments.testIds) {
        if (!tests->ItemByTestID(id)) throw UsageError("unknown test ID " + std::to_string(id));
    }
    auto sequence = std::make_shared<host::HostTestSequence>(plugIn);
    for (int32_t id : arguments.testIds) sequence->AddTest(id);

    auto scene = std::make_shared<zop::GuideWindowScene>();
    std::unique_ptr<zop::Operator> op;
    std::unique_ptr<PersonConsole> console;
    // The exit status of a run that was left early: 130 for the end of input and Ctrl-C, 128 +
    // the signal for another signal.
    int interrupted = 0;
    std::function<void()> end;
    if (who == OperatorKind::Auto) {
        op = std::make_unique<zop::Operator>(scene);
        SetUpOperator(*op, analyzer, context);
        sequence->SetBeforePerform([&, builtIn](std::size_t index) {
            const int32_t testId = sequence->Item(index).element->TestID();
            // Against a real analyzer nobody watches the monitor for the operator: a wave gets
            // no verdict, and the test ends not rated.
            if (!builtIn && zop::IsJudgedByEye(testId)) {
                op->ClearRules();
                zop::RecipeBook::AddSharedHabits(*op);
            } else {
                zop::RecipeBook::Standard().Apply(testId, *op);
            }
        });
        end = [&] {
            sequence->RequestStop();
            op->Leave();
        };
    } else {
        console = std::make_unique<PersonConsole>(scene, STDIN_FILENO, context.err);
        if (analyzer) {
            AddBenchWords(*console, analyzer);
            console->SetFixedIdentity(std::string("the rehearsal's analyzer is the simulated one (") +
                                      SimulatedUnitType + ", serial " + SimulatedUnitSerial +
                                      "), whose identity is fixed");
        }
        sequence->SetBeforePerform(
            [&](std::size_t index) { console->BeginTest(sequence->Item(index).element->TestID()); });
        // An aborted test's window closes with the abort, before any outcome could show in it.
        sequence->SetAfterPerform([&](std::size_t index) {
            const auto& entry = sequence->Item(index);
            if (host::HostTestSequence::Outcome(entry) == host::HostTestSequence::OutcomeAborted)
                context.err << "outcome: test " << entry.element->TestID() << ' '
                            << host::HostTestSequence::OutcomeAborted << '\n' << std::flush;
        });
        end = [&] {
            sequence->RequestStop();
            console->Leave();
        };
        // A terminal that closed ends the run as its SIGHUP does, whichever comes first.
        console->SetOnInputEnd([&](bool hungUp) {
            if (interrupted == 0) interrupted = hungUp ? 128 + SIGHUP : RunInterrupted;
            end();
        });
    }

    // Each signal is told once; the first one gives the exit status.
    auto record = [&](int signal, const char* what) {
        if (interrupted == 0) interrupted = 128 + signal;
        context.err << "zarvik-host: interrupted (" << ::strsignal(signal) << ")" << what << '\n' << std::flush;
    };
    // The virtual clock watches no descriptor: there a signal during the tests does what it did
    // before the run, which takes a fraction of a second.
    if (!virtualClock) {
        interrupts.Watch([&](int signal) {
            record(signal, "; stopping the test");
            end();
        });
    }
    // A signal during the start-up ends the run before its first test: nothing is run, and the
    // tests are printed and saved as not run.
    for (int signal : interrupts.Take()) record(signal, " before the first test; no test is run");

    const auto started = std::chrono::system_clock::now();
    if (interrupted == 0) {
        if (virtualClock) interrupts.Release();
        if (op) op->Start();
        if (console) console->Start();
        sequence->Run();
        interrupts.StopWatching();
        interrupts.Catch();
        if (op) op->Stop();
        if (console) console->Stop();
    }

    const bool allPassed = PrintResults(*sequence, context.out);
    context.out.flush();
    const bool saved = !arguments.out || SaveResults(*sequence, *arguments.out, started, builtIn, context);
    simulatedUnit.reset();
    // A signal after the tests only records itself: the run ends as it would have.
    for (int signal : interrupts.Take()) record(signal, " after the tests; the run ended first");
    if (!saved) return RunSaveFailed;
    if (interrupted != 0) return interrupted;
    return allPassed ? RunAllPassed : RunNotAllPassed;
}

} // namespace zhost
