#include "unit/SimulatedUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace zentrova;
using namespace std::chrono_literals;

namespace {

using Data = std::array<std::uint8_t, BLOCK_SIZE>;

Frame request(std::uint8_t code, const Data& data = {}) {
    return MakeFrame(code, data);
}

Data pattern(std::size_t block) {
    Data d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        d[i] = static_cast<std::uint8_t>(block * 31 + i * 7 + 1);
    }
    return d;
}

Data dataOf(const Frame& f) {
    Data d{};
    std::copy(f.begin() + 1, f.end() - 1, d.begin());
    return d;
}

std::uint16_t word(const Frame& f, std::size_t offset) {
    return static_cast<std::uint16_t>(f[offset] | (f[offset + 1] << 8));
}

// Programs block 11 the way a program transfer ends.
void programLast(SimulatedUnit& unit, SimTime at) {
    ASSERT_TRUE(unit.answer(request(0x0B, pattern(11)), at));
}

} // namespace

TEST(SimulatedUnit, IdentityBlockAnswersBothReadAndProgramOfBlockZero) {
    SimulatedUnit unit;
    for (std::uint8_t code : {std::uint8_t{0x40}, std::uint8_t{0x00}}) {
        SCOPED_TRACE(code);
        const auto reply = unit.answer(request(code, pattern(5)), 0ms);
        ASSERT_TRUE(reply);
        EXPECT_EQ((*reply)[0], code | 0x80);
        EXPECT_TRUE(FrameCheckOk(*reply));
        const Frame& r = *reply;
        EXPECT_EQ(std::string(r.begin() + 1, r.begin() + 4), "Sim");
        EXPECT_EQ(r[1 + img::UNIT_NUMBER], 1);
        EXPECT_EQ(r[1 + img::UNIT_DAY], 12);
        EXPECT_EQ(r[1 + img::UNIT_MONTH], 32); // "Mar": 77 + 97 + 114 = 288
        EXPECT_EQ(r[1 + img::UNIT_YEAR], 24);
        EXPECT_EQ(r[1 + img::UNIT_HOUR], 9);
        EXPECT_EQ(r[1 + img::UNIT_MINUTE], 30);
        EXPECT_EQ(r[1 + img::UNIT_VERSION], 47);
        EXPECT_EQ(r[1 + img::UNIT_TEXT], 0); // the label is built from name and number
    }
    // The data of a program request for block 0 is not stored.
    EXPECT_EQ(unit.memory()[img::UNIT_NAME], 'S');
}

TEST(SimulatedUnit, DefaultBitmapHoldsExactlyTheKnownBikes) {
    SimulatedUnit unit;
    const auto reply = unit.answer(request(0x40), 0ms);
    ASSERT_TRUE(reply);
    ParameterImage image;
    image.setBlock(0, std::span<const std::uint8_t, BLOCK_SIZE>(reply->data() + 1, BLOCK_SIZE));
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(IsBikeSupported(image, static_cast<std::uint8_t>(c)), c < 45) << c;
    }
    // Codes 40..44 live in byte 50, after the free text.
    EXPECT_EQ(image[11], 0xFF);
    EXPECT_EQ(image[15], 0xFF);
    EXPECT_EQ(image[50], 0x1F);
}

TEST(SimulatedUnit, VersionAndBitmapFollowTheOptions) {
    struct Case {
        std::uint8_t version;
        std::vector<int> bikes;
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes; // image byte, value
    } cases[] = {
        {46, {11, 41}, {{10, 46}, {12, 0x08}, {50, 0x02}, {11, 0}, {15, 0}}},
        {47, {7}, {{10, 47}, {11, 0x80}, {50, 0}}},
        {0, {}, {{10, 0}, {11, 0}, {14, 0}, {50, 0}, {76, 0}}},
        {255, {255, 40}, {{10, 255}, {76, 0x80}, {50, 0x01}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.version));
        UnitOptions options;
        options.firmwareVersion = c.version;
        options.bikes.reset();
        for (int b : c.bikes) {
            options.bikes.set(static_cast<std::size_t>(b));
        }
        SimulatedUnit unit(options);
        const auto identity = unit.answer(request(0x00), 0ms);
        ASSERT_TRUE(identity);
        for (auto [k, v] : c.bytes) {
            EXPECT_EQ((*identity)[1 + k], v) << "image byte " << k;
        }
        const auto monitor = unit.answer(request(0x30), 0ms);
        ASSERT_TRUE(monitor);
        EXPECT_EQ((*monitor)[100], c.version);
    }
}

