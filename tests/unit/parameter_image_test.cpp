#include "image/ParameterImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace zentrova;

namespace {

enum class Region { Identity, Settings, Curves };

struct Field {
    const char* name;
    std::size_t offset, len;
    std::size_t first, last; // the bytes the field must occupy
    Region region;
};

#define FIELD(name, len, first, last, region)                                                      \
    { #name, img::name, len, first, last, Region::region }
const Field FIELDS[] = {
    FIELD(UNIT_NAME, img::UNIT_NAME_LEN, 0, 2, Identity),
    FIELD(UNIT_NUMBER, 1, 3, 3, Identity),
    FIELD(UNIT_DAY, 1, 4, 4, Identity),
    FIELD(UNIT_MONTH, 1, 5, 5, Identity),
    FIELD(UNIT_YEAR, 1, 6, 6, Identity),
    FIELD(UNIT_HOUR, 1, 7, 7, Identity),
    FIELD(UNIT_MINUTE, 1, 8, 8, Identity),
    FIELD(UNIT_VERSION, 1, 10, 10, Identity),
    FIELD(UNIT_BIKES_1, img::UNIT_BIKES_1_LEN, 11, 15, Identity),
    FIELD(UNIT_TEXT, img::UNIT_TEXT_LEN, 16, 45, Identity),
    FIELD(UNIT_BIKES_2, img::UNIT_BIKES_2_LEN, 50, 76, Identity),

    FIELD(BIKE, 1, 100, 100, Settings),
    FIELD(RPM_PULSES, 1, 102, 102, Settings),
    FIELD(LIMITER_START, 1, 103, 103, Settings),
    FIELD(LIMITER_IGN, 1, 104, 104, Settings),
    FIELD(CLUTCH_TIME, 1, 105, 105, Settings),
    FIELD(LOBE, 1, 106, 106, Settings),
    FIELD(PILOT_LIGHT, 1, 107, 107, Settings),
    FIELD(BASE_ADV, 1, 108, 108, Settings),
    FIELD(SERVO_HYSTER, 1, 109, 109, Settings),
    FIELD(ACT_RPM, 1, 110, 110, Settings),
    FIELD(BIKE_FLAG, 1, 111, 111, Settings),
    FIELD(SERVO_ENABLE, 1, 112, 112, Settings),
    FIELD(BLOK_ENABLE, 1, 113, 113, Settings),
    FIELD(IAP_TO_TPS, 1, 114, 114, Settings),
    FIELD(N2O_ENABLE, 1, 115, 115, Settings),
    FIELD(ACT_BLOK, 1, 116, 116, Settings),
    FIELD(CLUTCH_PAUSE, 1, 117, 117, Settings),
    FIELD(ACT_CLUTCH, 1, 118, 118, Settings),
    FIELD(RPM_CORR, 1, 119, 119, Settings),
    FIELD(ACT_N2O, 1, 120, 120, Settings),
    FIELD(ACT_LIM1, 1, 121, 121, Settings),
    FIELD(TPS_0, 1, 122, 122, Settings),
    FIELD(TPS_100, 1, 123, 123, Settings),
    FIELD(ACCEL_THRESHOLD, 1, 124, 124, Settings),
    FIELD(ACCEL_SIZE, 1, 125, 125, Settings),
    FIELD(BIKE_CONST, 1, 126, 126, Settings),
    FIELD(POSITION_A_REF, 1, 127, 127, Settings),
    FIELD(START_JET, 1, 128, 128, Settings),
    FIELD(COOLING, 1, 129, 129, Settings),
    FIELD(N2O_1, 1, 130, 130, Settings),
    FIELD(N2O_2, 1, 131, 131, Settings),
    FIELD(N2O_TIME, 1, 132, 132, Settings),
    FIELD(N2O_DELAY, 1, 133, 133, Settings),
    FIELD(RETARD_1, 1, 134, 134, Settings),
    FIELD(RETARD_2, 1, 135, 135, Settings),
    FIELD(RETARD_TIME, 1, 136, 136, Settings),
    FIELD(RETARD_DELAY, 1, 137, 137, Settings),
    FIELD(MODE, 1, 138, 138, Settings),
    FIELD(POSITION_B_REF, 1, 139, 139, Settings),
    FIELD(CHOKE_TIME, img::CHOKE_TIME_LEN, 140, 143, Settings),
    FIELD(CHOKE_CORR, img::CHOKE_CORR_LEN, 144, 147, Settings),
    FIELD(DISPLAY_GEAR, 1, 149, 149, Settings),
    FIELD(DISPLAY_TEMP, 1, 150, 150, Settings),
    FIELD(TUNING_LAMBDA, 1, 151, 151, Settings),
    FIELD(TUNING_HYSTER, 1, 152, 152, Settings),
    FIELD(TUNING_RPM, 1, 153, 153, Settings),
    FIELD(TUNING_TPS, 1, 154, 154, Settings),
    FIELD(TUNING_TIME, 1, 155, 155, Settings),
    FIELD(LIMITER_INJ, 1, 156, 156, Settings),
    FIELD(CYLINDER_CORR, img::CYLINDER_CORR_LEN, 157, 160, Settings),
    FIELD(WATER_TEMP, img::WATER_TEMP_LEN, 190, 194, Settings),
    FIELD(AIR_TEMP, img::AIR_TEMP_LEN, 195, 199, Settings),

    FIELD(RPM_SERVO, img::RPM_SERVO_LEN, 220, 234, Curves),
    FIELD(VOLT_SERVO, img::VOLT_SERVO_LEN, 235, 249, Curves),
    FIELD(POSITION_A_RPM, img::POSITION_A_RPM_LEN, 250, 264, Curves),
    FIELD(POSITION_A_DEG, img::POSITION_A_DEG_LEN, 265, 279, Curves),
    FIELD(POSITION_B_RPM, img::POSITION_B_RPM_LEN, 280, 294, Curves),
    FIELD(POSITION_B_DEG, img::POSITION_B_DEG_LEN, 295, 309, Curves),
    FIELD(RPM_IGN, img::RPM_IGN_LEN, 310, 324, Curves),
    FIELD(RPM_JET_14A, img::RPM_JET_14A_LEN, 325, 339, Curves),
    FIELD(RPM_JET_23A, img::RPM_JET_23A_LEN, 340, 354, Curves),
    FIELD(RPM_JET_B, img::RPM_JET_B_LEN, 355, 369, Curves),
    FIELD(RPM_JET_IAP, img::RPM_JET_IAP_LEN, 370, 384, Curves),
    FIELD(IGN, img::IGN_LEN, 400, 549, Curves),
    FIELD(JET_14A, img::JET_14A_LEN, 550, 699, Curves),
    FIELD(JET_23A, img::JET_23A_LEN, 700, 849, Curves),
    FIELD(JET_B, img::JET_B_LEN, 850, 999, Curves),
    FIELD(JET_IAP, img::JET_IAP_LEN, 1000, 1149, Curves),
};
#undef FIELD

std::pair<std::size_t, std::size_t> RegionBytes(Region r) {
    switch (r) {
    case Region::Identity:
        return {0, 99};
    case Region::Settings:
        return {100, 199};
    case Region::Curves:
        return {200, 1199};
    }
    return {0, 0};
}

} // namespace

TEST(ImageLayout, EveryFieldWhereItBelongs) {
    for (const auto& f : FIELDS) {
        ASSERT_GT(f.len, 0u) << f.name;
        const std::size_t last = f.offset + f.len - 1;
        EXPECT_EQ(f.offset, f.first) << f.name;
        EXPECT_EQ(last, f.last) << f.name;
        const auto [low, high] = RegionBytes(f.region);
        EXPECT_GE(f.offset, low) << f.name;
        EXPECT_LE(last, high) << f.name;
    }
}

TEST(ImageLayout, FieldsDoNotOverlap) {
    std::vector<const Field*> sorted;
    for (const auto& f : FIELDS) {
        sorted.push_back(&f);
    }
    std::sort(sorted.begin(), sorted.end(),
              [](const Field* a, const Field* b) { return a->offset < b->offset; });
    for (std::size_t i = 1; i < sorted.size(); ++i) {
        EXPECT_GE(sorted[i]->offset, sorted[i - 1]->offset + sorted[i - 1]->len)
            << sorted[i - 1]->name << " runs into " << sorted[i]->name;
    }
}

TEST(ImageLayout, ByteToBlockArithmetic) {
    struct Case {
        std::size_t byte, block, offset;
    } cases[] = {
        {0, 0, 0}, {99, 0, 99}, {100, 1, 0}, {157, 1, 57}, {1149, 11, 49}, {1199, 11, 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blockOf(c.byte), c.block) << c.byte;
        EXPECT_EQ(offsetInBlock(c.byte), c.offset) << c.byte;
    }
}

TEST(ImageLayout, BlockAccessIsTheHundredBytesOfTheBlock) {
    ParameterImage image;
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        image[k] = static_cast<std::uint8_t>(k * 7 + 3);
    }
    const ParameterImage& constImage = image;
    for (std::size_t b = 0; b < BLOCK_COUNT; ++b) {
        const ConstImageBlock block = constImage.block(b);
        for (std::size_t o = 0; o < BLOCK_SIZE; ++o) {
            ASSERT_EQ(block[o], image[b * BLOCK_SIZE + o]) << "block " << b << " offset " << o;
        }
    }
    image.block(1)[57] = 0xEE;
    EXPECT_EQ(image[157], 0xEE);

