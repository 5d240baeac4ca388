#include "platform/serial/TermiosDevice.h"

#include "platform/base/ComError.h"
#include "platform/serial/SerialErrors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

namespace {

// Keeps the output queue bounded: a line that takes nothing for this long is not draining.
constexpr size_t kMaxPendingOutput = 64 * 1024;

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 50: return B50;
    case 75: return B75;
    case 110: return B110;
    case 134: return B134;
    case 150: return B150;
    case 200: return B200;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 1800: return B1800;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return B0;
    }
}

[[noreturn]] void RaiseOpenFailure(int error, const std::string& path)
{
    throw SerialOpenError(ClassifyOpenErrno(error), path);
}

int OpenDescriptor(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    // A terminal that another program put to exclusive use refuses anyone without privileges.
    if (fd < 0 && errno == EBUSY) throw PortInUseError(0, path);
    if (fd < 0) RaiseOpenFailure(errno, path);
    return fd;
}

// Takes the device's advisory lock; false when another open of it holds the lock.
bool Lock(int fd, const std::string& path)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return false;
        RaiseOpenFailure(errno, path);
    }
    return true;
}

} // namespace

std::unique_ptr<TermiosDevice> TermiosDevice::Open(const std::string& path, const LineSettings& settings)
{
    const int fd = OpenDescriptor(path);
    std::unique_ptr<TermiosDevice> device(new TermiosDevice(fd, path));
    if (!::isatty(fd)) RaiseOpenFailure(ENOTTY, path);
    // One program on a line: the lock is held for as long as the device is open, and a second
    // program (root included, whom exclusive use does not keep out) is refused before it has
    // changed or written anything.
    if (!Lock(fd, path)) throw PortInUseError(0, path);
    // Exclusive use besides: a second open of the device by anyone without privileges fails
    // with EBUSY, whether or not that program takes the lock.
    if (::ioctl(fd, TIOCEXCL) != 0) RaiseOpenFailure(errno, path);
    device->mExclusive = true;
    device->Apply(settings, true);
    ::tcflush(fd, TCIOFLUSH);
    return device;
}

void TermiosDevice::CheckFree(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EBUSY) throw PortInUseError(0, path);
    // Any other failure is the open's to report.
    if (fd < 0) return;
    bool free = true;
    try {
        free = Lock(fd, path);
    } catch (const ComError&) {
    }
    // Closing gives the lock back at once.
    ::close(fd);
    if (!free) throw PortInUseError(0, path);
}

TermiosDevice::TermiosDevice(int fd, std::string path) : mFd(fd), mPath(std::move(path))
{
    Loop();
    mLoop = CurrentLoopPtr();
}

TermiosDevice::~TermiosDevice()
{
    Close();
}

void TermiosDevice::Apply(const LineSettings& settings, bool raiseAsOpen)
{
    termios tio{};
    if (::tcgetattr(mFd, &tio) != 0) {
        if (raiseAsOpen) RaiseOpenFailure(errno, mPath);
        throw ComError(serr::CannotSetCommState, serr::Source, "Could not read comm state: " + mPath);
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    switch (settings.dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    switch (settings.parity) {
    case 'E': tio.c_cflag |= PARENB; break;
    case 'O': tio.c_cflag |= PARENB | PARODD; break;
#ifdef CMSPAR
    case 'M': tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 'S': tio.c_cflag |= PARENB | CMSPAR; break;
#endif
    default: break;
    }
    if (settings.stopBitsTwice > 2) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    const speed_t speed = SpeedOf(settings.baud);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(mFd, TCSANOW, &tio) != 0) {
        if (raiseAsOpen) RaiseOpenFailure(errno, mPath);
        throw ComError(serr::CannotSetCommState, serr::Source,
                       "Could not set comm state " + settings.ToString() + ": " + mPath);
    }
}

void TermiosDevice::Start(DataHandler onData)
{
    mOnData = std::move(onData);
    auto loop = mLoop.lock();
    if (mFd < 0 || !mLost.empty() || !loop) return;
    mReadWatch = loop->WatchFd(mFd, [this] { OnReadable(); }, POLLIN);
}

void TermiosDevice::Configure(const LineSettings& settings)
{
    if (mFd < 0) return;
    Apply(settings, false);
}

void TermiosDevice::Write(std::string_view bytes)
{
    if (mFd < 0 || bytes.empty()) return;
    if (!mLost.empty()) {
        throw ComError(serr::DeviceUnavailable, serr::Source, "Device unavailable (" + mLost + "): " + mPath);
    }
    if (mPending.size() + bytes.size() > kMaxPendingOutput) {
        throw ComError(serr::DeviceUnavailable, serr::Source, "Device unavailable (output is not draining): " + mPath);
    }
    mPending.append(bytes);
    FlushPending();
}

void TermiosDevice::FlushPending()
{
    while (!mPending.empty()) {
        ssize_t n = ::write(mFd, mPending.data(), mPending.size());
        if (n > 0) {
            mPending.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        MarkLost(n < 0 ? errno : EIO);
        return;
    }
    if (mPending.empty()) {
        StopWriteWatch();
    } else if (!mWriteWatching) {
        if (auto loop = mLoop.lock()) {
            mWriteWatching = true;
            mWriteWatch = loop->WatchFd(mFd, [this] { OnWritable(); }, POLLOUT);
        }
    }
}

void TermiosDevice::StopWriteWatch()
{
    mWriteWatch.Stop();
    mWriteWatching = false;
}

void TermiosDevice::OnWritable()
{
    FlushPending();
}

void TermiosDevice::OnReadable()
{
    char buffer[4096];
    std::string received;
    while (true) {
        ssize_t n = ::read(mFd, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, static_cast<size_t>(n));
            if (received.size() >= 64 * 1024) break;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n == 0) {
            // In raw mode without a minimum count a read of an empty queue gives 0, so 0 alone
            // means "nothing more". But a descriptor reported readable with nothing to read is
            // a hung-up line (an adapter pulled out), which answers every request with EIO.
            termios probe{};
            if (received.empty() && ::tcgetattr(mFd, &probe) != 0) MarkLost(errno);
            break;
        }
        // The device went away (the other end of a pseudo-terminal closed). Stop watching, or
        // poll would report it forever.
        MarkLost(errno);
        break;
    }
    if (!received.empty() && mOnData) {
        auto onData = mOnData;
        onData(received);
    }
}

void TermiosDevice::MarkLost(int error)
{
    mLost = std::strerror(error);
    mReadWatch.Stop();
    StopWriteWatch();
    mPending.clear();
}

void TermiosDevice::DiscardInput()
{
    if (mFd >= 0) ::tcflush(mFd, TCIFLUSH);
}

void TermiosDevice::DiscardOutput()
{
    mPending.clear();
    StopWriteWatch();
    if (mFd >= 0) ::tcflush(mFd, TCOFLUSH);
}

std::string TermiosDevice::Condition() const
{
    return mLost.empty() ? std::string() : std::string(serr::StatusLost);
}

void TermiosDevice::Close()
{
    if (mFd < 0) return;
    mReadWatch.Stop();
    StopWriteWatch();
    mPending.clear();
    // Give up exclusive use before closing: a device that another process keeps open (the
    // simulator holds its own end of a pseudo-terminal) would otherwise stay locked.
    if (mExclusive) ::ioctl(mFd, TIOCNXCL);
    mExclusive = false;
    ::flock(mFd, LOCK_UN);
    ::close(mFd);
    mFd = -1;
    mOnData = nullptr;
}

} // namespace plat
