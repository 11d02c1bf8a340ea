// Swaps readline's history lists: its state record holds the list, which stays alive.
#include "io/answer_history.h"

#include "io/console_state.h"

AnswerList::~AnswerList() {
    for (int i = 0; i < state.length; ++i) free_history_entry(state.entries[i]);
    std::free(state.entries);
}

AnswerHistory::AnswerHistory() : commands_(history_get_history_state()) {
    LineEditorState& editor = console().editor;
    history_set_history_state(&editor.answers->state);
    editor.answering = true;
}

bool AnswerHistory::active() { return console().editor.answering; }

AnswerHistory::~AnswerHistory() {
    const std::unique_ptr<HISTORY_STATE, Free> now(history_get_history_state());
    LineEditorState& editor = console().editor;
    editor.answers->state = *now;
    history_set_history_state(commands_.get());
    editor.answering = false;
}
