// Where the interpreter keeps its per-user files: the history of typed lines in the
// XDG state directory, and the .ini file beside a build folder's executable or in
// the XDG configuration directory.
#pragma once
#include <string>
#include <string_view>

// $XDG_STATE_HOME/velmora/history (by default ~/.local/state/velmora/history); empty
// when there is no home directory to put it in.
std::string history_file_path();

// The message catalogues: "locale" beside an executable in its build folder, where the
// build puts them, else "../share/locale" from its directory, where they are installed.
std::string locale_directory();

// The .ini file of this executable (see `choose_ini_path`).
std::string ini_file_path();

// Beside the executable, its name with ".ini", when its directory is writable and no
// "bin" directory (an interpreter run from its build folder); otherwise
// $XDG_CONFIG_HOME/velmora/velmora.ini (by default ~/.config/velmora/velmora.ini), as
// for an installed interpreter, whose directory belongs to the system even where it
// is writable.
std::string choose_ini_path(std::string_view executable, bool writable, std::string_view config_home);
