// A whole command-line word as a number within bounds.
#pragma once

#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>

namespace zentrova {

// The number the whole of `text` spells, when it lies in [lo, hi]; nothing
// for an empty text, trailing characters, an overflow or a value outside.
// The bounds test is written as "not inside", so a NaN is refused too.
template <typename T> std::optional<T> ParseNumber(std::string_view text, T lo, T hi) {
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() ||
        !(value >= lo && value <= hi)) {
        return std::nullopt;
    }
    return value;
}

} // namespace zentrova
