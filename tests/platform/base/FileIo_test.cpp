#include "platform/base/FileIo.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WithoutPrivileges.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using ztesting::ReadAll;
using ztesting::TempFolder;
using ztesting::WriteAll;

// A lock that another holds is waited for, at most the time given; it is taken at once when
// its holder has gone.
TEST(FileLock, WaitsForItsHolderAtMostTheTimeGiven)
{
    TempFolder dir;
    const std::string path = dir.File(".results.lock");
    std::optional<plat::FileLock> holder(std::in_place, path);
    int waits = 0;
    const auto started = std::chrono::steady_clock::now();
    try {
        // Told when the wait begins and then again every 50 ms.
        plat::FileLock second(path, 200ms, [&] { ++waits; }, 50ms);
        ADD_FAILURE() << "locked twice";
    } catch (const plat::FileError& error) {
        EXPECT_EQ(error.GetKind(), plat::FileError::Kind::Locked);
        EXPECT_EQ(std::string(error.what()), "'" + path + "' is locked by another process");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
    EXPECT_GE(waits, 3);
    EXPECT_LE(waits, 5);

    holder.reset();
    const int before = waits;
    plat::FileLock taken(path, 0ms, [&] { ++waits; });
    EXPECT_EQ(waits, before);
}

// What stands at a lock's path and is no regular file is never taken for a lock file, and is
// left as it is: a folder, a link (even to a regular file), a FIFO, a device node.
TEST(FileLock, TakesOnlyARegularFileForALockFile)
{
    TempFolder dir;
    WriteAll(dir.File("target"), "");
    const std::string folder = dir.File("folder");
    const std::string link = dir.File("link");
    const std::string fifo = dir.File("fifo");
    const std::string device = dir.File("device");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.File("target").c_str(), link.c_str()), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    std::vector<std::string> paths{folder, link, fifo};
    // Only the superuser can make a device node.
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0) paths.push_back(device);
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        struct stat before {};
        ASSERT_EQ(::lstat(path.c_str(), &before), 0);
        try {
            plat::FileLock lock(path);
            ADD_FAILURE() << "taken for a lock file";
        } catch (const plat::FileError& error) {
            EXPECT_EQ(error.GetKind(), plat::FileError::Kind::NotAFile) << error.what();
        }
        struct stat after {};
        ASSERT_EQ(::lstat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_ino, before.st_ino);
    }
    // The link's target was never locked through it.
    plat::FileLock target(dir.File("target"));
}

