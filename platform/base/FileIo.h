#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

// Reading and saving whole files safely: the registry store and the host's XML documents both
// keep their data this way, and each turns a FileError into its own error numbers and texts.
namespace plat {

// Why a file could not be read or saved.
class FileError : public std::runtime_error {
public:
    enum class Kind {
        System,   // a call of the system failed; Errno() says why
        NotAFile, // the path names a folder (Errno() is EISDIR), a FIFO, a device or a socket
        TooLarge, // the file holds more than the caller's limit
        Locked,   // another process held the lock for longer than the caller would wait
    };

    FileError(Kind kind, int err, const std::string& path);

    Kind GetKind() const noexcept { return mKind; }
    // The errno of the failed call (System), EISDIR for a folder, else 0.
    int Errno() const noexcept { return mErrno; }
    const std::string& Path() const noexcept { return mPath; }

private:
    Kind mKind;
    int mErrno;
    std::string mPath;
};

// Reads a whole regular file of at most maxBytes. The open never waits (a FIFO is refused as
// not a file, never waited on or read without end), and a file that is larger, or grows larger
// while it is read, is refused without holding more than the limit.
std::string ReadFileBounded(const std::string& path, std::size_t maxBytes);

// A new content for a file, written in full to a temporary file beside it and flushed to the
// disk, that takes the file's place only when committed: the target holds either its old or its
// new content, never a part. Preparing several files first and committing them after lets a
// caller replace them together with nothing left to fail but the renames. The temporary file is
// named "." + the target's name + "." + the process id + "." + a counter + ".tmp" and stays
// locked (flock) until it is committed, so that no cleanup takes it for abandoned; one that is
// not committed is removed with the object. A replaced regular file of the effective user keeps
// its permissions (without set-id and sticky bits); anything else, and a new file, gets the
// usual ones (0666 less the umask). The folder must exist.
class PendingFile {
public:
    // Writes the temporary file; raises a FileError and leaves nothing behind when it cannot.
    PendingFile(const std::string& path, std::string_view text);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // Renames the temporary file over the target; raises a FileError when it cannot, and the
    // target is then as it was.
    void Commit();

    // The longest name a temporary file of a target of that name can have.
    static std::string LongestTemporaryName(const std::string& fileName);

private:
    std::string mPath;
    std::string mTemp;
    int mFd = -1;
};

// Saves the text atomically: a PendingFile committed at once.
void SaveFileAtomically(const std::string& path, std::string_view text);

// An exclusive lock (flock) on a lock file, held while the object lives. Processes that take
// the lock of one file take turns; the lock goes with its holder, whichever way it ends.
class FileLock {
public:
    // Takes the lock on the file at the path, made when missing (mode 0666 whatever the umask,
    // so that anyone who may save beside it can take it; one that cannot be opened for writing
    // is opened for reading, which is all a lock needs). While another holds it, waits at most
    // the time, calling onWait when the waiting begins and then every remindEvery (never again
    // when zero); raises a FileError (Locked when the time ran out, NotAFile for a folder, a
    // link, a FIFO, a device or a socket).
    explicit FileLock(const std::string& path, std::chrono::milliseconds wait = std::chrono::milliseconds(0),
                      const std::function<void()>& onWait = {},
                      std::chrono::milliseconds remindEvery = std::chrono::milliseconds(0));
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int mFd = -1;
};

// How long after its last change a file or folder that a process leaves behind while it works
// (a temporary file of a save, a scratch folder) may still belong to a process at work.
constexpr std::chrono::seconds AbandonedAge{600};

// Whether what another process left at the path is provably abandoned and may be removed: it
// belongs to the effective user, it has not changed for AbandonedAge, and nobody holds the lock
// of the lock file (the path itself for a temporary file; a lock file that does not exist is
// held by nobody). Whether that process still runs is not asked: a process of another PID
// namespace, or of another computer on a shared folder, cannot be seen. Anything that cannot be
// told is not abandoned.
bool IsAbandoned(const std::string& path, const std::string& lockPath);

// Removes the temporary files of PendingFile saves of the path that were killed before they
// could commit or remove them, those that are abandoned (IsAbandoned), and nothing else.
void RemoveAbandonedTemporaries(const std::string& path);

} // namespace plat
