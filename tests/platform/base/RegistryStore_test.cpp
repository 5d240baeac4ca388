#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using plat::ComError;
using plat::RegistryStore;

namespace {

const std::string kSettings = "HKEY_LOCAL_MACHINE\\Software\\Vantrel\\telvo\\ZARVIK";

using ztesting::ReadAll;
using ztesting::TempFolder;
using ztesting::WriteAll;

RegistryStore::Value String(const std::string& text)
{
    return {RegistryStore::Value::Kind::String, text, 0};
}

RegistryStore::Value DWord(uint32_t value)
{
    return {RegistryStore::Value::Kind::DWord, {}, value};
}

void ExpectValue(const RegistryStore& store, const std::string& key, const std::string& name,
                 const RegistryStore::Value& expected)
{
    SCOPED_TRACE(key + " / " + name);
    auto value = store.GetValue(key, name);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->kind, expected.kind);
    if (expected.kind == RegistryStore::Value::Kind::DWord) {
        EXPECT_EQ(value->dword, expected.dword);
    } else {
        EXPECT_EQ(value->text, expected.text);
    }
}

} // namespace

TEST(RegistryStore, EveryValueSurvivesTheFileWithItsKind)
{
    TempFolder dir;
    const std::string path = dir.File("registry");
    const std::vector<std::pair<std::string, RegistryStore::Value>> values = {
        {"", String("default value")},
        {"Quotes", String("say \"hi\" \\ back\\")},
        {"Lines", String("one\ntwo\r\n\tthree")},
        {"Controls", String(std::string("a\x01\x7f" "b\0c", 6))},
        {"Utf8", String("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC")},
        {"Empty", String("")},
        {"Looks like a line\nkey \"x\"", String("value \"y\" dword 1")},
        {"Back\\slash", String("x")},
        {"Zero", DWord(0)},
        {"Max", DWord(0xFFFFFFFFu)},
        {"NumberText", String("1000")},
    };
    {
        RegistryStore store(path);
        for (const auto& [name, value] : values) {
            if (value.kind == RegistryStore::Value::Kind::DWord) {
                store.SetDWord(kSettings, name, value.dword);
            } else {
                store.SetString(kSettings, name, value.text);
            }
        }
        store.CreateKey(kSettings + "\\Empty key");
    }
    RegistryStore reopened(path);
    for (const auto& [name, value] : values) ExpectValue(reopened, kSettings, name, value);
    EXPECT_TRUE(reopened.KeyExists(kSettings + "\\Empty key"));
    std::vector<std::string> names;
    for (const auto& [name, value] : values) names.push_back(name);
    EXPECT_EQ(reopened.ValueNames(kSettings), names);
    // A value written over keeps its place and takes the new kind.
    reopened.SetString(kSettings, "Zero", "now text");
    ExpectValue(RegistryStore(path), kSettings, "Zero", String("now text"));
    EXPECT_EQ(RegistryStore(path).ValueNames(kSettings), names);
}

TEST(RegistryStore, NamesCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    store.SetDWord("HKEY_LOCAL_MACHINE\\Software\\Vantrel\\telvo\\ZARVIK", "CommTimeOut", 1000);
    store.SetDWord("HKEY_LOCAL_MACHINE\\Software\\Vantrel\\Telvo\\ZARVIK\\MtiData\\", "MRU", 0);

    ExpectValue(store, "hkey_local_machine\\SOFTWARE\\vantrel\\TELVO\\zarvik", "commtimeout", DWord(1000));
    ExpectValue(store, "\\HKEY_LOCAL_MACHINE\\Software\\\\Vantrel\\telvo\\ZARVIK\\MtiData", "mru", DWord(0));
    EXPECT_EQ(store.SubKeys("HKEY_LOCAL_MACHINE\\Software\\Vantrel"), std::vector<std::string>{"telvo"});
    EXPECT_EQ(store.SubKeys(kSettings), std::vector<std::string>{"MtiData"});

    store.SetDWord(kSettings, "COMMTIMEOUT", 2000);
    EXPECT_EQ(store.ValueNames(kSettings), std::vector<std::string>{"CommTimeOut"});
    ExpectValue(store, kSettings, "CommTimeOut", DWord(2000));
    EXPECT_TRUE(store.DeleteValue(kSettings, "commTimeout"));
    EXPECT_FALSE(store.GetValue(kSettings, "CommTimeOut").has_value());
}

