// Driving the link without a window: a port that counts the bytes crossing it,
// the 55 ms tick loop that drives the transfer engine as the window's timer
// does, and the process's CPU time.
#pragma once

#include "link/SerialPort.h"
#include "link/TransferEngine.h"

#include <chrono>
#include <cstdint>
#include <functional>

namespace zentrova {

using Clock = std::chrono::steady_clock;
inline constexpr std::chrono::milliseconds TICK_PERIOD{55};
inline constexpr int LINE_BAUD = 57600;
inline constexpr int BITS_PER_BYTE = 10; // start bit, 8 data bits, stop bit

// Passes everything to the real port and counts the bytes both ways.
class CountingPort : public SerialPort {
public:
    explicit CountingPort(SerialPort& inner) : inner_(inner) {}
    bool isOpen() const override { return inner_.isOpen(); }
    std::optional<std::size_t> queuedBytes() override { return inner_.queuedBytes(); }
    std::size_t read(std::uint8_t* dst, std::size_t n) override;
    bool write(const std::uint8_t* src, std::size_t n) override;

    std::uint64_t sent = 0;     // bytes written
    std::uint64_t received = 0; // bytes read
    std::uint64_t writes = 0;   // write calls, one per frame

private:
    SerialPort& inner_;
};

// Mean and maximum of a series of durations, in microseconds.
struct DurationStats {
    void add(Clock::duration d);
    double meanUs() const;
    double maxUs() const;
    std::uint64_t count = 0;

private:
    Clock::duration total_{};
    Clock::duration max_{};
};

struct TickStats {
    DurationStats cost;     // time inside one Tick()
    DurationStats lateness; // how long after its due time a tick started
};

// One TransferEngine::Tick() every 55 ms of the steady clock, woken with
// sleep_until. Like a window timer, a tick that is overdue by more than a
// whole period is not caught up with a burst: the schedule restarts from now.
// Commands are given between run() calls, that is between two ticks.
class TickLoop {
public:
    explicit TickLoop(TransferEngine& engine) : engine_(engine), next_(Clock::now()) {}

    // Ticks until done() holds after a tick, or `limit` ticks; returns the
    // number of ticks run.
    int runUntil(const std::function<bool()>& done, int limit, TickStats& stats);
    // Ticks until the wall clock has run `span` from now; returns the ticks run.
    int runFor(Clock::duration span, TickStats& stats);

private:
    void tick(TickStats& stats);
    TransferEngine& engine_;
    Clock::time_point next_;
};

// User plus system CPU time of this process so far.
std::chrono::microseconds ProcessCpuTime();

// Seconds the bytes take on a 57600 baud line, 10 bit times each.
double LineSeconds(std::uint64_t bytes);

} // namespace zentrova
