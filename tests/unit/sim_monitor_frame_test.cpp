#include "image/DefaultSet.h"
#include "image/Validate.h"
#include "unit/EngineModel.h"
#include "unit/MonitorEncoding.h"
#include "unit/SimulatedUnit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zentrova;
using namespace std::chrono_literals;

namespace {

std::uint16_t word(const Frame& f, std::size_t offset) {
    return static_cast<std::uint16_t>(f[offset] | (f[offset + 1] << 8));
}

int mv(int count) {
    return count * 5000 / 1023;
}

// Times through a long run: start, warm-up and every throttle wave.
std::vector<SimTime> sweep() {
    std::vector<SimTime> times;
    for (SimTime t = 0ms; t < 900s; t += 347ms) {
        times.push_back(t);
    }
    return times;
}

void checkFramesOverARun(SimulatedUnit&& unit, int tps0Mv, int tps100Mv);

} // namespace

TEST(MonitorFrameEncoding, PutsEveryFieldAtItsOffsetLeastSignificantByteFirst) {
    MonitorFrame v;
    // Two-byte fields in frame order get 0x0102, 0x0304, ...; one-byte
    // fields 0x40, 0x41, ... (the high byte 0x77 must not reach the frame).
    std::uint16_t* const words[] = {&v.Rpm,
                                    &v.ApRaw,
                                    &v.ApKpa10,
                                    &v.IapRaw,
                                    &v.TpRaw,
                                    &v.LambdaRaw,
                                    &v.TwRaw,
                                    &v.AtRaw,
                                    &v.UbatRaw,
                                    &v.Inj14A,
                                    &v.Inj23A,
                                    &v.Inj14B,
                                    &v.Inj23B,
                                    &v.ServoMeasured,
                                    &v.ServoDesired,
                                    &v.ProgramCount,
                                    &v.Test1,
                                    &v.Test2,
                                    &v.Test3,
                                    &v.Test4,
                                    &v.Test5,
                                    &v.Test6,
                                    &v.Test7,
                                    &v.Test8,
                                    &v.AfterStartTime,
                                    &v.Advance,
                                    &v.PositionA,
                                    &v.PositionB,
                                    &v.TwCorr,
                                    &v.AtCorr,
                                    &v.ApCorr,
                                    &v.StartCorr,
                                    &v.UCorr,
                                    &v.UnitSaveCountdown};
    std::uint16_t nextWord = 0x0102;
    for (std::uint16_t* w : words) {
        *w = nextWord;
        nextWord += 0x0202;
    }
    std::uint16_t next = 0x7740;
    for (std::uint16_t* b :
         {&v.TpPercent,  &v.IapPercent,   &v.TwByte,         &v.AtByte,         &v.StartLimiterOn,
          &v.RpmFlag1,   &v.RpmFlag2,     &v.FallSensorOn,   &v.BlockingOn,     &v.TrackFlagA,
          &v.TrackFlagB, &v.PilotLightOn, &v.ServoOk,        &v.ClutchMasterOn, &v.TachoMode,
          &v.N2oOn,      &v.AdvanceBase,  &v.CoolingOn,      &v.CkpsSignal,     &v.CmpsSignal,
          &v.Gear,       &v.DataError,    &v.FirmwareVersion}) {
        *b = next++;
    }
    const Frame f = EncodeMonitorFrame(v);
    EXPECT_EQ(f[0], 0xB0);
    EXPECT_TRUE(FrameCheckOk(f));
    const std::size_t wordOffsets[] = {1,  3,  5,  7,  9,  11, 13, 15, 17, 19, 21, 23,
                                       25, 27, 29, 31, 33, 35, 37, 39, 41, 43, 45, 47,
                                       49, 71, 81, 83, 85, 87, 89, 91, 93, 95};
    nextWord = 0x0102;
    for (std::size_t offset : wordOffsets) {
        EXPECT_EQ(word(f, offset), nextWord) << "offset " << offset;
        nextWord += 0x0202;
    }
    const std::size_t byteOffsets[] = {51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62,
                                       63, 64, 65, 66, 68, 70, 73, 74, 97, 99, 100};
    next = 0x7740;
    for (std::size_t offset : byteOffsets) {
        EXPECT_EQ(f[offset], next++ & 0xFF) << "offset " << offset;
    }
    for (std::size_t reserved : {67, 69, 75, 76, 77, 78, 79, 80, 98}) {
        EXPECT_EQ(f[reserved], 0) << "offset " << reserved;
    }
}

TEST(MonitorFrameEncoding, EngineFramesReadBackThroughTheToolsParser) {
    SimulatedUnit unit;
    for (SimTime t : {SimTime(0), SimTime(1500), SimTime(60000), SimTime(600000)}) {
        const MonitorFrame v = unit.monitorValues(t);
        EXPECT_EQ(ParseMonitorFrame(EncodeMonitorFrame(v)), v) << t.count();
    }
}