TEST(RegistryStore, SubkeysEnumerateInCreationOrderAndDeleteWithTheirTree)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    const std::string mti = kSettings + "\\MtiData";
    for (const char* type : {"ZARVIK", "Alpha", "beta"}) store.SetString(mti + "\\" + type, "Serial", type);
    store.SetString(mti + "\\Alpha\\Deeper", "x", "y");

    EXPECT_EQ(store.SubKeys(mti), (std::vector<std::string>{"ZARVIK", "Alpha", "beta"}));
    EXPECT_EQ(RegistryStore(store.Path()).SubKeys(mti), (std::vector<std::string>{"ZARVIK", "Alpha", "beta"}));
    EXPECT_TRUE(store.SubKeys(mti + "\\Missing").empty());
    EXPECT_TRUE(store.ValueNames(mti + "\\Missing").empty());

    EXPECT_TRUE(store.DeleteKey(mti + "\\ALPHA"));
    EXPECT_FALSE(store.KeyExists(mti + "\\Alpha\\Deeper"));
    EXPECT_FALSE(store.DeleteKey(mti + "\\Alpha"));
    EXPECT_EQ(RegistryStore(store.Path()).SubKeys(mti), (std::vector<std::string>{"ZARVIK", "beta"}));

    // A key path must name something, and a hostile depth is refused before it is stored.
    EXPECT_THROW(store.CreateKey("\\\\"), ComError);
    std::string deep = "HKEY_CURRENT_USER";
    for (int i = 0; i < 70; ++i) deep += "\\k";
    try {
        store.CreateKey(deep);
        FAIL() << "a key deeper than the limit was created";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), RegistryStore::ErrInvalidName);
    }
}

TEST(RegistryStore, ChangeSavesAllOrNothing)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    store.SetString(kSettings, "Configuration", "/opt/catalogue.mpc");
    const std::string before = ReadAll(store.Path());

    EXPECT_THROW(store.Change([&] {
        store.SetDWord(kSettings, "CommTimeOut", 5);
        store.DeleteValue(kSettings, "Configuration");
        throw ComError(5, "test", "stop half-way");
    }),
                 ComError);
    EXPECT_EQ(ReadAll(store.Path()), before);
    EXPECT_FALSE(store.GetValue(kSettings, "CommTimeOut").has_value());
    ExpectValue(store, kSettings, "Configuration", String("/opt/catalogue.mpc"));

    store.Change([&] {
        store.SetDWord(kSettings, "CommTimeOut", 5);
        store.Change([&] { store.SetDWord(kSettings, "RangeThreshold", 50); });
    });
    ExpectValue(RegistryStore(store.Path()), kSettings, "RangeThreshold", DWord(50));
    ExpectValue(RegistryStore(store.Path()), kSettings, "CommTimeOut", DWord(5));
}

namespace {

// Checks that a save which cannot complete raises, and leaves the file, the tree in memory and
// the folder (no temporary file left behind) as they were.
bool FailedSaveChangesNothing(RegistryStore& store, const TempFolder& dir, std::string& why)
{
    const std::string before = ReadAll(store.Path());
    const auto entries = dir.Names();
    try {
        store.SetString(kSettings, "Big", std::string(4096, 'x'));
        why = "the save did not fail";
        return false;
    } catch (const ComError& e) {
        if (e.Number() != RegistryStore::ErrIoFailed || std::string(e.what()).find(store.Path()) == std::string::npos) {
            why = std::string("unexpected error: ") + e.what();
            return false;
        }
    }
    if (ReadAll(store.Path()) != before) why = "the file changed";
    else if (store.GetValue(kSettings, "Big").has_value()) why = "the tree in memory kept the change";
    else if (dir.Names() != entries) why = "a temporary file was left behind";
    return why.empty();
}

} // namespace

