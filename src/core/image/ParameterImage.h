// The unit's parameter memory: 1200 bytes in twelve 100-byte blocks.
// Block 0 is the unit's identity block; blocks 1 to 11 hold the parameters.
// Every field is one unsigned byte; the names below are the image's vocabulary.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace zentrova {

inline constexpr std::size_t IMAGE_SIZE = 1200;
inline constexpr std::size_t BLOCK_SIZE = 100;
inline constexpr std::size_t BLOCK_COUNT = 12;
inline constexpr std::uint8_t SUPPORTED_VERSION = 47;

using ImageBlock = std::span<std::uint8_t, BLOCK_SIZE>;
using ConstImageBlock = std::span<const std::uint8_t, BLOCK_SIZE>;

struct ParameterImage {
    std::array<std::uint8_t, IMAGE_SIZE> bytes{};

    std::uint8_t& operator[](std::size_t k) { return bytes[k]; }
    std::uint8_t operator[](std::size_t k) const { return bytes[k]; }

    // Block b (0..11) is the 100 bytes from 100*b.
    ImageBlock block(std::size_t b) {
        return ImageBlock(bytes.data() + b * BLOCK_SIZE, BLOCK_SIZE);
    }
    ConstImageBlock block(std::size_t b) const {
        return ConstImageBlock(bytes.data() + b * BLOCK_SIZE, BLOCK_SIZE);
    }
    void setBlock(std::size_t b, std::span<const std::uint8_t, BLOCK_SIZE> data);

    bool operator==(const ParameterImage&) const = default;
};

inline constexpr std::size_t blockOf(std::size_t k) {
    return k / BLOCK_SIZE;
}
inline constexpr std::size_t offsetInBlock(std::size_t k) {
    return k % BLOCK_SIZE;
}

