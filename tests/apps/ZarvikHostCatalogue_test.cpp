#include "support/HostProgram.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>

using ztesting::ReadAll;
using ztesting::SplitLines;

namespace {

using HostRun = ztesting::ProgramOutcome;

// The test classes of the shipped catalogue, by test ID.
const std::map<int, std::string>& ShippedClasses()
{
    static const std::map<int, std::string> classes = {
        {100, "CTestEnergy"}, {200, "CTestCharge"},  {300, "CTestCardio"},   {400, "CTestNSW"},
        {500, "CTestArr"},    {600, "CTestPerf"},    {700, "CTestPacerPar"}, {800, "CTestPacerRef"},
        {900, "CTestBatCap"}, {1000, "CTestDefib"}, {1100, "CTestEcg"},
    };
    return classes;
}

// Runs the built zarvik-host on a registry of its own in a temporary folder.
class ZarvikHostCatalogue : public ::testing::Test {
protected:
    HostRun Host(std::vector<std::string> args) const { return mHost.Run(std::move(args)); }

    std::string Registry() const { return mHost.EnvironmentRegistry(); }
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(mHost.File(name)) << text;
        return mHost.File(name);
    }

    ztesting::HostProgram mHost{"zarvik-catalogue"};
    const std::string mDir = mHost.Folder();
};

} // namespace

// The rows are the shipped tests whose classes are registered; until the test library serves a
// test class, its entry is skipped with a message and the listing has no row for it.
TEST_F(ZarvikHostCatalogue, ListsTheShippedTestsWhoseClassesAreRegistered)
{
    ASSERT_EQ(Host({"register"}).status, 0);
    const HostRun classes = Host({"classes"});
    std::set<std::string> registered;
    for (const auto& line : SplitLines(classes.out)) registered.insert(line.substr(0, line.find('\t')));

    const HostRun run = Host({"catalogue"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::regex row(R"((\d+)\t(TelvoZarvikTest\.(\w+))\t(.+))");
    std::set<int> listed;
    for (const auto& line : SplitLines(run.out)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, row)) << line;
        const int id = std::stoi(m[1]);
        ASSERT_TRUE(ShippedClasses().count(id)) << line;
        EXPECT_EQ(m[3].str(), ShippedClasses().at(id)) << line;
        listed.insert(id);
    }
    for (const auto& [id, className] : ShippedClasses()) {
        const std::string progId = "TelvoZarvikTest." + className;
        EXPECT_EQ(listed.count(id) == 1, registered.count(progId) == 1) << progId;
        if (!registered.count(progId)) {
            EXPECT_NE(run.err.find(progId), std::string::npos) << run.err;
        }
    }
}

TEST_F(ZarvikHostCatalogue, ACatalogueThatCannotBeReadIsReportedWithItsCode)
{
    ASSERT_EQ(Host({"register"}).status, 0);
    const std::string registryBefore = ReadAll(Registry());
    struct Case {
        const char* name;
        std::string path;
        const char* code;
    };
    const Case cases[] = {
        {"missing", mDir + "/missing.mpc", "0x8004A22A"},
        {"a folder", mDir, "0x8004A28F"},
        {"no TemplateData", Write("empty.mpc", "<Catalogue/>"), "0x8004A22C"},
        {"an entry without ClassName", Write("noclass.mpc", "<C><TemplateData><TestElement ID=\"1\"/></TemplateData></C>"),
         "0x8004A22C"},
        // Not well-formed: the reader reports it and leaves no catalogue to list.
        {"not well-formed", Write("broken.mpc", "<Catalogue><TemplateData>"), "0x8004A229"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HostRun run = Host({"catalogue", "--file", c.path});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(std::string("error ") + c.code + ": "), std::string::npos) << run.err;
    }
    // The path replaced the setting for those runs only.
    EXPECT_EQ(ReadAll(Registry()), registryBefore);
}

TEST_F(ZarvikHostCatalogue, NeedsTheRegisteredPlugInAndAPathAfterFile)
{
    const HostRun unregistered = Host({"catalogue"});
    EXPECT_EQ(unregistered.status, 1);
    EXPECT_NE(unregistered.err.find("zarvik-host register"), std::string::npos) << unregistered.err;

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"catalogue", "--file"}, {"catalogue", "--file="}, {"catalogue", "extra"}}) {
        const HostRun run = Host(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_NE(run.err.find("usage: zarvik-host"), std::string::npos) << run.err;
    }
}