TEST(RegistryStore, ASaveThatCannotBeWrittenLeavesTheOldFile)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    store.SetDWord(kSettings, "CommTimeOut", 1000);

    // The disk "fills up" half-way through the write.
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    std::string why;
    bool unchanged = FailedSaveChangesNothing(store, dir, why);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(unchanged) << why;

    store.SetDWord(kSettings, "CommTimeOut", 2000);
    ExpectValue(RegistryStore(store.Path()), kSettings, "CommTimeOut", DWord(2000));
}

TEST(RegistryStore, ASaveIntoAnUnwritableFolderLeavesTheOldFile)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    store.SetDWord(kSettings, "CommTimeOut", 1000);
    ::chmod(dir.Path().c_str(), 0555);
    // The superuser writes into any folder, so the check runs in a child without that right.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && ::setresuid(65534, 65534, 65534) != 0) std::_Exit(3);
            std::string why;
            bool unchanged = FailedSaveChangesNothing(store, dir, why);
            if (!unchanged) std::fprintf(stderr, "%s\n", why.c_str());
            std::_Exit(unchanged ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(RegistryStore, ACorruptOrHostileFileRaisesAndStaysAsItIs)
{
    const std::string header = "ZARVIK-REGISTRY 1\n";
    std::string tooDeep = header + "key \"HKEY_LOCAL_MACHINE\"";
    for (int i = 0; i < 100; ++i) tooDeep += " \"k\"";
    tooDeep += "\n";
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"no header", "key \"HKEY_LOCAL_MACHINE\"\n"},
        {"other header", "ZARVIK-REGISTRY 2\n"},
        {"binary", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10)},
        {"value outside a key", header + "value \"a\" dword 1\n"},
        {"unterminated text", header + "key \"HKEY_LOCAL_MACHINE\n"},
        {"bad escape", header + "key \"HKEY\\q\"\n"},
        {"short hex escape", header + "key \"HKEY\\x4\"\n"},
        {"raw control byte", header + std::string("key \"HK\0EY\"\n", 11)},
        {"backslash in a key name", header + "key \"HKEY\\\\Software\"\n"},
        {"empty key name", header + "key \"HKEY\" \"\"\n"},
        {"unknown kind", header + "key \"HKEY\"\nvalue \"a\" qword 1\n"},
        {"dword too large", header + "key \"HKEY\"\nvalue \"a\" dword 4294967296\n"},
        {"dword not a number", header + "key \"HKEY\"\nvalue \"a\" dword -1\n"},
        {"value listed twice", header + "key \"HKEY\"\nvalue \"a\" dword 1\nvalue \"A\" dword 2\n"},
        {"key listed twice", header + "key \"HKEY\"\nkey \"hkey\"\n"},
        {"trailing text", header + "key \"HKEY\"\nvalue \"a\" string \"x\" \"y\"\n"},
        {"unknown line", header + "delete \"HKEY\"\n"},
        {"too deep", tooDeep},
    };
    TempFolder dir;
    const std::string path = dir.File("registry");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(path, c.text);
        try {
            RegistryStore store(path);
            ADD_FAILURE() << "loaded";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Number(), RegistryStore::ErrNotRegistryFile);
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadAll(path), c.text);
    }
}

TEST(RegistryStore, AFileThatIsTooLargeOrNoFileIsRefused)
{
    TempFolder dir;
    const std::string huge = dir.File("huge");
    {
        std::ofstream out(huge);
        out << "ZARVIK-REGISTRY 1\n";
    }
    ASSERT_EQ(::truncate(huge.c_str(), RegistryStore::MaxFileBytes + 1), 0);
    EXPECT_THROW(RegistryStore{huge}, ComError);

    const std::string folder = dir.File("folder");
    ::mkdir(folder.c_str(), 0700);
    EXPECT_THROW(RegistryStore{folder}, ComError);
    const std::string fifo = dir.File("fifo");
    ::mkfifo(fifo.c_str(), 0600);
    EXPECT_THROW(RegistryStore{fifo}, ComError);
}

TEST(RegistryStore, ReloadOfACorruptFileKeepsTheTreeInMemory)
{
    TempFolder dir;
    RegistryStore store(dir.File("registry"));
    store.SetDWord(kSettings, "CommTimeOut", 1000);
    WriteAll(store.Path(), "garbage\n");
    EXPECT_THROW(store.Reload(), ComError);
    ExpectValue(store, kSettings, "CommTimeOut", DWord(1000));

    RegistryStore other(dir.File("other"));
    other.SetDWord(kSettings, "CommTimeOut", 3000);
    WriteAll(store.Path(), ReadAll(other.Path()));
    store.Reload();
    ExpectValue(store, kSettings, "CommTimeOut", DWord(3000));
}

