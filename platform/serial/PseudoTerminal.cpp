#include "platform/serial/PseudoTerminal.h"

#include "platform/base/ComError.h"
#include "platform/serial/SerialErrors.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace plat {

namespace {

int BaudOf(speed_t speed)
{
    switch (speed) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    case B460800: return 460800;
    case B921600: return 921600;
    default: return 0;
    }
}

[[noreturn]] void Fail(const char* step)
{
    throw ComError(serr::HardwareNotAvailable, serr::Source,
                   std::string("No pseudo-terminal (") + step + ": " + std::strerror(errno) + ")");
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    mMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (mMaster < 0) Fail("posix_openpt");
    if (::grantpt(mMaster) != 0 || ::unlockpt(mMaster) != 0) {
        ::close(mMaster);
        Fail("unlockpt");
    }
    char name[256];
    if (::ptsname_r(mMaster, name, sizeof name) != 0) {
        ::close(mMaster);
        Fail("ptsname");
    }
    mSlavePath = name;
    mSlaveHold = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (mSlaveHold < 0) {
        ::close(mMaster);
        Fail("open slave");
    }
    termios tio{};
    if (::tcgetattr(mSlaveHold, &tio) == 0) {
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(mSlaveHold, TCSANOW, &tio);
    }
    int flags = ::fcntl(mMaster, F_GETFL);
    ::fcntl(mMaster, F_SETFL, flags | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    if (mSlaveHold >= 0) ::close(mSlaveHold);
    if (mMaster >= 0) ::close(mMaster);
}

std::optional<LineSettings> PseudoTerminal::SlaveSettings() const
{
    termios tio{};
    if (::tcgetattr(mSlaveHold, &tio) != 0) return std::nullopt;
    LineSettings settings;
    settings.baud = BaudOf(::cfgetospeed(&tio));
    if (settings.baud == 0) return std::nullopt;
    switch (tio.c_cflag & CSIZE) {
    case CS5: settings.dataBits = 5; break;
    case CS6: settings.dataBits = 6; break;
    case CS7: settings.dataBits = 7; break;
    default: settings.dataBits = 8; break;
    }
    settings.parity = 'N';
    if (tio.c_cflag & PARENB) {
#ifdef CMSPAR
        if (tio.c_cflag & CMSPAR) {
            settings.parity = (tio.c_cflag & PARODD) ? 'M' : 'S';
        } else
#endif
        {
            settings.parity = (tio.c_cflag & PARODD) ? 'O' : 'E';
        }
    }
    settings.stopBitsTwice = (tio.c_cflag & CSTOPB) ? 4 : 2;
    return settings;
}

} // namespace plat
