#include "app/Startup.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace zentrova;

TEST(Startup, LanguageWordsAreExactAndCaseSensitive) {
    struct Case {
        const char* word;
        std::optional<std::uint8_t> language;
    } cases[] = {
        {"ENGLISH", 0},   {"DEUTSCH", 1}, {"FRENCH", 2},  {"CESKY", 3},     {"deutsch", {}},
        {"DEUTSCH ", {}}, {"", {}},       {"--port", {}}, {"ENGLISHX", {}}, {"CESK", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LanguageFromArgument(c.word), c.language) << '"' << c.word << '"';
    }
}

TEST(Startup, MarkerFileWords) {
    const std::string longWord(10000, 'A');
    struct Case {
        std::string content;
        bool testMode;
    } cases[] = {
        {"", false},
        {"DIAG_SHOWUP", true},
        {"one two\n  three\tDIAG_SHOWUP\nfour\r\n", true},
        {"diag_showup", false},
        {"DIAG_SHOWUPX DIAG_SHOWU", false},
        {longWord, false},
        {longWord + " DIAG_SHOWUP", true},
        // A word longer than 255 characters that starts with the keyword does not match.
        {"DIAG_SHOWUP" + longWord, false},
        {std::string(255 - 11, 'x') + "DIAG_SHOWUP", false},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.content);
        EXPECT_EQ(MarkerEnablesTestMode(in), c.testMode) << c.content.substr(0, 40);
    }
}
