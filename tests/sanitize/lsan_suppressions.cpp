// Linked into the sanitizer and fuzz builds only: leaks that belong to system
// libraries, not to this program. fontconfig loses a few hundred bytes once, while
// it parses its configuration files. Standard error stays the program's own.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
