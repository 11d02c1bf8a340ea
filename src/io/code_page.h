// The console code page: Shift-JIS under a Shift_JIS/CP932 locale, UTF-8 otherwise.
// Fixed texts live in the sources as UTF-8 and are converted once, at output.
#pragma once
#include <string>
#include <string_view>

enum class CodePage { Utf8, ShiftJis };

// Sets the process's locale and takes the code page from it: the entered interpreter's
// console and every console made afterwards start with it.
void detect_console_code_page();
CodePage locale_code_page();
// The entered interpreter's code page.
CodePage console_code_page();
void set_console_code_page(CodePage page);

// A fixed text (message, prompt) in the console code page.
std::string to_console_text(std::string_view utf8);

// Display columns of one complete UTF-8 sequence: 2 for East Asian wide characters,
// 0 for combining marks.
int utf8_display_width(const unsigned char* bytes, int length);
// Cells of the same sequence on a printed page, as in pictures: 2 also for every
// character Shift-JIS writes in two bytes (→, ○, ①, α), as it was printed in Shift-JIS.
int utf8_printed_width(const unsigned char* bytes, int length);

// The length of the UTF-8 sequence that `lead` starts, or 0 when it starts none.
int utf8_sequence_length(unsigned char lead);

bool is_valid_utf8(std::string_view bytes);

// The console column after `text` is written from `column`, as the console writer
// shows it: a byte a column in Shift-JIS, where a double-byte character is two bytes
// wide; display widths of whole sequences in UTF-8; a TAB to the next stop of 8, other
// control bytes as a caret pair.
int console_column_after(std::string_view text, int column);

// The longest prefix of `text` within `limit` bytes that cuts no character (UTF-8 or
// a Shift-JIS byte pair, by the console code page).
size_t character_boundary(std::string_view text, size_t limit);

// Strict conversion of CP932 (Shift-JIS) text; false when the text is not CP932.
bool cp932_to_utf8(std::string_view cp932, std::string& utf8);
