#include "platform/base/FileIo.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>

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
        plat::FileLock second(path, 200ms, [&] { ++waits; });
        ADD_FAILURE() << "locked twice";
    } catch (const plat::FileError& error) {
        EXPECT_EQ(error.GetKind(), plat::FileError::Kind::Locked);
        EXPECT_EQ(std::string(error.what()), "'" + path + "' is locked by another process");
    }
    EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
    EXPECT_EQ(waits, 1);

    holder.reset();
    plat::FileLock taken(path, 0ms, [&] { ++waits; });
    EXPECT_EQ(waits, 1);

    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_THROW(plat::FileLock(dir.File("folder")), plat::FileError);
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
