#include "platform/base/FileIo.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::string Describe(FileError::Kind kind, int err, const std::string& path)
{
    switch (kind) {
    case FileError::Kind::NotAFile: return "'" + path + "' is not a file";
    case FileError::Kind::TooLarge: return "'" + path + "' is larger than the limit";
    case FileError::Kind::Locked: return "'" + path + "' is locked by another process";
    case FileError::Kind::System: break;
    }
    return "'" + path + "': " + std::strerror(err);
}

// Closes the descriptor on every way out.
class FileHandle {
public:
    explicit FileHandle(int fd) : mFd(fd) {}
    ~FileHandle()
    {
        if (mFd >= 0) ::close(mFd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int Get() const { return mFd; }
    // Hands the descriptor over to the caller, who closes it.
    int Release()
    {
        const int fd = mFd;
        mFd = -1;
        return fd;
    }
    // Closes now and gives the errno of a failed close, or 0.
    int Close()
    {
        int result = ::close(mFd) == 0 ? 0 : errno;
        mFd = -1;
        return result;
    }

private:
    int mFd;
};

[[noreturn]] void Fail(int err, const std::string& path)
{
    throw FileError(FileError::Kind::System, err, path);
}

} // namespace

FileError::FileError(Kind kind, int err, const std::string& path)
    : std::runtime_error(Describe(kind, err, path)), mKind(kind), mErrno(err), mPath(path)
{
}

std::string ReadFileBounded(const std::string& path, std::size_t maxBytes)
{
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below as not a file.
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0) Fail(errno, path);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) Fail(errno, path);
    if (S_ISDIR(info.st_mode)) throw FileError(FileError::Kind::NotAFile, EISDIR, path);
    if (!S_ISREG(info.st_mode)) throw FileError(FileError::Kind::NotAFile, 0, path);
    if (static_cast<unsigned long long>(info.st_size) > maxBytes) throw FileError(FileError::Kind::TooLarge, 0, path);

    std::string buffer;
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail(errno, path);
        }
        if (got == 0) break;
        buffer.append(chunk, static_cast<std::size_t>(got));
        if (buffer.size() > maxBytes) throw FileError(FileError::Kind::TooLarge, 0, path);
    }
    return buffer;
}

namespace {

// The folder of a path, "." for a bare name.
std::filesystem::path FolderOf(const std::filesystem::path& target)
{
    std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// "." + the name + ".": what the names of a path's temporary files begin with.
std::string TemporaryPrefix(const std::filesystem::path& target)
{
    return "." + target.filename().string() + ".";
}

// Whether the text is a number of at most ten digits.
bool IsCount(std::string_view text)
{
    return !text.empty() && text.size() <= 10 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

PendingFile::PendingFile(const std::string& path, std::string_view text) : mPath(path)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (!target.has_filename()) throw FileError(FileError::Kind::NotAFile, EISDIR, path);
    const fs::path folder = FolderOf(target);

    // The name is made unique by the process and a counter; O_EXCL never takes over a file
    // that is already there, and the mode 0666 lets the umask decide as for any new file.
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100 && mFd < 0; ++attempt) {
        mTemp = (folder / (TemporaryPrefix(target) + std::to_string(::getpid()) + "." + std::to_string(counter++) +
                           ".tmp"))
                    .string();
        mFd = ::open(mTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        // The temporary is what could not be made, and its name may be the one too long.
        if (mFd < 0 && errno != EEXIST) Fail(errno, mTemp);
    }
    if (mFd < 0) Fail(EEXIST, path);
    // The lock marks the file as a save in progress; a folder that takes no locks still gets
    // the file, which the age of a save in progress then protects.
    (void)::flock(mFd, LOCK_EX | LOCK_NB);

    auto fail = [&](int err) {
        ::close(mFd);
        mFd = -1;
        ::unlink(mTemp.c_str());
        Fail(err, path);
    };
    // A file that someone else planted, or one with set-id or sticky bits, hands on no mode: the
    // new content gets the umask's, so that nobody else is given a way to rewrite it.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) && old.st_uid == ::geteuid())
        (void)::fchmod(mFd, old.st_mode & 0777);
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t put = ::write(mFd, text.data() + written, text.size() - written);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        written += static_cast<std::size_t>(put);
    }
    if (::fsync(mFd) != 0) fail(errno);
}

PendingFile::~PendingFile()
{
    if (mFd < 0) return;
    ::close(mFd);
    ::unlink(mTemp.c_str());
}

void PendingFile::Commit()
{
    if (mFd < 0) throw FileError(FileError::Kind::System, EBADF, mPath);
    FileHandle file(mFd);
    mFd = -1;
    auto fail = [&](int err) {
        ::unlink(mTemp.c_str());
        Fail(err, mPath);
    };
    if (int err = file.Close(); err != 0) fail(err);
    if (::rename(mTemp.c_str(), mPath.c_str()) != 0) fail(errno);

    // The rename itself is made durable by flushing the folder; a failure here cannot be
    // undone and the file is already complete, so it is not an error of the save.
    FileHandle dir(::open(FolderOf(mPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) (void)::fsync(dir.Get());
}

std::string PendingFile::LongestTemporaryName(const std::string& fileName)
{
    // The process id and the counter have at most ten digits each.
    return TemporaryPrefix(fileName) + "4294967295.4294967295.tmp";
}

void SaveFileAtomically(const std::string& path, std::string_view text)
{
    PendingFile(path, text).Commit();
}

namespace {

// Opens the lock file, making it when missing. flock needs only a descriptor: where the file's
// mode refuses writing (a lock file another user made), it is opened for reading. A new lock
// file is made 0666 whatever the umask, so that every user who may save beside it can take
// it. A link is never followed, and O_NONBLOCK keeps a FIFO from blocking the open (it is refused
// as not a file).
int OpenLockFile(const std::string& path)
{
    constexpr int flags = O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK;
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = ::open(path.c_str(), O_RDWR | flags);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) fd = ::open(path.c_str(), O_RDONLY | flags);
        if (fd >= 0) return fd;
        if (errno == EISDIR) throw FileError(FileError::Kind::NotAFile, EISDIR, path);
        // A link (O_NOFOLLOW) is no lock file.
        if (errno == ELOOP) throw FileError(FileError::Kind::NotAFile, 0, path);
        if (errno != ENOENT) Fail(errno, path);
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | flags, 0666);
        if (fd >= 0) {
            (void)::fchmod(fd, 0666);
            return fd;
        }
        if (errno != EEXIST) Fail(errno, path);
    }
    Fail(EEXIST, path);
}

} // namespace

