#include "app/AppState.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

using namespace zentrova;

namespace {

constexpr int CODE_COUNT = 45;

struct Range {
    std::size_t from, to; // inclusive
};

// Bytes the build must keep: block 0, BIKE and the reserved bytes after it
// (byte 101 is not among them: new images get 0 there).
constexpr Range KEPT[] = {
    {0, 99}, {img::BIKE, img::BIKE}, {148, 148}, {161, 189}, {200, 219}, {385, 399}, {1150, 1199}};

bool IsKept(std::size_t k) {
    return std::any_of(std::begin(KEPT), std::end(KEPT),
                       [k](const Range& r) { return k >= r.from && k <= r.to; });
}

// An image whose every byte differs from its neighbours, so a stray write shows.
ParameterImage Patterned(std::uint8_t seed) {
    ParameterImage image;
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        image[k] = static_cast<std::uint8_t>(k * 37 + seed);
    }
    return image;
}

ParameterImage Built(std::uint8_t code, ParameterImage image = {}) {
    image[img::BIKE] = code;
    bool choke = false;
    EXPECT_TRUE(BuildDefaultSet(image, choke)) << "code " << int(code);
    return image;
}

ParameterImage Validated(ParameterImage image) {
    ValidateImage(image);
    return image;
}

std::vector<int> Row(const ParameterImage& image, std::size_t offset, std::size_t len = 15) {
    return std::vector<int>(image.bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                            image.bytes.begin() + static_cast<std::ptrdiff_t>(offset + len));
}

std::vector<int> MapRow(const ParameterImage& image, std::size_t map, std::size_t row) {
    return Row(image, img::mapCell(map, row, 0));
}

// Physical values of a row of bytes with a scale.
std::vector<int> Scaled(const ParameterImage& image, std::size_t offset, int scale,
                        std::size_t len = 15) {
    auto row = Row(image, offset, len);
    for (int& v : row) {
        v *= scale;
    }
    return row;
}

} // namespace

// ---------------------------------------------------------------------------
// What the build writes and what it keeps

TEST(DefaultSet, EveryCodeWritesEveryParameterByteAndKeepsTheRest) {
    for (int code = 0; code < CODE_COUNT; ++code) {
        SCOPED_TRACE(code);
        const ParameterImage zeroBefore{};
        const ParameterImage patternBefore = Patterned(11);
        ParameterImage fromZero = Built(static_cast<std::uint8_t>(code), zeroBefore);
        ParameterImage fromPattern = Built(static_cast<std::uint8_t>(code), patternBefore);
        for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
            if (IsKept(k) && k != img::BIKE) {
                ASSERT_EQ(fromZero[k], zeroBefore[k]) << "byte " << k;
                ASSERT_EQ(fromPattern[k], patternBefore[k]) << "byte " << k;
            } else {
                // Written from the code alone: what was there before does not matter.
                ASSERT_EQ(fromZero[k], fromPattern[k]) << "byte " << k;
            }
        }
        EXPECT_EQ(fromPattern[img::BIKE], code);
        EXPECT_EQ(fromPattern[img::BIKE + 1], 0);
    }
}

TEST(DefaultSet, BuildingTwiceGivesTheSameImage) {
    for (int code = 0; code < CODE_COUNT; ++code) {
        SCOPED_TRACE(code);
        AppState state;
        state.image = Patterned(3);
        state.image[img::BIKE] = static_cast<std::uint8_t>(code);
        ASSERT_TRUE(BuildDefaultSet(state));
        const AppState first = state;
        ASSERT_TRUE(BuildDefaultSet(state));
        EXPECT_EQ(state.image, first.image);
        EXPECT_EQ(state.ChokeOutput, first.ChokeOutput);
    }
}

TEST(DefaultSet, UnlistedCodesLeaveEverythingUnchanged) {
    for (const int code : {45, 46, 100, 255}) {
        for (const bool chokeBefore : {false, true}) {
            SCOPED_TRACE(code);
            ParameterImage image = Patterned(5);
            image[img::BIKE] = static_cast<std::uint8_t>(code);
            const ParameterImage before = image;
            bool choke = chokeBefore;
            EXPECT_FALSE(BuildDefaultSet(image, choke));
            EXPECT_EQ(image, before);
            EXPECT_EQ(choke, chokeBefore);
        }
    }
}

