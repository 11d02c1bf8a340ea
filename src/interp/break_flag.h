// The break flag: set asynchronously by Ctrl-C (SIGINT), tested before every statement
// and while waiting. It never kills the process.
#pragma once
#include <csignal>

namespace break_flag {

void install_handler();
bool is_set();
void set();
void clear();

}  // namespace break_flag
