#include "image/DefaultSet.h"

#include "image/BikeCatalogue.h"
#include "image/DefaultTables.h"

#include <algorithm>
#include <span>

namespace zentrova {

namespace {

using defaults::DefaultTableSet;
using defaults::Entry;

struct FixedByte {
    std::size_t offset;
    std::uint8_t value;
};

// Settings every default set starts with, as stored bytes.
constexpr FixedByte FIXED_BYTES[] = {
    {img::CHOKE_TIME + 0, 5},   // 5 s
    {img::CHOKE_TIME + 1, 10},  // 10 s
    {img::CHOKE_TIME + 2, 15},  // 15 s
    {img::CHOKE_TIME + 3, 20},  // 20 s
    {img::CHOKE_CORR + 0, 150}, // 250 % at the start
    {img::CHOKE_CORR + 1, 50},  // 150 %
    {img::CHOKE_CORR + 2, 30},  // 130 %
    {img::CHOKE_CORR + 3, 10},  // 110 %
    {img::COOLING, 100},        // 100 °C
    {img::ACCEL_THRESHOLD, 30}, // 300 %/s
    {img::ACCEL_SIZE, 84},      // 4200 µs
    {img::RPM_CORR, 100},       // no correction
    {img::MODE, 1},             // 14 and 23 coupled
    {img::IAP_TO_TPS, 5},       // 5 %
    {img::CLUTCH_TIME, 10},     // 100 ms
    {img::CLUTCH_PAUSE, 50},    // 500 ms
    {img::N2O_ENABLE, 0},       // off
    {img::N2O_1, 20},           // 20 %
    {img::N2O_2, 60},           // 60 %
    {img::N2O_DELAY, 20},       // 2000 ms
    {img::N2O_TIME, 30},        // 3000 ms
    {img::RETARD_1, 0},         // no retard
    {img::RETARD_2, 0},         // no retard
    {img::RETARD_DELAY, 20},    // 2000 ms
    {img::RETARD_TIME, 30},     // 3000 ms
    {img::BIKE + 1, 0},         // the byte after BIKE is 0 in new images
    {img::DISPLAY_TEMP, 0},     // the display shows the speed
    {img::TUNING_LAMBDA, 80},   // 800 mV
    {img::TUNING_HYSTER, 5},    // 50
    {img::TUNING_RPM, 10},      // 100 rpm
    {img::TUNING_TPS, 1},       // 1
    {img::TUNING_TIME, 10},     // 1000
    {img::ACT_LIM1, 1},         // inputs activated by closing to ground
    {img::ACT_CLUTCH, 1},       // the same
    {img::ACT_RPM, 1},          // the same
    {img::ACT_N2O, 1},          // the same
};

struct FixedRun {
    std::size_t offset;
    std::size_t length;
    std::uint8_t value;
};

constexpr FixedRun FIXED_RUNS[] = {
    {img::JET_14A, img::JET_14A_LEN, 100},
    {img::JET_23A, img::JET_23A_LEN, 100},
    {img::JET_IAP, img::JET_IAP_LEN, 100},
    {img::CYLINDER_CORR, img::CYLINDER_CORR_LEN, 100}, // 100 % each
};

// The seven rows that take the rpm axis.
constexpr std::size_t RPM_AXIS_ROWS[] = {
    img::RPM_IGN,     img::RPM_JET_14A,    img::RPM_JET_23A,    img::RPM_JET_B,
    img::RPM_JET_IAP, img::POSITION_A_RPM, img::POSITION_B_RPM,
};

void WriteFixedValues(ParameterImage& image, std::uint8_t bike) {
    for (const auto& f : FIXED_BYTES) {
        image[f.offset] = f.value;
    }
    for (const auto& run : FIXED_RUNS) {
        std::fill_n(image.bytes.begin() + static_cast<std::ptrdiff_t>(run.offset), run.length,
                    run.value);
    }
    const BikeTraits traits = TraitsOf(bike);
    image[img::LOBE] = traits.defaultLobe;
    image[img::SERVO_ENABLE] = traits.defaultServoOff ? 0 : 1;
    image[img::DISPLAY_GEAR] = traits.defaultGearDisplay ? 1 : 0;
}

// Stores (entry - base) / scale of each entry from dest on, remainder dropped,
// low 8 bits kept.
void Store(ParameterImage& image, std::size_t dest, std::span<const Entry> entries, Entry scale = 1,
           Entry base = 0) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        image[dest + i] = static_cast<std::uint8_t>((entries[i] - base) / scale);
    }
}