TEST(SimulatedUnit, ProgrammedBlocksEchoAndReadBack) {
    SimulatedUnit unit;
    for (std::uint8_t b = 1; b < BLOCK_COUNT; ++b) {
        const auto echo = unit.answer(request(b, pattern(b)), 10ms * b);
        ASSERT_TRUE(echo);
        EXPECT_EQ((*echo)[0], 0x80 + b);
        EXPECT_TRUE(FrameCheckOk(*echo));
        EXPECT_EQ(dataOf(*echo), pattern(b)) << "block " << int(b);
    }
    for (std::uint8_t b = 1; b < BLOCK_COUNT; ++b) {
        // A verify request carries the tool's block; the unit answers with its own.
        const auto read = unit.answer(request(0x40 + b, Data{}), 200ms);
        ASSERT_TRUE(read);
        EXPECT_EQ((*read)[0], 0xC0 + b);
        EXPECT_EQ(dataOf(*read), pattern(b)) << "block " << int(b);
    }
    EXPECT_EQ(unit.memory().block(3)[0], pattern(3)[0]);
}

TEST(SimulatedUnit, InitialMemoryIsServedButNotItsBlockZero) {
    UnitOptions options;
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        options.memory[k] = static_cast<std::uint8_t>(k % 251);
    }
    SimulatedUnit unit(options);
    const auto block7 = unit.answer(request(0x47), 0ms);
    ASSERT_TRUE(block7);
    EXPECT_EQ((*block7)[1], 700 % 251);
    EXPECT_EQ((*block7)[100], 799 % 251);
    EXPECT_EQ(unit.memory()[img::UNIT_VERSION], 47);
}

TEST(SimulatedUnit, IgnoresBadCheckBytesAndUnknownCodes) {
    SimulatedUnit unit;
    const ParameterImage before = unit.memory();
    Frame damaged = request(0x05, pattern(5));
    damaged[101] ^= 0x01;
    EXPECT_FALSE(unit.answer(damaged, 0ms));
    for (std::uint8_t code : {0x0C, 0x3F, 0x31, 0x4C, 0x80, 0xB0, 0xC1, 0xFF}) {
        EXPECT_FALSE(unit.answer(request(code, pattern(1)), 0ms)) << int(code);
    }
    EXPECT_EQ(unit.memory(), before);
    EXPECT_EQ(unit.counters().requests, 0u);
}

TEST(SimulatedUnit, SaveCountdownRunsAfterBlockElevenAndCountsTheProgramming) {
    UnitOptions options;
    options.saveDuration = 3000ms;
    options.programCount = 41;
    SimulatedUnit unit(options);
    EXPECT_EQ(unit.saveCountdown(500ms), 0);
    ASSERT_TRUE(unit.answer(request(0x05, pattern(5)), 900ms)); // not the last block
    EXPECT_EQ(unit.saveCountdown(950ms), 0);

    programLast(unit, 1000ms);
    struct Point {
        SimTime at;
        std::uint16_t countdown;
        std::uint16_t programCount;
    } points[] = {
        {1000ms, 1200, 41}, {2500ms, 600, 41}, {3999ms, 1, 41}, {4000ms, 0, 42}, {9000ms, 0, 42}};
    for (const Point& p : points) {
        SCOPED_TRACE(p.at.count());
        const auto frame = unit.answer(request(0x30), p.at);
        ASSERT_TRUE(frame);
        EXPECT_EQ(word(*frame, 95), p.countdown);
        EXPECT_EQ(word(*frame, 31), p.programCount);
    }
}

