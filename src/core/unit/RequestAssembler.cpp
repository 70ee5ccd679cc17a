#include "unit/RequestAssembler.h"

namespace zentrova {

bool IsRequestCode(std::uint8_t code) {
    const std::size_t b = BlockOfCode(code);
    const bool blockCode = (code & ~0x3Fu) == CODE_PROGRAM || (code & ~0x3Fu) == CODE_READ;
    return code == CODE_MONITOR || (blockCode && b < BLOCK_COUNT);
}

std::vector<Frame> RequestAssembler::feed(std::span<const std::uint8_t> bytes,
                                          std::chrono::milliseconds now) {
    std::vector<Frame> requests;
    if (bytes.empty()) {
        return requests;
    }
    if (!buffer_.empty() && now - lastByte_ > RESYNC_GAP) {
        discarded_ += buffer_.size();
        buffer_.clear();
    }
    lastByte_ = now;
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());

    std::size_t start = 0;
    while (buffer_.size() - start >= FRAME_SIZE) {
        const FrameView front(buffer_.data() + start, FRAME_SIZE);
        if (IsRequestCode(front[0]) && FrameCheckOk(front)) {
            Frame f;
            std::copy(front.begin(), front.end(), f.begin());
            requests.push_back(f);
            start += FRAME_SIZE;
        } else {
            ++start;
            ++discarded_;
        }
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
    return requests;
}

} // namespace zentrova
