// The break flag: set asynchronously by Ctrl-C (SIGINT), tested before every statement
// and while waiting. It never kills the process. One for the process, as the signal is:
// it stops whichever interpreter is running.
#pragma once
#include <csignal>

namespace break_flag {

// Written only by the handler and the functions below; read before every statement,
// so the test is inline.
inline volatile std::sig_atomic_t flag = 0;

void install_handler();
inline bool is_set() { return flag != 0; }
inline void set() { flag = 1; }
inline void clear() { flag = 0; }

}  // namespace break_flag
