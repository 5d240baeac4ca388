#pragma once

#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zhost {

// What a command is given: the words after its name and the two output streams.
struct CommandContext {
    std::vector<std::string> args;
    std::ostream& out;
    std::ostream& err;
};

// Thrown by a command whose arguments are wrong; the program prints the usage and exits with 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Command {
    std::string name;
    std::string synopsis; // the arguments, as the usage shows them ("PORT COMMAND")
    std::string summary;  // one line saying what the command does
    std::function<int(CommandContext&)> run; // returns the exit status
};

// The commands of the program. Each command lives in its own file and adds itself with
// ZARVIK_HOST_COMMAND at static initialisation, so that a new command never touches main.
class CommandTable {
public:
    static CommandTable& Instance();

    // False when a command of that name exists already (the first one stays).
    bool Add(Command command);
    const Command* Find(const std::string& name) const;
    std::vector<const Command*> All() const; // by name

private:
    std::map<std::string, Command> mCommands;
};

// Checks that a command got no arguments.
void ExpectNoArguments(const CommandContext& context);

} // namespace zhost

#define ZARVIK_HOST_CONCAT2(a, b) a##b
#define ZARVIK_HOST_CONCAT(a, b) ZARVIK_HOST_CONCAT2(a, b)
#define ZARVIK_HOST_COMMAND(name, synopsis, summary, function)                                            \
    namespace {                                                                                         \
    [[maybe_unused]] const bool ZARVIK_HOST_CONCAT(zarvikHostCommandAdded_, __COUNTER__) =             \
        ::zhost::CommandTable::Instance().Add(::zhost::Command{name, synopsis, summary, function});     \
    }
