// The break flag: set asynchronously by Ctrl-C (SIGINT), tested before every statement
// and while waiting. It never kills the process. One for the process, as the signal is:
// it stops whichever interpreter is running.
#pragma once
#include "io/attention.h"

namespace break_flag {

// The flag is a bit of the attention word, which every statement tests first.
void install_handler();
inline bool is_set() { return (attention::word.load(std::memory_order_relaxed) & attention::kBreak) != 0; }
inline void set() { attention::word.fetch_or(attention::kBreak, std::memory_order_relaxed); }
inline void clear() { attention::word.fetch_and(~attention::kBreak, std::memory_order_relaxed); }

}  // namespace break_flag
