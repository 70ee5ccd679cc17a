#include "unit/MonitorEncoding.h"

#include <algorithm>

namespace zentrova {

Frame EncodeMonitorFrame(const MonitorFrame& fields) {
    std::array<std::uint8_t, BLOCK_SIZE> data{}; // frame byte k is data[k - 1]
    for (const MonitorField& f : MonitorFields()) {
        const std::uint16_t value = fields.*(f.member);
        data[f.offset - 1u] = static_cast<std::uint8_t>(value & 0xFFu);
        if (f.width == 2) {
            data[f.offset] = static_cast<std::uint8_t>(value >> 8);
        }
    }
    return MakeFrame(CODE_MONITOR_REPLY, data);
}

int MvToCount(int mv) {
    int count = std::clamp((mv * 1023 + 4999) / 5000, 0, 1023);
    while (count > 0 && static_cast<int>(AdcToMv(static_cast<std::uint32_t>(count))) > mv) {
        --count;
    }
    return count;
}

} // namespace zentrova
