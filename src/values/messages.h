// Fixed texts in the user's language. The sources hold every message, notice and help
// text in Japanese, as the original system showed them; those texts are the keys of a
// GNU gettext catalogue (domain "velmora"), and a user of another language sees the
// catalogue's translation (po/en.po: English).
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace messages {

// Marks a text that reaches the user later through `localized` or vm_error::fail, so
// that the catalogue's extraction finds it where it is written.
constexpr std::string_view translatable(std::string_view text) { return text; }

// `text` in the chosen language: its catalogue entry, or `text` itself when the texts
// stay Japanese or the catalogue has no entry for it.
std::string_view localized(std::string_view text);

// The catalogue languages for an environment (`variable` reads one), best first, by
// gettext's rules: LANGUAGE's list unless the locale (the first of LC_ALL, LC_MESSAGES
// and LANG that is set) is C or POSIX, else the locale itself. Japanese is the source
// language, so the list stops before the first Japanese entry; a list that names no
// Japanese ends in English. Empty: the Japanese texts.
std::vector<std::string> catalogue_languages(const std::function<const char*(const char*)>& variable);

// Takes the language from the process's environment and the catalogues from
// `locale_directory` (LANGUAGE/LC_MESSAGES/velmora.mo beneath it). Call it once, at
// start-up, before any other thread runs.
void choose_language(const std::string& locale_directory);

}  // namespace messages
