// A control unit on a FakeSerialPort for transfer tests. It keeps its own
// twelve blocks, answers read and verify requests from them, stores and
// echoes programmed blocks, answers program block 0 with its identity block
// and monitor requests with a monitor frame carrying its saving countdown.
// The test can keep it silent, drop, corrupt or alter chosen replies, and
// delay replies by whole ticks (call Advance() once before each tick).
#pragma once

#include "FakeSerialPort.h"
#include "link/BlockFrame.h"

#include <deque>
#include <map>

namespace zentrova::testing {

class ScriptedUnit : public FakeSerialPort {
public:
    ParameterImage memory; // the unit's twelve blocks; block 0 is its identity
    bool silent = false;   // answers nothing
    int replyDelay = 0;    // ticks between a request and its reply in the queue
    std::uint16_t saveCountdown = 0;
    // Per request code: how many of the next replies to drop, to send with a
    // broken check byte, or to send with one data byte changed.
    std::map<std::uint8_t, int> drop, corrupt, alter;

    ScriptedUnit() { memory[img::UNIT_VERSION] = SUPPORTED_VERSION; }

    bool write(const std::uint8_t* src, std::size_t n) override {
        if (!FakeSerialPort::write(src, n)) {
            return false;
        }
        if (n == FRAME_SIZE && !silent) {
            answer(writes.back());
        }
        return true;
    }

    // One tick has passed: replies that are due enter the input queue.
    void Advance() {
        ++now_;
        while (!pending_.empty() && pending_.front().first <= now_) {
            queue(pending_.front().second);
            pending_.pop_front();
        }
    }

    // The codes of the block requests written so far (monitor requests left out).
    std::vector<std::uint8_t> blockRequests() const {
        std::vector<std::uint8_t> codes;
        for (const auto& w : writes) {
            if (w[0] != CODE_MONITOR) {
                codes.push_back(w[0]);
            }
        }
        return codes;
    }

private:
    static bool take(std::map<std::uint8_t, int>& counts, std::uint8_t code) {
        auto it = counts.find(code);
        if (it == counts.end() || it->second <= 0) {
            return false;
        }
        --it->second;
        return true;
    }

    void answer(const std::vector<std::uint8_t>& request) {
        const std::uint8_t code = request[0];
        const std::size_t b = BlockOfCode(code);
        Frame reply{};
        if (code == CODE_MONITOR) {
            std::array<std::uint8_t, BLOCK_SIZE> data{};
            data[94] = static_cast<std::uint8_t>(saveCountdown & 0xFF); // frame bytes 95, 96
            data[95] = static_cast<std::uint8_t>(saveCountdown >> 8);
            reply = MakeFrame(CODE_MONITOR_REPLY, data);
        } else if (b >= BLOCK_COUNT) {
            return;
        } else if ((code & 0xC0) == CODE_PROGRAM && b > 0) {
            std::copy(request.begin() + 1, request.begin() + 1 + BLOCK_SIZE,
                      memory.bytes.begin() + b * BLOCK_SIZE);
            reply = MakeFrame(code | REPLY_BIT, memory.block(b));
        } else {
            reply = MakeFrame(code | REPLY_BIT, memory.block(b));
        }
        if (take(drop, code)) {
            return;
        }
        if (take(alter, code)) {
            reply[1 + 50] ^= 0x01;
            reply[FRAME_SIZE - 1] ^= 0x01; // still a well-formed frame
        }
        if (take(corrupt, code)) {
            reply[FRAME_SIZE - 1] ^= 0x5A;
        }
        if (replyDelay == 0) {
            queue(reply);
        } else {
            pending_.emplace_back(now_ + replyDelay, reply);
        }
    }

    int now_ = 0;
    std::deque<std::pair<int, Frame>> pending_;
};

} // namespace zentrova::testing
