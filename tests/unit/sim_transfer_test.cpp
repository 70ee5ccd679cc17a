// The transfer engine, tick by tick, against the simulated unit: the unit
// answers as the tool needs it to, and its faults end as the tool expects.
#include "FakeSerialPort.h"
#include "image/Validate.h"
#include "link/TransferEngine.h"
#include "unit/RequestAssembler.h"
#include "unit/SimulatedUnit.h"

#include <gtest/gtest.h>

using namespace zentrova;
using namespace std::chrono_literals;

namespace {

constexpr SimTime TICK = 55ms;

// The line between the engine's port and the unit, in simulated time.
class SimPort : public zentrova::testing::FakeSerialPort {
public:
    explicit SimPort(UnitOptions options) : unit(std::move(options)) {}
    SimulatedUnit unit;
    RequestAssembler assembler;
    SimTime now{0};

    bool write(const std::uint8_t* src, std::size_t n) override {
        FakeSerialPort::write(src, n);
        for (const Frame& request : assembler.feed({src, n}, now)) {
            unit.respond(request, now);
        }
        return true;
    }
    void advance() {
        now += TICK;
        queue(unit.takeOutput(now));
    }
};

struct Listener : TransferListener {
    std::vector<std::string> messages;
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

class SimTransfer : public ::testing::Test {
protected:
    void start(UnitOptions options = {}) {
        port.emplace(std::move(options));
        link.setPort(&*port);
        messages.LoadMessages(0);
        engine.emplace(state, link, messages, &listener);
        engine->setMonitorHandler([this](FrameView f) {
            engine->UnitSaveCountdown = static_cast<std::uint16_t>(f[95] | f[96] << 8);
            countdowns.push_back(engine->UnitSaveCountdown);
        });
    }
    void tick() {
        port->advance();
        engine->Tick();
    }
    // Ticks until back in monitor mode (or the limit).
    void runTransfer(int limit = 1000) {
        tick();
        for (int i = 0; i < limit && engine->TransferMode != TransferMode::Monitor; ++i) {
            tick();
        }
        ASSERT_EQ(engine->TransferMode, TransferMode::Monitor);
    }
    // Parameters that differ from the unit's default memory and that
    // validation keeps.
    static ParameterImage otherParameters() {
        ParameterImage image = DefaultUnitMemory();
        image[img::mapCell(img::IGN, 5, 5)] = 21;
        image[img::LIMITER_IGN] = 130;
        ValidateImage(image);
        return image;
    }
    bool sameParameters(const ParameterImage& a, const ParameterImage& b) const {
        return std::equal(a.bytes.begin() + BLOCK_SIZE, a.bytes.end(),
                          b.bytes.begin() + BLOCK_SIZE);
    }

    AppState state;
    std::optional<SimPort> port;
    FrameLink link;
    MessageTable messages;
    Listener listener;
    std::optional<TransferEngine> engine;
    std::vector<std::uint16_t> countdowns;
};

} // namespace

TEST_F(SimTransfer, ReadBringsTheUnitsSetAndIdentity) {
    start();
    state.image = otherParameters();
    engine->MenuReadClick();
    runTransfer();
    EXPECT_EQ(engine->status().text, "Verify: OK");
    EXPECT_TRUE(sameParameters(state.image, port->unit.memory()));
    EXPECT_EQ(engine->UnitVersionText, "Sim01");
    EXPECT_EQ(engine->UnitDateText, "12. 3.2024");
    EXPECT_EQ(engine->UnitTimeText, "09:30");
    EXPECT_TRUE(listener.messages.empty());
}

TEST_F(SimTransfer, ProgramStoresVerifiesAndShowsTheSave) {
    UnitOptions options;
    options.programCount = 7;
    start(options);
    state.image = otherParameters();
    engine->MenuProgramClick();
    runTransfer();
    EXPECT_TRUE(sameParameters(port->unit.memory(), state.image));
    EXPECT_TRUE(engine->ProgramDone);
    EXPECT_EQ(port->unit.programCount(port->now), 7); // still storing

    // The monitor frames report the save counting down, then its end.
    bool sawSaving = false;
    for (int i = 0; i < 200 && (countdowns.empty() || countdowns.back() != 0); ++i) {
        tick();
        sawSaving = sawSaving || engine->status().text == "Saving:";
    }
    EXPECT_TRUE(sawSaving);
    ASSERT_GE(countdowns.size(), 3u);
    EXPECT_TRUE(std::is_sorted(countdowns.rbegin(), countdowns.rend()));
    EXPECT_LT(countdowns.front(), 1200);
    EXPECT_EQ(countdowns.back(), 0);
    EXPECT_EQ(engine->status().text, "Program device: OK");
    EXPECT_EQ(port->unit.programCount(port->now), 8);
}

TEST_F(SimTransfer, LostRepliesAreMadeUpByResends) {
    UnitOptions options;
    options.dropProbability = 0.25;
    options.seed = 11;
    start(options);
    state.image = otherParameters();
    engine->MenuReadClick();
    runTransfer();
    EXPECT_EQ(engine->status().text, "Verify: OK");
    EXPECT_TRUE(sameParameters(state.image, port->unit.memory()));
    EXPECT_GT(port->unit.counters().dropped, 0u);
}

TEST_F(SimTransfer, UnitFaultsEndAsTheToolExpects) {
    struct Case {
        const char* name;
        std::function<void(UnitOptions&)> fault;
        bool program;
        std::string status;  // the status label at the end
        std::string message; // the modal message, if any
    };
    const Case cases[] = {
        {"silent", [](UnitOptions& o) { o.silent = true; }, false, "Read error!", ""},
        {"every reply damaged", [](UnitOptions& o) { o.corruptProbability = 1; }, false,
         "Read error!", ""},
        {"stray bytes ahead of every reply", [](UnitOptions& o) { o.strayBytes = 3; }, false,
         "Read error!", ""},
        {"other program version", [](UnitOptions& o) { o.firmwareVersion = 46; }, false,
         "Read:", "Unmatched version of PC and Ignition programs!  PC-47, IGN-46"},
        {"bike not supported", [](UnitOptions& o) { o.bikes.reset(11); }, true,
         "Program device:", "This Ignition is not for required motorbike!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UnitOptions options;
        c.fault(options);
        start(options);
        state.image = otherParameters(); // bike 11
        const ParameterImage unitBefore = port->unit.memory();
        c.program ? engine->MenuProgramClick() : engine->MenuReadClick();
        runTransfer();
        EXPECT_EQ(engine->status().text, c.status);
        EXPECT_EQ(listener.messages.empty() ? "" : listener.messages.back(), c.message);
        EXPECT_EQ(port->unit.memory(), unitBefore); // nothing was programmed
        listener.messages.clear();
    }
}
