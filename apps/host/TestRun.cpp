#include "apps/host/TestRun.h"

#include "apps/host/PersonConsole.h"
#include "apps/host/ServerLibraries.h"

#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestCollection.h"
#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "host/report/HostReport.h"
#include "host/report/HostRunReport.h"
#include "host/units/HostMtiSettings.h"
#include "instrument/ZarvikModule.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "operator/recipes/SimulationRecipes.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/base/FileIo.h"
#include "platform/com/ComRuntime.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace zhost {

namespace {

constexpr const char* kPlugInProgId = "TelvoZARVIK.CZARVIKPlugIn";
constexpr const char* kModuleKey = zarvik::ModuleKey;
// The name of the built-in simulated analyzer in the port map.
constexpr const char* kSimDevice = "sim";
// How long the operator waits in virtual time, in a window where nothing it knows happens,
// before it gives the test up.
constexpr plat::Millis kSimPatience{120000};

std::optional<int32_t> Integer(const std::string& text)
{
    int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string CodeText(int32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
    return text;
}

// Ctrl-C while a sequence runs: the handler only writes a byte; the loop reads it.
int gInterruptPipe[2] = {-1, -1};

extern "C" void OnInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] auto written = ::write(gInterruptPipe[1], &byte, 1);
}

class InterruptWatch {
public:
    explicit InterruptWatch(std::function<void()> onInterrupt)
    {
        if (::pipe(gInterruptPipe) != 0) return;
        for (int fd : gInterruptPipe) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        ::sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &mPrevious);
        mWatch = plat::Loop().WatchFd(gInterruptPipe[0], [onInterrupt] {
            char bytes[16];
            while (::read(gInterruptPipe[0], bytes, sizeof bytes) > 0) {
            }
            onInterrupt();
        });
    }
    ~InterruptWatch()
    {
        mWatch.Stop();
        if (gInterruptPipe[0] < 0) return;
        ::sigaction(SIGINT, &mPrevious, nullptr);
        ::close(gInterruptPipe[0]);
        ::close(gInterruptPipe[1]);
        gInterruptPipe[0] = gInterruptPipe[1] = -1;
    }
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

private:
    struct sigaction mPrevious {};
    plat::FdWatch mWatch;
};

std::string Trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// Saves the readable report; a file that cannot be saved is the host's error, named by its path.
void WriteTextFile(const std::string& path, const std::string& text)
{
    try {
        plat::SaveFileAtomically(path, text);
    } catch (const plat::FileError& error) {
        throw plat::ComError(plat::rt::PermissionDenied, "zarvik-host", "cannot write " + path + ": " + error.what());
    }
}

// The readable report beside the result document: when the run started, the analyzer units
// the sequence recorded, whether the results come from the built-in simulated analyzer, then
// each element with its outcome.
void WriteReadableReport(const std::string& path, const host::HostTestSequence& sequence,
                         std::chrono::system_clock::time_point started, bool builtIn)
{
    auto report = std::make_shared<host::HostReport>();
    host::PrintRunReport(report, sequence, host::RunReportHeading{started, builtIn});
    WriteTextFile(path, report->Text());
}

