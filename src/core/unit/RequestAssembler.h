// Turns the byte stream a unit receives into 102-byte requests. A request may
// arrive in any number of pieces. The front of the stream is taken as a
// request only when its check byte is good and its code is one the unit
// knows (0x00..0x0B, 0x40..0x4B, 0x30); otherwise its first byte is dropped
// and the test repeats one byte further on. The tool writes each request in
// one go, so a pause of RESYNC_GAP between two bytes ends whatever was
// half-received: a damaged request never swallows the start of the next one.
#pragma once

#include "link/BlockFrame.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace zentrova {

// Codes of the requests a unit answers.
bool IsRequestCode(std::uint8_t code);

class RequestAssembler {
public:
    static constexpr std::chrono::milliseconds RESYNC_GAP{20};

    // Bytes that arrived at `now` (a clock that never runs backwards);
    // returns the requests they complete, in order.
    std::vector<Frame> feed(std::span<const std::uint8_t> bytes, std::chrono::milliseconds now);

    // Bytes held towards the next request.
    std::size_t pending() const { return buffer_.size(); }
    // Bytes thrown away so far while looking for a request.
    std::uint64_t discarded() const { return discarded_; }

private:
    std::vector<std::uint8_t> buffer_;
    std::chrono::milliseconds lastByte_{0};
    std::uint64_t discarded_ = 0;
};

} // namespace zentrova