TEST(SimulatedUnit, SaveCountdownNeverRisesWhilePolled) {
    SimulatedUnit unit;
    programLast(unit, 0ms);
    std::uint16_t last = unit.saveCountdown(0ms);
    EXPECT_EQ(last, 1200);
    for (SimTime t = 55ms; t < 4000ms; t += 55ms) {
        const std::uint16_t now = unit.saveCountdown(t);
        EXPECT_LE(now, last);
        last = now;
    }
    EXPECT_EQ(last, 0);
}

TEST(SimulatedUnit, NewProgrammingRestartsTheSave) {
    SimulatedUnit unit; // 3 s save, count from 0
    programLast(unit, 0ms);
    programLast(unit, 1500ms);
    EXPECT_EQ(unit.saveCountdown(1500ms), 1200);
    EXPECT_GT(unit.saveCountdown(4499ms), 0);
    EXPECT_EQ(unit.programCount(4499ms), 0);
    EXPECT_EQ(unit.saveCountdown(4500ms), 0);
    EXPECT_EQ(unit.programCount(4500ms), 1);
}

TEST(SimulatedUnit, ZeroSaveDurationStoresAtOnce) {
    UnitOptions options;
    options.saveDuration = 0ms;
    SimulatedUnit unit(options);
    programLast(unit, 10ms);
    EXPECT_EQ(unit.saveCountdown(10ms), 0);
    EXPECT_EQ(unit.programCount(10ms), 1);
}

TEST(SimulatedUnit, TimeNeverRunsBackwards) {
    SimulatedUnit unit;
    programLast(unit, 2000ms);
    EXPECT_EQ(unit.saveCountdown(3500ms), 600);
    EXPECT_EQ(unit.saveCountdown(1000ms), 600); // an earlier time is taken as the latest
}

// Faults ----------------------------------------------------------------------

TEST(SimulatedUnitFaults, SilentUnitAnswersNothingAndStoresNothing) {
    UnitOptions options;
    options.silent = true;
    SimulatedUnit unit(options);
    const ParameterImage before = unit.memory();
    for (std::uint8_t code : {0x30, 0x40, 0x00, 0x03}) {
        const UnitResponse r = unit.respond(request(code, pattern(3)), 0ms);
        EXPECT_FALSE(r.answered);
        EXPECT_TRUE(r.bytes.empty());
    }
    EXPECT_TRUE(unit.takeOutput(10000ms).empty());
    EXPECT_FALSE(unit.nextOutputTime());
    EXPECT_EQ(unit.memory(), before);
}

TEST(SimulatedUnitFaults, CleanReplyGoesOutWhole) {
    SimulatedUnit unit;
    const UnitResponse r = unit.respond(request(0x42), 5ms);
    ASSERT_TRUE(r.answered);
    EXPECT_FALSE(r.dropped || r.corrupted);
    const auto out = unit.takeOutput(5ms);
    ASSERT_EQ(out.size(), FRAME_SIZE);
    EXPECT_EQ(out[0], 0xC2);
    EXPECT_TRUE(FrameCheckOk(FrameView(out.data(), FRAME_SIZE)));
    EXPECT_TRUE(unit.takeOutput(5ms).empty());
}

namespace {
std::vector<bool> dropPattern(std::uint64_t seed, double p, int n) {
    UnitOptions options;
    options.seed = seed;
    options.dropProbability = p;
    SimulatedUnit unit(options);
    std::vector<bool> dropped;
    for (int i = 0; i < n; ++i) {
        dropped.push_back(unit.respond(request(0x41), SimTime(i)).dropped);
    }
    return dropped;
}
} // namespace

TEST(SimulatedUnitFaults, DropsRepeatWithTheSeed) {
    const auto a = dropPattern(7, 0.3, 1000);
    EXPECT_EQ(a, dropPattern(7, 0.3, 1000));
    EXPECT_NE(a, dropPattern(8, 0.3, 1000));
    const auto count = std::count(a.begin(), a.end(), true);
    EXPECT_GT(count, 230);
    EXPECT_LT(count, 370);
    const auto all = dropPattern(7, 1.0, 50);
    EXPECT_EQ(std::count(all.begin(), all.end(), true), 50);
    const auto none = dropPattern(7, 0.0, 50);
    EXPECT_EQ(std::count(none.begin(), none.end(), true), 0);
}

