// zentrova-sim over a real pseudo-terminal, driven as the tool drives a unit.
#include "SimProcess.h"
#include "files/ParameterFile.h"
#include "link/BlockFrame.h"
#include "unit/SimulatedUnit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace zentrova;
using namespace zentrova::e2e;

namespace {

using Data = std::array<std::uint8_t, BLOCK_SIZE>;

std::vector<std::uint8_t> request(std::uint8_t code, const Data& data = {}) {
    const Frame f = MakeFrame(code, data);
    return {f.begin(), f.end()};
}

Data pattern(std::uint8_t seed) {
    Data d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        d[i] = static_cast<std::uint8_t>(seed + 3 * i);
    }
    return d;
}

bool checkOk(const std::vector<std::uint8_t>& reply) {
    return reply.size() == FRAME_SIZE && FrameCheckOk(FrameView(reply.data(), FRAME_SIZE));
}

std::uint16_t word(const std::vector<std::uint8_t>& f, std::size_t offset) {
    return static_cast<std::uint16_t>(f[offset] | (f[offset + 1] << 8));
}

// A started simulator and an open line to it.
struct Rig {
    explicit Rig(std::vector<std::string> options = {}) : sim(std::move(options)) {}
    SimProcess sim;
    std::optional<SerialLine> line;

    ::testing::AssertionResult ready() {
        if (sim.device().empty()) {
            return ::testing::AssertionFailure() << "no device line from the simulator";
        }
        line.emplace(sim.device());
        if (!line->isOpen()) {
            return ::testing::AssertionFailure() << "cannot open " << sim.device();
        }
        return ::testing::AssertionSuccess();
    }
    std::vector<std::uint8_t> ask(std::uint8_t code, const Data& data = {}) {
        EXPECT_TRUE(line->send(request(code, data)));
        return line->receive(FRAME_SIZE);
    }
};

} // namespace

TEST(SimOverPty, PrintsAPtyDeviceAndStopsCleanlyOnSigterm) {
    Rig rig;
    ASSERT_TRUE(rig.ready());
    EXPECT_EQ(rig.sim.device().rfind("/dev/pts/", 0), 0u) << rig.sim.device();
    EXPECT_EQ(rig.sim.process().stop(SIGTERM), 0);
}

TEST(SimOverPty, AnswersReadAndMonitorRequests) {
    Rig rig;
    ASSERT_TRUE(rig.ready());

    const auto identity = rig.ask(0x40);
    ASSERT_TRUE(checkOk(identity));
    EXPECT_EQ(identity[0], 0xC0);
    EXPECT_EQ(identity[1 + 10], 47);   // UNIT_VERSION
    EXPECT_EQ(identity[1 + 11], 0xFF); // bikes 0..7
    EXPECT_EQ(identity[1 + 50], 0x1F); // bikes 40..44

    const auto monitor = rig.ask(0x30);
    ASSERT_TRUE(checkOk(monitor));
    EXPECT_EQ(monitor[0], 0xB0);
    EXPECT_EQ(monitor[100], 47);
    EXPECT_GT(word(monitor, 1), 0);          // the engine turns
    EXPECT_LE(monitor[51], 100);             // throttle percent
    EXPECT_NEAR(word(monitor, 5), 1013, 10); // ambient pressure, 0.1 kPa

    // Nothing arrives unasked.
    EXPECT_TRUE(rig.line->receive(1, 200ms).empty());
}

TEST(SimOverPty, ProgramsEchoesReadsBackAndSaves) {
    Rig rig({"--save-ms", "60000"});
    ASSERT_TRUE(rig.ready());
    const auto echo = rig.ask(0x03, pattern(9));
    ASSERT_TRUE(checkOk(echo));
    EXPECT_EQ(echo[0], 0x83);
    EXPECT_TRUE(std::equal(echo.begin() + 1, echo.end() - 1, pattern(9).begin()));

    const auto read = rig.ask(0x43);
    ASSERT_TRUE(checkOk(read));
    EXPECT_EQ(read[0], 0xC3);
    EXPECT_TRUE(std::equal(read.begin() + 1, read.end() - 1, pattern(9).begin()));

    EXPECT_EQ(word(rig.ask(0x30), 95), 0);
    ASSERT_TRUE(checkOk(rig.ask(0x0B, pattern(1))));
    const auto saving = rig.ask(0x30);
    ASSERT_TRUE(checkOk(saving));
    EXPECT_GT(word(saving, 95), 0);
    EXPECT_LE(word(saving, 95), 1200);
}

TEST(SimOverPty, JoinsASplitRequestAndSurvivesAReopen) {
    Rig rig;
    ASSERT_TRUE(rig.ready());
    const auto req = request(0x45);
    ASSERT_TRUE(rig.line->send({req.begin(), req.begin() + 40}));
    EXPECT_TRUE(rig.line->receive(1, 5ms).empty()); // no reply to half a request
    ASSERT_TRUE(rig.line->send({req.begin() + 40, req.end()}));
    const auto reply = rig.line->receive(FRAME_SIZE);
    ASSERT_TRUE(checkOk(reply));
    EXPECT_EQ(reply[0], 0xC5);

    rig.line.reset();                   // the tool closes the port ...
    rig.line.emplace(rig.sim.device()); // ... and opens it again
    ASSERT_TRUE(rig.line->isOpen());
    const auto again = rig.ask(0x30);
    ASSERT_TRUE(checkOk(again));
    EXPECT_EQ(again[0], 0xB0);
}