// Sets the umask while it lives.
class Umask {
public:
    explicit Umask(mode_t mask) : mBefore(::umask(mask)) {}
    ~Umask() { ::umask(mBefore); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t mBefore;
};

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A replaced regular file of the saving user keeps its mode without set-id and sticky bits; a
// new file gets the umask's.
TEST(PendingFile, KeepsOnlyItsOwnFilesModeWithoutSpecialBits)
{
    TempFolder dir;
    Umask mask(077);
    struct Case {
        mode_t before;
        mode_t after;
    };
    for (const Case& c : {Case{0640, 0640}, Case{06755, 0755}, Case{01666, 0666}, Case{0, 0600}}) {
        SCOPED_TRACE(c.before);
        const std::string path = dir.File("results.xml");
        std::filesystem::remove(path);
        if (c.before != 0) {
            WriteAll(path, "old");
            ASSERT_EQ(::chmod(path.c_str(), c.before), 0);
        }
        plat::SaveFileAtomically(path, "new");
        EXPECT_EQ(ModeOf(path), c.after);
        EXPECT_EQ(ReadAll(path), "new");
    }
}

// Makes a folder of the mode in the test's folder, which every user may pass through.
std::string SharedFolder(const TempFolder& dir, const std::string& name, mode_t mode)
{
    const std::string folder = dir.File(name);
    EXPECT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(::mkdir(folder.c_str(), 0700), 0);
    EXPECT_EQ(::chown(folder.c_str(), 0, ztesting::SharedGroup), 0);
    EXPECT_EQ(::chmod(folder.c_str(), mode), 0);
    return folder;
}

// In a sticky shared folder (/tmp) another user plants the file, open to all or with set-id
// bits: the superuser's save, under umask 077, replaces it by a file of the umask's mode that
// the planting user cannot rewrite.
TEST(PendingFile, ASaveTakesNoModeFromAFileAnotherUserPlanted)
{
    if (!ztesting::CanSwitchUsers()) GTEST_SKIP() << "acting as another user needs the superuser";
    TempFolder dir;
    const std::string path = SharedFolder(dir, "tmp", 01777) + "/results.xml";
    Umask mask(077);
    for (const mode_t planted : {0666, 06777}) {
        SCOPED_TRACE(planted);
        std::filesystem::remove(path);
        ASSERT_EQ(ztesting::RunAsUser(ztesting::OtherUser, ztesting::OtherUser, 0, [&] {
                      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
                      return fd >= 0 && ::fchmod(fd, planted) == 0 ? 0 : 1;
                  }),
                  0);
        plat::SaveFileAtomically(path, "root's results");
        EXPECT_EQ(ModeOf(path), 0600u);
        const int rewritten = ztesting::RunAsUser(ztesting::OtherUser, ztesting::OtherUser, 0, [&] {
            return ::open(path.c_str(), O_WRONLY) >= 0 ? 1 : 0;
        });
        EXPECT_EQ(rewritten, 0);
        EXPECT_EQ(ReadAll(path), "root's results");
    }
}

// Colleagues take turns at one lock file: in a group folder (2775) and in a sticky folder, the
// lock file that one user's try made is taken by the other, and so is an old one whose mode
// lets them only read it; it still keeps them apart.
TEST(FileLock, EveryUserWhoMaySaveBesideItTakesIt)
{
    if (!ztesting::CanSwitchUsers()) GTEST_SKIP() << "acting as other users needs the superuser";
    TempFolder dir;
    // 0: taken; 1: refused; 2: held by another.
    auto take = [](const std::string& path) {
        return [path] {
            try {
                plat::FileLock lock(path);
                return 0;
            } catch (const plat::FileError& error) {
                return error.GetKind() == plat::FileError::Kind::Locked ? 2 : 1;
            }
        };
    };
    for (const auto& [name, mode] : {std::pair<const char*, mode_t>{"group", 02775}, {"sticky", 01777}}) {
        SCOPED_TRACE(name);
        const std::string lock = SharedFolder(dir, name, mode) + "/.results.xml.lock";
        using ztesting::OtherUser;
        using ztesting::ThirdUser;
        // The first user's umask would make it 0644.
        EXPECT_EQ(ztesting::RunAsUser(OtherUser, OtherUser, 022, take(lock)), 0);
        EXPECT_EQ(ModeOf(lock), 0666u);
        EXPECT_EQ(ztesting::RunAsUser(ThirdUser, ThirdUser, 022, take(lock)), 0);
        ASSERT_EQ(::chmod(lock.c_str(), 0644), 0);
        EXPECT_EQ(ztesting::RunAsUser(ThirdUser, ThirdUser, 022, take(lock)), 0);
        plat::FileLock held(lock);
        EXPECT_EQ(ztesting::RunAsUser(ThirdUser, ThirdUser, 022, take(lock)), 2);
    }
}

// Written in full but not committed, a new content leaves the file as it was and nothing
// beside it; while it waits, its temporary file is a save in progress that no cleanup takes.
TEST(PendingFile, ReplacesTheFileOnlyWhenCommitted)
{
    TempFolder dir;
    const std::string path = dir.File("results.xml");
    WriteAll(path, "old");
    {
        plat::PendingFile pending(path, "dropped");
        ASSERT_EQ(dir.Names().size(), 2u);
        const std::string temp = dir.File(dir.Names()[0]);
        ASSERT_TRUE(temp.ends_with(".tmp")) << temp;
        // Even long unchanged, as a save on a slow disk may be.
        const timespec old[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, temp.c_str(), old, 0), 0);
        EXPECT_FALSE(plat::IsAbandoned(temp, temp));
        plat::RemoveAbandonedTemporaries(path);
        EXPECT_TRUE(std::filesystem::exists(temp));
    }
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"results.xml"});

    plat::PendingFile pending(path, "new");
    EXPECT_EQ(ReadAll(path), "old");
    pending.Commit();
    EXPECT_EQ(ReadAll(path), "new");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"results.xml"});
}

} // namespace