void WriteTables(ParameterImage& image, const DefaultTableSet& set) {
    const std::span<const Entry> temp(*set.temperature);
    Store(image, img::WATER_TEMP, temp.subspan(0, img::WATER_TEMP_LEN));
    Store(image, img::AIR_TEMP, temp.subspan(img::WATER_TEMP_LEN, img::AIR_TEMP_LEN));

    const std::span<const Entry> servo(*set.servo);
    Store(image, img::SERVO_HYSTER, servo.subspan(0, 1), 5);
    Store(image, img::RPM_SERVO, servo.subspan(1, img::RPM_SERVO_LEN), 100);
    Store(image, img::VOLT_SERVO, servo.subspan(1 + img::RPM_SERVO_LEN, img::VOLT_SERVO_LEN), 20);

    for (const std::size_t row : RPM_AXIS_ROWS) {
        Store(image, row, *set.rpmAxis, 100);
    }

    const std::span<const Entry> pos(*set.position);
    Store(image, img::POSITION_A_REF, pos.subspan(0, 1));
    Store(image, img::POSITION_B_REF, pos.subspan(1, 1));
    Store(image, img::POSITION_A_DEG, pos.subspan(2, img::POSITION_A_DEG_LEN), 5);
    Store(image, img::POSITION_B_DEG,
          pos.subspan(2 + img::POSITION_A_DEG_LEN, img::POSITION_B_DEG_LEN), 5);

    if (set.advanceHasTenRows()) {
        Store(image, img::IGN, set.advance);
    } else {
        for (std::size_t r = 0; r < img::MAP_ROWS; ++r) {
            Store(image, img::mapCell(img::IGN, r, 0), set.advance);
        }
    }

    const std::span<const Entry> limits(set.limits);
    Store(image, img::TPS_0, limits.subspan(0, 1), 10);
    Store(image, img::TPS_100, limits.subspan(1, 1), 10, defaults::TPS_100_BASE_MV);
    Store(image, img::LIMITER_START, limits.subspan(2, 1), 100);
    Store(image, img::LIMITER_IGN, limits.subspan(3, 1), 100);
    Store(image, img::LIMITER_INJ, limits.subspan(4, 1), 100);
    Store(image, img::PILOT_LIGHT, limits.subspan(5, 1), 100);

    const std::span<const Entry> misc(set.misc);
    Store(image, img::BASE_ADV, misc.subspan(0, 1));
    Store(image, img::START_JET, misc.subspan(1, 1));
    Store(image, img::RPM_PULSES, misc.subspan(2, 1));
    Store(image, img::ACT_BLOK, misc.subspan(3, 1));
    Store(image, img::BLOK_ENABLE, misc.subspan(4, 1));

    Store(image, img::JET_B, *set.injectionB);
}

} // namespace

bool BuildDefaultSet(ParameterImage& image, bool& chokeOutput) {
    const std::uint8_t bike = image[img::BIKE];
    const DefaultTableSet* set = defaults::DefaultTableSetOf(bike);
    if (set == nullptr) {
        return false;
    }
    WriteFixedValues(image, bike);
    WriteTables(image, *set);
    UpdateBikeDerived(image, chokeOutput);
    return true;
}

bool BuildDefaultSet(AppState& state) {
    return BuildDefaultSet(state.image, state.ChokeOutput);
}

} // namespace zentrova
