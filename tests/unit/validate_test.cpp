#include "app/AppState.h"
#include "image/Validate.h"

#include <gtest/gtest.h>

#include <random>
#include <span>
#include <vector>

using namespace zentrova;
using namespace zentrova::img;

namespace {

// Every row that must strictly increase after validation, with its lowest
// allowed first point (RPM_SERVO may start at 0).
struct RowCase {
    const char* name;
    std::size_t offset;
    std::uint8_t floor;
};
constexpr RowCase INCREASING_ROWS[] = {
    {"RPM_IGN", RPM_IGN, 3},
    {"RPM_JET_14A", RPM_JET_14A, 3},
    {"RPM_JET_23A", RPM_JET_23A, 3},
    {"RPM_JET_B", RPM_JET_B, 3},
    {"RPM_JET_IAP", RPM_JET_IAP, 3},
    {"RPM_SERVO", RPM_SERVO, 0},
    {"POSITION_A_RPM", POSITION_A_RPM, 3},
    {"POSITION_B_RPM", POSITION_B_RPM, 3},
};
constexpr std::size_t MAPS[] = {IGN, JET_14A, JET_23A, JET_B, JET_IAP};

void Fill(ParameterImage& image, std::size_t offset, std::size_t len, std::uint8_t value) {
    for (std::size_t i = 0; i < len; ++i) {
        image[offset + i] = value;
    }
}
// Writes first, first + 1, ... over len bytes.
void Ramp(ParameterImage& image, std::size_t offset, std::size_t len, std::uint8_t first) {
    for (std::size_t i = 0; i < len; ++i) {
        image[offset + i] = static_cast<std::uint8_t>(first + i);
    }
}
std::vector<std::uint8_t> Bytes(const ParameterImage& image, std::size_t offset, std::size_t len) {
    return {image.bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            image.bytes.begin() + static_cast<std::ptrdiff_t>(offset + len)};
}
void ExpectSameImage(const ParameterImage& got, const ParameterImage& want) {
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        EXPECT_EQ(int{got[k]}, int{want[k]}) << "byte " << k;
    }
}

ParameterImage Validated(ParameterImage image) {
    ValidateImage(image);
    return image;
}

} // namespace

TEST(ValidateImage, AllZeroImage) {
    ParameterImage want; // everything not listed stays 0, the maps included
    want[LIMITER_START] = want[LIMITER_IGN] = want[LIMITER_INJ] = 10;
    for (const auto& row : INCREASING_ROWS) {
        Ramp(want, row.offset, CURVE_LEN, row.floor);
    }
    Fill(want, VOLT_SERVO, CURVE_LEN, 1);
    Ramp(want, CHOKE_TIME, CHOKE_TIME_LEN, 0);
    want[PILOT_LIGHT] = 10;
    want[N2O_TIME] = 1;
    want[RETARD_TIME] = 1;

    ExpectSameImage(Validated(ParameterImage{}), want);
}

TEST(ValidateImage, AllBytes255) {
    ParameterImage all;
    all.bytes.fill(255); // BIKE 255: an unlisted bike, no advance cap

    ParameterImage want = all; // flags, reserved bytes, block 0 ... stay 255
    want[LIMITER_START] = want[LIMITER_IGN] = want[LIMITER_INJ] = 250;
    for (const auto& row : INCREASING_ROWS) {
        Ramp(want, row.offset, CURVE_LEN, 236);
    }
    Fill(want, VOLT_SERVO, CURVE_LEN, 1);
    Fill(want, POSITION_A_DEG, CURVE_LEN, 144);
    Fill(want, POSITION_B_DEG, CURVE_LEN, 144);
    Fill(want, IGN, MAP_LEN, 60);
    for (std::size_t map : {JET_14A, JET_23A, JET_B, JET_IAP}) {
        Fill(want, map, MAP_LEN, 250);
    }
    want[TPS_0] = want[TPS_100] = 250;
    want[START_JET] = 50;
    Ramp(want, CHOKE_TIME, CHOKE_TIME_LEN, 247);
    Fill(want, CHOKE_CORR, CHOKE_CORR_LEN, 250);
    want[PILOT_LIGHT] = 250;
    want[N2O_1] = want[N2O_2] = 100;
    want[N2O_TIME] = want[N2O_DELAY] = 200;
    want[RETARD_1] = want[RETARD_2] = 25;
    want[RETARD_TIME] = want[RETARD_DELAY] = 200;
    want[SERVO_ENABLE] = 1;
    want[DISPLAY_GEAR] = 0;
    want[IAP_TO_TPS] = 100;
    want[BASE_ADV] = 40;

    ExpectSameImage(Validated(all), want);
}

