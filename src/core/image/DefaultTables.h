// Calibration tables behind the default parameter sets, for the default build
// and its tests. Every entry is in physical units (rpm, mV, degrees, %);
// BuildDefaultSet converts each into its image byte.
#pragma once

#include "image/BikeCatalogue.h"
#include "image/ParameterImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace zentrova::defaults {

using Entry = std::uint16_t;

inline constexpr std::size_t DEFAULT_SET_COUNT = BIKE_COUNT; // one per listed bike code
inline constexpr std::size_t MAP_ROWS = img::MAP_ROWS;
inline constexpr std::size_t MAP_ROW_LEN = img::MAP_COLS;
inline constexpr Entry TPS_100_BASE_MV = 2500; // TPS_100 byte 0 stands for 2500 mV

// Entries 0..4: WATER_TEMP at -10, 20, 50, 80, 110 °C; 5..9: AIR_TEMP (%).
using TemperatureTable = std::array<Entry, 10>;
// Entry 0: SERVO_HYSTER (mV); 1..15: RPM_SERVO (rpm); 16..30: VOLT_SERVO (mV).
using ServoTable = std::array<Entry, 31>;
// The rpm points (rpm) of all seven rpm rows.
using RpmAxisTable = std::array<Entry, MAP_ROW_LEN>;
// Entry 0: POSITION_A_REF; 1: POSITION_B_REF; 2..16: POSITION_A_DEG;
// 17..31: POSITION_B_DEG (degrees).
using PositionTable = std::array<Entry, 32>;
// Advance (degrees): one row used for every load row, or ten load rows.
using AdvanceTable1 = std::array<Entry, MAP_ROW_LEN>;
using AdvanceTable10 = std::array<Entry, MAP_ROWS * MAP_ROW_LEN>;
// TPS_0 (mV), TPS_100 (mV), LIMITER_START, LIMITER_IGN, LIMITER_INJ,
// PILOT_LIGHT (rpm).
using LimitTable = std::array<Entry, 6>;
// BASE_ADV, START_JET, RPM_PULSES, ACT_BLOK, BLOK_ENABLE (as stored).
using MiscTable = std::array<Entry, 5>;
// JET_B cells in image order.
using InjectionBTable = std::array<Entry, MAP_ROWS * MAP_ROW_LEN>;

struct DefaultTableSet {
    LimitTable limits;
    MiscTable misc;
    const RpmAxisTable* rpmAxis;
    const TemperatureTable* temperature;
    const ServoTable* servo;
    std::span<const Entry> advance; // 15 entries (one row) or 150 (ten rows)
    const PositionTable* position;
    const InjectionBTable* injectionB;

    bool advanceHasTenRows() const { return advance.size() == MAP_ROWS * MAP_ROW_LEN; }
};

// The tables of bike code 0..44; nullptr for any other code.
const DefaultTableSet* DefaultTableSetOf(std::uint8_t code);

} // namespace zentrova::defaults
