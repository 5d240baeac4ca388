// zarvik-sim: the simulated analyzer on a pseudo-terminal.
//
//   zarvik-sim [--baud N] [--delay MS] [--pieces N] [--silent] [--no-input] [--log] [--help]
//
// Prints the path of the terminal to open as the serial device (one line), then serves the
// analyzer until it is killed or its standard input ends (with --no-input: until it is killed;
// standard input is not read). With --log it then prints each command it hears, as
// "heard COMMAND" (control characters as \r, \n, \xNN), one line each. Lines on standard
// input are what a person does with the hands at the analyzer (see HandActions.h), in the
// units the test-guide window speaks, and faults to inject; each is confirmed in one line on
// standard error. `help` (and --help) lists them.
#include "platform/loop/EventLoop.h"
#include "platform/serial/LineSettings.h"
#include "simulator/Analyzer.h"
#include "simulator/HandActions.h"
#include "simulator/PtyServer.h"

#include <algorithm>
#include <cctype>
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

constexpr const char* kOptions =
    "usage: zarvik-sim [--baud N] [--delay MS] [--pieces N] [--silent] [--no-input] [--log] [--help]\n"
    "  --baud N      the analyzer's speed at start (9600)\n"
    "  --delay MS    its reply time in milliseconds\n"
    "  --pieces N    every reply sent in N pieces 50 ms apart\n"
    "  --silent      it never answers\n"
    "  --no-input    standard input is not read; it serves until it is killed\n"
    "  --log         print each command it hears as \"heard COMMAND\"\n"
    "It prints the path of the terminal to give zarvik-host as --device, then serves until its\n"
    "standard input ends.\n";

// The words typed at its terminal, in upper or lower case; a number may carry its unit
// ("50mA", "0.05A").
void PrintWords(std::FILE* out)
{
    std::fprintf(out, "words (what your hands do at the analyzer, and faults):\n");
    for (const auto& hand : zsim::HandWords) {
        const std::string head = std::string(hand.word) + " " + hand.arguments;
        std::fprintf(out, "  %-30s %s\n", head.c_str(), hand.meaning);
    }
    std::fprintf(out,
                 "  %-30s %s\n  %-30s %s\n  %-30s %s\n  %-30s %s\n  %-30s %s\n",
                 "nopacemaker", "remove the pacemaker", "overload on|off", "the pacer module reports an overload",
                 "silence [N]", "the next N commands (1) get no answer", "error NN",
                 "the next command is answered \"ERR=NN\"", "help", "show this text");
    std::fprintf(out, "a number may carry its unit (50mA, 0.05A, 6.5s); any other suffix is refused\n");
}

int Usage()
{
    std::fprintf(stderr, "%s", kOptions);
    return 2;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Carries out one line of standard input and confirms it on standard error, or says what the
// word needs.
void Act(zsim::Analyzer& analyzer, const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) return;
    const std::string verb = Lower(words.front());
    auto say = [](const std::string& text) { std::fprintf(stderr, "zarvik-sim: %s\n", text.c_str()); };
    if (zsim::IsHandWord(verb)) {
        say(zsim::DoHandAction(analyzer, words).text);
        return;
    }
    const std::string flag = words.size() == 2 ? Lower(words[1]) : std::string();
    const double count = words.size() == 2 ? zsim::Quantity(words[1], {{"", 1}}).value_or(-1e9) : -1e9;
    auto& model = analyzer.Model();
    if (verb == "help" && words.size() == 1) {
        PrintWords(stderr);
    } else if (verb == "nopacemaker" && words.size() == 1) {
        analyzer.DetachPacemaker();
        say("removed the pacemaker");
    } else if (verb == "overload" && (flag == "on" || flag == "off")) {
        model.SetModuleOverload(flag == "on");
        say(std::string("the pacer module overload is ") + (flag == "on" ? "on" : "off"));
    } else if (verb == "silence" && (words.size() == 1 || (count >= 1 && count <= 1e6))) {
        const int times = words.size() == 1 ? 1 : static_cast<int>(count);
        analyzer.Faults().Add(zsim::Fault::Silence().Times(times));
        say("the next " + std::to_string(times) + " command(s) get no answer");
    } else if (verb == "error" && count >= -99 && count <= 99) {
        analyzer.Faults().Add(zsim::Fault::Error(static_cast<int>(count)));
        say("the next command is answered with an error");
    } else {
        say("cannot do \"" + line + "\"; type help for the words");
    }
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
        if (arg == "--help" || arg == "-h") {
            std::printf("%s", kOptions);
            PrintWords(stdout);
            return 0;
        } else if (arg == "--silent") {
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
                Act(*analyzer, line);
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
