// Serial ports on POSIX terminals (/dev/ttyS*, /dev/ttyUSB*, pseudo terminals): 8N1,
// DTR and RTS on, no flow control, reads that never block, writes bounded to 10 ms.
#pragma once
#include <memory>
#include <string>

struct termios;

struct SavedSettingsFree {
    void operator()(termios* settings) const;
};

// An open port with the settings it had before it was opened, given back when it
// closes, so that a terminal opened as a port is left as it was found.
struct SerialPort {
    int fd = -1;
    std::unique_ptr<termios, SavedSettingsFree> earlier;
};

// A port whose descriptor is -1 when it cannot be opened, also when it is open already
// (on another channel, or locked by another program). A baud rate of 0 leaves the
// port's line settings as they are.
SerialPort open_serial_port(const std::string& name, int baud);

// Writes one byte, waiting at most 10 ms for room; false when it could not be sent.
bool serial_write_byte(int port, unsigned char byte);

// Gives the port back its earlier settings and closes it.
void close_serial_port(SerialPort& port);
