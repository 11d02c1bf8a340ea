// Scanning a line's text for a matching else or wend: string literals and comments
// are skipped, and words are taken whole so that a keyword inside a name is not seen.
#pragma once
#include <string_view>

enum class ScanStop { Opener, Closer, EndOfLine };

// Advances to the next opener keyword, closer keyword or the end of the line's code;
// on Opener or Closer the position is just past the keyword.
ScanStop scan_for_keywords(const char*& p, std::string_view opener, std::string_view closer);

struct ProgramLine;

// The wend that closes the while whose condition ends at `p` in `from`, searching on
// through the following lines; true with its line and the position after it.
bool find_matching_wend(ProgramLine* from, const char*& p, ProgramLine*& line);
