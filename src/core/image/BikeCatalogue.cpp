#include "image/BikeCatalogue.h"

#include <initializer_list>

namespace zentrova {

namespace {

// The bike list in its order (by maker and model); the codes were handed
// out in another order. The blanks align the year column.
struct BikeListItem {
    std::string_view text;
    std::uint8_t code;
};
constexpr std::array<BikeListItem, BIKE_COUNT> BIKE_LIST = {{
    {"Aprilia RSV MILLE               98-", 0},  // 0
    {"Aprilia RSV MILLE               04-", 43}, // 1
    {"Aprilia SXV 450", 39},                     // 2
    {"Ducati 996", 1},                           // 3
    {"Ducati 999", 30},                          // 4
    {"HD V-rod", 24},                            // 5
    {"Honda CBR 125 PCE", 33},                   // 6
    {"Honda CBR 600 F               01-02", 2},  // 7
    {"Honda CBR 600 RR            03-04", 3},    // 8
    {"Honda CBR 600 RR            05-", 28},     // 9
    {"Honda CBR 900 RR            00-", 4},      // 10
    {"Honda CBR 1000 RR          04-", 21},      // 11
    {"Honda CBR 1100 XX               ", 22},    // 12
    {"Honda CRF 250 PCE", 44},                   // 13
    {"Honda VFR 800                   ", 31},    // 14
    {"Honda VTR 1000 SP-1       01-02", 5},      // 15
    {"Kawasaki  ZX 6R PCE        02", 6},        // 16
    {"Kawasaki  ZX6RR              03 ", 7},     // 17
    {"Kawasaki  ZX6RR              04 ", 19},    // 18
    {"Kawasaki  ZX10 R              04 ", 8},    // 19
    {"Kawasaki  ZX10 R              06 ", 36},   // 20
    {"Kawasaki  ZX12 R              00-01", 9},  // 21
    {"Kawasaki  ZX12 R              02-", 10},   // 22
    {"MZ 125 PCE", 32},                          // 23
    {"Peugeot", 38},                             // 24
    {"Suzuki GSX-R600               01-03", 11}, // 25
    {"Suzuki GSX-R600               04-05", 20}, // 26
    {"Suzuki GSX-R600               06   ", 41}, // 27
    {"Suzuki GSX-R750               00-03", 12}, // 28
    {"Suzuki GSX-R750               04", 23},    // 29
    {"Suzuki GSX-R1000             01-02", 13},  // 30
    {"Suzuki GSX-R1000             03", 14},     // 31
    {"Suzuki GSX-R1000             05", 26},     // 32
    {"Suzuki GSX-1300                01", 15},   // 33
    {"Suzuki GSX-1300                02-", 29},  // 34
    {"Suzuki SV 650 S               ", 40},      // 35
    {"Suzuki SV 1000 S               ", 37},     // 36
    {"Suzuki TL 1000 R               98-", 16},  // 37
    {"Suzuki TL 1000 S               ", 25},     // 38
    {"Yamaha FZS-600 Fazer          ", 35},      // 39
    {"Yamaha XT 660          ", 42},             // 40
    {"Yamaha YZF-R1                 02-03", 17}, // 41
    {"Yamaha YZF-R1                 04-05", 27}, // 42
    {"Yamaha YZF-R6                 03-", 18},   // 43
    {"Yamaha YZF-R6                 06-", 34},   // 44
}};
constexpr std::string_view SEPARATOR_TEXT = "-------------";

constexpr std::array<int, 256> MakeItemOfCode() {
    std::array<int, 256> itemOf{};
    itemOf.fill(BIKE_SEPARATOR_ITEM);
    for (int item = 0; item < BIKE_COUNT; ++item) {
        itemOf[BIKE_LIST[static_cast<std::size_t>(item)].code] = item;
    }
    return itemOf;
}
constexpr std::array<int, 256> ITEM_OF_CODE = MakeItemOfCode();

// Every code 0..44 appears exactly once, so item <-> code are inverses.
constexpr bool ListHoldsEachCodeOnce() {
    std::array<int, BIKE_COUNT> seen{};
    for (const auto& entry : BIKE_LIST) {
        if (entry.code >= BIKE_COUNT || ++seen[entry.code] != 1) {
            return false;
        }
    }
    return true;
}
static_assert(ListHoldsEachCodeOnce());

// A set of listed codes (0..44) as bits of one word.
using CodeSet = std::uint64_t;
constexpr CodeSet Codes(std::initializer_list<int> codes) {
    CodeSet set = 0;
    for (int c : codes) {
        set |= CodeSet{1} << c;
    }
    return set;
}
constexpr CodeSet CodeRange(int first, int last) {
    CodeSet set = 0;
    for (int c = first; c <= last; ++c) {
        set |= CodeSet{1} << c;
    }
    return set;
}
constexpr bool Contains(CodeSet set, std::uint8_t code) {
    return code < BIKE_COUNT && ((set >> code) & 1u) != 0;
}

constexpr CodeSet BIKE_FLAG_CODES = Codes({0, 25, 35, 37, 40});

struct BikeConstRow {
    std::uint8_t value;
    CodeSet codes;
};
constexpr std::uint8_t BIKE_CONST_UNLISTED = 70;
constexpr BikeConstRow BIKE_CONST_ROWS[] = {
    {35, Codes({17, 27})},
    {50, Codes({18, 34, 35, 42})},
    {60, Codes({32, 33, 44})},
    {65, Codes({1, 2, 4, 8, 9, 10, 19, 22, 30, 31, 36})},
    {70, Codes({3, 5, 7, 21, 24, 28})},
    {75, Codes({0, 16, 25, 37, 40, 43})},
    {85, Codes({6, 11, 12, 13, 14, 15, 20, 23, 26, 29, 38, 39, 41})},
};

// The rows partition the listed codes: each code has exactly one value.
constexpr bool BikeConstRowsPartitionCodes() {
    CodeSet all = 0;
    for (const auto& row : BIKE_CONST_ROWS) {
        if ((all & row.codes) != 0) {
            return false;
        }
        all |= row.codes;
    }
    return all == CodeRange(0, BIKE_COUNT - 1);
}
static_assert(BikeConstRowsPartitionCodes());

// Where the code changes behaviour elsewhere: one row per behaviour, applied
// over the traits every bike starts from.
constexpr BikeTraits BASE_TRAITS = {
    .capsAdvanceAtBasePlusLobe = false,
    .HasLobe = false,
    .HidesInj23 = false,
    .disablesCmps = false,
    .disablesCkps = false,
    .acceptsHighIap = false,
    .keepsGearOverServo = false,
    .displayGroup = DisplayGroup::None,
    .drivesChoke = false,
    .hasPositionTable = true,
    .defaultLobe = 40,
    .defaultServoOff = false,
    .defaultGearDisplay = false,
};

struct TraitRow {
    CodeSet codes;
    void (*apply)(BikeTraits&);
};
constexpr TraitRow TRAIT_ROWS[] = {
    {Codes({32, 33, 44}), [](BikeTraits& t) { t.capsAdvanceAtBasePlusLobe = true; }},
    {Codes({32, 33, 44}),
     [](BikeTraits& t) {
         t.HidesInj23 = true;
         t.HasLobe = true;
     }},
    {Codes({32}), [](BikeTraits& t) { t.defaultLobe = 50; }},
    {Codes({44}), [](BikeTraits& t) { t.defaultLobe = 60; }},
    {Codes({24, 32, 33, 44}), [](BikeTraits& t) { t.disablesCmps = true; }},
    {Codes({1, 30}), [](BikeTraits& t) { t.disablesCkps = true; }},
    {Codes({1, 30}), [](BikeTraits& t) { t.acceptsHighIap = true; }},
    {Codes({26, 41}), [](BikeTraits& t) { t.keepsGearOverServo = true; }},
    {Codes({26, 41}),
     [](BikeTraits& t) {
         t.defaultServoOff = true;
         t.defaultGearDisplay = true;
     }},
    {Codes({42}), [](BikeTraits& t) { t.defaultServoOff = true; }},
    {Codes({17, 18, 27, 34, 35, 42}),
     [](BikeTraits& t) { t.displayGroup = DisplayGroup::TemperatureOnly; }},
    {CodeRange(11, 16) | Codes({20, 25, 26, 29, 37, 38, 40, 41}),
     [](BikeTraits& t) { t.displayGroup = DisplayGroup::GearOnly; }},
    {Codes({38}), [](BikeTraits& t) { t.drivesChoke = true; }},
    {Codes({13}), [](BikeTraits& t) { t.hasPositionTable = false; }},
};

} // namespace

const std::array<std::string_view, BIKE_LIST_SIZE>& BikeListTexts() {
    static const std::array<std::string_view, BIKE_LIST_SIZE> texts = [] {
        std::array<std::string_view, BIKE_LIST_SIZE> t{};
        for (std::size_t item = 0; item < BIKE_LIST.size(); ++item) {
            t[item] = BIKE_LIST[item].text;
        }
        t[BIKE_SEPARATOR_ITEM] = SEPARATOR_TEXT;
        return t;
    }();
    return texts;
}

std::optional<std::uint8_t> BikeCodeOfItem(int item) {
    if (item < 0 || item >= BIKE_COUNT) {
        return std::nullopt;
    }
    return BIKE_LIST[static_cast<std::size_t>(item)].code;
}

void BikeCodeFromList(ParameterImage& image, int item) {
    if (const auto code = BikeCodeOfItem(item)) {
        image[img::BIKE] = *code;
    }
}

BikeListSelection ShowBikeInList(std::uint8_t code) {
    const int item = ITEM_OF_CODE[code];
    return {item, item == BIKE_SEPARATOR_ITEM};
}

bool IsBikeListed(std::uint8_t code) {
    return ITEM_OF_CODE[code] != BIKE_SEPARATOR_ITEM;
}

std::uint8_t BikeFlagOf(std::uint8_t code) {
    return Contains(BIKE_FLAG_CODES, code) ? 1 : 0;
}

std::uint8_t BikeConstOf(std::uint8_t code) {
    for (const auto& row : BIKE_CONST_ROWS) {
        if (Contains(row.codes, code)) {
            return row.value;
        }
    }
    return BIKE_CONST_UNLISTED;
}

bool ChokeOutputOf(std::uint8_t code) {
    return TraitsOf(code).drivesChoke;
}

void UpdateBikeDerived(ParameterImage& image, bool& chokeOutput) {
    const std::uint8_t code = image[img::BIKE];
    image[img::BIKE_FLAG] = BikeFlagOf(code);
    image[img::BIKE_CONST] = BikeConstOf(code);
    chokeOutput = ChokeOutputOf(code);
}

void UpdateBikeDerived(AppState& state) {
    UpdateBikeDerived(state.image, state.ChokeOutput);
}

BikeTraits TraitsOf(std::uint8_t code) {
    BikeTraits traits = BASE_TRAITS;
    for (const auto& row : TRAIT_ROWS) {
        if (Contains(row.codes, code)) {
            row.apply(traits);
        }
    }
    return traits;
}

} // namespace zentrova
