#pragma once

#include <cstddef>
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

// Saves the text atomically: it is written to a new file beside the target, flushed to the disk
// and renamed over the target, so that the target holds either its old or its new content,
// never a part, and a failure leaves no temporary file behind. A replaced file keeps its
// permissions; a new one gets the usual ones (0666 less the umask). The folder must exist.
void SaveFileAtomically(const std::string& path, std::string_view text);

} // namespace plat