// The automatic operator's physical actions: performed on the built-in analyzer, else asked of
// the person at the bench.
void SetUpOperator(zop::Operator& op, const std::shared_ptr<zsim::Analyzer>& analyzer, CommandContext& context)
{
    op.SetLog([&context](const std::string& line) { context.err << line << '\n' << std::flush; });
    if (!analyzer) {
        for (const char* action : {zop::physical::Discharge, zop::physical::Charge, zop::physical::AttachPacemaker,
                                   zop::physical::SetPacemakerOutput, zop::physical::ConnectAdapter}) {
            op.SetPhysical(action, [&context, action](double amount) {
                context.err << "operator: please " << action << " now (" << plat::CStr(amount) << ")\n" << std::flush;
            });
        }
        return;
    }
    op.SetPatience(kSimPatience);
    op.SetPhysical(zop::physical::Discharge, [analyzer, &op](double joules) {
        op.Say("operator: discharges " + plat::CStr(joules) + " J into the analyzer");
        analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
    });
    op.SetPhysical(zop::physical::Charge, [analyzer](double seconds) { analyzer->Charge(seconds); });
    // The pacemaker is attached at the rate (ppm) and output (mA) the operator set.
    auto pacemaker = std::make_shared<zsim::Pacemaker>();
    op.SetPhysical(zop::physical::SetPacemakerOutput, [pacemaker](double mA) { pacemaker->current = mA / 1000.0; });
    op.SetPhysical(zop::physical::ConnectAdapter,
                   [analyzer](double connected) { analyzer->Model().SetAdapterPresent(connected != 0); });
    op.SetPhysical(zop::physical::AttachPacemaker, [analyzer, pacemaker](double rate) {
        if (rate > 0) pacemaker->rate = rate;
        analyzer->AttachPacemaker(*pacemaker);
    });
}

// A number a person typed: finite, and within the bounds.
std::optional<double> TypedNumber(const std::string& text, double lowest, double highest)
{
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!(value >= lowest && value <= highest)) return std::nullopt;
    return value;
}

// A bench rehearsal against the built-in analyzer: the person does by typing what the
// instructions ask of the hands.
void AddBenchWords(PersonConsole& console, const std::shared_ptr<zsim::Analyzer>& analyzer)
{
    console.AddBenchWord({"discharge", "JOULES", "discharge the defibrillator into the analyzer",
                          [analyzer](const std::vector<std::string>& words) -> std::string {
                              auto joules = words.size() == 1 ? TypedNumber(words[0], 0, 1000) : std::nullopt;
                              if (!joules) return "discharge needs JOULES, from 0 to 1000";
                              analyzer->Discharge(zsim::Pulse::Into50Ohm(*joules));
                              return {};
                          }});
    console.AddBenchWord({"charge", "SECONDS", "charge the defibrillator for that long",
                          [analyzer](const std::vector<std::string>& words) -> std::string {
                              auto seconds = words.size() == 1 ? TypedNumber(words[0], 0, 3600) : std::nullopt;
                              if (!seconds) return "charge needs SECONDS, from 0 to 3600";
                              analyzer->Charge(*seconds);
                              return {};
                          }});
    console.AddBenchWord({"pacemaker", "PPM MA", "attach a pacemaker at that rate and output",
                          [analyzer](const std::vector<std::string>& words) -> std::string {
                              auto rate = words.size() == 2 ? TypedNumber(words[0], 1, 1000) : std::nullopt;
                              auto mA = words.size() == 2 ? TypedNumber(words[1], 0, 1000) : std::nullopt;
                              if (!rate || !mA) return "pacemaker needs PPM (1 to 1000) and MA (0 to 1000)";
                              zsim::Pacemaker pacemaker;
                              pacemaker.rate = *rate;
                              pacemaker.current = *mA / 1000.0;
                              analyzer->AttachPacemaker(pacemaker);
                              return {};
                          }});
    console.AddBenchWord({"adapter", "on|off", "connect or remove the pacer load adapter",
                          [analyzer](const std::vector<std::string>& words) -> std::string {
                              const std::string state = words.size() == 1 ? words[0] : std::string();
                              if (state != "on" && state != "off") return "adapter needs on or off";
                              analyzer->Model().SetAdapterPresent(state == "on");
                              return {};
                          }});
}

} // namespace

