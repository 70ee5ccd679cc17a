#include "unit/SimulatedUnit.h"

#include "image/BikeCatalogue.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"
#include "unit/RequestAssembler.h"

#include <algorithm>

namespace zentrova {

namespace {
constexpr std::uint16_t SAVE_COUNT_START = 1200;
constexpr std::size_t LAST_BLOCK = BLOCK_COUNT - 1;

std::uint16_t low16(std::uint64_t v) {
    return static_cast<std::uint16_t>(v & 0xFFFFu);
}
} // namespace

BikeSet AllKnownBikes() {
    BikeSet bikes;
    for (std::size_t c = 0; c < BIKE_COUNT; ++c) {
        bikes.set(c);
    }
    return bikes;
}

ParameterImage DefaultUnitMemory() {
    ParameterImage memory;
    memory[img::BIKE] = DEFAULT_UNIT_BIKE;
    bool chokeOutput = false;
    BuildDefaultSet(memory, chokeOutput);
    ValidateImage(memory);
    std::fill(memory.bytes.begin(), memory.bytes.begin() + BLOCK_SIZE, std::uint8_t{0});
    return memory;
}

SimulatedUnit::SimulatedUnit(UnitOptions options)
    : options_(std::move(options)), memory_(options_.memory), engine_(options_.seed),
      faults_(options_.seed), programCount_(options_.programCount) {
    buildIdentity();
}

void SimulatedUnit::buildIdentity() {
    auto identity = memory_.block(0);
    std::fill(identity.begin(), identity.end(), std::uint8_t{0});
    std::copy(options_.unitName.begin(), options_.unitName.end(),
              identity.begin() + img::UNIT_NAME);
    memory_[img::UNIT_NUMBER] = options_.unitNumber;
    memory_[img::UNIT_DAY] = options_.buildDay;
    memory_[img::UNIT_MONTH] = MonthCode(options_.buildMonth);
    memory_[img::UNIT_YEAR] = options_.buildYear;
    memory_[img::UNIT_HOUR] = options_.buildHour;
    memory_[img::UNIT_MINUTE] = options_.buildMinute;
    memory_[img::UNIT_VERSION] = options_.firmwareVersion;
    for (std::size_t c = 0; c < options_.bikes.size(); ++c) {
        SetBikeSupported(memory_, static_cast<std::uint8_t>(c), options_.bikes.test(c));
    }
}

void SimulatedUnit::advance(SimTime now) {
    now_ = std::max(now_, now);
    if (saveStart_ && now_ >= *saveStart_ + options_.saveDuration) {
        saveStart_.reset();
        ++programCount_;
    }
}

std::uint16_t SimulatedUnit::saveCountdown(SimTime now) {
    advance(now);
    if (!saveStart_) {
        return 0;
    }
    const auto total = options_.saveDuration.count();
    const auto left = (*saveStart_ + options_.saveDuration - now_).count();
    return static_cast<std::uint16_t>((SAVE_COUNT_START * left + total - 1) / total);
}

std::uint16_t SimulatedUnit::programCount(SimTime now) {
    advance(now);
    return programCount_;
}

MonitorFrame SimulatedUnit::monitorValues(SimTime now) {
    const std::uint16_t countdown = saveCountdown(now);
    MonitorFrame v = engine_.at(now_, memory_);
    v.ProgramCount = programCount_;
    v.UnitSaveCountdown = countdown;
    v.FirmwareVersion = options_.firmwareVersion;
    const UnitCounters& n = counters_;
    // The diagnostic values: requests, replies, dropped, corrupted, programs,
    // reads, monitor requests, seconds running.
    std::uint16_t MonitorFrame::*const tests[] = {
        &MonitorFrame::Test1, &MonitorFrame::Test2, &MonitorFrame::Test3, &MonitorFrame::Test4,
        &MonitorFrame::Test5, &MonitorFrame::Test6, &MonitorFrame::Test7, &MonitorFrame::Test8};
    const std::uint64_t counts[] = {
        n.requests, n.replies, n.dropped,  n.corrupted,
        n.programs, n.reads,   n.monitors, static_cast<std::uint64_t>(now_.count() / 1000)};
    for (std::size_t i = 0; i < std::size(tests); ++i) {
        v.*tests[i] = low16(counts[i]);
    }
    return v;
}

std::optional<Frame> SimulatedUnit::answer(FrameView request, SimTime now) {
    advance(now);
    const std::uint8_t code = request[0];
    if (!IsRequestCode(code) || !FrameCheckOk(request)) {
        return std::nullopt;
    }
    ++counters_.requests;
    if (code == CODE_MONITOR) {
        ++counters_.monitors;
        return EncodeMonitorFrame(monitorValues(now_));
    }
    const std::size_t b = BlockOfCode(code);
    if ((code & CODE_READ) != 0) {
        ++counters_.reads;
    } else {
        ++counters_.programs;
        if (b != 0) {
            memory_.setBlock(b, request.subspan<1, BLOCK_SIZE>());
        }
        if (b == LAST_BLOCK) {
            saveStart_ = now_;
            advance(now_); // a zero save duration completes at once
        }
    }
    return MakeFrame(static_cast<std::uint8_t>(code | REPLY_BIT), memory_.block(b));
}

UnitResponse SimulatedUnit::respond(FrameView request, SimTime now) {
    UnitResponse r;
    if (options_.silent) {
        return r;
    }
    std::optional<Frame> reply = answer(request, now);
    if (!reply) {
        return r;
    }
    r.answered = true;
    ++counters_.replies;
    if (faults_.chance(options_.dropProbability)) {
        r.dropped = true;
        ++counters_.dropped;
        return r;
    }
    if (faults_.chance(options_.corruptProbability)) {
        const std::size_t at = faults_.below(FRAME_SIZE);
        (*reply)[at] ^= static_cast<std::uint8_t>(1 + faults_.below(255));
        r.corrupted = true;
        ++counters_.corrupted;
    }
    for (unsigned i = 0; i < options_.strayBytes; ++i) {
        r.bytes.push_back(static_cast<std::uint8_t>(faults_.below(256)));
    }
    r.bytes.insert(r.bytes.end(), reply->begin(), reply->end());
    output_.push_back({now_ + options_.replyDelay, r.bytes});
    return r;
}

std::vector<std::uint8_t> SimulatedUnit::takeOutput(SimTime now) {
    std::vector<std::uint8_t> out;
    while (!output_.empty() && output_.front().due <= now) {
        out.insert(out.end(), output_.front().bytes.begin(), output_.front().bytes.end());
        output_.pop_front();
    }
    return out;
}

std::optional<SimTime> SimulatedUnit::nextOutputTime() const {
    if (output_.empty()) {
        return std::nullopt;
    }
    return output_.front().due;
}

} // namespace zentrova
