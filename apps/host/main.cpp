// zarvik-host: the command-line stand-in for the host application.
//
//   zarvik-host [--registry FILE] COMMAND [ARGUMENTS]
//
// The commands are in the command table; each adds itself from its own file.
#include "apps/host/CommandTable.h"
#include "apps/host/PersonConsole.h"

#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/serial/SerialErrors.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

namespace {

void PrintUsage(std::ostream& out)
{
    out << "usage: zarvik-host [--registry FILE] COMMAND [ARGUMENTS]\n"
           "\n"
           "options:\n"
           "  --registry FILE   the registry file to use (default: $ZARVIK_REGISTRY, else\n"
           "                    ~/.config/zarvik/registry)\n"
           "  --help            show this text\n"
           "\n"
           "commands:\n";
    for (const zhost::Command* command : zhost::CommandTable::Instance().All()) {
        std::string head = command->name + (command->synopsis.empty() ? "" : " " + command->synopsis);
        out << "  " << head << std::string(head.size() < 18 ? 18 - head.size() : 1, ' ') << command->summary << '\n';
    }
}

int UsageFailure(const std::string& message)
{
    std::cerr << "zarvik-host: " << message << '\n';
    PrintUsage(std::cerr);
    return 2;
}

// A standard descriptor that was closed when the program started is opened on /dev/null: left
// closed, the next descriptor the program makes (a pipe, a file) would take its number, and the
// program would read its own pipe as the person's input or write its lines into a file.
void OpenClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // The lowest free number is this one, as those below it are open.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    OpenClosedStandardDescriptors();
    // Asked before anything can hang up: a terminal that closes during the start-up no longer
    // answers as one, and its closing would be taken for an end of input.
    zhost::PersonConsole::NoteTerminal(STDIN_FILENO);
    // A reader of the output that goes away (a pipe into head) must not kill a run before it has
    // saved what it measured: writing then fails instead, and the run goes on to its end.
    ::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> words(argv + 1, argv + argc);
    size_t next = 0;
    while (next < words.size() && words[next].size() > 1 && words[next][0] == '-') {
        const std::string& option = words[next];
        if (option == "--help" || option == "-h") {
            PrintUsage(std::cout);
            return 0;
        }
        std::string file;
        if (option == "--registry") {
            if (next + 1 >= words.size()) return UsageFailure("--registry needs a file");
            file = words[next + 1];
            next += 2;
        } else if (option.rfind("--registry=", 0) == 0) {
            file = option.substr(std::string("--registry=").size());
            next += 1;
        } else {
            return UsageFailure("unknown option '" + option + "'");
        }
        if (file.empty()) return UsageFailure("--registry needs a file");
        plat::SetRegistryPath(file);
    }
    if (next >= words.size()) return UsageFailure("no command given");
    const zhost::Command* command = zhost::CommandTable::Instance().Find(words[next]);
    if (!command) return UsageFailure("unknown command '" + words[next] + "'");

    zhost::CommandContext context{{words.begin() + static_cast<std::ptrdiff_t>(next) + 1, words.end()}, std::cout, std::cerr};
    try {
        int status = command->run(context);
        std::cout.flush();
        return status;
    } catch (const zhost::UsageError& e) {
        return UsageFailure(command->name + ": " + e.what());
    } catch (const plat::PortInUseError& e) {
        // Another program holds the port: refused before anything was written to it, in one
        // line that names the port and the device.
        std::cout.flush();
        std::cerr << "zarvik-host: " << command->name << ": " << e.Description() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cout.flush();
        std::cerr << "zarvik-host: " << command->name << ": " << e.what() << '\n';
        return 1;
    }
}
