#include "app/AppState.h"
#include "image/BikeCatalogue.h"

#include <gtest/gtest.h>

#include <set>

using namespace zentrova;

TEST(BikeList, TextsKeepTheirBlanks) {
    const auto& texts = BikeListTexts();
    ASSERT_EQ(texts.size(), 46u);
    const std::pair<int, std::string_view> samples[] = {
        {0, "Aprilia RSV MILLE               98-"},  {12, "Honda CBR 1100 XX               "},
        {16, "Kawasaki  ZX 6R PCE        02"},       {24, "Peugeot"},
        {27, "Suzuki GSX-R600               06   "}, {40, "Yamaha XT 660          "},
        {44, "Yamaha YZF-R6                 06-"},   {45, "-------------"},
    };
    for (const auto& [item, text] : samples) {
        EXPECT_EQ(texts[static_cast<std::size_t>(item)], text) << "item " << item;
    }
    const std::set<std::string_view> distinct(texts.begin(), texts.end());
    EXPECT_EQ(distinct.size(), texts.size());
}

TEST(BikeList, EveryItemGoesToItsCodeAndBack) {
    std::set<int> codes;
    for (int item = 0; item < BIKE_COUNT; ++item) {
        const auto code = BikeCodeOfItem(item);
        ASSERT_TRUE(code.has_value()) << "item " << item;
        codes.insert(*code);
        const BikeListSelection shown = ShowBikeInList(*code);
        EXPECT_EQ(shown.item, item) << "code " << int{*code};
        EXPECT_FALSE(shown.notInProgramMessage);
        EXPECT_TRUE(IsBikeListed(*code));
    }
    EXPECT_EQ(codes.size(), 45u);
    EXPECT_EQ(*codes.begin(), 0);
    EXPECT_EQ(*codes.rbegin(), 44);
}

TEST(BikeList, KnownPairs) {
    const std::pair<int, std::uint8_t> pairs[] = {{0, 0},   {1, 43},  {13, 44}, {24, 38},
                                                  {25, 11}, {27, 41}, {35, 40}, {44, 34}};
    for (const auto& [item, code] : pairs) {
        EXPECT_EQ(BikeCodeOfItem(item), std::optional<std::uint8_t>(code)) << "item " << item;
        EXPECT_EQ(ShowBikeInList(code).item, item) << "code " << int{code};
    }
}

TEST(BikeList, UnlistedCodesShowTheSeparatorAndTheMessage) {
    for (int code = 45; code <= 255; ++code) {
        const auto c = static_cast<std::uint8_t>(code);
        const BikeListSelection shown = ShowBikeInList(c);
        EXPECT_EQ(shown.item, BIKE_SEPARATOR_ITEM) << code;
        EXPECT_TRUE(shown.notInProgramMessage) << code;
        EXPECT_FALSE(IsBikeListed(c)) << code;
    }
}

TEST(BikeList, PickingAnItemSetsTheBikeButTheSeparatorDoesNot) {
    for (int item : {BIKE_SEPARATOR_ITEM, -1, 46, 1000}) {
        EXPECT_FALSE(BikeCodeOfItem(item).has_value()) << item;
        ParameterImage image;
        image[img::BIKE] = 45; // an unlisted code stays as it is
        BikeCodeFromList(image, item);
        EXPECT_EQ(int{image[img::BIKE]}, 45) << item;
    }
    ParameterImage image;
    image[img::BIKE] = 11;
    BikeCodeFromList(image, 24);
    EXPECT_EQ(int{image[img::BIKE]}, 38);
    ParameterImage onlyBike;
    onlyBike[img::BIKE] = 38;
    EXPECT_EQ(image, onlyBike) << "nothing else changes";
}

