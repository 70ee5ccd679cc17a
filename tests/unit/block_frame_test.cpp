#include "FakeSerialPort.h"
#include "RecordingSink.h"
#include "link/BlockFrame.h"

#include <gtest/gtest.h>

using namespace zentrova;
using zentrova::testing::FakeSerialPort;
using zentrova::testing::RecordingSink;

namespace {

Frame reply(std::uint8_t code, std::uint8_t fill = 0) {
    std::array<std::uint8_t, BLOCK_SIZE> data{};
    data.fill(fill);
    return MakeFrame(code, data);
}

bool allZeroData(const Frame& f) {
    return std::all_of(f.begin() + 1, f.begin() + 101, [](std::uint8_t b) { return b == 0; });
}

} // namespace

TEST(BlockFrame, RequestsOfZeroBlocksHaveKnownCheckBytes) {
    ParameterImage image; // all zero
    struct Case {
        std::uint8_t code;
        TransferMode mode;
        std::uint8_t check;
    } cases[] = {
        {0x03, TransferMode::Program, 0xFC},
        {0x40, TransferMode::Read, 0xBF},
        {0x4B, TransferMode::Read, 0xB4},
    };
    for (const auto& c : cases) {
        const Frame f = BuildBlockRequest(c.code, c.mode, image);
        EXPECT_EQ(f[0], c.code);
        EXPECT_TRUE(allZeroData(f));
        EXPECT_EQ(f[101], c.check) << int(c.code);
        EXPECT_TRUE(FrameCheckOk(f));
    }
    const Frame m = BuildMonitorRequest();
    EXPECT_EQ(m[0], 0x30);
    EXPECT_TRUE(allZeroData(m));
    EXPECT_EQ(m[101], 0xCF);
}

TEST(BlockFrame, VerifyRequestCarriesImageBlockButReadRequestDoesNot) {
    ParameterImage image;
    std::uint8_t expectedCheck = 0xBE;
    for (std::size_t k = 100; k < 200; ++k) {
        image[k] = static_cast<std::uint8_t>(k * 7 + 3);
        expectedCheck ^= image[k];
    }
    const Frame verify = BuildBlockRequest(0x41, TransferMode::Verify, image);
    EXPECT_EQ(verify[0], 0x41);
    EXPECT_TRUE(std::equal(verify.begin() + 1, verify.begin() + 101, image.bytes.begin() + 100));
    EXPECT_EQ(verify[101], expectedCheck);

    const Frame read = BuildBlockRequest(0x41, TransferMode::Read, image);
    EXPECT_TRUE(allZeroData(read));
    EXPECT_EQ(read[101], 0xBE);
}

TEST(BlockFrame, EveryOneBitCorruptionFailsTheCheck) {
    Frame f = reply(0xC5, 0x5A);
    ASSERT_TRUE(FrameCheckOk(f));
    for (std::size_t i = 0; i < FRAME_SIZE; ++i) {
        Frame g = f;
        g[i] ^= 0x10;
        EXPECT_FALSE(FrameCheckOk(g)) << i;
    }
}

TEST(BlockFrame, AcceptanceOfBlockReplies) {
    const Frame good = reply(0x84);
    Frame badCheck = good;
    badCheck[101] ^= 1;
    struct Case {
        const Frame& f;
        std::uint8_t code;
        TransferMode mode;
        bool accepted;
    } cases[] = {
        {good, 0x04, TransferMode::Program, true},
        {badCheck, 0x04, TransferMode::Program, false},
        {reply(0x85), 0x04, TransferMode::Program, false}, // late answer to another block
        {good, 0x04, TransferMode::Monitor, false},        // no transfer running
        {reply(0xC4), 0x44, TransferMode::Verify, true},
        {reply(0xC4), 0x44, TransferMode::Read, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AcceptBlockReply(c.f, c.code, c.mode), c.accepted)
            << int(c.f[0]) << " vs " << int(c.code) << " mode " << int(c.mode);
    }
    EXPECT_TRUE(AcceptMonitorReply(reply(0xB0)));
    Frame badMonitor = reply(0xB0);
    badMonitor[50] ^= 0xFF;
    EXPECT_FALSE(AcceptMonitorReply(badMonitor));
    EXPECT_FALSE(AcceptMonitorReply(reply(0xB1)));
}

