#include "image/ParameterImage.h"

#include <algorithm>

namespace zentrova {

namespace {
constexpr std::uint8_t abbrevCode(const char (&m)[4]) {
    return static_cast<std::uint8_t>(m[0] + m[1] + m[2]);
}
constexpr std::array<std::uint8_t, 12> MONTH_CODES = {
    abbrevCode("Jan"), abbrevCode("Feb"), abbrevCode("Mar"), abbrevCode("Apr"),
    abbrevCode("May"), abbrevCode("Jun"), abbrevCode("Jul"), abbrevCode("Aug"),
    abbrevCode("Sep"), abbrevCode("Oct"), abbrevCode("Nov"), abbrevCode("Dec")};
} // namespace

void ParameterImage::setBlock(std::size_t b, std::span<const std::uint8_t, BLOCK_SIZE> data) {
    std::copy(data.begin(), data.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(b * BLOCK_SIZE));
}

int MonthFromCode(std::uint8_t code) {
    for (std::size_t m = 0; m < MONTH_CODES.size(); ++m) {
        if (MONTH_CODES[m] == code) {
            return static_cast<int>(m) + 1;
        }
    }
    return 0;
}

std::uint8_t MonthCode(int month) {
    return (month >= 1 && month <= 12) ? MONTH_CODES[static_cast<std::size_t>(month - 1)] : 0;
}

std::size_t BikeBitmapByte(std::uint8_t code) {
    const std::size_t i = code / 8u;
    return i < 5 ? img::UNIT_BIKES_1 + i : 45 + i;
}

bool IsBikeSupported(const ParameterImage& image, std::uint8_t code) {
    return (image[BikeBitmapByte(code)] >> (code % 8u)) & 1u;
}

void SetBikeSupported(ParameterImage& image, std::uint8_t code, bool supported) {
    const auto bit = static_cast<std::uint8_t>(1u << (code % 8u));
    auto& byte = image[BikeBitmapByte(code)];
    byte =
        supported ? static_cast<std::uint8_t>(byte | bit) : static_cast<std::uint8_t>(byte & ~bit);
}

} // namespace zentrova