RunArguments ParseRunArguments(const std::vector<std::string>& args)
{
    RunArguments arguments;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--port" || arg == "--device" || arg == "--out" || arg == "--operator") {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            const std::string& value = args[++i];
            if (arg == "--port") {
                auto port = Integer(value);
                if (!port || *port < 1 || *port > HighestPort)
                    throw UsageError("--port needs a port number from 1 to " + std::to_string(HighestPort) + ", not '" +
                                     value + "'");
                arguments.port = *port;
                havePort = true;
            } else if (arg == "--operator") {
                if (value != "person" && value != "auto")
                    throw UsageError("--operator needs person or auto, not '" + value + "'");
                arguments.operatorKind = value == "person" ? OperatorKind::Person : OperatorKind::Auto;
            } else if (value.empty()) {
                throw UsageError(arg + " needs a value");
            } else if (arg == "--device") {
                arguments.device = value;
            } else {
                arguments.out = value;
            }
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') throw UsageError("unknown option '" + arg + "'");
        auto id = Integer(arg);
        if (!id) throw UsageError("'" + arg + "' is no test ID");
        arguments.testIds.push_back(*id);
    }
    if (!havePort) throw UsageError("--port N is required");
    if (arguments.testIds.empty()) throw UsageError("no test ID given");
    return arguments;
}

std::string MeasurementValueText(const plat::Variant& value)
{
    if (value.IsEmpty() || value.IsNull()) return {};
    // A verdict the operator gave: the checklist view checks its "passed" or its "fail" column.
    if (value.Type() == plat::VarType::Boolean) return value.AsBool() ? "passed" : "failed";
    if (value.IsString() && !plat::IsNumericText(value.AsString())) return value.AsString();
    try {
        return plat::CStr(plat::CSng(value));
    } catch (const std::exception&) {
        return plat::CStr(value);
    }
}

bool PrintResults(const host::HostTestSequence& sequence, std::ostream& out)
{
    bool allPassed = sequence.Count() > 0;
    for (const auto& entry : sequence.Entries()) {
        const auto& element = entry.element;
        auto result = element->Result();
        const std::string status = host::HostTestSequence::Outcome(entry);
        if (status != "passed") allPassed = false;
        out << element->TestID() << '\t' << status << '\n';
        if (!result || !entry.performed) continue;
        for (int32_t i = 1; i <= result->MeasurementCount(); ++i) {
            auto measurement = result->Measurement(plat::Variant(i));
            if (!measurement) continue;
            const int32_t measurementStatus = measurement->Status();
            out << '\t' << measurement->Key() << '\t' << MeasurementValueText(measurement->value()) << '\t'
                << Trimmed(measurement->Unit()) << '\t'
                << (measurementStatus == 1 ? "passed" : measurementStatus == 2 ? "failed" : "not rated") << '\n';
        }
    }
    return allPassed;
}

std::shared_ptr<host::IPlugIn> StartPlugIn()
{
    std::shared_ptr<host::IPlugIn> plugIn;
    try {
        plugIn = plat::CreateObjectAs<host::IPlugIn>(kPlugInProgId);
    } catch (const plat::ComError& error) {
        if (error.Number() != plat::rt::ClassNotRegistered) throw;
        std::ostringstream quiet;
        RegisterDeliverables(quiet);
        plugIn = plat::CreateObjectAs<host::IPlugIn>(kPlugInProgId);
    }
    if (!plugIn) throw plat::ComError(plat::rt::TypeMismatch, "zarvik-host", std::string(kPlugInProgId) + " is no plug-in");
    try {
        plugIn->Initialize(std::make_shared<host::HostLoadLog>());
        if (!plugIn->Tests()) throw UsageError("the plug-in has no test catalogue");
    } catch (const plat::ComError& error) {
        throw UsageError("cannot read the test catalogue: error " + CodeText(error.Number()) + ": " + error.Description());
    }
    return plugIn;
}

std::vector<int32_t> CatalogueTestIds(host::IPlugIn& plugIn)
{
    std::vector<int32_t> ids;
    auto tests = plugIn.Tests();
    for (int32_t i = 0; i < tests->Count(); ++i) {
        if (auto test = tests->Item(i)) ids.push_back(test->TestID());
    }
    return ids;
}

