// The language of fixed texts, through glibc's gettext.
#include "values/messages.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <ranges>

#include "values/text_scan.h"

namespace messages {
namespace {

constexpr const char* kDomain = "velmora";

// Set once at start-up: while false every text is shown as written.
bool translating = false;

bool is_c_locale(std::string_view name) { return name == "C" || name == "POSIX"; }

// "ja" of "ja_JP.UTF-8@variant".
std::string_view language_code(std::string_view entry) { return entry.substr(0, entry.find_first_of("_.@")); }

std::string joined(const std::vector<std::string>& languages) {
    std::string list;
    for (const std::string& language : languages) list += (list.empty() ? "" : ":") + language;
    return list;
}

}  // namespace

std::string_view localized(std::string_view text) {
    if (!translating || text.empty()) return text;
    const std::string key(text);
    const char* found = dgettext(kDomain, key.c_str());
    return found == key.c_str() ? text : std::string_view(found);
}

std::vector<std::string> catalogue_languages(const std::function<const char*(const char*)>& variable) {
    std::string_view locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value && *value) {
            locale = value;
            break;
        }
    }
    if (locale.empty() || is_c_locale(locale)) return {};
    const char* language = variable("LANGUAGE");
    const std::string_view list = language && *language ? std::string_view(language) : locale;
    std::vector<std::string> chosen;
    for (const std::string_view entry : split_text(list, ':')) {
        if (entry.empty()) continue;
        const std::string_view code = language_code(entry);
        if (code == "ja" || is_c_locale(code)) return chosen;
        chosen.emplace_back(entry);
    }
    const auto english = [](const std::string& entry) { return language_code(entry) == "en"; };
    if (std::ranges::none_of(chosen, english)) chosen.emplace_back("en");
    return chosen;
}

void choose_language(const std::string& locale_directory) {
    const std::vector<std::string> languages = catalogue_languages(std::getenv);
    if (languages.empty()) return;
    // glibc's gettext takes the list of languages to try from LANGUAGE, and ignores it
    // while the messages' locale is C: a locale that is not installed leaves it so.
    setenv("LANGUAGE", joined(languages).c_str(), 1);
    std::setlocale(LC_MESSAGES, "");
    if (is_c_locale(std::setlocale(LC_MESSAGES, nullptr))) std::setlocale(LC_MESSAGES, "C.UTF-8");
    bindtextdomain(kDomain, locale_directory.c_str());
    // The console writer converts from UTF-8 where the console is Shift-JIS.
    bind_textdomain_codeset(kDomain, "UTF-8");
    translating = true;
}

}  // namespace messages
