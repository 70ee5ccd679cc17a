// Start-up inputs that do not come from the settings file: the language word
// on the command line and the test-mode marker file.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

namespace zentrova {

// "ENGLISH", "FRENCH", "DEUTSCH", "CESKY" (exact, case matters) give the
// language index 0, 2, 1, 3; any other word gives nothing.
std::optional<std::uint8_t> LanguageFromArgument(std::string_view word);

// The marker file switches test mode on when one of its white-space separated
// words is exactly "DIAG_SHOWUP". Words longer than 255 characters never match.
bool MarkerEnablesTestMode(std::istream& in);

inline constexpr std::size_t MARKER_WORD_MAX = 255;

} // namespace zentrova
