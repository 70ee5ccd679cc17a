// An in-memory port for link tests: the test queues what the unit "sent"
// and inspects what the tool wrote.
#pragma once

#include "link/SerialPort.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

namespace zentrova::testing {

class FakeSerialPort : public SerialPort {
public:
    bool open = true;
    bool failQuery = false;
    std::deque<std::uint8_t> input;
    std::vector<std::vector<std::uint8_t>> writes;
    std::size_t lastReadRequest = 0;

    bool isOpen() const override { return open; }
    std::optional<std::size_t> queuedBytes() override {
        if (failQuery) {
            return std::nullopt;
        }
        return input.size();
    }
    std::size_t read(std::uint8_t* dst, std::size_t n) override {
        lastReadRequest = n;
        const std::size_t k = std::min(n, input.size());
        std::copy_n(input.begin(), k, dst);
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(k));
        return k;
    }
    bool write(const std::uint8_t* src, std::size_t n) override {
        if (!open) {
            return false;
        }
        writes.emplace_back(src, src + n);
        return true;
    }
    template <typename Bytes> void queue(const Bytes& bytes) {
        input.insert(input.end(), std::begin(bytes), std::end(bytes));
    }
};

} // namespace zentrova::testing