TEST(PollReply, WaitsForAWholeFrameThenReadsEverythingQueued) {
    FakeSerialPort port;
    FrameLink link(&port);
    RecordingSink sink;
    const Frame f = reply(0xC0, 1);

    port.queue(std::vector<std::uint8_t>(f.begin(), f.begin() + 101));
    EXPECT_FALSE(link.PollReply(sink));
    EXPECT_EQ(port.input.size(), 101u); // nothing taken
    EXPECT_TRUE(sink.blocks.empty());

    port.input.push_back(f[101]);
    EXPECT_TRUE(link.PollReply(sink));
    ASSERT_EQ(sink.blocks.size(), 1u);
    EXPECT_EQ(sink.blocks[0], f);
    EXPECT_TRUE(port.input.empty());
}

TEST(PollReply, TwoRepliesInOneReadOnlyTheFirstIsHandled) {
    FakeSerialPort port;
    FrameLink link(&port);
    RecordingSink sink;
    port.queue(reply(0xC1, 1));
    port.queue(reply(0xC2, 2));
    EXPECT_TRUE(link.PollReply(sink));
    EXPECT_EQ(link.RxCount, 204u);
    EXPECT_TRUE(port.input.empty());
    ASSERT_EQ(sink.blocks.size(), 1u);
    EXPECT_EQ(sink.blocks[0][0], 0xC1);
    EXPECT_FALSE(link.PollReply(sink)); // the second reply is gone
}

TEST(PollReply, ReadsAtMost15000BytesAndLeavesTheRest) {
    FakeSerialPort port;
    FrameLink link(&port);
    RecordingSink sink;
    port.queue(std::vector<std::uint8_t>(15000 + 250, 0x11));
    EXPECT_TRUE(link.PollReply(sink));
    EXPECT_EQ(port.lastReadRequest, 15000u);
    EXPECT_EQ(link.RxCount, 15000u);
    EXPECT_EQ(port.input.size(), 250u);
}

TEST(PollReply, DispatchesByFirstByte) {
    FakeSerialPort port;
    FrameLink link(&port);
    RecordingSink sink;
    port.queue(reply(0xB0, 9));
    link.PollReply(sink);
    port.queue(reply(0x80, 9));
    link.PollReply(sink);
    EXPECT_EQ(sink.monitors.size(), 1u);
    EXPECT_EQ(sink.blocks.size(), 1u);
}

TEST(PollReply, ClosedPortOrFailedQueryReadsNothing) {
    FakeSerialPort port;
    FrameLink link(&port);
    RecordingSink sink;
    port.queue(reply(0xC0));
    port.failQuery = true;
    EXPECT_FALSE(link.PollReply(sink));
    port.failQuery = false;
    port.open = false;
    EXPECT_FALSE(link.PollReply(sink));
    EXPECT_FALSE(link.SendMonitorRequest());
    EXPECT_EQ(port.input.size(), 102u);
    EXPECT_TRUE(sink.blocks.empty());
}

TEST(SendRequest, WritesOneFrameInOneCall) {
    FakeSerialPort port;
    FrameLink link(&port);
    ParameterImage image;
    image[305] = 0x42;
    ASSERT_TRUE(link.SendBlockRequest(0x03, TransferMode::Program, image));
    ASSERT_EQ(port.writes.size(), 1u);
    ASSERT_EQ(port.writes[0].size(), FRAME_SIZE);
    EXPECT_EQ(port.writes[0][0], 0x03);
    EXPECT_EQ(port.writes[0][6], 0x42);
    EXPECT_TRUE(std::equal(port.writes[0].begin(), port.writes[0].end(), link.TxFrame.begin()));
}