// Named offsets. Arrays have a companion _LEN.
namespace img {
// Block 0: unit identity, written by the unit only.
inline constexpr std::size_t UNIT_NAME = 0, UNIT_NAME_LEN = 3;
inline constexpr std::size_t UNIT_NUMBER = 3;
inline constexpr std::size_t UNIT_DAY = 4;
inline constexpr std::size_t UNIT_MONTH = 5;
inline constexpr std::size_t UNIT_YEAR = 6;
inline constexpr std::size_t UNIT_HOUR = 7;
inline constexpr std::size_t UNIT_MINUTE = 8;
inline constexpr std::size_t UNIT_VERSION = 10;
inline constexpr std::size_t UNIT_BIKES_1 = 11, UNIT_BIKES_1_LEN = 5;
inline constexpr std::size_t UNIT_TEXT = 16, UNIT_TEXT_LEN = 30;
inline constexpr std::size_t UNIT_BIKES_2 = 50, UNIT_BIKES_2_LEN = 27;

// Block 1: settings.
inline constexpr std::size_t BIKE = 100;
inline constexpr std::size_t RPM_PULSES = 102;
inline constexpr std::size_t LIMITER_START = 103;
inline constexpr std::size_t LIMITER_IGN = 104;
inline constexpr std::size_t CLUTCH_TIME = 105;
inline constexpr std::size_t LOBE = 106;
inline constexpr std::size_t PILOT_LIGHT = 107;
inline constexpr std::size_t BASE_ADV = 108;
inline constexpr std::size_t SERVO_HYSTER = 109;
inline constexpr std::size_t ACT_RPM = 110;
inline constexpr std::size_t BIKE_FLAG = 111;
inline constexpr std::size_t SERVO_ENABLE = 112;
inline constexpr std::size_t BLOK_ENABLE = 113;
inline constexpr std::size_t IAP_TO_TPS = 114;
inline constexpr std::size_t N2O_ENABLE = 115;
inline constexpr std::size_t ACT_BLOK = 116;
inline constexpr std::size_t CLUTCH_PAUSE = 117;
inline constexpr std::size_t ACT_CLUTCH = 118;
inline constexpr std::size_t RPM_CORR = 119;
inline constexpr std::size_t ACT_N2O = 120;
inline constexpr std::size_t ACT_LIM1 = 121;
inline constexpr std::size_t TPS_0 = 122;
inline constexpr std::size_t TPS_100 = 123;
inline constexpr std::size_t ACCEL_THRESHOLD = 124;
inline constexpr std::size_t ACCEL_SIZE = 125;
inline constexpr std::size_t BIKE_CONST = 126;
inline constexpr std::size_t POSITION_A_REF = 127;
inline constexpr std::size_t START_JET = 128;
inline constexpr std::size_t COOLING = 129;
inline constexpr std::size_t N2O_1 = 130;
inline constexpr std::size_t N2O_2 = 131;
inline constexpr std::size_t N2O_TIME = 132;
inline constexpr std::size_t N2O_DELAY = 133;
inline constexpr std::size_t RETARD_1 = 134;
inline constexpr std::size_t RETARD_2 = 135;
inline constexpr std::size_t RETARD_TIME = 136;
inline constexpr std::size_t RETARD_DELAY = 137;
inline constexpr std::size_t MODE = 138;
inline constexpr std::size_t POSITION_B_REF = 139;
inline constexpr std::size_t CHOKE_TIME = 140, CHOKE_TIME_LEN = 4;
inline constexpr std::size_t CHOKE_CORR = 144, CHOKE_CORR_LEN = 4;
inline constexpr std::size_t DISPLAY_GEAR = 149;
inline constexpr std::size_t DISPLAY_TEMP = 150;
inline constexpr std::size_t TUNING_LAMBDA = 151;
inline constexpr std::size_t TUNING_HYSTER = 152;
inline constexpr std::size_t TUNING_RPM = 153;
inline constexpr std::size_t TUNING_TPS = 154;
inline constexpr std::size_t TUNING_TIME = 155;
inline constexpr std::size_t LIMITER_INJ = 156;
inline constexpr std::size_t CYLINDER_CORR = 157, CYLINDER_CORR_LEN = 4;
inline constexpr std::size_t WATER_TEMP = 190, WATER_TEMP_LEN = 5;
inline constexpr std::size_t AIR_TEMP = 195, AIR_TEMP_LEN = 5;

// Blocks 2 to 11: curves and maps.
inline constexpr std::size_t CURVE_LEN = 15;
inline constexpr std::size_t RPM_SERVO = 220, RPM_SERVO_LEN = CURVE_LEN;
inline constexpr std::size_t VOLT_SERVO = 235, VOLT_SERVO_LEN = CURVE_LEN;
inline constexpr std::size_t POSITION_A_RPM = 250, POSITION_A_RPM_LEN = CURVE_LEN;
inline constexpr std::size_t POSITION_A_DEG = 265, POSITION_A_DEG_LEN = CURVE_LEN;
inline constexpr std::size_t POSITION_B_RPM = 280, POSITION_B_RPM_LEN = CURVE_LEN;
inline constexpr std::size_t POSITION_B_DEG = 295, POSITION_B_DEG_LEN = CURVE_LEN;
inline constexpr std::size_t RPM_IGN = 310, RPM_IGN_LEN = CURVE_LEN;
inline constexpr std::size_t RPM_JET_14A = 325, RPM_JET_14A_LEN = CURVE_LEN;
inline constexpr std::size_t RPM_JET_23A = 340, RPM_JET_23A_LEN = CURVE_LEN;
inline constexpr std::size_t RPM_JET_B = 355, RPM_JET_B_LEN = CURVE_LEN;
inline constexpr std::size_t RPM_JET_IAP = 370, RPM_JET_IAP_LEN = CURVE_LEN;

inline constexpr std::size_t MAP_ROWS = 10, MAP_COLS = 15, MAP_LEN = MAP_ROWS * MAP_COLS;
inline constexpr std::size_t IGN = 400, IGN_LEN = MAP_LEN;
inline constexpr std::size_t JET_14A = 550, JET_14A_LEN = MAP_LEN;
inline constexpr std::size_t JET_23A = 700, JET_23A_LEN = MAP_LEN;
inline constexpr std::size_t JET_B = 850, JET_B_LEN = MAP_LEN;
inline constexpr std::size_t JET_IAP = 1000, JET_IAP_LEN = MAP_LEN;

inline constexpr std::size_t MAP_PAGE_COUNT = 5;
// Map page p (0 Advance, 1 Inj-14A, 2 Inj-23A, 3 Inj-B, 4 Inj-IAP).
inline constexpr std::size_t rpmRowOfPage(std::size_t p) {
    return RPM_IGN + CURVE_LEN * p;
}
inline constexpr std::size_t mapOfPage(std::size_t p) {
    return IGN + MAP_LEN * p;
}
inline constexpr std::size_t mapCell(std::size_t map, std::size_t row, std::size_t col) {
    return map + MAP_COLS * row + col;
}
// The load point of each map row in percent: throttle opening for the first
// four maps, intake pressure for the IAP map.
inline constexpr std::array<int, MAP_ROWS> TPS_LOAD_POINTS = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
inline constexpr std::array<int, MAP_ROWS> IAP_LOAD_POINTS = {30, 50, 60, 70, 75,
                                                              80, 85, 90, 95, 100};
inline constexpr std::size_t IAP_PAGE = 4;
} // namespace img

// Month code of UNIT_MONTH: low byte of the sum of the ASCII codes of the
// English three-letter abbreviation. Returns 1..12, or 0 for an unknown code.
int MonthFromCode(std::uint8_t code);
std::uint8_t MonthCode(int month); // 1..12

// The unit's supported-bike bitmap in block 0: bit c%8 of byte 11+c/8 for
// c/8 < 5, else of byte 45+c/8.
std::size_t BikeBitmapByte(std::uint8_t code);
bool IsBikeSupported(const ParameterImage& image, std::uint8_t code);
void SetBikeSupported(ParameterImage& image, std::uint8_t code, bool supported);

} // namespace zentrova
