// zarvik-sim: the simulated analyzer on a pseudo-terminal.
//
//   zarvik-sim [--baud N] [--delay MS] [--pieces N] [--silent] [--no-input] [--log]
//
// Prints the path of the terminal to open as the serial device (one line), then serves the
// analyzer until it is killed or its standard input ends (with --no-input: until it is killed;
// standard input is not read). With --log it then prints each command it hears, as
// "heard COMMAND" (control characters as \r, \n, \xNN), one line each. --baud is the analyzer's speed at start (9600), --delay its
// reply time in ms, --pieces N sends every reply in N pieces 50 ms apart, --silent never
// answers. Lines on standard input act as the device under test and inject faults:
//   discharge ENERGY [WIDTH]      a defibrillator discharge (J, s) into the analyzer
//   charge SECONDS                a charge that took that long (counts for the next discharge)
//   pacemaker [RATE CURRENT WIDTH] a pacemaker attached (ppm, A, s); nopacemaker removes it
//   adapter on|off, overload on|off
//   silence [N]                   the next N commands (default 1) get no answer
//   error NN                      the next command is answered "ERR=NN"
#include "platform/loop/EventLoop.h"
#include "platform/serial/LineSettings.h"
#include "simulator/Analyzer.h"
#include "simulator/PtyServer.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::optional<double> Number(const std::string& text)
{
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int Usage()
{
    std::fprintf(stderr, "usage: zarvik-sim [--baud N] [--delay MS] [--pieces N] [--silent] [--no-input] [--log]\n");
    return 2;
}

// Carries out one line of standard input; false with a message when it cannot.
bool Act(zsim::Analyzer& analyzer, const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    std::vector<double> numbers;
    std::string word;
    std::string flag;
    while (in >> word) {
        if (auto number = Number(word)) {
            numbers.push_back(*number);
        } else if (flag.empty()) {
            flag = word;
        } else {
            return false;
        }
    }
    auto& model = analyzer.Model();
    if (verb.empty()) return true;
    if (verb == "discharge" && !numbers.empty()) {
        analyzer.Discharge(zsim::Pulse::Into50Ohm(numbers[0], numbers.size() > 1 ? numbers[1] : 0.005));
    } else if (verb == "charge" && numbers.size() == 1) {
        analyzer.Charge(numbers[0]);
    } else if (verb == "pacemaker") {
        zsim::Pacemaker pacemaker;
        if (numbers.size() > 0) pacemaker.rate = numbers[0];
        if (numbers.size() > 1) pacemaker.current = numbers[1];
        if (numbers.size() > 2) pacemaker.width = numbers[2];
        analyzer.AttachPacemaker(pacemaker);
    } else if (verb == "nopacemaker") {
        analyzer.DetachPacemaker();
    } else if (verb == "adapter" && (flag == "on" || flag == "off")) {
        model.SetAdapterPresent(flag == "on");
    } else if (verb == "overload" && (flag == "on" || flag == "off")) {
        model.SetModuleOverload(flag == "on");
    } else if (verb == "silence") {
        analyzer.Faults().Add(zsim::Fault::Silence().Times(numbers.empty() ? 1 : static_cast<int>(numbers[0])));
    } else if (verb == "error" && numbers.size() == 1) {
        analyzer.Faults().Add(zsim::Fault::Error(static_cast<int>(numbers[0])));
    } else {
        return false;
    }
    return true;
}

// A heard command on one line: control characters written out.
std::string Visible(const std::string& text)
{
    std::string shown;
    for (unsigned char c : text) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        } else {
            shown.push_back(static_cast<char>(c));
        }
    }
    return shown;
}

} // namespace

int main(int argc, char** argv)
{
    int baud = 9600;
    long delay = zsim::Analyzer::DefaultReplyDelay.count();
    int pieces = 1;
    bool silent = false;
    bool readInput = true;
    bool log = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<double> {
            if (i + 1 >= argc) return std::nullopt;
            return Number(argv[++i]);
        };
        if (arg == "--silent") {
            silent = true;
        } else if (arg == "--no-input") {
            readInput = false;
        } else if (arg == "--log") {
            log = true;
        } else if (arg == "--baud" || arg == "--delay" || arg == "--pieces") {
            auto number = value();
            if (!number || *number < 0 || *number > 1e7) return Usage();
            if (arg == "--baud") {
                baud = static_cast<int>(*number);
                if (!plat::LineSettings::IsSupportedBaud(baud)) return Usage();
            }
            if (arg == "--delay") delay = static_cast<long>(*number);
            if (arg == "--pieces") pieces = std::min(100, static_cast<int>(*number));
        } else {
            return Usage();
        }
    }

    try {
        auto analyzer = std::make_shared<zsim::Analyzer>();
        analyzer->SetBaud(baud);
        analyzer->SetReplyDelay(std::chrono::milliseconds(delay));
        if (silent) analyzer->Faults().Add(zsim::Fault::Silence().Always());
        if (pieces > 1) analyzer->Faults().Add(zsim::Fault::Pieces(pieces, std::chrono::milliseconds(50)).Always());
        zsim::PtyServer server(analyzer);

        std::printf("%s\n", server.SlavePath().c_str());
        std::fflush(stdout);

        bool done = false;
        std::string input;
        auto& loop = plat::Loop();
        plat::FdWatch stdinWatch;
        if (readInput) stdinWatch = loop.WatchFd(STDIN_FILENO, [&] {
            char buffer[512];
            ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n <= 0) {
                done = true;
                return;
            }
            input.append(buffer, static_cast<size_t>(n));
            size_t end;
            while ((end = input.find('\n')) != std::string::npos) {
                const std::string line = input.substr(0, end);
                input.erase(0, end + 1);
                if (!Act(*analyzer, line)) std::fprintf(stderr, "zarvik-sim: cannot do \"%s\"\n", line.c_str());
            }
        }, POLLIN);
        // The analyzer's log is read as it grows; what was printed is forgotten, so that the log
        // never holds more than a few commands.
        plat::Timer logTimer;
        if (log) logTimer = loop.StartPeriodic(std::chrono::milliseconds(10), [&] {
            const auto& heard = analyzer->HeardLog();
            if (heard.empty()) return;
            for (const auto& entry : heard) std::printf("heard %s\n", Visible(entry.command).c_str());
            std::fflush(stdout);
            analyzer->ClearLogs();
        });
        loop.RunUntil([&] { return done; });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zarvik-sim: %s\n", error.what());
        return 1;
    }
    return 0;
}
