// Keeps every frame that PollReply hands over, by kind.
#pragma once

#include "link/BlockFrame.h"

#include <algorithm>
#include <vector>

namespace zentrova::testing {

struct RecordingSink : ReplySink {
    std::vector<Frame> blocks, monitors;
    void HandleBlockReply(FrameView f) override { blocks.push_back(copy(f)); }
    void DecodeMonitorFrame(FrameView f) override { monitors.push_back(copy(f)); }
    static Frame copy(FrameView f) {
        Frame out{};
        std::copy(f.begin(), f.end(), out.begin());
        return out;
    }
};

} // namespace zentrova::testing
