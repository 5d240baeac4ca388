#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct HostRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

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
    void SetUp() override
    {
        char pattern[] = "/tmp/zarvik-catalogue-XXXXXX";
        mDir = ::mkdtemp(pattern);
        const char* binDir = std::getenv("ZARVIK_BIN_DIR");
        mProgram = std::string(binDir && *binDir ? binDir : ZARVIK_LIBRARY_DIR "/../bin") + "/zarvik-host";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(mDir, ignored);
    }

    HostRun Host(std::vector<std::string> args) const
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("ZARVIK_REGISTRY=", 0) != 0) env.emplace_back(*e);
        env.push_back("ZARVIK_REGISTRY=" + Registry());
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        args.insert(args.begin(), mProgram);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);

        const std::string outPath = mDir + "/stdout";
        const std::string errPath = mDir + "/stderr";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        pid_t pid = 0;
        HostRun run;
        int spawned = posix_spawn(&pid, mProgram.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot run " << mProgram;
            return run;
        }
        int wstatus = 0;
        ::waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        run.out = ReadFile(outPath);
        run.err = ReadFile(errPath);
        return run;
    }

    std::string Registry() const { return mDir + "/registry"; }
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(mDir + "/" + name) << text;
        return mDir + "/" + name;
    }

    std::string mDir;
    std::string mProgram;
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
    const std::string registryBefore = ReadFile(Registry());
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
    EXPECT_EQ(ReadFile(Registry()), registryBefore);
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