int RunTests(const RunArguments& arguments, CommandContext& context, std::shared_ptr<host::IPlugIn> plugIn)
{
    if (arguments.device) plat::PortMap::SetOverride(arguments.port, *arguments.device);
    host::HostMtiSettings::SetPortOverride(kModuleKey, arguments.port);
    // Where the port leads decides, not how it was named: a port the registry maps to "sim" is
    // the built-in analyzer as much as --device sim is.
    const plat::PortMap::Target target = plat::PortMap::Resolve(arguments.port);
    const bool builtIn = target.kind == plat::PortMap::Target::Kind::InProcess && target.name == kSimDevice;
    const OperatorKind who = arguments.operatorKind.value_or(builtIn ? OperatorKind::Auto : OperatorKind::Person);
    const bool virtualClock = builtIn && who == OperatorKind::Auto;

    std::shared_ptr<zsim::Analyzer> analyzer;
    if (builtIn) {
        // The automatic operator's run on a virtual clock: waits and count-downs take no real
        // time. A person rehearses on the real clock.
        if (virtualClock) plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeVirtualClock()));
        analyzer = std::make_shared<zsim::Analyzer>();
        zsim::SimDevice::Install(analyzer, kSimDevice);
    }

    if (!plugIn) plugIn = StartPlugIn();
    auto tests = plugIn->Tests();
    for (int32_t id : arguments.testIds) {
        if (!tests->ItemByTestID(id)) throw UsageError("unknown test ID " + std::to_string(id));
    }
    auto sequence = std::make_shared<host::HostTestSequence>(plugIn);
    for (int32_t id : arguments.testIds) sequence->AddTest(id);

    auto scene = std::make_shared<zop::GuideWindowScene>();
    std::unique_ptr<zop::Operator> op;
    std::unique_ptr<PersonConsole> console;
    bool interrupted = false;
    std::function<void()> end;
    if (who == OperatorKind::Auto) {
        op = std::make_unique<zop::Operator>(scene);
        SetUpOperator(*op, analyzer, context);
        sequence->SetBeforePerform([&, builtIn](std::size_t index) {
            const int32_t testId = sequence->Item(index).element->TestID();
            // Against a real analyzer nobody watches the monitor for the operator: a wave gets
            // no verdict, and the test ends not rated.
            if (!builtIn && zop::IsJudgedByEye(testId)) {
                op->ClearRules();
                zop::RecipeBook::AddSharedHabits(*op);
            } else {
                zop::RecipeBook::Standard().Apply(testId, *op);
            }
        });
        end = [&] {
            sequence->RequestStop();
            op->GiveUp();
        };
    } else {
        console = std::make_unique<PersonConsole>(scene, STDIN_FILENO, context.err);
        if (analyzer) AddBenchWords(*console, analyzer);
        sequence->SetBeforePerform(
            [&](std::size_t index) { console->BeginTest(sequence->Item(index).element->TestID()); });
        end = [&] {
            sequence->RequestStop();
            console->Leave();
        };
        console->SetOnInputEnd([&] {
            interrupted = true;
            end();
        });
    }

    std::unique_ptr<InterruptWatch> interrupts;
    if (!virtualClock) {
        interrupts = std::make_unique<InterruptWatch>([&] {
            interrupted = true;
            context.err << "zarvik-host: interrupted; stopping the test\n" << std::flush;
            end();
        });
    }

    if (op) op->Start();
    if (console) console->Start();
    const auto started = std::chrono::system_clock::now();
    sequence->Run();
    if (op) op->Stop();
    if (console) console->Stop();
    interrupts.reset();

    const bool allPassed = PrintResults(*sequence, context.out);
    context.out.flush();
    if (arguments.out) {
        sequence->Save(*arguments.out);
        WriteReadableReport(*arguments.out + ".txt", *sequence, started, builtIn);
    }
    if (interrupted) return RunInterrupted;
    return allPassed ? RunAllPassed : RunNotAllPassed;
}

} // namespace zhost
