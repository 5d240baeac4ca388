#include "support/SimulatedBench.h"

#include "host/documents/HostRegistry.h"
#include "host/interfaces/ITestElement.h"
#include "host/units/HostMtiSettings.h"
#include "operator/recipes/SimulationRecipes.h"
#include "platform/com/ComRuntime.h"
#include "platform/serial/PortMap.h"
#include "simulator/SimDevice.h"

namespace ztesting {

SimulatedBench::SimulatedBench()
{
    for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikVti", "telvoZarvikTest", "telvoZarvik"})
        plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
    analyzer = std::make_shared<zsim::Analyzer>();
    zsim::SimDevice::Install(analyzer, "sim");
    plat::PortMap::SetOverride(1, "sim");
    host::HostMtiSettings::SetPortOverride("ZARVIK", 1);
    scene = std::make_shared<zop::GuideWindowScene>();
    op = std::make_unique<zop::Operator>(scene);
    op->SetLog([this](const std::string& line) { said.push_back(line); });
    op->SetPatience(std::chrono::minutes(10));
    auto pacemaker = std::make_shared<zsim::Pacemaker>();
    op->SetPhysical(zop::physical::SetPacemakerOutput, [pacemaker](double mA) { pacemaker->current = mA / 1000.0; });
    op->SetPhysical(zop::physical::ConnectAdapter,
                    [this](double connected) { analyzer->Model().SetAdapterPresent(connected != 0); });
    op->SetPhysical(zop::physical::AttachPacemaker, [this, pacemaker](double rate) {
        if (rate > 0) pacemaker->rate = rate;
        analyzer->AttachPacemaker(*pacemaker);
    });
}

SimulatedBench::~SimulatedBench()
{
    timers.clear();
    op->Stop();
    op.reset();
    zsim::SimDevice::Uninstall();
    plat::PortMap::ClearOverrides();
}

std::shared_ptr<host::HostTestContext> SimulatedBench::Perform(const std::shared_ptr<host::ITestElement>& element,
                                                               const zop::RecipeBook::Recipe& recipe)
{
    if (recipe) {
        op->ClearRules();
        zop::RecipeBook::AddSharedHabits(*op);
        recipe(*op);
    } else {
        zop::RecipeBook::Standard().Apply(element->TestID(), *op);
    }
    auto context = std::make_shared<host::HostTestContext>();
    op->Start();
    element->Perform(context);
    op->Stop();
    return context;
}

std::vector<std::string> SimulatedBench::Heard() const
{
    std::vector<std::string> heard;
    for (const auto& command : analyzer->Commands()) {
        if (command != "LOC") heard.push_back(command);
    }
    return heard;
}

std::vector<std::string> SimulatedBench::BoxPrompts() const
{
    std::vector<std::string> prompts;
    for (const auto& box : op->Boxes()) prompts.push_back(box.prompt);
    return prompts;
}

void SimulatedBench::SetSetting(const std::string& name, int32_t value)
{
    host::HostRegistry settings;
    settings.CreateKey(host::HKEY_LOCAL_MACHINE, "Software\\Vantrel\\telvo\\ZARVIK");
    settings.SetDWordValue(name, value);
}

void SimulatedBench::PressAt(int buttonId, plat::Millis at)
{
    timers.push_back(TestLoop().StartOneShot(at, [this, buttonId] { op->Press(buttonId); }));
}

} // namespace ztesting
