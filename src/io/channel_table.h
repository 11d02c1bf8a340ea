// The channel table: the console (0), channels #1 to #15 opened by programs, the
// printer (16), and 17 for a "#n," prefix that named no open channel. Every output
// byte passes through put_char, which keeps each channel's column.
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/file_handle.h"
#include "io/printer.h"
#include "io/serial_port.h"
#include "values/c_str.h"

inline constexpr int CHANNEL_CONSOLE = 0;
inline constexpr int CHANNEL_FIRST_OPENABLE = 1;
inline constexpr int CHANNEL_LAST_OPENABLE = 15;
inline constexpr int CHANNEL_PRINTER = 16;
inline constexpr int CHANNEL_INVALID = 17;
inline constexpr int kRecordSize = 128;

// True for the channels that programs open and close.
constexpr bool is_openable_channel(int64_t channel) {
    return channel >= CHANNEL_FIRST_OPENABLE && channel <= CHANNEL_LAST_OPENABLE;
}

enum ChannelMode : int { MODE_CLOSED = 0, MODE_OUTPUT = 1, MODE_INPUT = 2, MODE_RANDOM = 3, MODE_SERIAL = 4 };

struct FieldDefinition {
    C_STR name;
    int32_t width = 0;
};

struct IO_DATA {
    int32_t column = 0;
    int32_t width = 0;      // wrap width, 0 for none
    int32_t lead_byte = 0;  // a Shift-JIS lead byte waiting for its trail byte
    unsigned char pending[4] = {};  // an incomplete UTF-8 sequence
    int32_t pending_length = 0;
    base::FileHandle file;
    SerialPort port;
    int32_t mode = MODE_CLOSED;
    unsigned char record_buffer[kRecordSize] = {};
    std::array<FieldDefinition, kRecordSize> fields;
    int32_t field_count = 0;
    int32_t record_length = 0;
    int32_t record_counter = 0;

    bool is_open() const { return file != nullptr || port.fd >= 0; }
};

class C_FILEIO {
public:
    C_FILEIO();
    ~C_FILEIO();
    C_FILEIO(const C_FILEIO&) = delete;
    C_FILEIO& operator=(const C_FILEIO&) = delete;

    IO_DATA& record(int channel) { return records_[static_cast<size_t>(channel)]; }

    int put_char(int channel, unsigned char byte);
    // Formats with printf rules (at most 2550 characters) and writes each byte.
    int chan_printf(int channel, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void put_bytes(int channel, std::string_view bytes);
    // A fixed UTF-8 text, converted to the console code page on the console.
    void put_text(int channel, std::string_view utf8);

    // Opens channel 1-15 (a console notice tells why a file could not be opened).
    int open(int channel, const std::string& name, int mode, const char* c_mode, int32_t value);
    int get_char(int channel);
    // Reads the next byte of an input file only when it is `byte`; a port cannot look ahead.
    bool take_if_next(int channel, int byte);
    int close(int channel);
    void close_all();
    // Sends a form feed to the printer outside a listing, so that a partly printed
    // page comes out and the print job ends: used when the interpreter ends.
    void eject_page();
    Printer& printer() { return printer_; }
    // Starts a new console row unless the cursor is at the start of one.
    void end_console_row();
    // Ends an open console row at exit, so that the shell's prompt starts a row of its
    // own; piped output stays as written.
    void end_console_row_at_exit();

    bool listing = false;  // set while llist prints: a form feed then ends only the page

private:
    int put_raw(int channel, unsigned char byte);
    int console_key();
    bool write_device(int channel, unsigned char byte);
    int put_utf8(int channel, unsigned char byte);
    void write_cut_sequence(IO_DATA& record, int channel);
    void write_unfinished_character(IO_DATA& record, int channel);
    void wrap_if_needed(IO_DATA& record, int channel, int display_width);
    std::array<IO_DATA, 17> records_;
    Printer printer_;
};
