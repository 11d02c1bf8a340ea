// Answers typed to input and line input keep a history of their own, apart from the
// commands typed at the prompt; each interpreter keeps its own.
#pragma once
#include <readline/history.h>

#include <cstdlib>
#include <memory>

// readline's record of an answer history; its entries go with it.
struct AnswerList {
    AnswerList() = default;
    ~AnswerList();
    AnswerList(const AnswerList&) = delete;
    AnswerList& operator=(const AnswerList&) = delete;

    HISTORY_STATE state{};
};

// While one lives, readline's history is that of the entered interpreter's answers.
class AnswerHistory {
public:
    AnswerHistory();
    ~AnswerHistory();
    AnswerHistory(const AnswerHistory&) = delete;
    AnswerHistory& operator=(const AnswerHistory&) = delete;

    // Answers stay out of the command history that is kept between sessions.
    static bool active();

private:
    struct Free {
        void operator()(HISTORY_STATE* state) const { std::free(state); }
    };
    std::unique_ptr<HISTORY_STATE, Free> commands_;
};