TEST(DefaultSet, RecomputesTheBikeDerivedBytes) {
    struct Case {
        int code, flag, constant;
        bool choke;
    } cases[] = {{0, 1, 75, false},  {11, 0, 85, false}, {17, 0, 35, false}, {25, 1, 75, false},
                 {32, 0, 60, false}, {38, 0, 85, true},  {40, 1, 75, false}, {42, 0, 50, false},
                 {24, 0, 70, false}, {1, 0, 65, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        AppState state;
        state.image = Patterned(200); // stale derived bytes
        state.image[img::BIKE] = static_cast<std::uint8_t>(c.code);
        state.ChokeOutput = !c.choke;
        ASSERT_TRUE(BuildDefaultSet(state));
        EXPECT_EQ(state.image[img::BIKE_FLAG], c.flag);
        EXPECT_EQ(state.image[img::BIKE_CONST], c.constant);
        EXPECT_EQ(state.ChokeOutput, c.choke);
    }
}

// ---------------------------------------------------------------------------
// Validation after the build

// Validation may touch a freshly built set only where a calibration table
// holds a value the image cannot keep: advance above 60 degrees, a position
// above 720 degrees, or a servo rpm point that does not rise. Nothing else.
TEST(DefaultSet, ValidationOnlyRepairsOutOfRangeTableValues) {
    for (int code = 0; code < CODE_COUNT; ++code) {
        SCOPED_TRACE(code);
        const ParameterImage built = Built(static_cast<std::uint8_t>(code));
        const ParameterImage valid = Validated(built);
        for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
            if (built[k] == valid[k]) {
                continue;
            }
            const bool advanceCap =
                k >= img::IGN && k < img::IGN + img::IGN_LEN && built[k] > 60 && valid[k] == 60;
            const bool positionCap = ((k >= img::POSITION_A_DEG && k < img::POSITION_A_DEG + 15) ||
                                      (k >= img::POSITION_B_DEG && k < img::POSITION_B_DEG + 15)) &&
                                     built[k] > 144 && valid[k] == 144;
            const bool servoRise = k > img::RPM_SERVO && k < img::RPM_SERVO + 15 &&
                                   built[k] <= valid[k - 1] && valid[k] == valid[k - 1] + 1;
            EXPECT_TRUE(advanceCap || positionCap || servoRise)
                << "byte " << k << ": " << int(built[k]) << " -> " << int(valid[k]);
        }
        // A built and validated set is stable: validating again changes nothing.
        EXPECT_EQ(Validated(valid), valid);
    }
}

TEST(DefaultSet, OutOfRangeTableValuesReachTheImageAndValidationRepairsThem) {
    // Code 26: A17 row 0 holds up to 82 degrees.
    const ParameterImage bike26 = Built(26);
    EXPECT_EQ(MapRow(bike26, img::IGN, 0),
              (std::vector<int>{8, 22, 37, 55, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82}));
    const ParameterImage bike26Valid = Validated(bike26);
    EXPECT_EQ(MapRow(bike26Valid, img::IGN, 0),
              (std::vector<int>{8, 22, 37, 55, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60, 60}));
    for (std::size_t k = img::IGN; k < img::IGN + img::IGN_LEN; ++k) {
        EXPECT_LE(bike26Valid[k], 60) << "byte " << k;
    }

    // Code 12: P10 has a position of 729 degrees (byte 145, above the 144 limit).
    const ParameterImage bike12 = Built(12);
    EXPECT_EQ(bike12[img::POSITION_A_DEG + 8], 145);
    EXPECT_EQ(bike12[img::POSITION_B_DEG + 8], 145);
    EXPECT_EQ(Validated(bike12)[img::POSITION_A_DEG + 8], 144);

    // Code 8: S4 repeats its rpm points; validation pushes them up.
    const ParameterImage bike8 = Built(8);
    EXPECT_EQ(Row(bike8, img::RPM_SERVO),
              (std::vector<int>{15, 15, 15, 17, 21, 25, 26, 35, 40, 40, 40, 40, 40, 40, 40}));
    EXPECT_EQ(Row(Validated(bike8), img::RPM_SERVO),
              (std::vector<int>{15, 16, 17, 18, 21, 25, 26, 35, 40, 41, 42, 43, 44, 45, 46}));
}

// ---------------------------------------------------------------------------
// Bike-dependent fixed values

TEST(DefaultSet, LobeWidthByCode) {
    for (int code = 0; code < CODE_COUNT; ++code) {
        const int expected = code == 32 ? 50 : code == 44 ? 60 : 40;
        EXPECT_EQ(Built(static_cast<std::uint8_t>(code))[img::LOBE], expected) << "code " << code;
    }
}

