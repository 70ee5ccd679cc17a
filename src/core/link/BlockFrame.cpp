#include "link/BlockFrame.h"

#include <algorithm>

namespace zentrova {

std::uint8_t FrameCheckByte(std::span<const std::uint8_t> first101) {
    std::uint8_t c = 0xFF;
    for (std::size_t i = 0; i < first101.size() && i < FRAME_SIZE - 1; ++i) {
        c ^= first101[i];
    }
    return c;
}

bool FrameCheckOk(FrameView frame) {
    std::uint8_t c = 0xFF;
    for (std::uint8_t b : frame) {
        c ^= b;
    }
    return c == 0;
}

Frame MakeFrame(std::uint8_t code, std::span<const std::uint8_t, BLOCK_SIZE> data) {
    Frame f{};
    f[0] = code;
    std::copy(data.begin(), data.end(), f.begin() + 1);
    f[FRAME_SIZE - 1] = FrameCheckByte(std::span<const std::uint8_t>(f.data(), FRAME_SIZE - 1));
    return f;
}

Frame BuildBlockRequest(std::uint8_t blockCode, TransferMode mode, const ParameterImage& image) {
    if (mode == TransferMode::Read) {
        static constexpr std::array<std::uint8_t, BLOCK_SIZE> zeros{};
        return MakeFrame(blockCode, zeros);
    }
    return MakeFrame(blockCode, image.block(BlockOfCode(blockCode)));
}

Frame BuildMonitorRequest() {
    static constexpr std::array<std::uint8_t, BLOCK_SIZE> zeros{};
    return MakeFrame(CODE_MONITOR, zeros);
}

bool AcceptBlockReply(FrameView reply, std::uint8_t blockCode, TransferMode mode) {
    return FrameCheckOk(reply) && reply[0] == (blockCode ^ REPLY_BIT) &&
           mode != TransferMode::Monitor;
}

bool AcceptMonitorReply(FrameView reply) {
    return reply[0] == CODE_MONITOR_REPLY && FrameCheckOk(reply);
}

bool FrameLink::SendBlockRequest(std::uint8_t blockCode, TransferMode mode,
                                 const ParameterImage& image) {
    TxFrame = BuildBlockRequest(blockCode, mode, image);
    return send();
}

bool FrameLink::SendMonitorRequest() {
    TxFrame = BuildMonitorRequest();
    return send();
}

bool FrameLink::send() {
    return port_ != nullptr && port_->isOpen() && port_->write(TxFrame.data(), TxFrame.size());
}

bool FrameLink::PollReply(ReplySink& sink) {
    if (port_ == nullptr || !port_->isOpen()) {
        return false;
    }
    const auto queued = port_->queuedBytes();
    if (!queued) {
        return false;
    }
    RxCount = static_cast<std::uint32_t>(*queued);
    if (*queued < FRAME_SIZE) {
        return false;
    }
    const std::size_t want = std::min(*queued, RX_BUFFER_SIZE);
    RxCount = static_cast<std::uint32_t>(port_->read(RxBuffer.data(), want));
    if (RxCount < FRAME_SIZE) {
        return false;
    }
    const FrameView frame(RxBuffer.data(), FRAME_SIZE);
    if (frame[0] == CODE_MONITOR_REPLY) {
        sink.DecodeMonitorFrame(frame);
    } else {
        sink.HandleBlockReply(frame);
    }
    return true;
}

} // namespace zentrova
