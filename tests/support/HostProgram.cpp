#include "support/HostProgram.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace ztesting {

std::string ProgramFolder()
{
    const char* binDir = std::getenv("ZARVIK_BIN_DIR");
    return binDir && *binDir ? binDir : ZARVIK_LIBRARY_DIR "/../bin";
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int Reap(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "child " << pid << " did not end in time";
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        ::usleep(2000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

HostProgram::HostProgram(const std::string& folderPrefix, const std::string& environmentRegistry)
    : mFolder(folderPrefix), mProgram(ProgramFolder() + "/zarvik-host"),
      mEnvironmentRegistry(mFolder.File(environmentRegistry))
{
}

HostProgram::~HostProgram()
{
    HangUp();
}

bool HasEnded(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

bool HasLoaded(pid_t pid, const std::string& library)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.ends_with("/" + library)) return true;
    }
    return false;
}

long PeakMemoryKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

pid_t HostProgram::StartAttended(std::vector<std::string> arguments, Input input)
{
    HangUp();
    // A run that ended early must fail the test, not kill it with SIGPIPE at the next line.
    ::signal(SIGPIPE, SIG_IGN);
    if (input != Input::Pipe) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        const char* name = master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 ? ::ptsname(master) : nullptr;
        if (!name) {
            if (master >= 0) ::close(master);
            ADD_FAILURE() << "cannot make the input terminal";
            return -1;
        }
        const std::string path = name;
        // The person's typing is not echoed back to the test, which would have to read it.
        const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        if (slave >= 0 && ::tcgetattr(slave, &settings) == 0) {
            settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
            ::tcsetattr(slave, TCSANOW, &settings);
        }
        mInput = master;
        mTerminal = true;
        if (input == Input::Terminal) {
            if (slave >= 0) ::close(slave);
            return StartOnTerminal(std::move(arguments), path);
        }
        // Opened here without becoming anyone's controlling terminal, and handed on as it is.
        const pid_t pid = Start(std::move(arguments), slave);
        if (slave >= 0) ::close(slave);
        return pid;
    }
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot make the input pipe";
        return -1;
    }
    const pid_t pid = Start(std::move(arguments), pipeFds[0]);
    ::close(pipeFds[0]);
    mInput = pipeFds[1];
    return pid;
}

bool HostProgram::Type(const std::string& line) const
{
    return Paste({line});
}

bool HostProgram::Paste(const std::vector<std::string>& lines) const
{
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return Send(text);
}

bool HostProgram::Send(const std::string& bytes) const
{
    return mInput >= 0 && ::write(mInput, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void HostProgram::EndInput()
{
    if (mTerminal && mInput >= 0) {
        // Ctrl-D at the start of a line ends a terminal's input; the terminal stays open.
        [[maybe_unused]] auto written = ::write(mInput, "\x04", 1);
        return;
    }
    if (mInput >= 0) ::close(mInput);
    mInput = -1;
}

void HostProgram::HangUp()
{
    if (mInput >= 0) ::close(mInput);
    mInput = -1;
    mTerminal = false;
}

std::size_t HostProgram::WaitForError(const std::string& text, pid_t pid, std::size_t from,
                                      std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // Read before looking at the end, so that what a run wrote just before it ended counts.
        const bool ended = pid > 0 && HasEnded(pid);
        const std::string err = ErrorText();
        const auto at = from <= err.size() ? err.find(text, from) : std::string::npos;
        if (at != std::string::npos) return at + text.size();
        if (ended || std::chrono::steady_clock::now() > deadline) return std::string::npos;
        ::usleep(10000);
    }
}

pid_t HostProgram::Start(std::vector<std::string> arguments, int input) const
{
    return Spawn(std::move(arguments), input, {});
}

pid_t HostProgram::StartOnTerminal(std::vector<std::string> arguments, const std::string& terminalPath) const
{
    return Spawn(std::move(arguments), -1, terminalPath);
}

pid_t HostProgram::Spawn(std::vector<std::string> arguments, int input, const std::string& terminalPath) const
{
    // The environment of this process, with its registry and its temporary folder replaced by
    // the folder's, so that nothing a run leaves outlives the test.
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("ZARVIK_REGISTRY=", 0) != 0 && entry.rfind("TMPDIR=", 0) != 0) env.push_back(entry);
    }
    env.push_back("ZARVIK_REGISTRY=" + mEnvironmentRegistry);
    env.push_back("TMPDIR=" + Folder());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    arguments.insert(arguments.begin(), mLeadingArguments.begin(), mLeadingArguments.end());
    arguments.insert(arguments.begin(), mProgram);
    arguments.insert(arguments.begin(), mLauncher.begin(), mLauncher.end());
    std::vector<char*> argv;
    for (auto& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);

    const std::string outPath = File("stdout");
    const std::string errPath = File("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (!terminalPath.empty()) {
        // A session of its own, in which the terminal opened first becomes the controlling one.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        posix_spawn_file_actions_addopen(&actions, 0, terminalPath.c_str(), O_RDWR, 0);
    } else if (input >= 0) {
        posix_spawn_file_actions_adddup2(&actions, input, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    for (int fd : mClosed) posix_spawn_file_actions_addclose(&actions, fd);
    pid_t pid = -1;
    const int spawned = mLauncher.empty()
                            ? posix_spawn(&pid, mProgram.c_str(), &actions, &attributes, argv.data(), envp.data())
                            : posix_spawnp(&pid, mLauncher[0].c_str(), &actions, &attributes, argv.data(), envp.data());
    if (spawned != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (pid <= 0) ADD_FAILURE() << "cannot run " << mProgram;
    return pid;
}

ProgramOutcome HostProgram::Finish(pid_t pid, std::chrono::milliseconds timeout) const
{
    ProgramOutcome outcome;
    if (pid <= 0) return outcome;
    outcome.status = Reap(pid, timeout);
    outcome.out = ReadAll(File("stdout"));
    outcome.err = ReadAll(File("stderr"));
    return outcome;
}

} // namespace ztesting
