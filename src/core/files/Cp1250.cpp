#include "files/Cp1250.h"

#include <array>
#include <cstdint>

namespace zentrova {

namespace {

constexpr char32_t NONE = 0;

// Characters of bytes 0x80..0xFF; bytes below 0x80 are ASCII.
constexpr std::array<char32_t, 128> HIGH = {
    // 0x80
    0x20AC,
    NONE,
    0x201A,
    NONE,
    0x201E,
    0x2026,
    0x2020,
    0x2021, //
    NONE,
    0x2030,
    0x0160,
    0x2039,
    0x015A,
    0x0164,
    0x017D,
    0x0179,
    // 0x90
    NONE,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014, //
    NONE,
    0x2122,
    0x0161,
    0x203A,
    0x015B,
    0x0165,
    0x017E,
    0x017A,
    // 0xA0
    0x00A0,
    0x02C7,
    0x02D8,
    0x0141,
    0x00A4,
    0x0104,
    0x00A6,
    0x00A7, //
    0x00A8,
    0x00A9,
    0x015E,
    0x00AB,
    0x00AC,
    0x00AD,
    0x00AE,
    0x017B,
    // 0xB0
    0x00B0,
    0x00B1,
    0x02DB,
    0x0142,
    0x00B4,
    0x00B5,
    0x00B6,
    0x00B7, //
    0x00B8,
    0x0105,
    0x015F,
    0x00BB,
    0x013D,
    0x02DD,
    0x013E,
    0x017C,
    // 0xC0
    0x0154,
    0x00C1,
    0x00C2,
    0x0102,
    0x00C4,
    0x0139,
    0x0106,
    0x00C7, //
    0x010C,
    0x00C9,
    0x0118,
    0x00CB,
    0x011A,
    0x00CD,
    0x00CE,
    0x010E,
    // 0xD0
    0x0110,
    0x0143,
    0x0147,
    0x00D3,
    0x00D4,
    0x0150,
    0x00D6,
    0x00D7, //
    0x0158,
    0x016E,
    0x00DA,
    0x0170,
    0x00DC,
    0x00DD,
    0x0162,
    0x00DF,
    // 0xE0
    0x0155,
    0x00E1,
    0x00E2,
    0x0103,
    0x00E4,
    0x013A,
    0x0107,
    0x00E7, //
    0x010D,
    0x00E9,
    0x0119,
    0x00EB,
    0x011B,
    0x00ED,
    0x00EE,
    0x010F,
    // 0xF0
    0x0111,
    0x0144,
    0x0148,
    0x00F3,
    0x00F4,
    0x0151,
    0x00F6,
    0x00F7, //
    0x0159,
    0x016F,
    0x00FA,
    0x0171,
    0x00FC,
    0x00FD,
    0x0163,
    0x02D9,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char toByte(char32_t c) {
    if (c < 0x80) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < HIGH.size(); ++i) {
        if (HIGH[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input yields
// NONE and advances by one byte, so every bad byte becomes one '?'.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<std::uint8_t>(s[i]);
    std::size_t len = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, c = lead & 0x07;
    } else {
        ++i;
        return NONE;
    }
    if (i + len > s.size()) {
        ++i;
        return NONE;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<std::uint8_t>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return NONE;
        }
        c = (c << 6) | (b & 0x3F);
    }
    constexpr std::array<char32_t, 5> MIN_OF_LEN = {0, 0, 0x80, 0x800, 0x10000};
    if (c < MIN_OF_LEN[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++i;
        return NONE;
    }
    i += len;
    return c;
}

} // namespace

std::string Cp1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        const char32_t c = b < 0x80 ? b : HIGH[b - 0x80];
        appendUtf8(out, b < 0x80 || c != NONE ? c : U'?');
    }
    return out;
}

std::string Utf8ToCp1250(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const bool ascii = static_cast<std::uint8_t>(utf8[i]) < 0x80;
        const char32_t c = nextCodePoint(utf8, i);
        out += (ascii || c != NONE) ? toByte(c) : '?';
    }
    return out;
}

} // namespace zentrova