TEST(ValidateImage, RowsArePushedUpNeverDown) {
    struct Case {
        std::vector<std::uint8_t> in, out;
    } cases[] = {
        // Falling row: the first point holds, the rest climb from it.
        {{50, 40, 30, 20, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         {50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64}},
        // One dip: only the dipping point moves, and only up.
        {{10, 20, 30, 25, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140},
         {10, 20, 30, 31, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140}},
        // A plateau near the top: each point is first capped at i + 236.
        {{240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240, 240},
         {236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247, 248, 249, 250}},
        // Already strictly increasing inside the bands: untouched.
        {{5, 9, 20, 21, 22, 60, 61, 90, 120, 121, 122, 150, 160, 170, 250},
         {5, 9, 20, 21, 22, 60, 61, 90, 120, 121, 122, 150, 160, 170, 250}},
    };
    for (const auto& row : INCREASING_ROWS) {
        for (const auto& c : cases) {
            ParameterImage image;
            std::copy(c.in.begin(), c.in.end(), image.bytes.begin() + row.offset);
            ValidateImage(image);
            EXPECT_EQ(Bytes(image, row.offset, CURVE_LEN), c.out) << row.name;
        }
    }
}

TEST(ValidateImage, LimitersFollowTheStartLimiter) {
    struct Case {
        std::uint8_t start, ign, inj;
        std::uint8_t wantStart, wantIgn, wantInj;
    } cases[] = {
        {60, 20, 20, 60, 60, 60},       // raised to the start limiter
        {60, 70, 59, 60, 70, 60},       // each on its own
        {30, 40, 50, 30, 40, 50},       // valid: untouched
        {5, 3, 255, 10, 10, 250},       // clamped to 10..250
        {255, 100, 251, 250, 250, 250}, // the start limiter is never lowered to meet them
        {0, 0, 0, 10, 10, 10},
    };
    for (const auto& c : cases) {
        ParameterImage image;
        image[LIMITER_START] = c.start;
        image[LIMITER_IGN] = c.ign;
        image[LIMITER_INJ] = c.inj;
        ValidateImage(image);
        EXPECT_EQ(int{image[LIMITER_START]}, c.wantStart) << int{c.start};
        EXPECT_EQ(int{image[LIMITER_IGN]}, c.wantIgn) << int{c.ign};
        EXPECT_EQ(int{image[LIMITER_INJ]}, c.wantInj) << int{c.inj};
    }
}

// First stage, second stage, build-up time and delay of the N2O and the retard
// controllers: the first stage is lowered to the second, never the reverse.
struct StageCase {
    std::uint8_t first, second, time, delay;
    std::uint8_t wantFirst, wantSecond, wantTime, wantDelay;
};
// Where one controller keeps its four bytes.
struct StageBytes {
    std::size_t first, second, time, delay;
};

void ExpectStages(std::span<const StageCase> cases, StageBytes at) {
    for (const auto& c : cases) {
        ParameterImage image;
        image[at.first] = c.first;
        image[at.second] = c.second;
        image[at.time] = c.time;
        image[at.delay] = c.delay;
        ValidateImage(image);
        EXPECT_EQ(int{image[at.first]}, c.wantFirst) << int{c.first} << "/" << int{c.second};
        EXPECT_EQ(int{image[at.second]}, c.wantSecond) << int{c.first} << "/" << int{c.second};
        EXPECT_EQ(int{image[at.time]}, c.wantTime) << int{c.time};
        EXPECT_EQ(int{image[at.delay]}, c.wantDelay) << int{c.delay};
    }
}

TEST(ValidateImage, N2oStages) {
    const StageCase cases[] = {
        {80, 30, 5, 5, 30, 30, 5, 5},          {30, 80, 5, 5, 30, 80, 5, 5},
        {150, 120, 0, 0, 100, 100, 1, 0}, // both capped at 100; time 0 -> 1, delay may be 0
        {150, 50, 201, 255, 50, 50, 200, 200}, {100, 100, 200, 200, 100, 100, 200, 200},
    };
    ExpectStages(cases, {N2O_1, N2O_2, N2O_TIME, N2O_DELAY});
}

TEST(ValidateImage, RetardStages) {
    const StageCase cases[] = {
        {20, 5, 5, 5, 5, 5, 5, 5},
        {5, 20, 5, 5, 5, 20, 5, 5},
        {30, 40, 0, 0, 25, 25, 1, 0},
        {30, 10, 255, 201, 10, 10, 200, 200},
        {25, 25, 200, 200, 25, 25, 200, 200},
    };
    ExpectStages(cases, {RETARD_1, RETARD_2, RETARD_TIME, RETARD_DELAY});
}

// An advance map holding every value 0..75 (wrapping over the 150 cells).
ParameterImage AdvanceRamp(std::uint8_t bike, std::uint8_t baseAdv, std::uint8_t lobe) {
    ParameterImage image;
    image[BIKE] = bike;
    image[BASE_ADV] = baseAdv;
    image[LOBE] = lobe;
    for (std::size_t k = 0; k < MAP_LEN; ++k) {
        image[IGN + k] = static_cast<std::uint8_t>(k % 76);
    }
    return image;
}

TEST(ValidateImage, AdvanceCapOfLobeBikes) {
    struct Case {
        std::uint8_t bike, baseAdv, lobe;
        int cap;
    } cases[] = {
        {32, 10, 20, 30},
        {33, 10, 20, 30},
        {44, 10, 20, 30},
        {44, 0, 0, 0},
        {32, 40, 30, 60}, // a cap above 60 changes nothing more
        {11, 10, 20, 60},
        {31, 10, 20, 60},
        {45, 10, 20, 60},
        {255, 10, 20, 60},
        // The sum is taken without overflow: 250 + 10 is 260, not 4.
        {32, 250, 10, 60},
    };
    for (const auto& c : cases) {
        const ParameterImage image = Validated(AdvanceRamp(c.bike, c.baseAdv, c.lobe));
        for (std::size_t k = 0; k < MAP_LEN; ++k) {
            const int in = static_cast<int>(k % 76);
            ASSERT_EQ(int{image[IGN + k]}, std::min(in, c.cap))
                << "bike " << int{c.bike} << " cell " << k;
        }
        EXPECT_EQ(int{image[LOBE]}, int{c.lobe}) << "LOBE is never repaired";
    }
}

TEST(ValidateImage, AdvanceCapUsesBaseAdvanceBeforeItIsCapped) {
    ParameterImage image = AdvanceRamp(44, 50, 0);
    ValidateImage(image);
    EXPECT_EQ(int{image[BASE_ADV]}, 40);
    EXPECT_EQ(int{image[IGN + 55]}, 50); // capped by 50 + 0, the value before its repair
    EXPECT_EQ(int{image[IGN + 45]}, 45);

    // Not idempotent here: a second run caps at the repaired 40.
    ValidateImage(image);
    EXPECT_EQ(int{image[IGN + 55]}, 40);
    EXPECT_EQ(int{image[IGN + 45]}, 40);
    EXPECT_EQ(int{image[IGN + 39]}, 39);
}

TEST(ValidateImage, InjectionMapsCappedAt250) {
    for (std::size_t map : MAPS) {
        ParameterImage image;
        image[BIKE] = 11;
        for (std::size_t k = 0; k < MAP_LEN; ++k) {
            image[map + k] = static_cast<std::uint8_t>(106 + k); // 106..255
        }
        ValidateImage(image);
        const int cap = map == IGN ? 60 : 250; // JET_B, too, is allowed up to 250
        for (std::size_t k = 0; k < MAP_LEN; ++k) {
            ASSERT_EQ(int{image[map + k]}, std::min(static_cast<int>(106 + k), cap))
                << "map at " << map << " cell " << k;
        }
    }
}

TEST(ValidateImage, ServoAgainstGearDisplay) {
    struct Case {
        std::uint8_t bike, servo, gear;
        std::uint8_t wantServo, wantGear;
    } cases[] = {
        {26, 1, 1, 0, 1}, {41, 1, 1, 0, 1}, // these bikes keep the gear display
        {11, 1, 1, 1, 0}, {42, 1, 1, 1, 0}, {255, 1, 1, 1, 0},
        {11, 2, 7, 1, 0}, {26, 9, 3, 0, 1}, // any non-zero value counts as on
        {11, 0, 1, 0, 1}, {11, 1, 0, 1, 0}, // only one on: left alone
        {26, 1, 0, 1, 0}, {26, 5, 0, 5, 0}, {41, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ParameterImage image;
        image[BIKE] = c.bike;
        image[SERVO_ENABLE] = c.servo;
        image[DISPLAY_GEAR] = c.gear;
        ValidateImage(image);
        EXPECT_EQ(int{image[SERVO_ENABLE]}, c.wantServo) << "bike " << int{c.bike};
        EXPECT_EQ(int{image[DISPLAY_GEAR]}, c.wantGear) << "bike " << int{c.bike};
    }
}

TEST(ValidateImage, ServoVoltages) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {{0, 1},     {1, 1},   {120, 120},
                                                           {249, 249}, {250, 1}, {255, 1}};
    for (auto [in, want] : cases) {
        ParameterImage image;
        Fill(image, VOLT_SERVO, CURVE_LEN, in);
        ValidateImage(image);
        EXPECT_EQ(Bytes(image, VOLT_SERVO, CURVE_LEN), std::vector<std::uint8_t>(CURVE_LEN, want))
            << int{in};
    }
}

TEST(ValidateImage, SingleByteCaps) {
    struct Case {
        std::size_t offset;
        std::uint8_t low, high; // the legal range; values inside it stay
    } cases[] = {
        {TPS_0, 0, 250},        {TPS_100, 0, 250},    {START_JET, 0, 50},
        {PILOT_LIGHT, 10, 250}, {IAP_TO_TPS, 0, 100}, {BASE_ADV, 0, 40},
    };
    for (const auto& c : cases) {
        for (int v = 0; v <= 255; ++v) {
            ParameterImage image;
            image[c.offset] = static_cast<std::uint8_t>(v);
            ValidateImage(image);
            ASSERT_EQ(int{image[c.offset]}, std::clamp(v, int{c.low}, int{c.high}))
                << "byte " << c.offset << " value " << v;
        }
    }
}

TEST(ValidateImage, ChokeTimesIncreaseAndCorrectionsCapped) {
    struct Case {
        std::vector<std::uint8_t> time, wantTime;
    } cases[] = {
        {{5, 5, 5, 5}, {5, 6, 7, 8}},           {{0, 0, 0, 0}, {0, 1, 2, 3}},
        {{10, 3, 40, 20}, {10, 11, 40, 41}},    {{255, 255, 255, 255}, {247, 248, 249, 250}},
        {{248, 0, 0, 0}, {247, 248, 249, 250}},
    };
    for (const auto& c : cases) {
        ParameterImage image;
        std::copy(c.time.begin(), c.time.end(), image.bytes.begin() + CHOKE_TIME);
        Ramp(image, CHOKE_CORR, CHOKE_CORR_LEN, 249); // 249, 250, 251, 252
        ValidateImage(image);
        EXPECT_EQ(Bytes(image, CHOKE_TIME, CHOKE_TIME_LEN), c.wantTime);
        EXPECT_EQ(Bytes(image, CHOKE_CORR, CHOKE_CORR_LEN),
                  (std::vector<std::uint8_t>{249, 250, 250, 250}));
    }
}

TEST(ValidateImage, LanguageAndPortSettings) {
    struct Case {
        std::uint8_t language, port;
        std::uint8_t wantLanguage, wantPort;
    } cases[] = {
        {0, 0, 0, 0},  {3, 19, 3, 19},                   // English..Czech, COM1..COM20 kept
        {4, 21, 0, 0}, {255, 255, 0, 0}, {2, 20, 2, 20}, // index 20 (COM21) passes
    };
    for (const auto& c : cases) {
        ParameterImage image;
        std::uint8_t language = c.language, port = c.port;
        ValidateImage(image, language, port);
        EXPECT_EQ(int{language}, c.wantLanguage) << int{c.language};
        EXPECT_EQ(int{port}, c.wantPort) << int{c.port};
        EXPECT_EQ(image, Validated(ParameterImage{})) << "the image is validated too";

        AppState state;
        state.LanguageIndex = c.language;
        state.ComPortIndex = c.port;
        state.image[LIMITER_START] = 0;
        ValidateImage(state);
        EXPECT_EQ(int{state.LanguageIndex}, c.wantLanguage);
        EXPECT_EQ(int{state.ComPortIndex}, c.wantPort);
        EXPECT_EQ(int{state.image[LIMITER_START]}, 10);
    }
}

// Deterministic pseudo-random images: after one run every repaired field is
// in range and every row strictly increases; a second run changes nothing
// unless a lobe bike had BASE_ADV above 40.
TEST(ValidateImage, RandomImagesEndInShape) {
    std::mt19937 rng(20240611u);
    for (int n = 0; n < 300; ++n) {
        ParameterImage image;
        for (auto& b : image.bytes) {
            b = static_cast<std::uint8_t>(rng() & 0xFFu);
        }
        if (n % 3 == 0) {
            image[BIKE] = static_cast<std::uint8_t>(std::array{26, 32, 33, 41, 44}[n % 5]);
        }
        const ParameterImage before = image;
        ValidateImage(image);

        for (const auto& row : INCREASING_ROWS) {
            EXPECT_GE(image[row.offset], row.floor) << row.name;
            for (std::size_t i = 1; i < CURVE_LEN; ++i) {
                ASSERT_GT(image[row.offset + i], image[row.offset + i - 1]) << row.name;
                ASSERT_LE(image[row.offset + i], i + 236) << row.name;
            }
        }
        for (std::size_t i = 1; i < CHOKE_TIME_LEN; ++i) {
            ASSERT_GT(image[CHOKE_TIME + i], image[CHOKE_TIME + i - 1]);
        }
        EXPECT_LE(image[N2O_1], image[N2O_2]);
        EXPECT_LE(image[RETARD_1], image[RETARD_2]);
        EXPECT_LE(image[LIMITER_START], image[LIMITER_IGN]);
        EXPECT_LE(image[LIMITER_START], image[LIMITER_INJ]);
        EXPECT_FALSE(image[SERVO_ENABLE] != 0 && image[DISPLAY_GEAR] != 0);
        // Block 0, the bike and the derived bytes are never touched.
        EXPECT_EQ(Bytes(image, 0, BLOCK_SIZE), Bytes(before, 0, BLOCK_SIZE));
        EXPECT_EQ(image[BIKE], before[BIKE]);
        EXPECT_EQ(image[BIKE_FLAG], before[BIKE_FLAG]);
        EXPECT_EQ(image[BIKE_CONST], before[BIKE_CONST]);

        const bool lobeBike = before[BIKE] == 32 || before[BIKE] == 33 || before[BIKE] == 44;
        if (!(lobeBike && before[BASE_ADV] > 40)) {
            EXPECT_EQ(Validated(image), image) << "image " << n;
        }
    }
}
