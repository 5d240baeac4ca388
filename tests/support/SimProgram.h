#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ztesting {

// Runs the built zarvik-sim from a test. Its standard input and output are pipes of the test:
// the program prints the path of the terminal it serves on, and takes the device under test's
// actions on its input. A program still running at the end is stopped and reaped.
class SimProgram {
public:
    SimProgram() = default;
    ~SimProgram();
    SimProgram(const SimProgram&) = delete;
    SimProgram& operator=(const SimProgram&) = delete;

    // The program's path in the folder of the built programs.
    static std::string Path();

    // Starts the program with the options; false when it cannot start.
    bool Start(std::vector<std::string> options);
    // What the program prints until a line end (kept) or until the time is up.
    std::string ReadLine(std::chrono::milliseconds timeout);
    // Reads lines until one holds the text, at most the time; gives what was read (empty of the
    // text when the time ran out).
    std::string ReadUntil(const std::string& text, std::chrono::milliseconds timeout);
    // Writes a line to the program's input: the device under test acts.
    bool Tell(const std::string& line);
    // Ends the program's input, which ends the program.
    void CloseInput();
    // Whether the program has ended within the time; its wait status is then WaitStatus().
    bool Exited(std::chrono::milliseconds timeout);
    int WaitStatus() const { return mWaitStatus; }

private:
    pid_t mPid = -1;
    int mInput = -1;
    int mOutput = -1;
    int mWaitStatus = -1;
};

} // namespace ztesting