    // A reply block replaces its slice whole and nothing beside it.
    const ParameterImage before = image;
    std::array<std::uint8_t, BLOCK_SIZE> reply{};
    reply.fill(0x5A);
    image.setBlock(11, reply);
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        ASSERT_EQ(image[k], k >= 1100 ? 0x5A : before[k]) << k;
    }
}

TEST(ImageLayout, MapPageArithmetic) {
    struct Page {
        std::size_t rpmRow, map;
    } pages[] = {
        {img::RPM_IGN, img::IGN},         {img::RPM_JET_14A, img::JET_14A},
        {img::RPM_JET_23A, img::JET_23A}, {img::RPM_JET_B, img::JET_B},
        {img::RPM_JET_IAP, img::JET_IAP},
    };
    ASSERT_EQ(std::size(pages), img::MAP_PAGE_COUNT);
    for (std::size_t p = 0; p < img::MAP_PAGE_COUNT; ++p) {
        EXPECT_EQ(img::rpmRowOfPage(p), 310 + 15 * p) << p;
        EXPECT_EQ(img::mapOfPage(p), 400 + 150 * p) << p;
        EXPECT_EQ(img::rpmRowOfPage(p), pages[p].rpmRow) << p;
        EXPECT_EQ(img::mapOfPage(p), pages[p].map) << p;
    }
}

