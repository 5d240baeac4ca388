#include "platform/base/FileIo.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::string Describe(FileError::Kind kind, int err, const std::string& path)
{
    switch (kind) {
    case FileError::Kind::NotAFile: return "'" + path + "' is not a file";
    case FileError::Kind::TooLarge: return "'" + path + "' is larger than the limit";
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

void SaveFileAtomically(const std::string& path, std::string_view text)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    if (!target.has_filename()) throw FileError(FileError::Kind::NotAFile, EISDIR, path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    // The name is made unique by the process and a counter; O_EXCL never takes over a file
    // that is already there, and the mode 0666 lets the umask decide as for any new file.
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                          std::to_string(counter++) + ".tmp"))
                   .string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd < 0 && errno != EEXIST) Fail(errno, path);
    }
    if (fd < 0) Fail(EEXIST, path);
    FileHandle file(fd);

    auto fail = [&](int err) {
        if (file.Get() >= 0) file.Close();
        ::unlink(temp.c_str());
        Fail(err, path);
    };

    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd, old.st_mode & 07777);

    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        written += static_cast<std::size_t>(put);
    }
    if (::fsync(fd) != 0) fail(errno);
    if (int err = file.Close(); err != 0) fail(err);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail(errno);

    // The rename itself is made durable by flushing the folder; a failure here cannot be
    // undone and the file is already complete, so it is not an error of the save.
    FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) (void)::fsync(dir.Get());
}

} // namespace plat
