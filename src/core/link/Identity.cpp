#include "link/Identity.h"

#include "files/Cp1250.h"

#include <algorithm>
#include <string>

namespace zentrova {

namespace {

constexpr std::size_t TEXT_ROOM = 30;

// Two decimal digits, tens first; the unit never sends more, but a larger
// byte is written as its whole number rather than as a stray character.
std::string twoDigits(std::uint8_t v) {
    if (v >= 100) {
        return std::to_string(v);
    }
    return {static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
}

// The texts are zero-terminated: a zero byte ends them.
std::string untilZero(std::string text) {
    text.resize(std::min({text.find('\0'), text.size(), TEXT_ROOM}));
    return text;
}

std::string versionText(const ParameterImage& image) {
    if (image[img::UNIT_TEXT] != 0) {
        const auto* first = image.bytes.data() + img::UNIT_TEXT;
        return untilZero(std::string(first, first + img::UNIT_TEXT_LEN));
    }
    std::string text(image.bytes.data() + img::UNIT_NAME,
                     image.bytes.data() + img::UNIT_NAME + img::UNIT_NAME_LEN);
    return untilZero(text + twoDigits(image[img::UNIT_NUMBER]));
}

std::string dateText(const ParameterImage& image) {
    const std::uint8_t day = image[img::UNIT_DAY];
    const int month = MonthFromCode(image[img::UNIT_MONTH]);
    std::string text = day < 10 ? std::string{' ', static_cast<char>('0' + day)} : twoDigits(day);
    text += '.';
    text += month == 0   ? std::string("00")
            : month < 10 ? std::string{' ', static_cast<char>('0' + month)}
                         : std::to_string(month);
    text += '.';
    text += std::to_string(2000 + image[img::UNIT_YEAR]);
    return text;
}

std::string timeText(const ParameterImage& image) {
    return twoDigits(image[img::UNIT_HOUR]) + ':' + twoDigits(image[img::UNIT_MINUTE]);
}

} // namespace

UnitIdentityTexts DecodeIdentity(const ParameterImage& image) {
    return {Cp1250ToUtf8(versionText(image)), dateText(image), timeText(image)};
}

std::string VersionPairText(unsigned unitVersion) {
    return "PC-" + std::to_string(SUPPORTED_VERSION) + ", IGN-" + std::to_string(unitVersion);
}

std::string VersionMismatchText(std::string_view slotText, unsigned unitVersion) {
    return std::string(slotText) + "  " + VersionPairText(unitVersion);
}

} // namespace zentrova