TEST(ImageLayout, MapCells) {
    EXPECT_EQ(img::mapCell(img::JET_IAP, 9, 14), 1149u); // the last used byte
    EXPECT_EQ(img::mapCell(img::IGN, 0, 0), 400u);
    EXPECT_EQ(img::mapCell(img::IGN, 1, 0), 415u);
    EXPECT_EQ(img::mapCell(img::JET_14A, 2, 3), 583u);
    EXPECT_EQ(img::mapCell(img::JET_B, 9, 14), 999u);
}

TEST(MonthCode, TheTwelveCodes) {
    const std::uint8_t codes[12] = {25, 13, 32, 35, 39, 45, 43, 29, 40, 38, 51, 12};
    for (int month = 1; month <= 12; ++month) {
        const std::uint8_t code = codes[month - 1];
        EXPECT_EQ(MonthFromCode(code), month) << int{code};
        EXPECT_EQ(MonthCode(month), code) << month;
    }
    const std::set<std::uint8_t> known(std::begin(codes), std::end(codes));
    for (int code = 0; code <= 255; ++code) {
        if (known.count(static_cast<std::uint8_t>(code)) == 0) {
            EXPECT_EQ(MonthFromCode(static_cast<std::uint8_t>(code)), 0) << code;
        }
    }
    for (int month : {0, 13, -1}) {
        EXPECT_EQ(MonthCode(month), 0) << month;
    }
}

TEST(BikeBitmap, ByteAndBitOfACode) {
    struct Case {
        std::uint8_t code;
        std::size_t byte;
        int bit;
    } cases[] = {
        {0, 11, 0},  {7, 11, 7},  {8, 12, 0},  {39, 15, 7},  {40, 50, 0},
        {44, 50, 4}, {47, 50, 7}, {48, 51, 0}, {255, 76, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BikeBitmapByte(c.code), c.byte) << int{c.code};

        ParameterImage image;
        image[c.byte] = static_cast<std::uint8_t>(1u << c.bit);
        for (int other = 0; other <= 255; ++other) {
            EXPECT_EQ(IsBikeSupported(image, static_cast<std::uint8_t>(other)), other == c.code)
                << "bit of " << int{c.code} << ", asked " << other;
        }

        ParameterImage set;
        SetBikeSupported(set, c.code, true);
        EXPECT_EQ(set, image) << "setting touches one bit only, code " << int{c.code};

        ParameterImage cleared;
        cleared.bytes.fill(0xFF);
        SetBikeSupported(cleared, c.code, false);
        for (int other = 0; other <= 255; ++other) {
            EXPECT_EQ(IsBikeSupported(cleared, static_cast<std::uint8_t>(other)), other != c.code)
                << "cleared " << int{c.code} << ", asked " << other;
        }
    }
}

TEST(BikeBitmap, CodesUseOnlyTheBitmapBytesAndOneBitEach) {
    std::set<std::pair<std::size_t, int>> bits;
    for (int code = 0; code <= 255; ++code) {
        const std::size_t byte = BikeBitmapByte(static_cast<std::uint8_t>(code));
        const bool part1 = byte >= 11 && byte <= 15;
        const bool part2 = byte >= 50 && byte <= 76;
        EXPECT_TRUE(part1 || part2) << code << " -> byte " << byte;
        EXPECT_EQ(part1, code < 40) << code;
        bits.emplace(byte, code % 8);
    }
    EXPECT_EQ(bits.size(), 256u);
}
