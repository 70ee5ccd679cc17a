#include "files/Cp1250.h"
#include "link/Identity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace zentrova;

namespace {

struct IdentityBytes {
    const char* name; // three bytes, Windows-1250
    std::uint8_t number, day, month, year, hour, minute;
    const char* text; // UNIT_TEXT, empty for none
};

ParameterImage imageWith(const IdentityBytes& id) {
    ParameterImage image;
    std::memcpy(image.bytes.data() + img::UNIT_NAME, id.name, img::UNIT_NAME_LEN);
    image[img::UNIT_NUMBER] = id.number;
    image[img::UNIT_DAY] = id.day;
    image[img::UNIT_MONTH] = id.month;
    image[img::UNIT_YEAR] = id.year;
    image[img::UNIT_HOUR] = id.hour;
    image[img::UNIT_MINUTE] = id.minute;
    std::memcpy(image.bytes.data() + img::UNIT_TEXT, id.text,
                std::min(std::strlen(id.text), img::UNIT_TEXT_LEN));
    return image;
}

} // namespace

namespace zentrova {
void PrintTo(const UnitIdentityTexts& t, std::ostream* os) {
    *os << '"' << t.UnitVersionText << "\" \"" << t.UnitDateText << "\" \"" << t.UnitTimeText
        << '"';
}
} // namespace zentrova

TEST(DecodeIdentity, BuildsTheThreeTexts) {
    struct Case {
        IdentityBytes bytes;
        UnitIdentityTexts expected;
    } cases[] = {
        // "Feb" gives month code 13; months below 10 are padded with a space.
        {{"Jet", 1, 25, 13, 2, 16, 21, ""}, {"Jet01", "25. 2.2002", "16:21"}},
        // Day and month below 10 are padded with a space; "Jun" is code 45.
        {{"Jet", 47, 7, 45, 6, 9, 5, ""}, {"Jet47", " 7. 6.2006", "09:05"}},
        // An unknown month code shows as 00; "Oct" (38) as two digits.
        {{"Abc", 0, 10, 0, 0, 0, 0, ""}, {"Abc00", "10.00.2000", "00:00"}},
        {{"Abc", 99, 31, 38, 99, 23, 59, ""}, {"Abc99", "31.10.2099", "23:59"}},
        {{"Abc", 1, 1, 12, 1, 1, 1, ""}, {"Abc01", " 1.12.2001", "01:01"}},
        // A zero byte ends the label.
        {{"J\0t", 5, 1, 25, 1, 1, 1, ""}, {"J", " 1. 1.2001", "01:01"}},
        // UNIT_TEXT replaces the label when its first byte is set.
        {{"Jet", 1, 1, 25, 1, 1, 1, "Zentrova 2.1 race"},
         {"Zentrova 2.1 race", " 1. 1.2001", "01:01"}},
        // Bytes above 99 are written whole, not as stray characters.
        {{"Jet", 123, 200, 25, 123, 100, 255, ""}, {"Jet123", "200. 1.2123", "100:255"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.UnitVersionText);
        EXPECT_EQ(DecodeIdentity(imageWith(c.bytes)), c.expected);
    }
}

TEST(DecodeIdentity, AnAllZeroBlockGivesAnEmptyLabel) {
    const UnitIdentityTexts texts = DecodeIdentity(ParameterImage{});
    EXPECT_EQ(texts.UnitVersionText, "");
    EXPECT_EQ(texts.UnitDateText, " 0.00.2000");
    EXPECT_EQ(texts.UnitTimeText, "00:00");
}

TEST(DecodeIdentity, UnitTextIsAtMostThirtyCharacters) {
    ParameterImage image;
    std::memset(image.bytes.data() + img::UNIT_TEXT, 'x', img::UNIT_TEXT_LEN);
    image[img::UNIT_TEXT + img::UNIT_TEXT_LEN] = 'y'; // reserved byte 46, not part of the text
    EXPECT_EQ(DecodeIdentity(image).UnitVersionText, std::string(30, 'x'));
}

TEST(DecodeIdentity, ConvertsWindows1250ToUtf8) {
    // 0x8A is Š, 0xE8 č, 0xF8 ř, 0x9E ž.
    EXPECT_EQ(DecodeIdentity(imageWith({"\x8A\xE8\xF8", 2, 1, 25, 1, 1, 1, ""})).UnitVersionText,
              "Ščř02");
    EXPECT_EQ(DecodeIdentity(imageWith({"Jet", 2, 1, 25, 1, 1, 1, "Zapalov\xE1n\xED \x9E"}))
                  .UnitVersionText,
              "Zapalování ž");
}

TEST(Cp1250, EveryDefinedByteRoundTripsThroughUtf8) {
    constexpr unsigned char UNDEFINED[] = {0x81, 0x83, 0x88, 0x90, 0x98};
    for (int b = 1; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1250ToUtf8(byte);
        if (std::find(std::begin(UNDEFINED), std::end(UNDEFINED), b) != std::end(UNDEFINED)) {
            EXPECT_EQ(utf8, "?") << b;
        } else {
            EXPECT_EQ(Utf8ToCp1250(utf8), byte) << b;
            EXPECT_EQ(utf8.size() == 1, b < 0x80) << b; // high bytes are never plain ASCII
        }
    }
}

TEST(Cp1250, KnownCharacters) {
    struct Case {
        const char* cp1250;
        const char* utf8;
    } cases[] = {
        {"\x80", "€"},
        {"\x84", "„"},
        {"\x8A\x8D\x8E", "ŠŤŽ"},
        {"\xA0", "\u00A0"},
        {"\xA3\xB3", "Łł"},
        {"\xC8\xE8", "Čč"},
        {"\xD8\xF8", "Řř"},
        {"\xD9\xF9", "Ůů"},
        {"\xFF", "˙"},
        {"\xB0", "°"},
        {"Z\xE1kladn\xED p\xF8"
         "edstih",
         "Základní předstih"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1250ToUtf8(c.cp1250), c.utf8) << c.utf8;
        EXPECT_EQ(Utf8ToCp1250(c.utf8), c.cp1250) << c.utf8;
    }
}

TEST(Cp1250, UnmappableAndMalformedUtf8BecomeQuestionMarks) {
    struct Case {
        std::string utf8;
        std::string cp1250;
    } cases[] = {
        {"漢", "?"},               // no such character in the code page
        {"\xF0\x9F\x98\x80", "?"}, // four-byte sequence, no such character
        {"a\xC3", "a?"},           // truncated sequence
        {"\xC0\x80", "??"},        // overlong form
        {"\xED\xA0\x80", "???"},   // surrogate
        {"\x80z", "?z"},           // stray continuation byte
        {"\xC3"
         "A",
         "?A"}, // lead byte without its continuation
        {std::string("x\0y", 3), std::string("x\0y", 3)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCp1250(c.utf8), c.cp1250);
    }
}
