// termios set-up of serial ports.
#include "io/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <iterator>

namespace {

struct Speed {
    int baud;
    speed_t code;
};

constexpr Speed kSpeeds[] = {{300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
                             {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
                             {57600, B57600},   {115200, B115200}, {230400, B230400}};

// The standard rate closest to the one asked for.
speed_t speed_code(int baud) {
    const Speed* best = std::begin(kSpeeds);
    for (const Speed& speed : kSpeeds)
        if (std::abs(speed.baud - baud) < std::abs(best->baud - baud)) best = &speed;
    return best->code;
}

// A serial line carries bytes, not terminal lines: no echo, no line buffering, no
// translation of CR and LF, reads that return at once with what has arrived.
void make_raw(termios& mode) {
    mode.c_iflag &= static_cast<tcflag_t>(~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL));
    mode.c_oflag &= static_cast<tcflag_t>(~OPOST);
    mode.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL | ICANON | ISIG | IEXTEN));
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
}

// 8 data bits, no parity, one stop bit, no flow control.
void set_line(termios& mode, int baud) {
    mode.c_cflag &= static_cast<tcflag_t>(~(CSIZE | PARENB | CSTOPB | CRTSCTS));
    mode.c_cflag |= CS8 | CLOCAL | CREAD;
    mode.c_iflag &= static_cast<tcflag_t>(~(IXON | IXOFF | IXANY | INPCK));
    cfsetispeed(&mode, speed_code(baud));
    cfsetospeed(&mode, speed_code(baud));
}

// Without a baud rate the port keeps its speed, framing and flow control.
void configure(SerialPort& serial, int baud) {
    const int port = serial.fd;
    termios mode{};
    if (tcgetattr(port, &mode) != 0) return;
    serial.earlier.reset(new termios(mode));
    make_raw(mode);
    if (baud > 0) set_line(mode, baud);
    tcsetattr(port, TCSANOW, &mode);
    if (baud == 0) return;
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(port, TIOCMBIS, &lines);  // pseudo terminals have no modem lines: ignored
}

}  // namespace

void SavedSettingsFree::operator()(termios* settings) const { delete settings; }

SerialPort open_serial_port(const std::string& name, int baud) {
    SerialPort serial;
    const int port = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port < 0) return serial;
    // Ports are not shared: a port open on another channel, or in another program
    // that locks it, cannot be opened. The lock holds for root too, and goes with the
    // descriptor when the port closes.
    if (!isatty(port) || flock(port, LOCK_EX | LOCK_NB) != 0) {
        ::close(port);
        return serial;
    }
    tcflush(port, TCIOFLUSH);
    serial.fd = port;
    configure(serial, baud);
    return serial;
}

bool serial_write_byte(int port, unsigned char byte) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const ssize_t n = ::write(port, &byte, 1);
        if (n == 1) return true;
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        pollfd request{port, POLLOUT, 0};
        if (attempt == 0 && poll(&request, 1, 10) <= 0) return false;
    }
    return false;
}

void close_serial_port(SerialPort& port) {
    if (port.earlier) tcsetattr(port.fd, TCSANOW, port.earlier.get());
    ::close(port.fd);
    port = {};
}
