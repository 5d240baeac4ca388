#include "platform/base/RegistryStore.h"
#include "support/HostProgram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

using ztesting::ReadAll;
using ztesting::SplitLines;

namespace {

using Outcome = ztesting::ProgramOutcome;

// Runs the built program with a registry of its own: $ZARVIK_REGISTRY points into the
// temporary folder, so that no run can touch the user's registry.
class ZarvikHost : public ::testing::Test {
protected:
    Outcome Run(std::vector<std::string> args) const { return mHost.Run(std::move(args)); }

    std::string Registry() const { return mHost.File("registry"); }
    std::string EnvRegistry() const { return mHost.EnvironmentRegistry(); }

    ztesting::HostProgram mHost{"zarvik-host", "env-registry"};
    const std::string mLibDir =
        std::filesystem::canonical(std::filesystem::path(mHost.Path()).parent_path() / ".." / "lib").string();
};

bool IsDeliverable(const std::string& library, const std::string& libDir)
{
    for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikTest", "telvoZarvikVti", "telvoZarvik"})
        if (library == libDir + "/lib" + name + ".so") return true;
    return false;
}

} // namespace

TEST_F(ZarvikHost, RegisterListsEachClassAndClassesShowsWhereItLives)
{
    // A class some other server registered earlier stays listed and untouched.
    plat::RegistryStore(Registry()).SetString(
        "HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-0000000000AA}\\ProgID", "", "Aaa.Other");
    plat::RegistryStore(Registry()).SetString(
        "HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-0000000000AA}\\InprocServer32", "", "/opt/other.so");

    Outcome registered = Run({"--registry", Registry(), "register"});
    ASSERT_EQ(registered.status, 0) << registered.err;
    EXPECT_EQ(registered.err, "");
    const std::regex registeredLine(R"(registered (\S+) (\{[0-9A-Fa-f-]{36}\}))");
    std::set<std::pair<std::string, std::string>> fromRegister;
    for (const auto& line : SplitLines(registered.out)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, registeredLine)) << line;
        fromRegister.insert({m[1], m[2]});
    }

    Outcome classes = Run({"--registry=" + Registry(), "classes"});
    ASSERT_EQ(classes.status, 0) << classes.err;
    auto lines = SplitLines(classes.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Aaa.Other\t{00000000-0000-0000-0000-0000000000AA}\t/opt/other.so");
    std::set<std::pair<std::string, std::string>> fromClasses;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, std::regex("([^\t]+)\t([^\t]+)\t([^\t]+)"))) << lines[i];
        EXPECT_TRUE(IsDeliverable(m[3], mLibDir)) << lines[i];
        fromClasses.insert({m[1], m[2]});
    }
    EXPECT_EQ(fromClasses, fromRegister);

    Outcome unregistered = Run({"--registry", Registry(), "unregister"});
    ASSERT_EQ(unregistered.status, 0) << unregistered.err;
    EXPECT_EQ(SplitLines(unregistered.out).size(), fromRegister.size());
    Outcome after = Run({"--registry", Registry(), "classes"});
    EXPECT_EQ(after.out, "Aaa.Other\t{00000000-0000-0000-0000-0000000000AA}\t/opt/other.so\n");

    // The option wins over the environment: the environment's registry was never written.
    EXPECT_FALSE(std::filesystem::exists(EnvRegistry()));
}

TEST_F(ZarvikHost, DemoRegistersAndListsInTheEnvironmentsRegistry)
{
    Outcome demo = Run({"demo"});
    ASSERT_EQ(demo.status, 0) << demo.err;
    auto lines = SplitLines(demo.out);
    ASSERT_FALSE(lines.empty());
    // One line per class registered, the same per class listed, the count, then the catalogue's
    // rows and their count.
    const std::regex countLine("(\\d+) classes registered in (.*)");
    size_t at = 0;
    std::smatch m;
    while (at < lines.size() && !std::regex_match(lines[at], m, countLine)) ++at;
    ASSERT_LT(at, lines.size()) << demo.out;
    EXPECT_EQ(std::stoul(m[1]), at / 2);
    EXPECT_EQ(m[2].str(), EnvRegistry());
    EXPECT_EQ(lines.back(), std::to_string(lines.size() - at - 2) + " tests in the catalogue");
    EXPECT_TRUE(std::filesystem::exists(EnvRegistry()));

    Outcome classes = Run({"classes"});
    ASSERT_EQ(classes.status, 0) << classes.err;
    EXPECT_NE(demo.out.find(classes.out), std::string::npos);
}

TEST_F(ZarvikHost, BadArgumentsPrintTheUsageAndExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"--registry"},
        {"--registry="},
        {"--registry", Registry()},
        {"--bogus", "classes"},
        {"classes", "extra"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += "[" + a + "]";
        SCOPED_TRACE(shown);
        Outcome outcome = Run(args);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("usage: zarvik-host"), std::string::npos) << outcome.err;
    }
    Outcome help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"register", "unregister", "classes", "demo", "catalogue"})
        EXPECT_NE(help.out.find(std::string("  ") + command + " "), std::string::npos) << command;
}

TEST_F(ZarvikHost, ACorruptRegistryIsReportedAndLeftAsItIs)
{
    std::ofstream(Registry()) << "this is no registry\n";
    for (const char* command : {"classes", "register"}) {
        SCOPED_TRACE(command);
        Outcome outcome = Run({"--registry", Registry(), command});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find(Registry()), std::string::npos) << outcome.err;
        EXPECT_EQ(ReadAll(Registry()), "this is no registry\n");
    }
}