TEST(SimulatedUnitFaults, DroppedReplyStillProgramsTheBlock) {
    UnitOptions options;
    options.dropProbability = 1.0;
    SimulatedUnit unit(options);
    const UnitResponse r = unit.respond(request(0x04, pattern(4)), 0ms);
    EXPECT_TRUE(r.answered);
    EXPECT_TRUE(r.dropped);
    EXPECT_TRUE(unit.takeOutput(1000ms).empty());
    EXPECT_EQ(unit.memory()[400], pattern(4)[0]);
}

TEST(SimulatedUnitFaults, CorruptionDamagesExactlyOneByteRepeatably) {
    auto run = [](std::uint64_t seed) {
        UnitOptions options;
        options.seed = seed;
        options.corruptProbability = 1.0;
        SimulatedUnit unit(options);
        std::vector<std::vector<std::uint8_t>> out;
        for (std::uint8_t b = 1; b < BLOCK_COUNT; ++b) {
            EXPECT_TRUE(unit.respond(request(0x40 + b), 0ms).corrupted);
            out.push_back(unit.takeOutput(0ms));
        }
        return out;
    };
    SimulatedUnit clean;
    const auto damaged = run(3);
    for (std::uint8_t b = 1; b < BLOCK_COUNT; ++b) {
        const Frame good = *clean.answer(request(0x40 + b), 0ms);
        const auto& bad = damaged[b - 1];
        ASSERT_EQ(bad.size(), FRAME_SIZE);
        EXPECT_FALSE(FrameCheckOk(FrameView(bad.data(), FRAME_SIZE)));
        EXPECT_EQ(std::inner_product(good.begin(), good.end(), bad.begin(), 0, std::plus<>(),
                                     std::not_equal_to<>()),
                  1);
    }
    EXPECT_EQ(damaged, run(3));
    EXPECT_NE(damaged, run(4));
}

TEST(SimulatedUnitFaults, StrayBytesComeBeforeTheReply) {
    UnitOptions options;
    options.strayBytes = 5;
    SimulatedUnit unit(options);
    unit.respond(request(0x30), 0ms);
    const auto out = unit.takeOutput(0ms);
    ASSERT_EQ(out.size(), 5 + FRAME_SIZE);
    EXPECT_EQ(out[5], 0xB0);
    EXPECT_TRUE(FrameCheckOk(FrameView(out.data() + 5, FRAME_SIZE)));
}

TEST(SimulatedUnitFaults, DelayedRepliesLeaveInOrderWhenDue) {
    UnitOptions options;
    options.replyDelay = 100ms;
    SimulatedUnit unit(options);
    unit.respond(request(0x41), 1000ms);
    unit.respond(request(0x42), 1030ms);
    EXPECT_EQ(unit.nextOutputTime(), SimTime(1100ms));
    EXPECT_TRUE(unit.takeOutput(1099ms).empty());
    const auto first = unit.takeOutput(1100ms);
    ASSERT_EQ(first.size(), FRAME_SIZE);
    EXPECT_EQ(first[0], 0xC1);
    EXPECT_EQ(unit.nextOutputTime(), SimTime(1130ms));
    const auto second = unit.takeOutput(5000ms);
    ASSERT_EQ(second.size(), FRAME_SIZE);
    EXPECT_EQ(second[0], 0xC2);
    EXPECT_FALSE(unit.nextOutputTime());
}

TEST(SimulatedUnitFaults, CountersShowInTheTestValues) {
    UnitOptions options;
    options.dropProbability = 1.0;
    SimulatedUnit unit(options);
    unit.respond(request(0x41), 0ms);
    unit.respond(request(0x02, pattern(2)), 0ms);
    const MonitorFrame v = unit.monitorValues(2500ms);
    // requests, replies, dropped, corrupted, programs, reads, monitors, seconds
    const std::array<std::uint16_t, 8> expected = {2, 2, 2, 0, 1, 1, 0, 2};
    const std::array<std::uint16_t, 8> got = {v.Test1, v.Test2, v.Test3, v.Test4,
                                              v.Test5, v.Test6, v.Test7, v.Test8};
    EXPECT_EQ(got, expected);
}
