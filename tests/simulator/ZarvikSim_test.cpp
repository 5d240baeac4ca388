// The zarvik-sim program: serves the analyzer on a pseudo-terminal whose path it prints, takes
// the device under test's actions on its standard input and ends when that input ends.
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialPort.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

class SimProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* binDir = std::getenv("ZARVIK_BIN_DIR");
        const std::string program = std::string(binDir ? binDir : ".") + "/zarvik-sim";
        if (!std::filesystem::exists(program)) GTEST_SKIP() << "no " << program;

        int toChild[2];
        int fromChild[2];
        ASSERT_EQ(::pipe2(toChild, O_CLOEXEC), 0);
        ASSERT_EQ(::pipe2(fromChild, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--delay"), const_cast<char*>("1"), nullptr};
        ASSERT_EQ(posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(toChild[0]);
        ::close(fromChild[1]);
        input = toChild[1];
        output = fromChild[0];

        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
    }

    void TearDown() override
    {
        if (input >= 0) ::close(input);
        if (output >= 0) ::close(output);
        if (child > 0 && !Exited(2000ms)) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
        }
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    std::string ReadLine(std::chrono::milliseconds timeout)
    {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!line.ends_with("\n") && std::chrono::steady_clock::now() < deadline) {
            pollfd fd{output, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0) continue;
            char c;
            if (::read(output, &c, 1) != 1) break;
            line.push_back(c);
        }
        return line;
    }

    bool Exited(std::chrono::milliseconds timeout)
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) == child) {
                exitStatus = status;
                child = -1;
                return true;
            }
            ::usleep(5000);
        }
        return false;
    }

    void Tell(const std::string& line) { ASSERT_EQ(::write(input, line.data(), line.size()), static_cast<ssize_t>(line.size())); }

    pid_t child = -1;
    int input = -1;
    int output = -1;
    int exitStatus = -1;
};

TEST_F(SimProgram, ServesTheAnalyzerOnThePrintedTerminalUntilItsInputEnds)
{
    std::string path = ReadLine(5000ms);
    ASSERT_TRUE(path.ends_with("\n")) << "no path printed";
    path.pop_back();
    plat::PortMap::SetOverride(41, path);

    plat::SerialPort port;
    port.SetCommPort(41);
    port.SetPortOpen(true);
    auto exchange = [&](const std::string& command) {
        port.SetInBufferCount(0);
        port.SetOutput(command);
        std::string reply;
        ztesting::PtyPair::PumpUntil([&] {
            if (port.InBufferCount() > 0) reply += port.Input();
            return reply.ends_with("\n");
        });
        return reply;
    };
    EXPECT_EQ(exchange("LOC\n\r"), "OK\r\n");
    EXPECT_EQ(exchange("ENERGYMODE\r"), "OK\r\n");
    Tell("discharge 150\n");
    std::string poll;
    for (int i = 0; i < 100 && poll != "NEWDATA\r\n"; ++i) poll = exchange("QDATA\r");
    EXPECT_EQ(poll, "NEWDATA\r\n");
    EXPECT_EQ(exchange("ENERGYDATA\r"), "150.0,1732,34.6,0.0050\r\n");
    port.SetPortOpen(false);

    ::close(input);
    input = -1;
    ASSERT_TRUE(Exited(2000ms));
    EXPECT_TRUE(WIFEXITED(exitStatus));
    EXPECT_EQ(WEXITSTATUS(exitStatus), 0);
}

} // namespace
