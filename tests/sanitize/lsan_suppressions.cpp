// Linked into the sanitizer and fuzz builds only: leaks that belong to system
// libraries, not to this program. fontconfig loses a few hundred bytes once, while
// it parses its configuration files; libdbus (which SDL's desktop video uses) keeps
// its connection buffers when the process ends with windows open. Standard error
// stays the program's own.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
