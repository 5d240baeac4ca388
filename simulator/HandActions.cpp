#include "simulator/HandActions.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zsim {

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Shown(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

const std::vector<UnitSuffix> kJoules = {{"J", 1}};
const std::vector<UnitSuffix> kMilliseconds = {{"ms", 1}, {"s", 1000}};
const std::vector<UnitSuffix> kSeconds = {{"s", 1}, {"ms", 0.001}};
const std::vector<UnitSuffix> kRate = {{"ppm", 1}, {"bpm", 1}};
const std::vector<UnitSuffix> kMilliamperes = {{"mA", 1}, {"A", 1000}};

// Reads the quantity, in the first unit, into value; false when it is not one or out of bounds.
bool Read(const std::string& text, const std::vector<UnitSuffix>& units, double lowest, double highest, double& value)
{
    const auto read = Quantity(text, units);
    if (!read || *read < lowest || *read > highest) return false;
    value = *read;
    return true;
}

} // namespace

bool IsHandWord(const std::string& word)
{
    const std::string lower = Lower(word);
    return std::any_of(std::begin(HandWords), std::end(HandWords),
                       [&](const HandWord& hand) { return lower == hand.word; });
}

std::optional<double> Quantity(const std::string& text, const std::vector<UnitSuffix>& units)
{
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    const std::string suffix = Lower(std::string(end, text.data() + text.size()));
    if (suffix.empty()) return value;
    for (const auto& unit : units) {
        if (suffix == Lower(unit.suffix)) return value * unit.factor;
    }
    return std::nullopt;
}

HandOutcome DoHandAction(Analyzer& analyzer, const std::vector<std::string>& words)
{
    if (words.empty()) return {};
    const std::string verb = Lower(words.front());
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (verb == "discharge") {
        double joules = 0;
        double width = 5.0;
        const bool ok = !args.empty() && args.size() <= 2 && Read(args[0], kJoules, 0, 1000, joules) &&
                        (args.size() < 2 || Read(args[1], kMilliseconds, 0.001, 1000, width));
        if (!ok) return {false, "discharge needs JOULES from 0 to 1000 (and a WIDTH_MS from 0.001 to 1000)"};
        analyzer.Discharge(Pulse::Into50Ohm(joules, width / 1000.0));
        return {true, "discharged " + Shown(joules) + " J into the analyzer"};
    }
    if (verb == "charge") {
        double seconds = 0;
        if (args.size() != 1 || !Read(args[0], kSeconds, 0, 3600, seconds))
            return {false, "charge needs SECONDS, from 0 to 3600"};
        analyzer.Charge(seconds);
        return {true, "charged the defibrillator for " + Shown(seconds) + " s"};
    }
    if (verb == "pacemaker") {
        Pacemaker pacemaker;
        double rate = pacemaker.rate;
        double mA = pacemaker.current * 1000.0;
        double ms = pacemaker.width * 1000.0;
        const bool ok = args.size() <= 3 && (args.size() < 1 || Read(args[0], kRate, 1, 1000, rate)) &&
                        (args.size() < 2 || Read(args[1], kMilliamperes, 0, 1000, mA)) &&
                        (args.size() < 3 || Read(args[2], kMilliseconds, 0.001, 1000, ms));
        if (!ok)
            return {false,
                    "pacemaker needs PPM (1 to 1000), MA (milliamperes, 0 to 1000) and WIDTH_MS (0.001 to 1000)"};
        pacemaker.rate = rate;
        pacemaker.current = mA / 1000.0;
        pacemaker.width = ms / 1000.0;
        analyzer.AttachPacemaker(pacemaker);
        return {true, "attached a pacemaker at " + Shown(rate) + " PPM, " + Shown(mA) + " mA, " + Shown(ms) + " ms"};
    }
    if (verb == "adapter") {
        const std::string state = args.size() == 1 ? Lower(args[0]) : std::string();
        if (state != "on" && state != "off") return {false, "adapter needs on or off"};
        analyzer.Model().SetAdapterPresent(state == "on");
        return {true, state == "on" ? "connected the pacer load adapter" : "removed the pacer load adapter"};
    }
    return {};
}

} // namespace zsim