TEST(RegistryStore, TheProcessStoreFollowsTheRegistryPath)
{
    TempFolder dir;
    plat::SetRegistryPath(dir.File("a/first"));
    RegistryStore& store = plat::Registry();
    EXPECT_EQ(store.Path(), dir.File("a/first"));
    store.SetDWord(kSettings, "CommTimeOut", 1); // creates the missing folder "a"
    EXPECT_TRUE(RegistryStore(dir.File("a/first")).KeyExists(kSettings));

    WriteAll(dir.File("corrupt"), "garbage\n");
    plat::SetRegistryPath(dir.File("corrupt"));
    EXPECT_THROW(plat::Registry(), ComError);

    plat::SetRegistryPath(dir.File("second"));
    EXPECT_EQ(&plat::Registry(), &store);
    EXPECT_EQ(store.Path(), dir.File("second"));
    EXPECT_FALSE(store.KeyExists(kSettings));
}

namespace {

// Makes the file look unchanged for two hours.
void Age(const std::string& path)
{
    const timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), old, AT_SYMLINK_NOFOLLOW), 0) << path;
}

} // namespace

// A save killed between writing its temporary file and renaming it leaves that file behind;
// the next load or save removes it once it is provably abandoned: the user's own, unchanged
// for long and locked by no save. Whether a process of the name runs is not asked: a save in
// progress in another PID namespace, or on another computer, has an id that means nothing here.
TEST(RegistryStore, LoadAndSaveRemoveOnlyAbandonedTemporaries)
{
    // The id of a process that has ended, as a process of another namespace looks from here.
    const pid_t child = ::fork();
    if (child == 0) std::_Exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::string gone = std::to_string(child);

    for (const bool byLoad : {true, false}) {
        SCOPED_TRACE(byLoad ? "load" : "save");
        TempFolder dir;
        const std::string path = dir.File("registry.txt");
        // A store opened before the temporaries are left, so that its save alone can remove them.
        std::optional<RegistryStore> saver;
        if (!byLoad) saver.emplace(path);
        const std::string abandoned = ".registry.txt." + gone + ".0.tmp";
        const std::string saving = ".registry.txt." + gone + ".1.tmp";  // locked by its save
        const std::string young = ".registry.txt." + gone + ".2.tmp";   // a save may be writing it
        const std::string foreign = ".registry.txt." + gone + ".3.tmp"; // another user's
        // Names that are no save's: another file's, a process or a counter part that is no number.
        const std::vector<std::string> others = {".other.txt." + gone + ".0.tmp", ".registry.txt.x.0.tmp",
                                                 "registry.txt." + gone + ".0.tmp", ".registry.txt." + gone + ".x.tmp",
                                                 ".registry.txt." + gone + "..tmp", ".registry.txt." + gone + ".1x.tmp",
                                                 ".registry.txt." + gone + ".0.0.tmp"};
        for (const auto& name : {abandoned, saving, young, foreign}) WriteAll(dir.File(name), "partial");
        for (const auto& name : others) WriteAll(dir.File(name), "partial");
        for (const auto& name : {abandoned, saving, foreign}) Age(dir.File(name));
        for (const auto& name : others) Age(dir.File(name));
        const int lock = ::open(dir.File(saving).c_str(), O_RDWR);
        ASSERT_EQ(::flock(lock, LOCK_EX), 0);
        // Only the superuser can give a file away; for anyone else the file stays their own.
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::chown(dir.File(foreign).c_str(), 65534, 65534), 0);
        }

        if (byLoad) {
            RegistryStore store(path);
        } else {
            saver->SetDWord(kSettings, "CommTimeOut", 2000);
        }
        ::close(lock);
        EXPECT_FALSE(std::filesystem::exists(dir.File(abandoned)));
        for (const auto& name : {saving, young}) EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
        EXPECT_EQ(std::filesystem::exists(dir.File(foreign)), root);
        for (const auto& name : others) EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << name;
    }
}