TEST(SimOverPty, IgnoresARequestWithABadCheckByte) {
    Rig rig;
    ASSERT_TRUE(rig.ready());
    auto bad = request(0x41);
    bad.back() ^= 0x01;
    ASSERT_TRUE(rig.line->send(bad));
    EXPECT_TRUE(rig.line->receive(1, 300ms).empty());
    // The next good request, after the pause a resend comes with, is answered.
    const auto reply = rig.ask(0x41);
    ASSERT_TRUE(checkOk(reply));
    EXPECT_EQ(reply[0], 0xC1);
}

TEST(SimOverPty, OptionsReachTheLine) {
    Rig rig({"--version", "46", "--bikes", "11,41", "--line-rate", "--stray", "2"});
    ASSERT_TRUE(rig.ready());
    ASSERT_TRUE(rig.line->send(request(0x00, pattern(4))));
    const auto bytes = rig.line->receive(2 + FRAME_SIZE);
    ASSERT_EQ(bytes.size(), 2 + FRAME_SIZE);
    const std::vector<std::uint8_t> identity(bytes.begin() + 2, bytes.end());
    ASSERT_TRUE(checkOk(identity));
    EXPECT_EQ(identity[0], 0x80);
    EXPECT_EQ(identity[1 + 10], 46);
    EXPECT_EQ(identity[1 + 11], 0x00);
    EXPECT_EQ(identity[1 + 12], 0x08); // bike 11
    EXPECT_EQ(identity[1 + 50], 0x02); // bike 41
}

TEST(SimOverPty, SilentUnitSaysNothing) {
    Rig rig({"--silent"});
    ASSERT_TRUE(rig.ready());
    ASSERT_TRUE(rig.line->send(request(0x30)));
    EXPECT_TRUE(rig.line->receive(1, 300ms).empty());
}

TEST(SimOverPty, LinkPointsToTheDeviceWhileRunning) {
    const std::string link = ::testing::TempDir() + "zentrova-sim-link-" + std::to_string(getpid());
    Rig rig({"--link", link});
    ASSERT_TRUE(rig.ready());
    char target[256] = {};
    ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), rig.sim.device());
    SerialLine viaLink(link);
    ASSERT_TRUE(viaLink.isOpen());
    ASSERT_TRUE(viaLink.send(request(0x30)));
    EXPECT_TRUE(checkOk(viaLink.receive(FRAME_SIZE)));
    EXPECT_EQ(rig.sim.process().stop(SIGINT), 0);
    struct stat st {};
    EXPECT_NE(lstat(link.c_str(), &st), 0);
}

TEST(SimOverPty, ServesTheParameterFileItWasGiven) {
    ParameterImage image = DefaultUnitMemory();
    image[img::LIMITER_IGN] = 99;
    image[img::mapCell(img::JET_14A, 2, 3)] = 77;
    const std::string path =
        ::testing::TempDir() + "zentrova-sim-memory-" + std::to_string(getpid()) + ".ign";
    std::ofstream(path, std::ios::binary) << WriteParameterFile(image, ParameterFileExtras{});

    Rig rig({"--memory", path});
    ASSERT_TRUE(rig.ready());
    const auto block1 = rig.ask(0x41);
    ASSERT_TRUE(checkOk(block1));
    EXPECT_EQ(block1[1 + img::LIMITER_IGN - 100], 99);
    const std::size_t cell = img::mapCell(img::JET_14A, 2, 3);
    const auto block = rig.ask(static_cast<std::uint8_t>(0x40 + cell / 100));
    ASSERT_TRUE(checkOk(block));
    EXPECT_EQ(block[1 + cell % 100], 77);
    std::remove(path.c_str());
}

TEST(SimCommand, HelpAndBadOptions) {
    ChildProcess help({SimPath(), "--help"});
    EXPECT_NE(help.readAll().find("--line-rate"), std::string::npos);
    EXPECT_EQ(help.wait(), 0);
    ChildProcess bad({SimPath(), "--drop", "2"});
    EXPECT_EQ(bad.wait(), 2);
    ChildProcess missing({SimPath(), "--image", "/nonexistent/unit.bin"});
    EXPECT_EQ(missing.wait(), 2);
    const std::string notIgn =
        ::testing::TempDir() + "zentrova-sim-bad-" + std::to_string(getpid());
    std::ofstream(notIgn) << "BIKE 3\r\n";
    ChildProcess wrongFile({SimPath(), "--memory", notIgn});
    EXPECT_EQ(wrongFile.wait(), 2);
    std::remove(notIgn.c_str());
}
