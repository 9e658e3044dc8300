// termios2 and the serial ioctls.
#include "link/serial_termios.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <linux/serial.h>

#include <cerrno>
#include <cstring>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace {

// 134.5 baud has its own code; the drivers that know it do better than 134.
constexpr unsigned kBaud134_5 = 135;

void SetParity(termios2& t, int parity) {
    switch (parity) {
        case ParityNone:
            t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
            t.c_iflag &= ~INPCK;
            return;
        case ParityEven:
            t.c_cflag = (t.c_cflag & ~(PARODD | CMSPAR)) | PARENB;
            break;
        case ParityOdd:
            t.c_cflag = (t.c_cflag & ~CMSPAR) | PARENB | PARODD;
            break;
        case ParitySpace:
            t.c_cflag = (t.c_cflag & ~PARODD) | PARENB | CMSPAR;
            break;
        case ParityMark:
            t.c_cflag |= PARENB | PARODD | CMSPAR;
            break;
        default:
            return;  // other codes leave the parity as it is
    }
    t.c_iflag |= INPCK;
}

tcflag_t DataBitsFlag(int bits) {
    switch (bits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

bool IsTerminal(int fd) {
    termios2 t;
    return ioctl(fd, TCGETS2, &t) == 0;
}

void EncodeLineSettings(TermiosFlags* f, const LineSettings& s) {
    termios2 t{};
    t.c_iflag = f->iflag, t.c_oflag = f->oflag, t.c_cflag = f->cflag, t.c_lflag = f->lflag;
    // Raw binary transfer: no translation, no software flow control, no echo.
    t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | IGNPAR);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cflag &= ~(CBAUD | CIBAUD | CSIZE | CSTOPB | CRTSCTS);
    if (s.baud == kBaud134_5) {
        t.c_cflag |= B134;
        t.c_ispeed = t.c_ospeed = 134;
    } else {
        t.c_cflag |= BOTHER;
        t.c_ispeed = t.c_ospeed = s.baud;
    }
    t.c_cflag |= DataBitsFlag(s.dataBits);
    if (s.stopBits == 2) t.c_cflag |= CSTOPB;
    if (s.ctsFlow) t.c_cflag |= CRTSCTS;
    if (s.xonXoff) t.c_iflag |= IXON | IXOFF;
    SetParity(t, s.parity);
    *f = {t.c_iflag, t.c_oflag, t.c_cflag, t.c_lflag, t.c_ispeed, t.c_ospeed};
}

LineSettings DecodeLineSettings(const TermiosFlags& f) {
    LineSettings s;
    s.baud = (f.cflag & CBAUD) == B134 ? kBaud134_5 : f.ospeed;
    switch (f.cflag & CSIZE) {
        case CS5:
            s.dataBits = 5;
            break;
        case CS6:
            s.dataBits = 6;
            break;
        case CS7:
            s.dataBits = 7;
            break;
        default:
            s.dataBits = 8;
            break;
    }
    s.stopBits = (f.cflag & CSTOPB) ? 2 : 1;
    if (!(f.cflag & PARENB))
        s.parity = ParityNone;
    else if (f.cflag & CMSPAR)
        s.parity = (f.cflag & PARODD) ? ParityMark : ParitySpace;
    else
        s.parity = (f.cflag & PARODD) ? ParityOdd : ParityEven;
    s.ctsFlow = f.cflag & CRTSCTS;
    s.xonXoff = (f.iflag & IXON) && (f.iflag & IXOFF);
    return s;
}

bool ApplyLineSettings(int fd, const LineSettings& s) {
    termios2 t;
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    TermiosFlags f{t.c_iflag, t.c_oflag, t.c_cflag, t.c_lflag, t.c_ispeed, t.c_ospeed};
    EncodeLineSettings(&f, s);
    t.c_iflag = f.iflag, t.c_oflag = f.oflag, t.c_cflag = f.cflag, t.c_lflag = f.lflag;
    t.c_ispeed = f.ispeed, t.c_ospeed = f.ospeed;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    t.c_cc[VSTART] = 0x11;  // XON
    t.c_cc[VSTOP] = 0x13;   // XOFF
    if (ioctl(fd, TCSETS2, &t) != 0) return false;
    // A driver sets the rate nearest to what its clock divides to, or falls
    // back to another one, and says which it set.
    termios2 set;
    if (ioctl(fd, TCGETS2, &set) != 0) return false;
    if (!RateTaken(s.baud == kBaud134_5 ? 134 : s.baud, set.c_ospeed)) {
        errno = kRateRefused;
        return false;
    }
    return true;
}

bool RateTaken(unsigned asked, unsigned actual) {
    const unsigned long long a = asked, b = actual;
    return (a > b ? a - b : b - a) * 50 <= a;
}

std::string LineSettingsFailure(int error, unsigned baud) {
    if (error == kRateRefused) return "the port does not take " + std::to_string(baud) + " baud";
    return std::strerror(error);
}

bool ReadLineSettings(int fd, LineSettings* s) {
    termios2 t;
    if (ioctl(fd, TCGETS2, &t) != 0) return false;
    *s = DecodeLineSettings({t.c_iflag, t.c_oflag, t.c_cflag, t.c_lflag, t.c_ispeed, t.c_ospeed});
    return true;
}

bool SetModemLine(int fd, bool rts, bool on) {
    constexpr int kRts = 0x004, kDtr = 0x002;  // TIOCM_RTS, TIOCM_DTR (not in the asm headers)
    int bits = rts ? kRts : kDtr;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool EnableRs485(int fd) {
    serial_rs485 rs485{};
    if (ioctl(fd, TIOCGRS485, &rs485) != 0) return false;
    rs485.flags |= SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    rs485.flags &= ~SER_RS485_RTS_AFTER_SEND;
    return ioctl(fd, TIOCSRS485, &rs485) == 0;
}

int OutputQueued(int fd) {
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) != 0) return 0;
    return queued;
}

void SetExclusive(int fd, bool on) { ioctl(fd, on ? TIOCEXCL : TIOCNXCL); }
