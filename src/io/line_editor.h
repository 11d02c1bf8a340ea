// Line editing at a terminal through GNU readline: editing keys, a history of typed
// lines, and text offered as already typed (edit, auto).
#pragma once
#include <memory>
#include <string>
#include <string_view>

enum class EditorResult { Line, Interrupted, EndOfInput };

struct AnswerList;  // readline's list of answers, in answer_history.h

// What an interpreter's line editor keeps between readline's calls and from one line
// to the next.
struct LineEditorState {
    LineEditorState();
    ~LineEditorState();

    bool finished = false;
    bool end_of_input = false;
    std::string received;
    // What a paste held after the line it completed: later reads take it as typed.
    std::string pasted;
    // The answers typed to input and line input, and whether one is being read.
    std::unique_ptr<AnswerList> answers;
    bool answering = false;
};

// Lines are edited where someone types them and sees them: when standard input and
// standard output are both terminals. Otherwise lines are read plainly, so that output
// taken into a pipe or file holds only what was written, no editing sequences.
bool line_editing_wanted();

// `row_so_far` is what is already shown on the cursor's row (a prompt), so that
// redrawing keeps it; `pretyped` appears as typed, ready to edit.
EditorResult edit_line(std::string_view row_so_far, std::string_view pretyped, std::string& line);
