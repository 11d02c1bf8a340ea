// A console that is neither a terminal nor a pipe but the program hosting the
// interpreter (a notebook): it answers the reads that would wait for the keyboard and
// takes error reports apart from the rest of the output.
#pragma once
#include <string>
#include <string_view>

enum class HostAnswer { Line, Interrupted, EndOfInput };

class ConsoleHost {
public:
    virtual ~ConsoleHost() = default;
    // One line typed in answer to `prompt`, the text since the last newline that the
    // console had not shown yet.
    virtual HostAnswer read_line(std::string_view prompt, std::string& line) = 0;
    // What the console writes between the two calls is an error report.
    virtual void begin_report() = 0;
    virtual void end_report() = 0;
};
