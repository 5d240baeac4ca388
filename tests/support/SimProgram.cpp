#include "support/SimProgram.h"

#include "support/HostProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace ztesting {

SimProgram::~SimProgram()
{
    CloseInput();
    if (mOutput >= 0) ::close(mOutput);
    if (mPid > 0) {
        ::kill(mPid, SIGTERM);
        Reap(mPid, std::chrono::milliseconds(2000));
    }
}

std::string SimProgram::Path()
{
    return ProgramFolder() + "/zarvik-sim";
}

bool SimProgram::Start(std::vector<std::string> options)
{
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) return false;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    options.insert(options.begin(), Path());
    std::vector<char*> argv;
    for (auto& a : options) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    if (posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ) != 0) mPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    mInput = toChild[1];
    mOutput = fromChild[0];
    return mPid > 0;
}

std::string SimProgram::ReadLine(std::chrono::milliseconds timeout)
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (mOutput >= 0 && !line.ends_with("\n") && std::chrono::steady_clock::now() < deadline) {
        pollfd fd{mOutput, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0) continue;
        char c;
        if (::read(mOutput, &c, 1) != 1) break;
        line.push_back(c);
    }
    return line;
}

std::string SimProgram::ReadUntil(const std::string& text, std::chrono::milliseconds timeout)
{
    std::string read;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const std::string line = ReadLine(left);
        read += line;
        if (line.find(text) != std::string::npos || !line.ends_with("\n")) break;
    }
    return read;
}

bool SimProgram::Tell(const std::string& line)
{
    return mInput >= 0 && ::write(mInput, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

void SimProgram::CloseInput()
{
    if (mInput >= 0) ::close(mInput);
    mInput = -1;
}

bool SimProgram::Exited(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (mPid > 0 && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(mPid, &status, WNOHANG) == mPid) {
            mWaitStatus = status;
            mPid = -1;
            return true;
        }
        ::usleep(5000);
    }
    return mPid <= 0;
}

} // namespace ztesting
