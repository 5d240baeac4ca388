#include "platform/base/RegistryStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Runs the built program with a registry of its own: $ZARVIK_REGISTRY points into the
// temporary folder, so that no run can touch the user's registry.
class ZarvikHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zarvik-host-XXXXXX";
        mDir = ::mkdtemp(pattern);
        const char* binDir = std::getenv("ZARVIK_BIN_DIR");
        mProgram = std::string(binDir && *binDir ? binDir : ZARVIK_LIBRARY_DIR "/../bin") + "/zarvik-host";
        mLibDir = std::filesystem::canonical(std::filesystem::path(mProgram).parent_path() / ".." / "lib").string();
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(mDir, ignored);
    }

    Outcome Run(std::vector<std::string> args) const
    {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("ZARVIK_REGISTRY=", 0) != 0) env.emplace_back(*e);
        env.push_back("ZARVIK_REGISTRY=" + EnvRegistry());
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
        Outcome outcome;
        int spawned = posix_spawn(&pid, mProgram.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            ADD_FAILURE() << "cannot run " << mProgram;
            return outcome;
        }
        int wstatus = 0;
        ::waitpid(pid, &wstatus, 0);
        outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
        outcome.out = ReadAll(outPath);
        outcome.err = ReadAll(errPath);
        return outcome;
    }

    std::string Registry() const { return mDir + "/registry"; }
    std::string EnvRegistry() const { return mDir + "/env-registry"; }

    std::string mDir;
    std::string mProgram;
    std::string mLibDir;
};

bool IsDeliverable(const std::string& library, const std::string& libDir)
{
    for (const char* name : {"telvoView", "telvoZarvikTest", "telvoZarvikVti", "telvoZarvik"})
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
    for (const auto& line : Lines(registered.out)) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, registeredLine)) << line;
        fromRegister.insert({m[1], m[2]});
    }

    Outcome classes = Run({"--registry=" + Registry(), "classes"});
    ASSERT_EQ(classes.status, 0) << classes.err;
    auto lines = Lines(classes.out);
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
    EXPECT_EQ(Lines(unregistered.out).size(), fromRegister.size());
    Outcome after = Run({"--registry", Registry(), "classes"});
    EXPECT_EQ(after.out, "Aaa.Other\t{00000000-0000-0000-0000-0000000000AA}\t/opt/other.so\n");

    // The option wins over the environment: the environment's registry was never written.
    EXPECT_FALSE(std::filesystem::exists(EnvRegistry()));
}

TEST_F(ZarvikHost, DemoRegistersAndListsInTheEnvironmentsRegistry)
{
    Outcome demo = Run({"demo"});
    ASSERT_EQ(demo.status, 0) << demo.err;
    auto lines = Lines(demo.out);
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
