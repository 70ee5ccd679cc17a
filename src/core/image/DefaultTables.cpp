// Calibration tables of the default parameter sets, in physical units, and the
// set of tables that every bike code uses. The tables are constant data.
#include "image/DefaultTables.h"

namespace zentrova::defaults {

namespace {

using MapRow = std::array<Entry, MAP_ROW_LEN>;

// Load rows 1 to 8 of the ten-row advance tables are calibrated from the two
// measured rows: every cell moves from row 0 to row 9 in equal steps, rounded
// to the nearest degree. Row 0 enters the blend capped at 60 degrees, the most
// the unit accepts, so rows 1 to 8 stay within 0..60 even where row 0 holds
// more. Row 0 itself is kept as measured.
constexpr AdvanceTable10 TenRowAdvance(const MapRow& row0, const MapRow& row9) {
    constexpr Entry MAX_ADVANCE = 60;
    constexpr Entry LAST_ROW = MAP_ROWS - 1;
    AdvanceTable10 table{};
    for (std::size_t c = 0; c < MAP_ROW_LEN; ++c) {
        const Entry low = row0[c] < MAX_ADVANCE ? row0[c] : MAX_ADVANCE;
        table[c] = row0[c];
        for (Entry r = 1; r < LAST_ROW; ++r) {
            const int blend = low * (LAST_ROW - r) + row9[c] * r;
            table[MAP_ROW_LEN * r + c] = static_cast<Entry>((blend + LAST_ROW / 2) / LAST_ROW);
        }
        table[MAP_ROW_LEN * LAST_ROW + c] = row9[c];
    }
    return table;
}

// An injection B map is 0 in its first zeroRows load rows; from there each cell
// rises in equal steps up to the measured row 9, rounded to the nearest unit.
constexpr InjectionBTable RisingInjectionB(Entry zeroRows, const MapRow& row9) {
    const Entry steps = static_cast<Entry>(MAP_ROWS - zeroRows);
    InjectionBTable table{};
    for (Entry r = zeroRows; r < MAP_ROWS; ++r) {
        const Entry step = static_cast<Entry>(r - zeroRows + 1);
        for (std::size_t c = 0; c < MAP_ROW_LEN; ++c) {
            table[MAP_ROW_LEN * r + c] = static_cast<Entry>((row9[c] * step + steps / 2) / steps);
        }
    }
    return table;
}

// Rpm axes (rpm).
constexpr RpmAxisTable R1 = {1000, 2000, 3000, 4000, 5000,  5500,  6000, 6500,
                             7000, 7500, 8000, 9000, 10000, 11000, 12000};
constexpr RpmAxisTable R2 = {1000,  2000,  3000,  4000,  6000,  7000,  8000, 9000,
                             10000, 11000, 12000, 13000, 14000, 15000, 16000};
constexpr RpmAxisTable R3 = {1000, 2000, 3000,  4000,  5000,  5500,  6000, 7000,
                             8000, 9000, 10000, 11000, 12000, 13000, 14000};
constexpr RpmAxisTable R4 = {1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500,
                             7000, 7500, 8000, 8500, 9000, 9500, 10000};
constexpr RpmAxisTable R5 = {1000, 2000,  3000,  4000,  5000,  6000,  7000, 8000,
                             9000, 10000, 11000, 12000, 13000, 14000, 15000};

// Fuel corrections (%): coolant at -10, 20, 50, 80, 110 °C, then inlet air at the
// same temperatures.
constexpr TemperatureTable T1 = {150, 138, 111, 100, 92, 121, 110, 100, 92, 84};
constexpr TemperatureTable T2 = {113, 109, 105, 100, 97, 109, 105, 100, 100, 100};
constexpr TemperatureTable T3 = {136, 125, 111, 100, 99, 119, 109, 100, 100, 100};
constexpr TemperatureTable T4 = {160, 139, 126, 100, 100, 121, 105, 100, 98, 98};
constexpr TemperatureTable T5 = {139, 110, 104, 100, 99, 121, 110, 100, 97, 97};
constexpr TemperatureTable T6 = {112, 107, 103, 100, 97, 106, 103, 100, 100, 100};
constexpr TemperatureTable T7 = {134, 118, 110, 100, 100, 111, 107, 100, 95, 95};
constexpr TemperatureTable T8 = {125, 114, 107, 100, 98, 113, 107, 100, 97, 93};
constexpr TemperatureTable T9 = {117, 111, 104, 100, 99, 110, 105, 100, 100, 100};
constexpr TemperatureTable T10 = {125, 107, 100, 100, 100, 105, 102, 100, 100, 100};
constexpr TemperatureTable T11 = {115, 107, 104, 100, 96, 105, 101, 100, 90, 85};
constexpr TemperatureTable T12 = {124, 120, 109, 100, 98, 115, 109, 100, 98, 93};

// clang-format off
// Exhaust servo: hysteresis (mV), 15 rpm points (rpm), 15 voltages (mV).
constexpr ServoTable S1 = {
    200,
    1200, 2000, 3000, 4000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000, 16000,
    2000, 2100, 2200, 2300, 2400, 2450, 2500, 2550, 2600, 2650, 2700, 2750, 2800, 2850, 2900};
constexpr ServoTable S2 = {
    200,
    1000, 2000, 3000, 4000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000, 16000,
    2000, 2100, 2200, 2300, 2400, 2450, 2500, 2550, 2600, 2650, 2700, 2750, 2800, 2850, 2900};
constexpr ServoTable S3 = {
    200,
    2500, 2600, 6300, 6400, 15000, 15100, 15200, 15300, 15400, 15500, 15600, 15700, 15800, 15900, 16000,
    2700, 4520, 4520, 480, 480, 480, 480, 480, 480, 480, 480, 480, 480, 480, 480};
constexpr ServoTable S4 = {
    200,
    1570, 1570, 1570, 1720, 2150, 2510, 2650, 3580, 4010, 4010, 4010, 4010, 4010, 4010, 4010,
    1570, 1570, 1570, 1720, 2150, 2510, 2650, 3580, 4010, 4010, 4010, 4010, 4010, 4010, 4010};
constexpr ServoTable S5 = {
    200,
    700, 800, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000,
    1650, 2580, 2580, 1910, 2510, 3150, 3340, 3340, 3340, 3340, 3340, 3340, 3340, 3340, 3340};
constexpr ServoTable S6 = {
    200,
    300, 400, 4100, 4600, 6500, 7000, 7500, 8300, 9000, 10500, 12000, 13000, 14000, 15000, 16000,
    600, 900, 900, 1220, 1220, 1290, 1360, 1610, 1860, 1860, 1860, 1860, 1860, 1860, 1860};
constexpr ServoTable S7 = {
    200,
    700, 800, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000,
    3240, 3240, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540, 2540};
constexpr ServoTable S8 = {
    200,
    0, 600, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000,
    3800, 2000, 2000, 2000, 3800, 3800, 3800, 3800, 3800, 3800, 3800, 3800, 3800, 3800, 3800};

// Injection positions: references of A and B (0 beginning, 1 centre, 2 end),
// then the 15 positions of injection A and of injection B (degrees).
constexpr PositionTable P1 = {
    1, 1,
    370, 370, 360, 358, 350, 348, 345, 343, 340, 340, 340, 340, 340, 340, 340,
    370, 370, 360, 358, 350, 348, 345, 343, 340, 340, 340, 340, 340, 340, 340};
constexpr PositionTable P2 = {
    0, 0,
    273, 277, 291, 283, 292, 265, 238, 235, 232, 227, 222, 222, 222, 222, 222,
    273, 277, 291, 283, 292, 265, 238, 235, 232, 227, 222, 222, 222, 222, 222};
constexpr PositionTable P3 = {
    0, 0,
    455, 450, 445, 680, 690, 705, 720, 685, 650, 643, 635, 658, 680, 680, 680,
    455, 450, 445, 680, 690, 705, 720, 685, 650, 643, 635, 658, 680, 680, 680};
constexpr PositionTable P4 = {
    1, 1,
    450, 446, 560, 547, 551, 532, 512, 442, 371, 397, 423, 446, 469, 471, 473,
    670, 670, 670, 670, 670, 649, 628, 653, 677, 654, 631, 630, 629, 628, 626};
constexpr PositionTable P5 = {
    0, 0,
    573, 573, 563, 588, 613, 658, 703, 383, 63, 78, 93, 93, 93, 93, 93,
    573, 573, 563, 588, 613, 658, 703, 383, 63, 78, 93, 93, 93, 93, 93};
constexpr PositionTable P6 = {
    1, 1,
    371, 322, 244, 244, 220, 218, 215, 228, 240, 245, 250, 245, 240, 240, 240,
    371, 322, 244, 244, 220, 218, 215, 228, 240, 245, 250, 245, 240, 240, 240};
constexpr PositionTable P7 = {
    2, 2,
    474, 475, 470, 470, 469, 440, 410, 314, 217, 163, 109, 97, 85, 85, 85,
    474, 475, 470, 470, 469, 440, 410, 314, 217, 163, 109, 97, 85, 85, 85};
constexpr PositionTable P8 = {
    1, 1,
    461, 466, 452, 459, 450, 448, 433, 404, 397, 426, 413, 390, 389, 389, 389,
    461, 466, 452, 459, 450, 448, 433, 404, 397, 426, 413, 390, 389, 389, 389};
constexpr PositionTable P9 = {
    2, 2,
    380, 400, 430, 430, 440, 330, 220, 145, 70, 70, 70, 70, 70, 70, 70,
    380, 400, 430, 430, 440, 330, 220, 145, 70, 70, 70, 70, 70, 70, 70};
constexpr PositionTable P10 = {
    1, 1,
    370, 365, 259, 231, 134, 94, 53, 391, 729, 696, 663, 669, 674, 679, 684,
    370, 365, 259, 231, 134, 94, 53, 391, 729, 696, 663, 669, 674, 679, 684};
constexpr PositionTable P11 = {
    1, 1,
    234, 249, 311, 340, 361, 398, 434, 437, 439, 438, 437, 437, 437, 437, 437,
    234, 249, 311, 340, 361, 398, 434, 437, 439, 438, 437, 437, 437, 437, 437};
constexpr PositionTable P12 = {
    0, 0,
    552, 552, 552, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372,
    552, 552, 552, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372, 372};
constexpr PositionTable P13 = {
    1, 1,
    306, 266, 210, 157, 155, 132, 108, 102, 95, 92, 89, 89, 89, 89, 89,
    306, 266, 210, 157, 155, 132, 108, 102, 95, 92, 89, 89, 89, 89, 89};
constexpr PositionTable P14 = {
    1, 1,
    336, 326, 319, 301, 344, 327, 309, 282, 255, 234, 212, 199, 186, 151, 116,
    336, 326, 319, 301, 344, 327, 309, 282, 255, 234, 212, 199, 186, 151, 116};
constexpr PositionTable P15 = {
    2, 2,
    474, 475, 470, 470, 469, 440, 410, 314, 217, 163, 109, 97, 85, 85, 85,
    443, 443, 443, 443, 443, 412, 381, 267, 152, 124, 96, 97, 97, 91, 85};
constexpr PositionTable P16 = {
    0, 0,
    370, 370, 360, 358, 350, 348, 345, 343, 340, 340, 340, 340, 340, 340, 340,
    370, 370, 360, 358, 350, 348, 345, 343, 340, 340, 340, 340, 340, 340, 340};
constexpr PositionTable P17 = {
    2, 2,
    285, 238, 227, 202, 192, 178, 168, 146, 127, 97, 56, 51, 53, 53, 53,
    252, 252, 252, 252, 246, 229, 198, 161, 133, 106, 69, 44, 42, 42, 42};
constexpr PositionTable P18 = {
    1, 1,
    248, 249, 248, 253, 249, 258, 244, 195, 160, 127, 78, 110, 147, 172, 200,
    463, 463, 463, 463, 463, 463, 463, 463, 505, 523, 480, 528, 537, 559, 542};
constexpr PositionTable P19 = {
    2, 2,
    370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370,
    370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370, 370};

// clang-format on

// Advance (degrees), one row for every load row.
constexpr AdvanceTable1 A1 = {13, 14, 20, 28, 31, 32, 33, 32, 31, 31, 31, 31, 31, 31, 31};
constexpr AdvanceTable1 A2 = {9, 19, 30, 36, 36, 35, 34, 34, 34, 34, 34, 34, 34, 34, 34};
constexpr AdvanceTable1 A3 = {7, 15, 25, 29, 35, 34, 32, 32, 31, 31, 30, 32, 33, 33, 33};
constexpr AdvanceTable1 A4 = {10, 15, 27, 32, 36, 34, 31, 31, 30, 30, 30, 30, 30, 30, 30};
constexpr AdvanceTable1 A5 = {5, 10, 23, 40, 40, 40, 40, 40, 40, 39, 37, 37, 37, 37, 37};
constexpr AdvanceTable1 A6 = {13, 16, 31, 39, 39, 39, 39, 39, 38, 38, 38, 38, 38, 38, 38};
constexpr AdvanceTable1 A7 = {16, 30, 38, 35, 39, 40, 40, 40, 39, 39, 39, 37, 34, 34, 34};
constexpr AdvanceTable1 A8 = {18, 19, 29, 31, 33, 32, 31, 32, 32, 32, 31, 31, 30, 30, 30};
constexpr AdvanceTable1 A10 = {19, 23, 30, 33, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31, 31};
constexpr AdvanceTable1 A11 = {4, 17, 43, 37, 44, 42, 39, 39, 39, 38, 37, 36, 35, 34, 32};
constexpr AdvanceTable1 A12 = {10, 25, 28, 26, 29, 30, 31, 30, 29, 29, 29, 29, 29, 29, 29};
constexpr AdvanceTable1 A13 = {10, 10, 25, 35, 40, 40, 40, 41, 41, 41, 41, 41, 41, 41, 41};
constexpr AdvanceTable1 A14 = {6, 14, 30, 35, 40, 39, 38, 38, 38, 37, 35, 35, 35, 35, 35};
constexpr AdvanceTable1 A15 = {14, 22, 38, 39, 38, 39, 40, 38, 35, 34, 32, 32, 32, 30, 28};
constexpr AdvanceTable1 A16 = {13, 14, 20, 28, 31, 32, 33, 32, 31, 33, 34, 34, 34, 34, 34};

// Advance (degrees), ten load rows: measured rows 0 and 9.
constexpr AdvanceTable10 A9 =
    TenRowAdvance({0, 5, 25, 38, 36, 38, 38, 38, 38, 38, 38, 38, 38, 38, 38},
                  {5, 10, 20, 27, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30});
constexpr AdvanceTable10 A17 =
    TenRowAdvance({8, 22, 37, 55, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82, 82},
                  {15, 22, 29, 34, 36, 38, 40, 38, 40, 36, 35, 32, 32, 32, 32});
constexpr AdvanceTable10 A18 =
    TenRowAdvance({10, 10, 10, 10, 30, 35, 42, 45, 48, 45, 42, 42, 42, 42, 42},
                  {25, 25, 14, 18, 24, 31, 34, 30, 32, 32, 33, 33, 33, 33, 33});

// Injection B maps: the number of zero load rows and the measured row 9.
constexpr InjectionBTable B1{}; // no B injection
constexpr InjectionBTable B2 =
    RisingInjectionB(7, {0, 0, 0, 0, 9, 16, 24, 35, 47, 53, 59, 54, 50, 50, 50});
constexpr InjectionBTable B3 =
    RisingInjectionB(3, {0, 0, 0, 0, 1, 7, 13, 29, 44, 46, 48, 48, 48, 48, 48});
constexpr InjectionBTable B4 =
    RisingInjectionB(5, {0, 0, 0, 4, 13, 42, 51, 62, 73, 80, 79, 79, 79, 79, 79});
constexpr InjectionBTable B5 =
    RisingInjectionB(7, {0, 0, 0, 0, 0, 0, 17, 43, 52, 63, 62, 50, 41, 33, 19});

// Per bike code: limits {TPS 0 % mV, TPS 100 % mV, start limiter, ignition
// limiter, injection limiter, pilot light (rpm)}, misc {BASE_ADV, START_JET,
// RPM_PULSES, ACT_BLOK, BLOK_ENABLE}, then the rpm axis, temperature, servo,
// advance, position and injection B tables.
// Code 13 has no positions of its own; it takes P11, the positions of its
// successor code 14, which shares its rpm axis, temperature, servo and advance
// tables.
constexpr std::array<DefaultTableSet, DEFAULT_SET_COUNT> TABLE_SETS = {{
    // 0: Aprilia RSV MILLE 98-
    {{650, 4030, 8000, 11000, 11300, 9000}, {5, 10, 2, 1, 0}, &R1, &T1, &S1, A1, &P1, &B1},
    // 1: Ducati 996
    {{340, 4730, 7000, 10800, 11100, 8800}, {0, 10, 2, 1, 0}, &R1, &T2, &S2, A2, &P2, &B1},
    // 2: Honda CBR 600 F 01-02
    {{500, 4420, 10000, 14000, 14300, 12000}, {11, 10, 2, 1, 0}, &R2, &T3, &S2, A3, &P3, &B1},
    // 3: Honda CBR 600 RR 03-04
    {{500, 4420, 10000, 14000, 14300, 12000}, {11, 10, 2, 1, 0}, &R2, &T3, &S2, A4, &P4, &B2},
    // 4: Honda CBR 900 RR 00-
    {{500, 4420, 9000, 12000, 12300, 10000}, {10, 10, 2, 1, 0}, &R3, &T4, &S3, A5, &P5, &B1},
    // 5: Honda VTR 1000 SP-1 01-02
    {{500, 4420, 8000, 11000, 11300, 9000}, {5, 10, 2, 1, 0}, &R1, &T5, &S2, A6, &P3, &B1},
    // 6: Kawasaki ZX 6R PCE 02
    {{1100, 4300, 10000, 14000, 14300, 12000}, {11, 10, 1, 1, 0}, &R2, &T6, &S2, A7, &P6, &B1},
    // 7: Kawasaki ZX6RR 03
    {{1030, 4300, 10000, 14000, 14300, 12000}, {13, 10, 2, 0, 0}, &R2, &T7, &S2, A8, &P7, &B1},
    // 8: Kawasaki ZX10 R 04
    {{670, 4020, 9000, 13000, 12700, 10000}, {8, 12, 1, 1, 0}, &R3, &T8, &S4, A9, &P8, &B1},
    // 9: Kawasaki ZX12 R 00-01
    {{1080, 4190, 8000, 11000, 11300, 9000}, {8, 10, 2, 0, 0}, &R1, &T8, &S2, A10, &P9, &B1},
    // 10: Kawasaki ZX12 R 02-
    {{1080, 4190, 8000, 11000, 11300, 9000}, {8, 10, 2, 0, 0}, &R1, &T8, &S2, A10, &P9, &B1},
    // 11: Suzuki GSX-R600 01-03
    {{1100, 4300, 10000, 14000, 14300, 12000}, {10, 10, 1, 1, 0}, &R2, &T6, &S2, A7, &P6, &B1},
    // 12: Suzuki GSX-R750 00-03
    {{1100, 4300, 9500, 13600, 13900, 11600}, {10, 12, 1, 1, 0}, &R3, &T9, &S2, A11, &P10, &B1},
    // 13: Suzuki GSX-R1000 01-02
    {{1100, 4300, 9000, 12000, 12300, 10000}, {12, 13, 1, 1, 0}, &R3, &T2, &S5, A12, &P11, &B1},
    // 14: Suzuki GSX-R1000 03
    {{1100, 4300, 9000, 12000, 12300, 10000}, {13, 13, 1, 0, 0}, &R3, &T2, &S5, A12, &P11, &B1},
    // 15: Suzuki GSX-1300 01
    {{1100, 4300, 7500, 10900, 11200, 8500}, {12, 13, 1, 0, 0}, &R1, &T2, &S2, A12, &P11, &B1},
    // 16: Suzuki TL 1000 R 98-
    {{1100, 4300, 8000, 10000, 10300, 9000}, {0, 10, 1, 1, 0}, &R1, &T10, &S2, A13, &P12, &B1},
    // 17: Yamaha YZF-R1 02-03
    {{660, 3890, 8000, 12000, 12300, 10000}, {7, 10, 2, 0, 0}, &R3, &T11, &S6, A14, &P13, &B1},
    // 18: Yamaha YZF-R6 03-
    {{660, 3890, 8000, 15000, 15300, 13000}, {12, 10, 2, 0, 0}, &R2, &T12, &S2, A15, &P14, &B1},
    // 19: Kawasaki ZX6RR 04
    {{1030, 4300, 10000, 14000, 14300, 12000}, {13, 10, 2, 0, 0}, &R2, &T7, &S2, A8, &P15, &B3},
    // 20: Suzuki GSX-R600 04-05
    {{1100, 4300, 10000, 14000, 14300, 12000}, {13, 10, 1, 0, 0}, &R2, &T6, &S2, A7, &P6, &B1},
    // 21: Honda CBR 1000 RR 04-
    {{500, 4420, 9000, 12400, 12700, 12000}, {11, 10, 2, 1, 0}, &R3, &T3, &S3, A4, &P4, &B2},
    // 22: Honda CBR 1100 XX
    {{500, 4420, 8000, 10500, 10800, 9000}, {10, 10, 2, 1, 0}, &R3, &T4, &S3, A5, &P5, &B1},
    // 23: Suzuki GSX-R750 04
    {{1100, 4300, 9500, 13600, 13900, 11600}, {13, 12, 1, 0, 0}, &R3, &T9, &S2, A11, &P10, &B1},
    // 24: HD V-rod
    {{480, 4480, 7000, 10000, 10300, 8000}, {0, 20, 1, 1, 0}, &R4, &T1, &S2, A16, &P16, &B1},
    // 25: Suzuki TL 1000 S
    {{1100, 4300, 8000, 10000, 10300, 9000}, {0, 10, 1, 1, 0}, &R1, &T10, &S2, A13, &P12, &B1},
    // 26: Suzuki GSX-R1000 05
    {{1100, 4450, 9000, 13000, 13300, 10000}, {15, 13, 1, 0, 0}, &R5, &T2, &S5, A17, &P17, &B4},
    // 27: Yamaha YZF-R1 04-05
    {{660, 3890, 8000, 14300, 14600, 10000}, {7, 10, 2, 0, 0}, &R3, &T11, &S6, A14, &P13, &B1},
    // 28: Honda CBR 600 RR 05-
    {{500, 4420, 10000, 14000, 14300, 12000}, {11, 10, 2, 1, 0}, &R2, &T3, &S2, A4, &P4, &B2},
    // 29: Suzuki GSX-1300 02-
    {{1100, 4300, 7500, 10900, 11200, 8500}, {13, 13, 1, 0, 0}, &R1, &T2, &S2, A12, &P7, &B1},
    // 30: Ducati 999
    {{340, 4730, 7000, 10800, 11100, 8800}, {0, 10, 2, 1, 0}, &R1, &T2, &S2, A2, &P2, &B1},
    // 31: Honda VFR 800
    {{500, 4420, 9000, 12000, 12300, 10000}, {10, 10, 2, 1, 0}, &R3, &T4, &S3, A5, &P5, &B1},
    // 32: MZ 125 PCE
    {{1100, 4300, 10000, 12000, 12300, 10000}, {10, 10, 1, 1, 0}, &R2, &T6, &S2, A7, &P6, &B1},
    // 33: Honda CBR 125 PCE
    {{1100, 4300, 10000, 12000, 12300, 10000}, {10, 10, 1, 1, 0}, &R2, &T6, &S2, A7, &P6, &B1},
    // 34: Yamaha YZF-R6 06-
    {{690, 4080, 10000, 15800, 16100, 14000}, {8, 13, 2, 0, 0}, &R5, &T2, &S7, A17, &P18, &B5},
    // 35: Yamaha FZS-600 Fazer
    {{660, 3890, 8000, 15000, 15300, 13000}, {12, 10, 2, 0, 0}, &R2, &T12, &S2, A15, &P14, &B1},
    // 36: Kawasaki ZX10 R 06
    {{670, 4020, 9000, 13000, 12700, 10000}, {8, 12, 1, 1, 0}, &R3, &T8, &S4, A9, &P8, &B1},
    // 37: Suzuki SV 1000 S
    {{1100, 4300, 8000, 10000, 10300, 9000}, {8, 10, 1, 0, 0}, &R1, &T10, &S8, A13, &P12, &B1},
    // 38: Peugeot
    {{660, 4060, 9000, 12000, 12300, 10000}, {13, 13, 1, 1, 0}, &R3, &T2, &S5, A12, &P11, &B1},
    // 39: Aprilia SXV 450
    {{640, 4170, 8000, 11500, 12000, 9000}, {10, 13, 1, 0, 0}, &R5, &T2, &S5, A18, &P19, &B1},
    // 40: Suzuki SV 650 S
    {{1100, 4300, 8000, 11000, 11300, 10000}, {8, 10, 1, 0, 0}, &R1, &T10, &S8, A13, &P12, &B1},
    // 41: Suzuki GSX-R600 06
    {{1100, 4300, 10000, 15400, 15700, 13400}, {13, 10, 1, 0, 0}, &R2, &T6, &S2, A7, &P6, &B4},
    // 42: Yamaha XT 660
    {{660, 3890, 6000, 10000, 10300, 7000}, {10, 12, 2, 0, 0}, &R3, &T12, &S4, A6, &P8, &B1},
    // 43: Aprilia RSV MILLE 04-
    {{620, 3940, 8000, 11000, 11300, 9000}, {5, 10, 2, 1, 0}, &R1, &T1, &S1, A1, &P1, &B1},
    // 44: Honda CRF 250 PCE
    {{1100, 4300, 10000, 12000, 12300, 10000}, {5, 10, 1, 1, 0}, &R2, &T6, &S2, A7, &P6, &B1},
}};

constexpr bool TpsAtFullThrottleFitsItsByte() {
    for (const auto& set : TABLE_SETS) {
        if (set.limits[1] < TPS_100_BASE_MV) {
            return false;
        }
    }
    return true;
}
static_assert(TpsAtFullThrottleFitsItsByte(), "TPS 100 % below the byte's 2500 mV base");

} // namespace

const DefaultTableSet* DefaultTableSetOf(std::uint8_t code) {
    return code < TABLE_SETS.size() ? &TABLE_SETS[code] : nullptr;
}

} // namespace zentrova::defaults
