// 102-byte frames: code byte, 100 data bytes, check byte. The check byte
// makes 0xFF XOR all 102 bytes equal 0. Requests: 0x00+b program block b,
// 0x40+b read or verify block b, 0x30 monitor. Replies set bit 7.
#pragma once

#include "image/ParameterImage.h"
#include "link/SerialPort.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace zentrova {

inline constexpr std::size_t FRAME_SIZE = 102;
inline constexpr std::size_t RX_BUFFER_SIZE = 15000;
inline constexpr std::uint8_t CODE_PROGRAM = 0x00;
inline constexpr std::uint8_t CODE_READ = 0x40;
inline constexpr std::uint8_t CODE_MONITOR = 0x30;
inline constexpr std::uint8_t CODE_MONITOR_REPLY = 0xB0;
inline constexpr std::uint8_t REPLY_BIT = 0x80;

enum class TransferMode : std::uint8_t { Monitor = 0, Program = 1, Verify = 2, Read = 3 };

using Frame = std::array<std::uint8_t, FRAME_SIZE>;
using FrameView = std::span<const std::uint8_t, FRAME_SIZE>;

inline constexpr std::size_t BlockOfCode(std::uint8_t code) {
    return code & 0x3Fu;
}

// The check byte for bytes 0..100 of a frame.
std::uint8_t FrameCheckByte(std::span<const std::uint8_t> first101);
// 0xFF XOR bytes 0..101 is 0.
bool FrameCheckOk(FrameView frame);
// A frame with the given code and data, check byte filled in.
Frame MakeFrame(std::uint8_t code, std::span<const std::uint8_t, BLOCK_SIZE> data);
// The request for the current block: zeros in read mode, else the image block
// selected by the code's low 6 bits.
Frame BuildBlockRequest(std::uint8_t blockCode, TransferMode mode, const ParameterImage& image);
Frame BuildMonitorRequest();

// A block reply is accepted when its check byte is good, its code is the
// request's code with bit 7 set, and a transfer is running.
bool AcceptBlockReply(FrameView reply, std::uint8_t blockCode, TransferMode mode);
// A monitor reply is accepted in every mode when its code and check byte are good.
bool AcceptMonitorReply(FrameView reply);

// Whoever gets the frames that PollReply finds.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    virtual void HandleBlockReply(FrameView reply) = 0;
    virtual void DecodeMonitorFrame(FrameView reply) = 0;
};

// The frame layer on one port: the last request built and the last read.
class FrameLink {
public:
    explicit FrameLink(SerialPort* port = nullptr) : RxBuffer(RX_BUFFER_SIZE), port_(port) {}
    void setPort(SerialPort* port) { port_ = port; }
    SerialPort* port() const { return port_; }

    // Build TxFrame and write it; false when the port is absent or the write failed.
    bool SendBlockRequest(std::uint8_t blockCode, TransferMode mode, const ParameterImage& image);
    bool SendMonitorRequest();

    // Once per tick: with at least 102 bytes queued, read them all (at most
    // 15000) and hand the first 102 to the sink by their first byte. Whatever
    // followed in the same read is dropped. Returns true when a frame was read.
    bool PollReply(ReplySink& sink);

    Frame TxFrame{};
    std::vector<std::uint8_t> RxBuffer;
    std::uint32_t RxCount = 0;

private:
    bool send();
    SerialPort* port_;
};

} // namespace zentrova