TEST(DefaultSet, ServoAndGearDisplayByCode) {
    for (int code = 0; code < CODE_COUNT; ++code) {
        SCOPED_TRACE(code);
        const bool gearBike = code == 26 || code == 41;
        const bool servoOff = gearBike || code == 42;
        const ParameterImage image = Validated(Built(static_cast<std::uint8_t>(code)));
        EXPECT_EQ(image[img::SERVO_ENABLE], servoOff ? 0 : 1);
        EXPECT_EQ(image[img::DISPLAY_GEAR], gearBike ? 1 : 0);
        EXPECT_EQ(image[img::DISPLAY_TEMP], 0);
    }
}

// ---------------------------------------------------------------------------
// Tables

TEST(DefaultSet, OneRpmAxisInAllSevenRows) {
    constexpr std::size_t ROWS[] = {img::RPM_IGN,       img::RPM_JET_14A, img::RPM_JET_23A,
                                    img::RPM_JET_B,     img::RPM_JET_IAP, img::POSITION_A_RPM,
                                    img::POSITION_B_RPM};
    for (int code = 0; code < CODE_COUNT; ++code) {
        SCOPED_TRACE(code);
        const ParameterImage image = Built(static_cast<std::uint8_t>(code));
        const auto axis = Row(image, img::RPM_IGN);
        EXPECT_EQ(axis.front(), 10); // 1000 rpm
        EXPECT_TRUE(std::is_sorted(axis.begin(), axis.end()));
        EXPECT_EQ(std::adjacent_find(axis.begin(), axis.end()), axis.end());
        for (const std::size_t row : ROWS) {
            EXPECT_EQ(Row(image, row), axis) << "row at " << row;
        }
    }
    // Code 24 (R4) ends at 10000 rpm.
    EXPECT_EQ(Scaled(Built(24), img::RPM_JET_B, 100),
              (std::vector<int>{1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500, 7000, 7500, 8000,
                                8500, 9000, 9500, 10000}));
}

TEST(DefaultSet, OneRowAdvanceFillsAllLoadRows) {
    const std::vector<int> a1 = {13, 14, 20, 28, 31, 32, 33, 32, 31, 31, 31, 31, 31, 31, 31};
    const ParameterImage image = Built(0);
    for (std::size_t r = 0; r < img::MAP_ROWS; ++r) {
        EXPECT_EQ(MapRow(image, img::IGN, r), a1) << "row " << r;
    }
}

