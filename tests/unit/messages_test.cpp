// The language of messages chosen from the environment, by gettext's rules.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "values/messages.h"

namespace {

std::vector<std::string> languages(const std::map<std::string, std::string>& environment) {
    return messages::catalogue_languages([&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    });
}

using Languages = std::vector<std::string>;

TEST(MessageLanguage, JapaneseAndTheCLocalesKeepTheJapaneseTexts) {
    EXPECT_EQ(languages({}), Languages{});
    EXPECT_EQ(languages({{"LANG", "ja_JP.UTF-8"}}), Languages{});
    EXPECT_EQ(languages({{"LC_ALL", "ja_JP.SJIS"}, {"LANG", "en_US.UTF-8"}}), Languages{});
    EXPECT_EQ(languages({{"LC_ALL", "C.UTF-8"}}), Languages{});
    // gettext ignores LANGUAGE under the C and POSIX locales, not under C.UTF-8.
    EXPECT_EQ(languages({{"LC_ALL", "POSIX"}, {"LANGUAGE", "en"}}), Languages{});
    EXPECT_EQ(languages({{"LANG", "C"}, {"LANGUAGE", "de"}}), Languages{});
    EXPECT_EQ(languages({{"LC_ALL", "C.UTF-8"}, {"LANGUAGE", "en"}}), Languages{"en"});
}

TEST(MessageLanguage, AnyOtherLanguageEndsInEnglish) {
    EXPECT_EQ(languages({{"LANG", "en_US.UTF-8"}}), (Languages{"en_US.UTF-8"}));
    EXPECT_EQ(languages({{"LANG", "de_DE.UTF-8"}}), (Languages{"de_DE.UTF-8", "en"}));
    // LC_ALL before LC_MESSAGES before LANG; an empty variable counts as unset.
    EXPECT_EQ(languages({{"LC_ALL", ""}, {"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "ja_JP.UTF-8"}}),
              (Languages{"fr_FR.UTF-8", "en"}));
    EXPECT_EQ(languages({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "de:fr"}}), (Languages{"de", "fr", "en"}));
}

TEST(MessageLanguage, JapaneseInLanguageEndsTheList) {
    EXPECT_EQ(languages({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja"}}), Languages{});
    EXPECT_EQ(languages({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja_JP:en"}}), Languages{});
    EXPECT_EQ(languages({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "de::ja:en"}}), Languages{"de"});
}

TEST(MessageLanguage, TextsStayAsWrittenUntilALanguageIsChosen) {
    EXPECT_EQ(messages::localized("無効な構文"), "無効な構文");
    EXPECT_EQ(messages::translatable("使用法:gmove x,y"), "使用法:gmove x,y");
}

}  // namespace
