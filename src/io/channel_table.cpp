// Channel records, the byte writer with column tracking, and closing.
#include "io/channel_table.h"

#include <unistd.h>

#include <cstdarg>

#include "io/break_flag.h"
#include "io/code_page.h"
#include "io/console_input.h"
#include "io/console_writer.h"
#include "io/serial_port.h"
#include "values/messages.h"

C_FILEIO::C_FILEIO()
    : printer_(system_printer_device([this](std::string_view text) { put_text(CHANNEL_CONSOLE, text); })) {}

C_FILEIO::~C_FILEIO() { eject_page(); }

void C_FILEIO::eject_page() {
    listing = false;
    put_raw(CHANNEL_PRINTER, '\f');
}

bool C_FILEIO::write_device(int channel, unsigned char byte) {
    if (channel == CHANNEL_CONSOLE) {
        console_writer::put(static_cast<char>(byte));
        return true;
    }
    if (channel == CHANNEL_PRINTER) {
        printer_.put(byte, listing);  // the printer never fails a statement
        return true;
    }
    IO_DATA& r = record(channel);
    if (r.mode == MODE_OUTPUT && r.file) return std::fputc(byte, r.file.get()) != EOF;
    if (r.mode == MODE_SERIAL && r.port.fd >= 0) return serial_write_byte(r.port.fd, byte);
    return false;
}

int C_FILEIO::put_raw(int channel, unsigned char byte) {
    if (channel < 0 || channel >= CHANNEL_INVALID) return -1;
    if (!write_device(channel, byte)) return -1;
    IO_DATA& r = record(channel);
    switch (byte) {
        case 0:
        case 7: break;
        case 8:
            if (r.column >= 1) --r.column;
            break;
        case 10:
        case 13: r.column = 0; break;
        default: ++r.column;
    }
    return byte;
}

void C_FILEIO::wrap_if_needed(IO_DATA& r, int channel, int display_width) {
    if (r.width < 1 || display_width == 0) return;  // a combining mark stays with its character
    int w = r.width;
    if (display_width > 1 && w >= 2) w -= 1;
    if (r.column >= w) put_raw(channel, '\n');
}

// A UTF-8 sequence cut short is written as it stands, each byte a character of one column.
void C_FILEIO::write_cut_sequence(IO_DATA& r, int channel) {
    for (int i = 0; i < r.pending_length; ++i) {
        wrap_if_needed(r, channel, 1);
        put_raw(channel, r.pending[i]);
    }
    r.pending_length = 0;
}

// Bytes held back for the rest of a character would be lost when the channel closes.
void C_FILEIO::write_unfinished_character(IO_DATA& r, int channel) {
    if (r.lead_byte != 0) put_raw(channel, static_cast<unsigned char>(r.lead_byte));
    r.lead_byte = 0;
    write_cut_sequence(r, channel);
}

// UTF-8 mode keeps a whole sequence together the way Shift-JIS keeps a byte pair, and
// advances the column by the character's width: at the terminal, or on the page.
int C_FILEIO::put_utf8(int channel, unsigned char byte) {
    IO_DATA& r = record(channel);
    if (r.pending_length > 0 && (byte & 0xC0) == 0x80) {
        r.pending[r.pending_length++] = byte;
        const int needed = utf8_sequence_length(r.pending[0]);
        if (r.pending_length < needed) return byte;
        // The printer's column counts the cells of its page.
        const int width = channel == CHANNEL_PRINTER ? utf8_printed_width(r.pending, needed)
                                                     : utf8_display_width(r.pending, needed);
        wrap_if_needed(r, channel, width);
        bool ok = true;
        for (int i = 0; i < needed; ++i) ok = write_device(channel, r.pending[i]) && ok;
        r.pending_length = 0;
        if (!ok) return -1;
        r.column += width;
        return byte;
    }
    write_cut_sequence(r, channel);
    if (utf8_sequence_length(byte) > 0) {
        r.pending[0] = byte;
        r.pending_length = 1;
        return byte;
    }
    wrap_if_needed(r, channel, 1);
    return put_raw(channel, byte);
}

