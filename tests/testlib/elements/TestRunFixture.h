#pragma once

// What the test element tests share: virtual time, a registry of their own with the host's
// control libraries, the test library and the instrument link registered, the built-in
// simulated analyzer on port 1, a run context, and the automatic operator watching the guide
// window with the physical actions wired to the analyzer. A test gives the operator its rules
// (or a recipe) and performs an element.

#include "host/documents/HostRegistry.h"
#include "host/elements/HostTestContext.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/ITestElement.h"
#include "host/standards/HostStandards.h"
#include "host/units/HostMtiSettings.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "platform/com/ComRuntime.h"
#include "platform/serial/PortMap.h"
#include "platform/ui/Form.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"
#include "testlib/core/MMiscUtils.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

class TestRunFixture : public VirtualLoopTest {
protected:
    static constexpr const char* Device = "sim-test-run";

    TestRunFixture()
    {
        for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikVti", "telvoZarvikTest"})
            plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
        ztest::MMiscUtils::ResetModuleState();
        analyzer = std::make_shared<zsim::Analyzer>();
        zsim::SimDevice::Install(analyzer, Device);
        plat::PortMap::SetOverride(1, Device);
        host::HostMtiSettings::SetPortOverride("ZARVIK", 1);
        op = std::make_unique<zop::Operator>(std::make_shared<zop::GuideWindowScene>());
        op->SetPatience(std::chrono::minutes(10));
        op->SetPhysical(zop::physical::Discharge, [this](double joules) {
            ++discharges;
            analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
        });
        op->SetLog([this](const std::string& line) { said.push_back(line); });
        op->Start();
    }
    ~TestRunFixture() override
    {
        op->Stop();
        op.reset();
        plat::PortMap::ClearOverrides();
        host::HostMtiSettings::ClearPortOverrides();
        zsim::SimDevice::Uninstall(Device);
    }

    // Gives the element a standard of its own default limits and selects it for the run.
    void SelectStandard(const std::shared_ptr<host::ITestElement>& element)
    {
        element->Limits()->CreateStandard("IEC", "IEC 60601-2-4");
        context->SetSelectedStandards(element->Limits()->Standards());
    }

    // Writes a value under the plug-in's settings key.
    static void SetSetting(const std::string& name, int32_t value)
    {
        host::HostRegistry registry;
        registry.CreateKey(host::HKEY_LOCAL_MACHINE, "Software\\Vantrel\\telvo\\ZARVIK");
        registry.SetDWordValue(name, value);
    }

    // The commands the analyzer heard, in order.
    std::vector<std::string> Heard() const { return analyzer->Commands(); }
    int CountHeard(const std::string& prefix) const
    {
        int count = 0;
        for (const auto& command : Heard()) count += command.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
    // Prompts of the boxes the operator answered.
    std::vector<std::string> BoxPrompts() const
    {
        std::vector<std::string> prompts;
        for (const auto& box : op->Boxes()) prompts.push_back(box.prompt);
        return prompts;
    }

    // Fires one of the guide window's events as the host's toolbar would, also while a run
    // goes on (a host that navigates on its own).
    static void FireGuide(plat::Event<> ztest::FZARVIKTestGuide::*event)
    {
        for (const auto& form : plat::LoadedForms())
            if (auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form)) (guide.get()->*event).Fire();
    }

    // Rules: press a button when the trigger becomes true.
    void PressWhen(const std::string& name, std::function<bool(const zop::Scene&)> trigger, int button,
                   std::chrono::milliseconds delay = std::chrono::milliseconds(100), int times = 1,
                   const std::string& after = {})
    {
        op->AddRule({name, std::move(trigger), delay,
                     [button](zop::Operator& self, const zop::Scene&) { self.Press(button); }, times, after});
    }

    TempRegistry registry;
    std::shared_ptr<zsim::Analyzer> analyzer;
    std::shared_ptr<host::HostTestContext> context = std::make_shared<host::HostTestContext>();
    std::unique_ptr<zop::Operator> op;
    std::vector<std::string> said;
    int discharges = 0;
};

} // namespace ztesting
