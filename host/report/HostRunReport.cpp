#include "host/report/HostRunReport.h"

#include "host/elements/HostTestSequence.h"
#include "host/interfaces/ITestElement.h"
#include "host/report/HostReport.h"
#include "host/units/HostMtiList.h"
#include "platform/base/Variant.h"

#include <ctime>

namespace host {

namespace {

std::string UnitText(const HostMtiList::Entry& unit)
{
    auto shown = [](const std::string& text) { return text.empty() ? std::string("unknown") : text; };
    return "Analyzer: " + shown(unit.MtiType()) + ", serial number " + shown(unit.Serial()) + ", firmware " +
           shown(unit.Firmware());
}

} // namespace

std::string RunTimeText(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
    if (!::gmtime_r(&seconds, &utc)) return "unknown";
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc) == 0) return "unknown";
    return text;
}

void PrintRunReport(const std::shared_ptr<HostReport>& report, const HostTestSequence& sequence,
                    const RunReportHeading& heading)
{
    if (!report) return;
    // A result is worth filing only with when and with what it was measured.
    report->WriteLine("Test run of " + RunTimeText(heading.started));
    const auto& units = sequence.MtiList();
    if (!units || units->Count() == 0) {
        report->WriteLine("Analyzer: none recorded");
    } else {
        for (const auto& unit : *units) report->WriteLine(UnitText(*unit));
    }
    if (heading.simulated) {
        report->WriteLine("The results come from the built-in simulated analyzer, not from a real unit.");
    }
    report->WriteLine("");
    for (const auto& entry : sequence.Entries()) {
        if (entry.element) entry.element->PrintReport(report, plat::Variant(HostTestSequence::Outcome(entry)));
    }
}

} // namespace host
