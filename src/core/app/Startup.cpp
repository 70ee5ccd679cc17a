#include "app/Startup.h"

#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace zentrova {

std::optional<std::uint8_t> LanguageFromArgument(std::string_view word) {
    static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 4> WORDS = {{
        {"ENGLISH", 0},
        {"FRENCH", 2},
        {"DEUTSCH", 1},
        {"CESKY", 3},
    }};
    for (const auto& [w, index] : WORDS) {
        if (word == w) {
            return index;
        }
    }
    return std::nullopt;
}

bool MarkerEnablesTestMode(std::istream& in) {
    // Read word by word without keeping more than 256 characters of any word.
    static constexpr std::string_view KEYWORD = "DIAG_SHOWUP";
    bool found = false;
    std::string word;
    bool tooLong = false;
    auto endWord = [&] {
        if (!tooLong && word == KEYWORD) {
            found = true;
        }
        word.clear();
        tooLong = false;
    };
    char c = 0;
    while (in.get(c)) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            endWord();
        } else if (word.size() < MARKER_WORD_MAX) {
            word.push_back(c);
        } else {
            tooLong = true;
        }
    }
    endWord();
    return found;
}

} // namespace zentrova
