#include "unit/EngineModel.h"
#include "unit/MonitorValues.h"
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

} // namespace

TEST(MonitorFrameEncoding, PutsEveryFieldAtItsOffsetLeastSignificantByteFirst) {
    MonitorValues v;
    v.Rpm = 0x0102;
    v.ApRaw = 0x0304;
    v.ApKpa10 = 0x0506;
    v.IapRaw = 0x0708;
    v.TpRaw = 0x090A;
    v.LambdaRaw = 0x0B0C;
    v.TwRaw = 0x0D0E;
    v.AtRaw = 0x0F10;
    v.UbatRaw = 0x1112;
    v.Inj14A = 0x1314;
    v.Inj23A = 0x1516;
    v.Inj14B = 0x1718;
    v.Inj23B = 0x191A;
    v.ServoMeasured = 0x1B1C;
    v.ServoDesired = 0x1D1E;
    v.ProgramCount = 0x1F20;
    for (std::size_t i = 0; i < 8; ++i) {
        v.TestValues[i] = static_cast<std::uint16_t>(0x2100 + i);
    }
    v.AfterStartTime = 0x2223;
    v.Advance = 0x2425;
    v.PositionA = 0x2627;
    v.PositionB = 0x2829;
    v.TwCorr = 0x2A2B;
    v.AtCorr = 0x2C2D;
    v.ApCorr = 0x2E2F;
    v.StartCorr = 0x3031;
    v.UCorr = 0x3233;
    v.UnitSaveCountdown = 0x3435;
    std::uint8_t next = 0x40;
    for (std::uint8_t* b :
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
    const std::pair<std::size_t, std::uint16_t> words[] = {
        {1, 0x0102},  {3, 0x0304},  {5, 0x0506},  {7, 0x0708},  {9, 0x090A},  {11, 0x0B0C},
        {13, 0x0D0E}, {15, 0x0F10}, {17, 0x1112}, {19, 0x1314}, {21, 0x1516}, {23, 0x1718},
        {25, 0x191A}, {27, 0x1B1C}, {29, 0x1D1E}, {31, 0x1F20}, {33, 0x2100}, {47, 0x2107},
        {49, 0x2223}, {71, 0x2425}, {81, 0x2627}, {83, 0x2829}, {85, 0x2A2B}, {87, 0x2C2D},
        {89, 0x2E2F}, {91, 0x3031}, {93, 0x3233}, {95, 0x3435}};
    for (auto [offset, value] : words) {
        EXPECT_EQ(word(f, offset), value) << "offset " << offset;
    }
    const std::size_t byteOffsets[] = {51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62,
                                       63, 64, 65, 66, 68, 70, 73, 74, 97, 99, 100};
    next = 0x40;
    for (std::size_t offset : byteOffsets) {
        EXPECT_EQ(f[offset], next++) << "offset " << offset;
    }
    for (std::size_t reserved : {67, 69, 75, 76, 77, 78, 79, 80, 98}) {
        EXPECT_EQ(f[reserved], 0) << "offset " << reserved;
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
    SimulatedUnit unit;
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
        // Throttle count against the default calibration, 500 mV .. 4500 mV.
        EXPECT_NEAR((mv(word(f, 9)) - 500) * 100.0 / 4000, tp, 1.0);
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

TEST(SimulatedEngine, RunCoversIdleFullThrottleAndWarmUp) {
    const EngineModel engine(1);
    const ParameterImage memory;
    int minRpm = 99999, maxRpm = 0, minTp = 999, maxTp = 0, maxGear = 0;
    for (SimTime t : sweep()) {
        const MonitorValues v = engine.at(t, memory);
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
        const MonitorValues v = engine.at(t, memory);
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
    const MonitorValues v = engine.at(300ms, memory);
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