int C_FILEIO::put_char(int channel, unsigned char b) {
    if (channel < 0 || channel >= CHANNEL_INVALID) return -1;
    IO_DATA& r = record(channel);
    if (b < 32) {
        r.lead_byte = 0;
        write_cut_sequence(r, channel);
        if ((b == 7 && channel == CHANNEL_CONSOLE) || b == 8 || b == 10 || b == 13) return put_raw(channel, b);
    }
    if (b >= 32 && console_code_page() == CodePage::Utf8) return put_utf8(channel, b);

    // Every control byte but TAB is tested as two columns, even the printer's raw form feed.
    const bool control = b < 32 && b != 9;
    if (r.width >= 1) wrap_if_needed(r, channel, (r.lead_byte != 0 || control) ? 2 : 1);
    if (r.lead_byte != 0) {
        const unsigned char lead = static_cast<unsigned char>(r.lead_byte);
        r.lead_byte = 0;
        put_raw(channel, lead);
        return put_raw(channel, b);
    }
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
        r.lead_byte = b;
        return b;
    }
    if (b >= 32) return put_raw(channel, b);
    if (b == 9) {
        if (put_raw(channel, ' ') < 0) return -1;
        while (r.column % 8 != 0 && !(r.width > 0 && r.column >= r.width))
            if (put_raw(channel, ' ') < 0) return -1;
        return b;
    }
    if (b == 12 && channel == CHANNEL_PRINTER) return put_raw(channel, b);
    put_raw(channel, '^');
    return put_raw(channel, static_cast<unsigned char>(b + 64));
}

void C_FILEIO::put_bytes(int channel, std::string_view bytes) {
    for (char c : bytes) put_char(channel, static_cast<unsigned char>(c));
}

void C_FILEIO::put_text(int channel, std::string_view utf8) {
    if (channel == CHANNEL_CONSOLE && console_code_page() == CodePage::ShiftJis)
        put_bytes(channel, to_console_text(utf8));
    else
        put_bytes(channel, utf8);
}

int C_FILEIO::chan_printf(int channel, const char* format, ...) {
    if (channel < 0 || channel >= CHANNEL_INVALID || format == nullptr) return 0;
    char buffer[2551];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n < 0) return 0;
    if (n > 2550) n = 2550;
    put_bytes(channel, std::string_view(buffer, static_cast<size_t>(n)));
    return n;
}

// A Ctrl-C typed as a key (a terminal would have signalled it) stops the program too.
int C_FILEIO::console_key() {
    const int key = read_console_key();
    if (key != 3) return key;
    break_flag::set();
    return -1;
}

int C_FILEIO::get_char(int channel) {
    if (channel < 0 || channel >= CHANNEL_INVALID) return -1;
    if (channel == CHANNEL_CONSOLE) return console_key();
    if (channel == CHANNEL_PRINTER) return -1;
    IO_DATA& r = record(channel);
    if (r.mode == MODE_INPUT && r.file) {
        int c = std::fgetc(r.file.get());
        return c == EOF ? -1 : c;
    }
    if (r.mode == MODE_SERIAL && r.port.fd >= 0) {
        unsigned char byte;
        return ::read(r.port.fd, &byte, 1) == 1 ? byte : -1;
    }
    return -1;
}

bool C_FILEIO::take_if_next(int channel, int byte) {
    if (!is_openable_channel(channel)) return false;
    IO_DATA& r = record(channel);
    if (r.mode != MODE_INPUT || !r.file) return false;
    const int c = std::fgetc(r.file.get());
    if (c == byte) return true;
    if (c != EOF) std::ungetc(c, r.file.get());
    return false;
}

int C_FILEIO::close(int channel) {
    if (!is_openable_channel(channel)) {
        chan_printf(CHANNEL_CONSOLE, "#%d ", channel);
        put_text(CHANNEL_CONSOLE, messages::localized("クローズ無効\n"));
        return -1;
    }
    IO_DATA& r = record(channel);
    write_unfinished_character(r, channel);
    if (r.file && std::fclose(r.file.release()) != 0) {
        chan_printf(CHANNEL_CONSOLE, "#%d ", channel);
        put_text(CHANNEL_CONSOLE, messages::localized("クローズ失敗\n"));
    }
    if (r.port.fd >= 0) close_serial_port(r.port);
    r = IO_DATA{};
    return 0;
}

void C_FILEIO::end_console_row() {
    if (record(CHANNEL_CONSOLE).column != 0) put_char(CHANNEL_CONSOLE, '\n');
}

void C_FILEIO::end_console_row_at_exit() {
    if (isatty(STDOUT_FILENO)) end_console_row();
}

void C_FILEIO::close_all() {
    for (int channel = CHANNEL_FIRST_OPENABLE; channel <= CHANNEL_LAST_OPENABLE; ++channel) close(channel);
}
