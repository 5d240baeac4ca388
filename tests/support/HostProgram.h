#pragma once

#include "support/TempFolder.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace ztesting {

// What one run of a program gave: its exit status (128 + the signal when a signal ended it)
// and what it wrote to its standard output and standard error.
struct ProgramOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The folder of the built programs: the one ctest names in $ZARVIK_BIN_DIR, else the one next
// to the built libraries.
std::string ProgramFolder();

// The lines of a text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text);

// Waits at most the time for a child to end, and kills it when it does not, so that a program
// that hangs fails its test instead of hanging the suite. Gives the exit status, or 128 + the
// signal.
int Reap(pid_t pid, std::chrono::milliseconds timeout);

// Runs the built zarvik-host from a test, in a temporary folder of its own. Standard output and
// error of each run go to files in the folder, and $ZARVIK_REGISTRY in the program's environment
// names a registry file in the folder too, so that no run can touch the user's registry; its
// $TMPDIR is the folder.
class HostProgram {
public:
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};

    // The folder's name starts with the prefix; the environment's registry is the folder's
    // file of that name.
    explicit HostProgram(const std::string& folderPrefix, const std::string& environmentRegistry = "registry");
    ~HostProgram();
    HostProgram(const HostProgram&) = delete;
    HostProgram& operator=(const HostProgram&) = delete;

    const std::string& Folder() const { return mFolder.Path(); }
    std::string File(const std::string& name) const { return mFolder.File(name); }
    const std::string& Path() const { return mProgram; }
    const std::string& EnvironmentRegistry() const { return mEnvironmentRegistry; }

    // Arguments that go before the arguments of every run, such as a registry option.
    void SetLeadingArguments(std::vector<std::string> arguments) { mLeadingArguments = std::move(arguments); }
    // A program that starts each run, given the run's command line after its own arguments
    // (found on the PATH), such as "unshare --pid --fork"; none when empty.
    void SetLauncher(std::vector<std::string> launcher) { mLauncher = std::move(launcher); }
    // Descriptors (of 0, 1 and 2) that each later run starts with closed, as `<&-` leaves them;
    // a closed 1 or 2 is not written to the folder's file.
    void SetClosedDescriptors(std::vector<int> closed) { mClosed = std::move(closed); }

    // Starts a run and gives its process id, or -1 (and a test failure) when it cannot start.
    // Its standard input is the test's, or the read end given.
    pid_t Start(std::vector<std::string> arguments, int input = -1) const;
    // The same with the standard input opened from a terminal's path in a new session, whose
    // controlling terminal it becomes.
    pid_t StartOnTerminal(std::vector<std::string> arguments, const std::string& terminalPath) const;
    // Waits for a run that Start began, and gives what it wrote.
    ProgramOutcome Finish(pid_t pid, std::chrono::milliseconds timeout = DefaultTimeout) const;
    // Starts a run and waits for it.
    ProgramOutcome Run(std::vector<std::string> arguments) const { return Finish(Start(std::move(arguments))); }

    // Where an attended run reads the person: a pipe of the test, a terminal of its own (a
    // pseudo-terminal whose session the run leads, as a login shell's program does, with no
    // echo), or a borrowed terminal (such a pseudo-terminal that is not the run's controlling
    // one, as for a run that a program started on its own terminal: its closing sends the run no
    // SIGHUP). HangUp closes the terminal.
    enum class Input { Pipe, Terminal, BorrowedTerminal };
    // Starts a run whose standard input is a pipe or a terminal of the test, on which a person
    // types (Type) until EndInput (or the end of this object).
    pid_t StartAttended(std::vector<std::string> arguments, Input input = Input::Pipe);
    // Writes one line (the line end is added); false when the run no longer reads.
    bool Type(const std::string& line) const;
    // Writes the lines in one write, as a paste does.
    bool Paste(const std::vector<std::string>& lines) const;
    // Writes the bytes as they are, in one write (no line end is added).
    bool Send(const std::string& bytes) const;
    // The test's end of the attended run's input (the pipe's write end, or the terminal's
    // master), for a writer of its own; -1 when there is none.
    int InputFd() const { return mInput; }
    // Ends the input: the pipe is closed; at a terminal the person types Ctrl-D.
    void EndInput();
    // The terminal closes (its window is closed, the line drops): the run's terminal hangs up.
    void HangUp();

    // What the run wrote to its standard error so far.
    std::string ErrorText() const { return ReadAll(File("stderr")); }
    // Waits until the standard error holds the text at or after the offset, at most the time;
    // gives the offset just past it, or npos (and no failure) when the time ran out or the run
    // ended without it. Tests wait for what the run shows, never for a fixed time.
    std::size_t WaitForError(const std::string& text, pid_t pid, std::size_t from = 0,
                             std::chrono::milliseconds timeout = DefaultTimeout) const;

private:
    pid_t Spawn(std::vector<std::string> arguments, int input, const std::string& terminalPath) const;

    TempFolder mFolder;
    std::string mProgram;
    std::string mEnvironmentRegistry;
    std::vector<std::string> mLeadingArguments;
    std::vector<std::string> mLauncher;
    std::vector<int> mClosed;
    int mInput = -1; // the attended run's standard input: the pipe's write end, or the terminal's master
    bool mTerminal = false;
};

// Whether a child has ended, without reaping it.
bool HasEnded(pid_t pid);

// Whether a running process has the library (a file name, "libtelvoZarvik.so") mapped: a
// program that loads a library at a known step has passed that step.
bool HasLoaded(pid_t pid, const std::string& library);

// The peak memory of a running process in kB (0 when it cannot be read).
long PeakMemoryKb(pid_t pid);

} // namespace ztesting
