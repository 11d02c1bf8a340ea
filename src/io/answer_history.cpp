// Swaps readline's history lists: its state record holds the list, which stays alive.
#include "io/answer_history.h"

namespace {
HISTORY_STATE answers{};
bool answering = false;
}

AnswerHistory::AnswerHistory() : commands_(history_get_history_state()) {
    history_set_history_state(&answers);
    answering = true;
}

bool AnswerHistory::active() { return answering; }

AnswerHistory::~AnswerHistory() {
    const std::unique_ptr<HISTORY_STATE, Free> now(history_get_history_state());
    answers = *now;
    history_set_history_state(commands_.get());
    answering = false;
}
