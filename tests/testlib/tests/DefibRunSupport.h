#pragma once

// What the tests of the defibrillator test elements share: virtual time, a registry of their
// own with the libraries registered, the simulated analyzer on port 1, and the automatic
// operator in the guide window with the physical actions wired to the analyzer.

#include "host/elements/HostTestContext.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IResultData.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/units/HostMtiSettings.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "platform/com/ComRuntime.h"
#include "platform/serial/PortMap.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/results/CResultRecord.h"
#include "tests/support/LimitItems.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ztesting {

class DefibRun : public VirtualLoopTest {
protected:
    DefibRun()
    {
        for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikTest", "telvoZarvikVti"})
            plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
        analyzer = std::make_shared<zsim::Analyzer>();
        zsim::SimDevice::Install(analyzer, "sim");
        plat::PortMap::SetOverride(1, "sim");
        host::HostMtiSettings::SetPortOverride("ZARVIK", 1);

        op = std::make_unique<zop::Operator>(std::make_shared<zop::GuideWindowScene>());
        op->SetLog([this](const std::string& line) { log.push_back(line); });
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
        context = std::make_shared<host::HostTestContext>();
    }

    ~DefibRun() override
    {
        op->Stop();
        zsim::SimDevice::Uninstall("sim");
        plat::PortMap::ClearOverrides();
        host::HostMtiSettings::ClearPortOverrides();
    }

    // The operator's recipe of the type (shared habits alone for another code); tests add
    // rules after it.
    void UseRecipe(int32_t testType) { zop::RecipeBook::Standard().Apply(testType, *op); }

    // Performs the element with the operator watching; the recipe must have been chosen.
    void Perform(const std::shared_ptr<host::ITestElement>& element)
    {
        op->Start();
        element->Perform(context);
        op->Stop();
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
    bool Logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
    bool BoxShown(const std::string& part) const
    {
        for (const auto& box : op->Boxes())
            if (box.prompt.find(part) != std::string::npos) return true;
        return false;
    }

    static std::shared_ptr<ztest::CMeasurement> MeasurementOf(const std::shared_ptr<host::ITestElement>& element,
                                                             const std::string& key)
    {
        auto result = element->Result();
        return result ? std::dynamic_pointer_cast<ztest::CMeasurement>(result->Measurement(plat::Variant(key))) : nullptr;
    }
    static plat::Variant ValueOf(const std::shared_ptr<host::ITestElement>& element, const std::string& key)
    {
        auto measurement = MeasurementOf(element, key);
        return measurement ? measurement->value() : plat::Variant();
    }
    static int32_t StatusOf(const std::shared_ptr<host::ITestElement>& element)
    {
        auto result = element->Result();
        return result ? result->Status() : -1;
    }

    TempRegistry registry;
    std::shared_ptr<zsim::Analyzer> analyzer;
    std::unique_ptr<zop::Operator> op;
    std::shared_ptr<host::HostTestContext> context;
    std::vector<std::string> log;
    std::vector<plat::TimePoint> dischargeTimes;
    // What the defibrillator under test does: its synchronisation delay, a fixed charge time.
    std::optional<double> syncDelay = 0.040;
    std::optional<double> chargeSeconds;
};

} // namespace ztesting
