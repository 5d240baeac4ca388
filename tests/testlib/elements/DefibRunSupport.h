#pragma once

// What the tests of the charge-time, cardioversion, pulse-repetition and battery-capacity
// tests add to the shared test-run fixture: a defibrillator that charges as well as discharges
// (with a synchronisation delay and, when a test sets one, a fixed charge time), the times of
// its discharges, and a few readings of the run.

#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IResultData.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "operator/Recipes.h"
#include "platform/base/Conversions.h"
#include "testlib/core/CMeasurement.h"
#include "tests/support/LimitItems.h"
#include "tests/testlib/elements/TestRunFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ztesting {

class DefibRun : public TestRunFixture {
protected:
    DefibRun()
    {
        // A run that hangs ends as a person who gives up ends it (after the longest quiet wait
        // of a battery-capacity run).
        op->SetPatience(plat::Millis(700000));
        op->SetPhysical(zop::physical::Discharge, [this](double joules) {
            zsim::Pulse pulse = zsim::Pulse::Into50Ohm(joules);
            pulse.syncDelay = syncDelay;
            dischargeTimes.push_back(Now());
            analyzer->Discharge(pulse);
        });
        op->SetPhysical(zop::physical::Charge,
                        [this](double seconds) { analyzer->Charge(chargeSeconds.value_or(seconds)); });
    }

    // The operator's recipe of the type (shared habits alone for another code); tests add
    // rules after it.
    void UseRecipe(int32_t testType) { zop::RecipeBook::Standard().Apply(testType, *op); }

    void Perform(const std::shared_ptr<host::ITestElement>& element)
    {
        context->ClearNavigation();
        element->Perform(context);
    }

    // Judges the key's measurements against [lower, upper] in a standard that the run selects.
    void SelectLimit(const std::shared_ptr<host::ITestElement>& element, const std::string& key, float lower, float upper)
    {
        auto standard = MakeStandard("IEC", "IEC complete",
                                     {{.key = key, .unit = "", .upper = {true, upper, ""}, .lower = {true, lower, ""}}});
        // The limits keep a standard of the type's own first, so that they have a collection.
        element->Limits()->CreateStandard("HOUSE", "House standard");
        element->Limits()->Standards()->Add(standard);
        auto selected = std::make_shared<host::HostStandards>();
        selected->Add(standard->Copy());
        context->SetSelectedStandards(selected);
    }

    std::vector<std::string> Commands() const { return analyzer->Commands(); }
    int CountOf(const std::string& command) const
    {
        const auto commands = Commands();
        return static_cast<int>(std::count(commands.begin(), commands.end(), command));
    }
    // The times at which the analyzer heard the command.
    std::vector<plat::TimePoint> HeardAt(const std::string& command) const
    {
        std::vector<plat::TimePoint> times;
        for (const auto& heard : analyzer->HeardLog())
            if (heard.command == command) times.push_back(heard.at);
        return times;
    }
    bool Logged(const std::string& line) const { return std::find(said.begin(), said.end(), line) != said.end(); }
    bool BoxShown(const std::string& part) const
    {
        for (const auto& box : op->Boxes())
            if (box.prompt.find(part) != std::string::npos) return true;
        return false;
    }

    // The number a count-down popup shows ("... for 42 seconds", "... 42 seconds left" give
    // 42); -1 without one.
    static int SecondsShown(const std::string& popup)
    {
        const std::size_t seconds = popup.rfind(" seconds");
        if (seconds == std::string::npos || seconds == 0) return -1;
        const std::size_t begin = popup.rfind(' ', seconds - 1);
        return begin == std::string::npos ? -1 : static_cast<int>(plat::Val(popup.substr(begin + 1, seconds - begin - 1)));
    }

    static plat::Variant ValueOf(const std::shared_ptr<host::ITestElement>& element, const std::string& key)
    {
        auto result = element->Result();
        auto measurement = result ? result->Measurement(plat::Variant(key)) : nullptr;
        return measurement ? measurement->value() : plat::Variant();
    }
    static int32_t StatusOf(const std::shared_ptr<host::ITestElement>& element)
    {
        auto result = element->Result();
        return result ? result->Status() : -1;
    }

    std::vector<plat::TimePoint> dischargeTimes;
    // What the defibrillator under test does: its synchronisation delay, a fixed charge time.
    std::optional<double> syncDelay = 0.040;
    std::optional<double> chargeSeconds;
};

} // namespace ztesting
