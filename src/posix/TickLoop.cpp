#include "TickLoop.h"

#include <algorithm>
#include <sys/resource.h>
#include <thread>

namespace zentrova {

std::size_t CountingPort::read(std::uint8_t* dst, std::size_t n) {
    const std::size_t got = inner_.read(dst, n);
    received += got;
    return got;
}

bool CountingPort::write(const std::uint8_t* src, std::size_t n) {
    ++writes;
    const bool ok = inner_.write(src, n);
    if (ok) {
        sent += n;
    }
    return ok;
}

void DurationStats::add(Clock::duration d) {
    ++count;
    total_ += d;
    max_ = std::max(max_, d);
}

double DurationStats::meanUs() const {
    if (count == 0) {
        return 0.0;
    }
    return std::chrono::duration<double, std::micro>(total_).count() / static_cast<double>(count);
}

double DurationStats::maxUs() const {
    return std::chrono::duration<double, std::micro>(max_).count();
}

void TickLoop::tick(TickStats& stats) {
    next_ += TICK_PERIOD;
    std::this_thread::sleep_until(next_);
    const Clock::time_point start = Clock::now();
    stats.lateness.add(start - next_);
    engine_.Tick();
    stats.cost.add(Clock::now() - start);
    if (Clock::now() - next_ > TICK_PERIOD) {
        next_ = Clock::now(); // a missed period is skipped, not made up
    }
}

int TickLoop::runUntil(const std::function<bool()>& done, int limit, TickStats& stats) {
    int ticks = 0;
    while (ticks < limit) {
        tick(stats);
        ++ticks;
        if (done()) {
            break;
        }
    }
    return ticks;
}

int TickLoop::runFor(Clock::duration span, TickStats& stats) {
    const Clock::time_point end = Clock::now() + span;
    int ticks = 0;
    while (next_ + TICK_PERIOD <= end) {
        tick(stats);
        ++ticks;
    }
    return ticks;
}

std::chrono::microseconds ProcessCpuTime() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto us = [](const timeval& t) {
        return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
    };
    return us(usage.ru_utime) + us(usage.ru_stime);
}

double LineSeconds(std::uint64_t bytes) {
    return static_cast<double>(bytes * BITS_PER_BYTE) / LINE_BAUD;
}

} // namespace zentrova