FileLock::FileLock(const std::string& path, std::chrono::milliseconds wait, const std::function<void()>& onWait,
                   std::chrono::milliseconds remindEvery)
{
    FileHandle file(OpenLockFile(path));
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) Fail(errno, path);
    if (!S_ISREG(info.st_mode)) throw FileError(FileError::Kind::NotAFile, 0, path);

    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool told = false;
    std::chrono::steady_clock::time_point nextReminder;
    while (::flock(file.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) Fail(errno, path);
        if (std::chrono::steady_clock::now() >= deadline) throw FileError(FileError::Kind::Locked, 0, path);
        const auto now = std::chrono::steady_clock::now();
        if (onWait && (!told || (remindEvery.count() > 0 && now >= nextReminder))) {
            onWait();
            nextReminder = now + remindEvery;
        }
        told = true;
        // A signal cuts the pause short; the loop looks again.
        const timespec pause{0, 20 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    mFd = file.Release();
}

FileLock::~FileLock()
{
    if (mFd >= 0) ::close(mFd);
}

bool IsAbandoned(const std::string& path, const std::string& lockPath)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode) || info.st_uid != ::geteuid()) return false;
    timespec now {};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0 || now.tv_sec - info.st_mtim.tv_sec < AbandonedAge.count())
        return false;
    // Read-write where it may be, as a lock on a network folder needs; read-only where the
    // file's mode allows no more.
    int fd = ::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0 && errno == EACCES) fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT && lockPath != path;
    FileHandle lock(fd);
    struct stat lockInfo {};
    if (::fstat(fd, &lockInfo) != 0 || !S_ISREG(lockInfo.st_mode) || lockInfo.st_uid != ::geteuid()) return false;
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

void RemoveAbandonedTemporaries(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (!target.has_filename()) return;
    const fs::path folder = FolderOf(target);
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        // "<prefix><pid>.<counter>.tmp", as PendingFile names them, and nothing else.
        if (!name.starts_with(prefix) || !name.ends_with(".tmp")) continue;
        const std::string_view middle = std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - 4);
        const std::size_t dot = middle.find('.');
        if (dot == std::string_view::npos || !IsCount(middle.substr(0, dot)) || !IsCount(middle.substr(dot + 1)))
            continue;
        const std::string temp = it->path().string();
        if (IsAbandoned(temp, temp)) (void)::unlink(temp.c_str());
    }
}

} // namespace plat