TEST(BikeDerived, FlagAndConstantByCode) {
    struct Case {
        std::uint8_t code, flag, constant;
    } cases[] = {
        {17, 0, 35}, {27, 0, 35},                             //
        {18, 0, 50}, {34, 0, 50},  {35, 1, 50},  {42, 0, 50}, //
        {32, 0, 60}, {33, 0, 60},  {44, 0, 60},               //
        {1, 0, 65},  {22, 0, 65},  {36, 0, 65},               //
        {3, 0, 70},  {24, 0, 70},  {28, 0, 70},               //
        {45, 0, 70}, {100, 0, 70}, {255, 0, 70},              // unlisted codes
        {0, 1, 75},  {16, 0, 75},  {25, 1, 75},  {37, 1, 75}, {40, 1, 75}, {43, 0, 75}, //
        {6, 0, 85},  {11, 0, 85},  {38, 0, 85},  {41, 0, 85},                           //
    };
    for (const auto& c : cases) {
        EXPECT_EQ(int{BikeFlagOf(c.code)}, c.flag) << int{c.code};
        EXPECT_EQ(int{BikeConstOf(c.code)}, c.constant) << int{c.code};

        ParameterImage image;
        image.bytes.fill(0xA5);
        image[img::BIKE] = c.code;
        bool choke = true;
        UpdateBikeDerived(image, choke);
        ParameterImage want;
        want.bytes.fill(0xA5);
        want[img::BIKE] = c.code;
        want[img::BIKE_FLAG] = c.flag;
        want[img::BIKE_CONST] = c.constant;
        EXPECT_EQ(image, want) << "only bytes 111 and 126 change, code " << int{c.code};
        EXPECT_EQ(choke, c.code == 38);
    }
}

TEST(BikeDerived, ChokeOutputOnlyForPeugeot) {
    for (int code = 0; code <= 255; ++code) {
        EXPECT_EQ(ChokeOutputOf(static_cast<std::uint8_t>(code)), code == 38) << code;
    }
    AppState state;
    state.image[img::BIKE] = 38;
    UpdateBikeDerived(state);
    EXPECT_TRUE(state.ChokeOutput);
    EXPECT_EQ(int{state.image[img::BIKE_CONST]}, 85);
    state.image[img::BIKE] = 0;
    UpdateBikeDerived(state);
    EXPECT_FALSE(state.ChokeOutput);
    EXPECT_EQ(int{state.image[img::BIKE_FLAG]}, 1);
    EXPECT_EQ(int{state.image[img::BIKE_CONST]}, 75);
}

// The codes that carry one behaviour, checked over every code 0..255, so a
// code wrongly added to a row shows up as well as one left out.
TEST(BikeTraits, EachBehaviourHoldsForExactlyItsCodes) {
    struct Case {
        const char* behaviour;
        bool (*has)(const BikeTraits&);
        std::set<int> codes;
    } cases[] = {
        {"advance cap",
         [](const BikeTraits& t) { return t.capsAdvanceAtBasePlusLobe; },
         {32, 33, 44}},
        {"lobe offered", [](const BikeTraits& t) { return t.HasLobe; }, {32, 33, 44}},
        {"Inj-23A hidden", [](const BikeTraits& t) { return t.HidesInj23; }, {32, 33, 44}},
        {"CMPS off", [](const BikeTraits& t) { return t.disablesCmps; }, {24, 32, 33, 44}},
        {"CKPS off", [](const BikeTraits& t) { return t.disablesCkps; }, {1, 30}},
        {"high IAP", [](const BikeTraits& t) { return t.acceptsHighIap; }, {1, 30}},
        {"gear over servo", [](const BikeTraits& t) { return t.keepsGearOverServo; }, {26, 41}},
        {"temperature only",
         [](const BikeTraits& t) { return t.displayGroup == DisplayGroup::TemperatureOnly; },
         {17, 18, 27, 34, 35, 42}},
        {"gear only",
         [](const BikeTraits& t) { return t.displayGroup == DisplayGroup::GearOnly; },
         {11, 12, 13, 14, 15, 16, 20, 25, 26, 29, 37, 38, 40, 41}},
        {"choke", [](const BikeTraits& t) { return t.drivesChoke; }, {38}},
        {"no positions table", [](const BikeTraits& t) { return !t.hasPositionTable; }, {13}},
        {"default servo off", [](const BikeTraits& t) { return t.defaultServoOff; }, {26, 41, 42}},
        {"default gear display",
         [](const BikeTraits& t) { return t.defaultGearDisplay; },
         {26, 41}},
    };
    for (const auto& c : cases) {
        for (int code = 0; code <= 255; ++code) {
            EXPECT_EQ(c.has(TraitsOf(static_cast<std::uint8_t>(code))), c.codes.count(code) == 1)
                << c.behaviour << ", code " << code;
        }
    }
}

TEST(BikeTraits, DefaultLobe) {
    const std::pair<std::uint8_t, int> lobes[] = {{32, 50}, {44, 60}, {33, 40}, {11, 40}, {0, 40}};
    for (const auto& [code, lobe] : lobes) {
        EXPECT_EQ(int{TraitsOf(code).defaultLobe}, lobe) << int{code};
    }
}
