// A control unit in software, for the simulator program and for tests. It
// keeps twelve 100-byte blocks and answers each request as a unit does:
//   0x00        -> 0x80 + its identity block (the request's data is ignored)
//   0x00 + b    -> stores block b (1..11) and echoes it as 0x80 + b
//   0x40 + b    -> 0xC0 + block b (block 0 is the identity block)
//   0x30        -> 0xB0 + a monitor frame from its simulated engine
// A request with a bad check byte or an unknown code gets no answer. After
// block 11 is programmed the unit stores its data: the monitor frame counts
// UnitSaveCountdown from 1200 down to 0 over saveDuration, and ProgramCount
// goes up by one when the count reaches 0 (a new block 11 starts it again).
// Time is always passed in; the unit never reads a clock, so runs repeat.
#pragma once

#include "image/ParameterImage.h"
#include "link/BlockFrame.h"
#include "unit/EngineModel.h"
#include "unit/SimRandom.h"

#include <array>
#include <bitset>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace zentrova {

using SimTime = std::chrono::milliseconds; // since the unit started

using BikeSet = std::bitset<256>;
BikeSet AllKnownBikes(); // the listed codes 0..44

// What a unit holds when nothing else is loaded: the default set of
// DEFAULT_UNIT_BIKE, validated; block 0 zero.
inline constexpr std::uint8_t DEFAULT_UNIT_BIKE = 11;
ParameterImage DefaultUnitMemory();

struct UnitOptions {
    std::uint8_t firmwareVersion = SUPPORTED_VERSION;
    BikeSet bikes = AllKnownBikes();
    // Blocks 1 to 11 the unit holds at start; block 0 is not taken, the
    // identity block is built from the fields here.
    ParameterImage memory = DefaultUnitMemory();
    std::array<char, 3> unitName{'S', 'i', 'm'};
    std::uint8_t unitNumber = 1;
    std::uint8_t buildDay = 12, buildMonth = 3, buildYear = 24; // 12.03.2024
    std::uint8_t buildHour = 9, buildMinute = 30;
    std::uint16_t programCount = 0;
    std::chrono::milliseconds saveDuration{3000};

    // Faults, drawn from one generator seeded with `seed`.
    bool silent = false;             // hears nothing, answers nothing
    double dropProbability = 0.0;    // per reply: lost on the line
    double corruptProbability = 0.0; // per reply: one byte damaged
    unsigned strayBytes = 0;         // random bytes sent before each reply
    std::chrono::milliseconds replyDelay{0};
    std::uint64_t seed = 1;
};

// What happened to one request, for logs and tests.
struct UnitResponse {
    bool answered = false;           // the unit made a reply
    bool dropped = false;            // ...and lost it
    bool corrupted = false;          // ...or damaged one byte of it
    std::vector<std::uint8_t> bytes; // what goes on the line (stray bytes first)
};

struct UnitCounters {
    std::uint32_t requests = 0, replies = 0, dropped = 0, corrupted = 0;
    std::uint32_t programs = 0, reads = 0, monitors = 0;
};

class SimulatedUnit {
public:
    explicit SimulatedUnit(UnitOptions options = {});

    // The reply to one request, without faults; nothing when the unit does
    // not answer it. Programming changes the memory.
    std::optional<Frame> answer(FrameView request, SimTime now);

    // The request as received on the line: answer it, apply the faults, and
    // queue what goes out for sending after the reply delay.
    UnitResponse respond(FrameView request, SimTime now);
    // Bytes queued for sending whose time has come, in order.
    std::vector<std::uint8_t> takeOutput(SimTime now);
    // When the next queued bytes are due; nothing when the queue is empty.
    std::optional<SimTime> nextOutputTime() const;

    // Image block 0 is the identity block, blocks 1..11 the stored parameters.
    const ParameterImage& memory() const { return memory_; }
    // The fields of the monitor frame the unit would send at `now`.
    MonitorFrame monitorValues(SimTime now);
    std::uint16_t saveCountdown(SimTime now);
    std::uint16_t programCount(SimTime now);
    const UnitCounters& counters() const { return counters_; }

private:
    void advance(SimTime now);
    void buildIdentity();

    UnitOptions options_;
    ParameterImage memory_;
    EngineModel engine_;
    SimRandom faults_;
    UnitCounters counters_;
    SimTime now_{0};
    std::optional<SimTime> saveStart_;
    std::uint16_t programCount_;

    struct Pending {
        SimTime due;
        std::vector<std::uint8_t> bytes;
    };
    std::deque<Pending> output_;
};

} // namespace zentrova