// The ten-row advance tables: rows 0 and 9 as measured; rows 1 to 8 stay
// within 0..60 and lie between row 0 (taken at most 60) and row 9, moving
// steadily from one to the other.
TEST(DefaultSet, TenRowAdvanceTablesBlendFromRowZeroToRowNine) {
    struct Case {
        int code;
        std::vector<int> row0, row9;
    } cases[] = {
        {8,
         {0, 5, 25, 38, 36, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38},
         {5, 10, 20, 27, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30}},
        {26,
         {8, 22, 37, 55, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82},
         {15, 22, 29, 34, 36, 38, 40, 38, 40, 36, 35, 32, 32, 32, 32}},
        {39,
         {10, 10, 10, 10, 30, 35, 42, 45, 48, 45, 42, 42, 42, 42, 42},
         {25, 25, 14, 18, 24, 31, 34, 30, 32, 32, 33, 33, 33, 33, 33}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const ParameterImage image = Built(static_cast<std::uint8_t>(c.code));
        EXPECT_EQ(MapRow(image, img::IGN, 0), c.row0);
        EXPECT_EQ(MapRow(image, img::IGN, 9), c.row9);
        EXPECT_NE(MapRow(image, img::IGN, 4), c.row0);
        EXPECT_NE(MapRow(image, img::IGN, 4), c.row9);
        for (std::size_t col = 0; col < img::MAP_COLS; ++col) {
            const int low = std::min(c.row0[col], 60);
            const int high = c.row9[col];
            int previous = low;
            for (std::size_t r = 1; r < 9; ++r) {
                const int v = image[img::mapCell(img::IGN, r, col)];
                EXPECT_GE(v, std::min(low, high)) << "row " << r << " col " << col;
                EXPECT_LE(v, std::max(low, high)) << "row " << r << " col " << col;
                EXPECT_LE(v, 60);
                // Never turns back on its way from row 0 to row 9.
                EXPECT_GE((v - previous) * (high - low), 0) << "row " << r << " col " << col;
                previous = v;
            }
        }
    }
    // Code 34 shares A17 with code 26.
    EXPECT_EQ(Row(Built(34), img::IGN, img::IGN_LEN), Row(Built(26), img::IGN, img::IGN_LEN));
}

// Injection B maps: zero up to a given load row, then rising with load to the
// measured row 9, within 0..100.
TEST(DefaultSet, InjectionBMapsRiseWithLoadToRowNine) {
    struct Case {
        int code;
        std::size_t zeroRows;
        std::vector<int> row9;
    } cases[] = {
        {3, 7, {0, 0, 0, 0, 9, 16, 24, 35, 47, 53, 59, 54, 50, 50, 50}},   // B2
        {19, 3, {0, 0, 0, 0, 1, 7, 13, 29, 44, 46, 48, 48, 48, 48, 48}},   // B3
        {26, 5, {0, 0, 0, 4, 13, 42, 51, 62, 73, 80, 79, 79, 79, 79, 79}}, // B4
        {34, 7, {0, 0, 0, 0, 0, 0, 17, 43, 52, 63, 62, 50, 41, 33, 19}},   // B5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const ParameterImage image = Built(static_cast<std::uint8_t>(c.code));
        EXPECT_EQ(MapRow(image, img::JET_B, 9), c.row9);
        const std::vector<int> zero(15, 0);
        for (std::size_t r = 0; r < c.zeroRows; ++r) {
            EXPECT_EQ(MapRow(image, img::JET_B, r), zero) << "row " << r;
        }
        EXPECT_NE(MapRow(image, img::JET_B, c.zeroRows), zero);
        for (std::size_t col = 0; col < img::MAP_COLS; ++col) {
            for (std::size_t r = c.zeroRows; r < 9; ++r) {
                const int v = image[img::mapCell(img::JET_B, r, col)];
                EXPECT_LE(v, image[img::mapCell(img::JET_B, r + 1, col)])
                    << "row " << r << " col " << col;
                EXPECT_LE(v, 100);
            }
        }
    }
    // B1: no B injection at all.
    EXPECT_EQ(Row(Built(11), img::JET_B, img::JET_B_LEN), std::vector<int>(img::JET_B_LEN, 0));
}

TEST(DefaultSet, LimitsAndMiscValuesPerCode) {
    struct Case {
        int code, tps0, tps100, start, ign, inj, pilot, baseAdv, startJet, pulses, actBlok;
    } cases[] = {
        {0, 650, 4030, 8000, 11000, 11300, 9000, 5, 10, 2, 1},
        {1, 340, 4730, 7000, 10800, 11100, 8800, 0, 10, 2, 1},
        {8, 670, 4020, 9000, 13000, 12700, 10000, 8, 12, 1, 1},
        {24, 480, 4480, 7000, 10000, 10300, 8000, 0, 20, 1, 1},
        {26, 1100, 4450, 9000, 13000, 13300, 10000, 15, 13, 1, 0},
        {34, 690, 4080, 10000, 15800, 16100, 14000, 8, 13, 2, 0},
        {39, 640, 4170, 8000, 11500, 12000, 9000, 10, 13, 1, 0},
        {42, 660, 3890, 6000, 10000, 10300, 7000, 10, 12, 2, 0},
        {44, 1100, 4300, 10000, 12000, 12300, 10000, 5, 10, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const ParameterImage image = Built(static_cast<std::uint8_t>(c.code));
        EXPECT_EQ(image[img::TPS_0] * 10, c.tps0);
        EXPECT_EQ(image[img::TPS_100] * 10 + 2500, c.tps100);
        EXPECT_EQ(image[img::LIMITER_START] * 100, c.start);
        EXPECT_EQ(image[img::LIMITER_IGN] * 100, c.ign);
        EXPECT_EQ(image[img::LIMITER_INJ] * 100, c.inj);
        EXPECT_EQ(image[img::PILOT_LIGHT] * 100, c.pilot);
        EXPECT_EQ(image[img::BASE_ADV], c.baseAdv);
        EXPECT_EQ(image[img::START_JET], c.startJet);
        EXPECT_EQ(image[img::RPM_PULSES], c.pulses);
        EXPECT_EQ(image[img::ACT_BLOK], c.actBlok);
        EXPECT_EQ(image[img::BLOK_ENABLE], 0);
    }
}

TEST(DefaultSet, ServoAndPositionTablesWithTheirConversions) {
    // Code 34: S7 and P18 (centre references, different A and B positions).
    const ParameterImage bike34 = Built(34);
    EXPECT_EQ(bike34[img::SERVO_HYSTER] * 5, 200);
    EXPECT_EQ(Scaled(bike34, img::RPM_SERVO, 100),
              (std::vector<int>{700, 800, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000,
                                11000, 12000, 13000, 14000}));
    EXPECT_EQ(Scaled(bike34, img::VOLT_SERVO, 20),
              (std::vector<int>{3240, 3240, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540,
                                2540, 2540, 2540, 2540}));
    EXPECT_EQ(bike34[img::POSITION_A_REF], 1);
    EXPECT_EQ(bike34[img::POSITION_B_REF], 1);
    // Positions are stored in steps of 5 degrees, the remainder dropped.
    EXPECT_EQ(Scaled(bike34, img::POSITION_A_DEG, 5),
              (std::vector<int>{245, 245, 245, 250, 245, 255, 240, 195, 160, 125, 75, 110, 145, 170,
                                200}));
    EXPECT_EQ(Scaled(bike34, img::POSITION_B_DEG, 5),
              (std::vector<int>{460, 460, 460, 460, 460, 460, 460, 460, 505, 520, 480, 525, 535,
                                555, 540}));

    // Code 19: P15 refers to the end of injection.
    const ParameterImage bike19 = Built(19);
    EXPECT_EQ(bike19[img::POSITION_A_REF], 2);
    EXPECT_EQ(bike19[img::POSITION_B_REF], 2);
    EXPECT_EQ(bike19[img::POSITION_B_DEG], 443 / 5);

    // Code 37: S8 starts its servo curve at 0 rpm.
    EXPECT_EQ(Built(37)[img::RPM_SERVO], 0);
}

TEST(DefaultSet, Code13TakesThePositionsOfCode14) {
    const ParameterImage bike13 = Built(13);
    const ParameterImage bike14 = Built(14);
    EXPECT_EQ(Row(bike13, img::POSITION_A_DEG, 30), Row(bike14, img::POSITION_A_DEG, 30));
    EXPECT_EQ(bike13[img::POSITION_A_REF], 1);
    EXPECT_EQ(bike13[img::POSITION_B_REF], 1);
    EXPECT_EQ(Scaled(bike13, img::POSITION_A_DEG, 5, 3), (std::vector<int>{230, 245, 310}));
}

// ---------------------------------------------------------------------------
// The start-up set (code 11), as its parameter file shows it

TEST(DefaultSet, Code11MatchesItsParameterFile) {
    AppState state;
    state.image[img::BIKE] = 11;
    ASSERT_TRUE(BuildDefaultSet(state));
    ValidateImage(state);
    const ParameterImage& image = state.image;

    // LIMITER 10000 14000 14300, RPM 1 0, BASE_ADV 10, LOBE 40, IAP_TO_TPS 5, MODE 1
    EXPECT_EQ(image[img::LIMITER_START] * 100, 10000);
    EXPECT_EQ(image[img::LIMITER_IGN] * 100, 14000);
    EXPECT_EQ(image[img::LIMITER_INJ] * 100, 14300);
    EXPECT_EQ(image[img::RPM_PULSES], 1);
    EXPECT_EQ(image[img::RPM_CORR] - 100, 0);
    EXPECT_EQ(image[img::BASE_ADV], 10);
    EXPECT_EQ(image[img::LOBE], 40);
    EXPECT_EQ(image[img::IAP_TO_TPS], 5);
    EXPECT_EQ(image[img::MODE], 1);
    // ACT_BLOK 1 0, ACT_CLUTCH 1, ACT_LIM1 1, ACT_RPM 1, ACT_N2O 1
    EXPECT_EQ(image[img::ACT_BLOK], 1);
    EXPECT_EQ(image[img::BLOK_ENABLE], 0);
    EXPECT_EQ(image[img::ACT_CLUTCH], 1);
    EXPECT_EQ(image[img::ACT_LIM1], 1);
    EXPECT_EQ(image[img::ACT_RPM], 1);
    EXPECT_EQ(image[img::ACT_N2O], 1);

    const std::vector<int> rpm = {1000,  2000,  3000,  4000,  6000,  7000,  8000, 9000,
                                  10000, 11000, 12000, 13000, 14000, 15000, 16000};
    const std::vector<int> a7 = {16, 30, 38, 35, 39, 40, 40, 40, 39, 39, 39, 37, 34, 34, 34};
    EXPECT_EQ(Scaled(image, img::RPM_IGN, 100), rpm);
    for (std::size_t r = 0; r < img::MAP_ROWS; ++r) {
        EXPECT_EQ(MapRow(image, img::IGN, r), a7) << "row " << r;
    }
    for (const std::size_t map : {img::JET_14A, img::JET_23A, img::JET_IAP}) {
        EXPECT_EQ(Row(image, map, img::MAP_LEN), std::vector<int>(img::MAP_LEN, 100));
    }
    EXPECT_EQ(Row(image, img::CYLINDER_CORR, 4), (std::vector<int>{100, 100, 100, 100}));

    // TPS, ACCEL, START_JET, COOLING, WATER_TEMP / AIR_TEMP (T6)
    EXPECT_EQ(image[img::TPS_0] * 10, 1100);
    EXPECT_EQ(image[img::TPS_100] * 10 + 2500, 4300);
    EXPECT_EQ(image[img::ACCEL_THRESHOLD] * 10, 300);
    EXPECT_EQ(image[img::ACCEL_SIZE] * 50, 4200);
    EXPECT_EQ(image[img::START_JET], 10);
    EXPECT_EQ(image[img::COOLING], 100);
    EXPECT_EQ(Row(image, img::WATER_TEMP, 5), (std::vector<int>{112, 107, 103, 100, 97}));
    EXPECT_EQ(Row(image, img::AIR_TEMP, 5), (std::vector<int>{106, 103, 100, 100, 100}));

    // CHOKE 5 10 15 20 / 250 150 130 110
    EXPECT_EQ(Row(image, img::CHOKE_TIME, 4), (std::vector<int>{5, 10, 15, 20}));
    EXPECT_EQ(Row(image, img::CHOKE_CORR, 4), (std::vector<int>{150, 50, 30, 10}));

    // SERVO_ENABLE 1, SERVO_HYSTER 200, RPM_SERVO, VOLT_SERVO (2450 shows as 2440)
    EXPECT_EQ(image[img::SERVO_ENABLE], 1);
    EXPECT_EQ(image[img::SERVO_HYSTER] * 5, 200);
    EXPECT_EQ(Scaled(image, img::RPM_SERVO, 100), rpm);
    EXPECT_EQ(Scaled(image, img::VOLT_SERVO, 20),
              (std::vector<int>{2000, 2100, 2200, 2300, 2400, 2440, 2500, 2540, 2600, 2640, 2700,
                                2740, 2800, 2840, 2900}));

    // CLUTCH 100 500, PILOT_LIGHT 12000, N2O 0 20 60 2000 3000, RETARD 0 0 2000 3000
    EXPECT_EQ(image[img::CLUTCH_TIME] * 10, 100);
    EXPECT_EQ(image[img::CLUTCH_PAUSE] * 10, 500);
    EXPECT_EQ(image[img::PILOT_LIGHT] * 100, 12000);
    EXPECT_EQ(image[img::N2O_ENABLE], 0);
    EXPECT_EQ(image[img::N2O_1], 20);
    EXPECT_EQ(image[img::N2O_2], 60);
    EXPECT_EQ(image[img::N2O_DELAY] * 100, 2000);
    EXPECT_EQ(image[img::N2O_TIME] * 100, 3000);
    EXPECT_EQ(image[img::RETARD_1], 0);
    EXPECT_EQ(image[img::RETARD_2], 0);
    EXPECT_EQ(image[img::RETARD_DELAY] * 100, 2000);
    EXPECT_EQ(image[img::RETARD_TIME] * 100, 3000);

    // DISPLAY 0 0, TUNING 800 50 100 1 1000
    EXPECT_EQ(image[img::DISPLAY_TEMP], 0);
    EXPECT_EQ(image[img::DISPLAY_GEAR], 0);
    EXPECT_EQ(image[img::TUNING_LAMBDA] * 10, 800);
    EXPECT_EQ(image[img::TUNING_HYSTER] * 10, 50);
    EXPECT_EQ(image[img::TUNING_RPM] * 10, 100);
    EXPECT_EQ(image[img::TUNING_TPS], 1);
    EXPECT_EQ(image[img::TUNING_TIME] * 100, 1000);

    // Positions: P6, centre of injection.
    EXPECT_EQ(image[img::POSITION_A_REF], 1);
    EXPECT_EQ(image[img::POSITION_B_REF], 1);
    EXPECT_EQ(Scaled(image, img::POSITION_A_RPM, 100), rpm);
    EXPECT_EQ(Scaled(image, img::POSITION_A_DEG, 5, 3), (std::vector<int>{370, 320, 240}));
    EXPECT_EQ(state.ChokeOutput, false);
}