TEST(MonitorFrameEncoding, MillivoltCountsComeBackToTheirMillivolts) {
    for (int v : {0, 4, 5, 488, 500, 1272, 4052, 4999, 5000}) {
        const int count = MvToCount(v);
        EXPECT_LE(mv(count), v) << v;
        EXPECT_GT(mv(count) + 5, v) << v;
    }
    EXPECT_EQ(MvToCount(-10), 0);
    EXPECT_EQ(MvToCount(6000), 1023);
}

TEST(SimulatedEngine, FramesArePlausibleAndTheirCountsAgreeWithTheirValues) {
    const ParameterImage defaults = DefaultUnitMemory();
    struct Case {
        const char* name;
        ParameterImage memory;
        int tps0Mv, tps100Mv;
    } cases[] = {
        // The default set carries a throttle calibration; an empty memory
        // falls back to 500 mV .. 4500 mV.
        {"default set", defaults, defaults[img::TPS_0] * 10, defaults[img::TPS_100] * 10 + 2500},
        {"empty memory", ParameterImage{}, 500, 4500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnitOptions options;
        options.memory = c.memory;
        checkFramesOverARun(SimulatedUnit(options), c.tps0Mv, c.tps100Mv);
    }
}

TEST(SimulatedUnit, StartsWithTheValidatedDefaultSetOfBikeEleven) {
    ParameterImage expected;
    expected[img::BIKE] = 11;
    bool choke = false;
    ASSERT_TRUE(BuildDefaultSet(expected, choke));
    ValidateImage(expected);
    const ParameterImage memory = SimulatedUnit().memory();
    EXPECT_TRUE(
        std::equal(memory.bytes.begin() + 100, memory.bytes.end(), expected.bytes.begin() + 100));
}

namespace {
void checkFramesOverARun(SimulatedUnit&& unit, int tps0Mv, int tps100Mv) {
    for (SimTime t : sweep()) {
        SCOPED_TRACE(t.count());
        const auto frame = unit.answer(MakeFrame(0x30, std::array<std::uint8_t, 100>{}), t);
        ASSERT_TRUE(frame);
        const Frame& f = *frame;
        ASSERT_EQ(f[0], 0xB0);
        ASSERT_TRUE(FrameCheckOk(f));
        const int rpm = word(f, 1), tp = f[51], iap = f[52];
        EXPECT_LE(rpm, 13000);
        EXPECT_GE(rpm, 150);
        EXPECT_LE(tp, 100);
        // Throttle count against the calibration.
        EXPECT_NEAR((mv(word(f, 9)) - tps0Mv) * 100.0 / (tps100Mv - tps0Mv), tp, 1.0);
        // Pressures: 4 mV per 0.1 kPa; counts in the valid window 105..1006.
        const int ap = word(f, 5);
        EXPECT_NEAR(ap, 1013, 10);
        EXPECT_NEAR(mv(word(f, 3)) / 4.0, ap, 2.0);
        EXPECT_NEAR(100.0 * word(f, 7) / word(f, 3), iap, 2.0);
        for (std::size_t raw : {3, 7}) {
            EXPECT_GE(word(f, raw), 105);
            EXPECT_LE(word(f, raw), 1006);
        }
        // Temperatures: bytes carry +100, counts follow the thermistor curve.
        EXPECT_GE(f[53], 110);
        EXPECT_LE(f[53], 195);
        EXPECT_NEAR(sensor::ThermistorCelsius(word(f, 13)), f[53] - 100, 1.0);
        EXPECT_NEAR(sensor::ThermistorCelsius(word(f, 15)), f[54] - 100, 1.0);
        // Supply voltage behind 1:11, 10 V .. 15 V.
        const int u = mv(word(f, 17)) * 11;
        EXPECT_GE(u, 10000);
        EXPECT_LE(u, 15000);
        const int lambda = mv(word(f, 11));
        EXPECT_GE(lambda, 50);
        EXPECT_LE(lambda, 1000);
        // Injection: duty within the cycle.
        const int m = std::max({word(f, 19), word(f, 21), word(f, 23), word(f, 25)});
        EXPECT_LE(rpm * m / 40000, 100);
        EXPECT_LE(word(f, 71), 60);
        EXPECT_LE(f[97], 6);
        EXPECT_LE(word(f, 29), 4500);
        EXPECT_NEAR(word(f, 27), word(f, 29), 15);
        EXPECT_EQ(f[63], 1);
        EXPECT_EQ(word(f, 95), 0);
        EXPECT_EQ(f[100], 47);
        EXPECT_EQ(f[99], 0);
    }
}
} // namespace

TEST(SimulatedEngine, RunCoversIdleFullThrottleAndWarmUp) {
    const EngineModel engine(1);
    const ParameterImage memory;
    int minRpm = 99999, maxRpm = 0, minTp = 999, maxTp = 0, maxGear = 0;
    for (SimTime t : sweep()) {
        const MonitorFrame v = engine.at(t, memory);
        if (t >= 1s) {
            minRpm = std::min<int>(minRpm, v.Rpm);
        }
        maxRpm = std::max<int>(maxRpm, v.Rpm);
        minTp = std::min<int>(minTp, v.TpPercent);
        maxTp = std::max<int>(maxTp, v.TpPercent);
        maxGear = std::max<int>(maxGear, v.Gear);
    }
    EXPECT_LT(minRpm, 1600);
    EXPECT_GT(maxRpm, 10000);
    EXPECT_EQ(minTp, 0);
    EXPECT_EQ(maxTp, 100);
    EXPECT_EQ(maxGear, 6);
    EXPECT_LT(engine.at(0ms, memory).TwByte, 125);
    EXPECT_GT(engine.at(900s, memory).TwByte, 180);
    EXPECT_EQ(engine.at(0ms, memory).AfterStartTime, 0);
    EXPECT_EQ(engine.at(61s, memory).AfterStartTime, 600);
}

TEST(SimulatedEngine, SameSeedSameRunOtherSeedOtherRun) {
    const ParameterImage memory;
    const EngineModel a(5), b(5), c(6);
    bool differs = false;
    for (SimTime t : sweep()) {
        EXPECT_EQ(a.at(t, memory), b.at(t, memory));
        differs = differs || !(a.at(t, memory) == c.at(t, memory));
    }
    EXPECT_TRUE(differs);
}

TEST(SimulatedEngine, FollowsTheMemory) {
    ParameterImage memory;
    memory[img::LIMITER_IGN] = 60; // 6000 rpm
    memory[img::TPS_0] = 80;       // 800 mV
    memory[img::TPS_100] = 150;    // 4000 mV
    memory[img::IAP_TO_TPS] = 30;
    memory[img::PILOT_LIGHT] = 50; // 5000 rpm
    for (std::size_t c = 0; c < img::CURVE_LEN; ++c) {
        memory[img::RPM_IGN + c] = static_cast<std::uint8_t>(10 * (c + 1)); // 1000..15000
        for (std::size_t r = 0; r < img::MAP_ROWS; ++r) {
            memory[img::mapCell(img::IGN, r, c)] = static_cast<std::uint8_t>(r + 3 * c);
        }
    }
    const EngineModel engine(1);
    bool limited = false;
    for (SimTime t : sweep()) {
        if (t < 1s) {
            continue; // cranking
        }
        SCOPED_TRACE(t.count());
        const MonitorFrame v = engine.at(t, memory);
        EXPECT_LE(v.Rpm, 6000);
        if (v.RpmFlag2) {
            limited = true;
            EXPECT_EQ(v.Rpm, 6000);
            EXPECT_EQ(v.TrackFlagA, 1);
        }
        EXPECT_NEAR((mv(v.TpRaw) - 800) * 100.0 / 3200, v.TpPercent, 1.0);
        EXPECT_EQ(v.TrackFlagB, v.TpPercent >= 30);
        EXPECT_EQ(v.PilotLightOn, v.Rpm >= 5000);
        // The advance is the map cell nearest to the operating point: column
        // by the nearest rpm breakpoint, row by the nearest throttle row.
        const std::size_t col = std::min<std::size_t>(14, (v.Rpm + 500) / 1000 - 1);
        const int rows[] = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};
        std::size_t row = 0;
        for (std::size_t r = 1; r < 10; ++r) {
            if (2 * v.TpPercent >= rows[r - 1] + rows[r]) {
                row = r;
            }
        }
        EXPECT_EQ(v.Advance, row + 3 * col) << "rpm " << v.Rpm << " tp " << int(v.TpPercent);
    }
    EXPECT_TRUE(limited);
}

TEST(SimulatedEngine, CranksForTheFirstSecond) {
    const EngineModel engine(1);
    ParameterImage memory;
    memory[img::BASE_ADV] = 12;
    const MonitorFrame v = engine.at(300ms, memory);
    EXPECT_LT(v.Rpm, 400);
    EXPECT_EQ(v.AdvanceBase, 1);
    EXPECT_EQ(v.Advance, 12);
    EXPECT_EQ(engine.at(1500ms, memory).AdvanceBase, 0);
    EXPECT_GT(engine.at(1500ms, memory).Rpm, 1000);
}

TEST(SimulatedEngine, ThermistorCountFallsAsItWarms) {
    int last = 1024;
    for (int c = -30; c <= 150; c += 10) {
        const int count = sensor::ThermistorCount(c);
        EXPECT_LT(count, last) << c;
        EXPECT_GT(count, 0);
        last = count;
    }
}
