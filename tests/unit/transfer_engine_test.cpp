// The transfer engine driven tick by tick against a scripted unit.
#include "ScriptedUnit.h"
#include "image/Validate.h"
#include "link/Identity.h"
#include "link/TransferEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace zentrova;
using zentrova::testing::ScriptedUnit;
using Mode = TransferMode;

namespace {

struct RecordingListener : TransferListener {
    std::vector<std::string> calls;
    std::vector<std::string> messages;
    TransferStatus last;
    int statusChanges = 0;
    std::function<void()> whileMessageShows; // a modal box delivers ticks meanwhile
    void ShowMessage(const std::string& text) override {
        calls.push_back("message");
        messages.push_back(text);
        if (whileMessageShows) {
            whileMessageShows();
        }
    }
    void CommitActivePage() override { calls.push_back("commit"); }
    void ShowActivePage() override { calls.push_back("show"); }
    void ClearFileName() override { calls.push_back("clearFile"); }
    void StatusChanged(const TransferStatus& s) override {
        last = s;
        ++statusChanges;
    }
};

// Parameter blocks 1..11 that validation leaves as they are.
ParameterImage validParameters(unsigned seed) {
    AppState s;
    for (std::size_t k = BLOCK_SIZE; k < IMAGE_SIZE; ++k) {
        s.image[k] = static_cast<std::uint8_t>(k * seed + seed * 7);
    }
    ValidateImage(s);
    return s.image;
}

void writeIdentity(ParameterImage& image, std::uint8_t version) {
    const std::uint8_t name[] = {'Z', 'E', 'N'};
    std::copy(std::begin(name), std::end(name), image.bytes.begin() + img::UNIT_NAME);
    image[img::UNIT_NUMBER] = 12;
    image[img::UNIT_DAY] = 7;
    image[img::UNIT_MONTH] = MonthCode(3);
    image[img::UNIT_YEAR] = 6;
    image[img::UNIT_HOUR] = 14;
    image[img::UNIT_MINUTE] = 5;
    image[img::UNIT_VERSION] = version;
    // Every bike supported: both parts of the bitmap set.
    std::fill_n(image.bytes.begin() + img::UNIT_BIKES_1, img::UNIT_BIKES_1_LEN, 0xFF);
    std::fill_n(image.bytes.begin() + img::UNIT_BIKES_2, img::UNIT_BIKES_2_LEN, 0xFF);
}

bool sameParameters(const ParameterImage& a, const ParameterImage& b) {
    return std::equal(a.bytes.begin() + BLOCK_SIZE, a.bytes.end(), b.bytes.begin() + BLOCK_SIZE);
}
bool sameBlock(const ParameterImage& a, const ParameterImage& b, std::size_t block) {
    return std::ranges::equal(a.block(block), b.block(block));
}

struct Sent {
    int tick;
    std::uint8_t code;
    std::uint8_t tryCount; // TryCount at the end of the tick that sent it
};

class TransferTest : public ::testing::Test {
protected:
    TransferTest() {
        messages.LoadMessages(0);
        engine.setMonitorHandler([this](FrameView f) {
            ++monitorFrames;
            engine.UnitSaveCountdown = static_cast<std::uint16_t>(f[95] | f[96] << 8);
        });
        unit.memory = validParameters(3);
        writeIdentity(unit.memory, SUPPORTED_VERSION);
        state.image = validParameters(5);
        before = state.image;
    }

    void SetUp() override {
        // The fixtures rely on validation leaving both parameter sets alone and
        // on the two sets differing, so a read visibly changes the image.
        AppState check;
        check.image = unit.memory;
        ValidateImage(check);
        ASSERT_TRUE(sameParameters(check.image, unit.memory));
        ASSERT_FALSE(sameParameters(state.image, unit.memory));
    }

    void tick(int n = 1) {
        for (int i = 0; i < n; ++i) {
            unit.Advance();
            const std::size_t written = unit.writes.size();
            engine.Tick();
            ++now;
            for (std::size_t w = written; w < unit.writes.size(); ++w) {
                if (unit.writes[w][0] != CODE_MONITOR) {
                    sent.push_back({now, unit.writes[w][0], engine.TryCount});
                }
            }
            if (listener.statusChanges > 0) {
                ASSERT_EQ(listener.last, engine.status()) << "listener not told at tick " << now;
            }
        }
    }

    // Ticks until the transfer is back in monitor mode; returns the ticks taken.
    int runTransfer(int limit = 500) {
        const int start = now;
        while (engine.TransferMode != Mode::Monitor && now - start < limit) {
            tick();
        }
        return now - start;
    }

    std::vector<std::uint8_t> codesSent() const {
        std::vector<std::uint8_t> codes;
        for (const auto& s : sent) {
            codes.push_back(s.code);
        }
        return codes;
    }
    int sendsOf(std::uint8_t code) const {
        return static_cast<int>(std::ranges::count(codesSent(), code));
    }
    static std::vector<std::uint8_t> codeRange(std::uint8_t first, std::uint8_t last) {
        std::vector<std::uint8_t> v;
        for (int c = first; c <= last; ++c) {
            v.push_back(static_cast<std::uint8_t>(c));
        }
        return v;
    }
    static std::vector<std::uint8_t> concat(std::vector<std::uint8_t> a,
                                            const std::vector<std::uint8_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }

    AppState state;
    ScriptedUnit unit;
    FrameLink link{&unit};
    MessageTable messages;
    RecordingListener listener;
    TransferEngine engine{state, link, messages, &listener};
    ParameterImage before;
    int monitorFrames = 0;
    int now = 0;
    std::vector<Sent> sent;
};

// ---- starting and pacing ---------------------------------------------------

TEST_F(TransferTest, FirstRequestGoesWhenTickCountReachesFour) {
    struct Case {
        std::uint8_t tickCount; // carried on from monitor mode
        int firstSendTick;
    } cases[] = {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 1}, {5, 1}};
    for (const auto& c : cases) {
        sent.clear();
        now = 0;
        unit.silent = true;
        engine.TransferMode = Mode::Monitor;
        engine.TickCount = c.tickCount;
        engine.MenuReadClick();
        EXPECT_TRUE(sent.empty());
        tick(c.firstSendTick);
        ASSERT_EQ(sent.size(), 1u) << "TickCount " << int(c.tickCount);
        EXPECT_EQ(sent[0].tick, c.firstSendTick);
        EXPECT_EQ(sent[0].code, 0x40);
        EXPECT_EQ(sent[0].tryCount, 1);
        EXPECT_EQ(engine.TickCount, 0);
    }
}

TEST_F(TransferTest, CommandsSetTheStartingState) {
    struct Case {
        void (TransferEngine::*command)();
        Mode mode;
        std::uint8_t code;
        std::string text;
        std::vector<std::string> calls;
    } cases[] = {
        {&TransferEngine::MenuReadClick, Mode::Read, 0x40, "Read:", {"clearFile"}},
        {&TransferEngine::MenuVerifyClick, Mode::Verify, 0x41, "Verify:", {"commit", "show"}},
        {&TransferEngine::MenuProgramClick,
         Mode::Program,
         0x00,
         "Program device:",
         {"commit", "show"}},
        {&TransferEngine::StartProgram, Mode::Program, 0x00, "Program device:", {}},
    };
    for (const auto& c : cases) {
        listener.calls.clear();
        engine.ProgramDone = true;
        engine.TryCount = 3;
        engine.StatusCountdown = 0;
        (engine.*c.command)();
        EXPECT_EQ(engine.TransferMode, c.mode);
        EXPECT_EQ(engine.BlockCode, c.code);
        EXPECT_EQ(engine.TryCount, 0);
        EXPECT_EQ(engine.StatusCountdown, 200);
        EXPECT_FALSE(engine.ProgramDone);
        EXPECT_EQ(listener.calls, c.calls) << c.text;
        const TransferStatus& s = engine.status();
        EXPECT_EQ(s.text, c.text);
        EXPECT_FALSE(s.red);
        EXPECT_TRUE(s.textVisible);
        EXPECT_TRUE(s.gaugeVisible);
        EXPECT_EQ(s.gaugePosition, 0);
        EXPECT_EQ(listener.last, s);
        EXPECT_TRUE(unit.writes.empty()); // no command sends a frame itself
    }
}

TEST_F(TransferTest, StatusTextComesFromTheLanguageCurrentWhenSet) {
    messages.LoadMessages(3);
    engine.MenuReadClick();
    EXPECT_EQ(engine.status().text, MessageTable::Text(Msg::TextRead, 3));
    EXPECT_EQ(engine.status().textSlot, Msg::TextRead);
}

TEST_F(TransferTest, MonitorRequestsEverySixTicks) {
    tick(19); // requests in ticks 6, 12, 18; each reply is taken one tick later
    int n = 0;
    for (const auto& w : unit.writes) {
        EXPECT_EQ(w[0], CODE_MONITOR);
        ++n;
    }
    EXPECT_EQ(n, 3);
    EXPECT_EQ(monitorFrames, 3);
    EXPECT_TRUE(sent.empty());
}

// ---- retries and give-up ---------------------------------------------------

TEST_F(TransferTest, SilentUnitFiveSendsFourTicksApartThenRedErrorText) {
    struct Case {
        void (TransferEngine::*command)();
        std::uint8_t code;
        const char* error;
    } cases[] = {
        {&TransferEngine::MenuReadClick, 0x40, "Read error!"},
        {&TransferEngine::MenuVerifyClick, 0x41, "Verify error!"},
        {&TransferEngine::MenuProgramClick, 0x00, "Program error!"},
    };
    unit.silent = true;
    for (const auto& c : cases) {
        sent.clear();
        now = 0;
        engine.TickCount = 0;
        (engine.*c.command)();
        tick(23);
        ASSERT_EQ(sent.size(), 5u) << c.error;
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(sent[i].tick, 4 + 4 * i);
            EXPECT_EQ(sent[i].code, c.code);
            EXPECT_EQ(sent[i].tryCount, i + 1);
        }
        EXPECT_EQ(engine.TransferMode, c.code == 0x40   ? Mode::Read
                                       : c.code == 0x41 ? Mode::Verify
                                                        : Mode::Program);
        EXPECT_FALSE(engine.status().red);

        tick(); // the 4th tick after the fifth send
        EXPECT_EQ(engine.TransferMode, Mode::Monitor);
        EXPECT_EQ(engine.TryCount, 6);
        EXPECT_EQ(engine.status().text, c.error);
        EXPECT_TRUE(engine.status().red);
        EXPECT_TRUE(engine.status().textVisible);
        EXPECT_EQ(engine.StatusCountdown, 199); // armed with 200, counted in the same tick
        EXPECT_EQ(sent.size(), 5u);

        // The label and gauge hide 200 ticks after the give-up armed the countdown.
        tick(198);
        EXPECT_TRUE(engine.status().textVisible);
        EXPECT_TRUE(engine.status().gaugeVisible);
        tick();
        EXPECT_FALSE(engine.status().textVisible);
        EXPECT_FALSE(engine.status().gaugeVisible);
        EXPECT_EQ(sent.size(), 5u); // monitor requests only
    }
}

TEST_F(TransferTest, WithoutAnOpenPortTheTransferEndsInItsErrorText) {
    struct Case {
        bool portPresent;
    } cases[] = {{true}, {false}};
    for (const auto& c : cases) {
        unit.open = false;
        link.setPort(c.portPresent ? &unit : nullptr);
        engine.TickCount = 0;
        engine.MenuProgramClick();
        for (int t = 0; t < 23; ++t) {
            engine.Tick();
        }
        EXPECT_EQ(engine.TransferMode, Mode::Program);
        engine.Tick();
        EXPECT_EQ(engine.TransferMode, Mode::Monitor);
        EXPECT_EQ(engine.status().text, "Program error!");
        EXPECT_TRUE(engine.status().red);
        EXPECT_TRUE(unit.writes.empty());
    }
    link.setPort(&unit);
}

TEST_F(TransferTest, FirstResendAfterAnAcceptedBlockFallsThreeTicksLater) {
    // Replies to 0x42 lost or broken; the request goes again 3, then 4 ticks later.
    struct Case {
        std::map<std::uint8_t, int> ScriptedUnit::*fault;
        int count;
    } cases[] = {{&ScriptedUnit::drop, 2}, {&ScriptedUnit::corrupt, 1}};
    for (const auto& c : cases) {
        ScriptedUnit fresh;
        fresh.memory = unit.memory;
        (fresh.*c.fault)[0x42] = c.count;
        link.setPort(&fresh);
        engine.TickCount = 0;
        engine.MenuReadClick();
        std::vector<Sent> log;
        for (int t = 1; t <= 20; ++t) {
            fresh.Advance();
            const std::size_t w0 = fresh.writes.size();
            engine.Tick();
            for (std::size_t w = w0; w < fresh.writes.size(); ++w) {
                log.push_back({t, fresh.writes[w][0], engine.TryCount});
            }
        }
        // The read requests of block 2, before the read moves on to block 3.
        const auto next = std::ranges::find_if(log, [](const Sent& s) { return s.code == 0x43; });
        ASSERT_NE(next, log.end());
        std::vector<Sent> of42;
        std::copy_if(log.begin(), next, std::back_inserter(of42),
                     [](const Sent& s) { return s.code == 0x42; });
        ASSERT_EQ(of42.size(), static_cast<std::size_t>(c.count + 1));
        EXPECT_EQ(of42[0].tick, 6); // 0x40 at 4, 0x41 during the poll of 5, 0x42 of 6
        EXPECT_EQ(of42[0].tryCount, 1);
        for (std::size_t i = 1; i < of42.size(); ++i) {
            EXPECT_EQ(of42[i].tick - of42[i - 1].tick, i == 1 ? 3 : 4);
            EXPECT_EQ(of42[i].tryCount, static_cast<int>(i + 1));
        }
        EXPECT_EQ(next->tick, of42.back().tick + 1);
        engine.TransferMode = Mode::Monitor;
    }
    link.setPort(&unit);
}

TEST_F(TransferTest, ReplyInTheTickOfTheResendIsTakenWithoutResending) {
    // A reply three ticks after a request sent in the poll, or four after one
    // sent by the tick, arrives in the poll of the tick the resend falls in.
    unit.replyDelay = 3;
    engine.TickCount = 3; // first request in tick 1
    engine.MenuReadClick();
    runTransfer();
    EXPECT_EQ(codesSent(), concat(codeRange(0x40, 0x4B), codeRange(0x41, 0x4B)));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].tryCount, 1);
        EXPECT_EQ(sent[i].tick, 1 + 3 * static_cast<int>(i));
    }
    EXPECT_EQ(engine.status().text, "Verify: OK");

    sent.clear();
    now = 0;
    unit.replyDelay = 4;
    engine.TickCount = 0;
    engine.MenuVerifyClick();
    tick(8);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].code, 0x41);
    EXPECT_EQ(sent[0].tick, 4);
    EXPECT_EQ(sent[1].code, 0x42); // taken in the poll of tick 8, before the resend
    EXPECT_EQ(sent[1].tick, 8);
}

TEST_F(TransferTest, GiveUpOnTheFourthTickAfterTheFifthSendOfALaterBlock) {
    unit.drop[0x45] = 1000;
    engine.TickCount = 0;
    engine.MenuReadClick();
    tick(40);
    std::vector<int> ticksOf45;
    for (const auto& s : sent) {
        if (s.code == 0x45) {
            ticksOf45.push_back(s.tick);
        }
    }
    EXPECT_EQ(ticksOf45, (std::vector<int>{9, 12, 16, 20, 24}));
    EXPECT_EQ(sent.back().code, 0x45);
    EXPECT_EQ(engine.TransferMode, Mode::Monitor);
    EXPECT_EQ(engine.TryCount, 6);
    EXPECT_EQ(engine.status().text, "Read error!");
    EXPECT_EQ(engine.StatusCountdown, 200 - (40 - 28 + 1));
}

// ---- read ------------------------------------------------------------------

TEST_F(TransferTest, ReadTakesTheUnitsBlocksThenVerifiesThem) {
    engine.TickCount = 0;
    engine.MenuReadClick();
    tick(26);
    EXPECT_EQ(codesSent(), concat(codeRange(0x40, 0x4B), codeRange(0x41, 0x4B)));
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].tick, 4 + static_cast<int>(i)); // one block per tick
    }
    // Read requests carry zeros; verify requests carry the image block.
    for (std::size_t i = 0; i < unit.writes.size(); ++i) {
        const auto& w = unit.writes[i];
        const std::size_t b = BlockOfCode(w[0]);
        const bool isRead = i < BLOCK_COUNT;
        for (std::size_t j = 0; j < BLOCK_SIZE; ++j) {
            ASSERT_EQ(w[1 + j], isRead ? 0 : state.image[b * BLOCK_SIZE + j]) << i << "/" << j;
        }
    }
    EXPECT_EQ(engine.TransferMode, Mode::Verify);
    tick();
    EXPECT_EQ(engine.TransferMode, Mode::Monitor);
    EXPECT_EQ(state.image, unit.memory);
    const TransferStatus& s = engine.status();
    EXPECT_EQ(s.text, "Verify: OK");
    EXPECT_FALSE(s.red);
    EXPECT_EQ(s.gaugePosition, 11);
    EXPECT_EQ(s.gaugeMax, 11);
    EXPECT_TRUE(s.textVisible);
    EXPECT_EQ(engine.StatusCountdown, 199);
    EXPECT_FALSE(engine.ProgramDone);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"clearFile", "show"}));

    const UnitIdentityTexts expected = DecodeIdentity(unit.memory);
    EXPECT_EQ(engine.UnitVersionText, expected.UnitVersionText);
    EXPECT_EQ(engine.UnitDateText, expected.UnitDateText);
    EXPECT_EQ(engine.UnitTimeText, expected.UnitTimeText);
}

TEST_F(TransferTest, ReadGaugeStepsOncePerBlockAndRestartsForTheVerify) {
    engine.TickCount = 3;
    engine.MenuReadClick();
    std::vector<int> positions;
    for (int t = 0; t < 24; ++t) {
        tick();
        positions.push_back(engine.status().gaugePosition);
    }
    // Tick 1 sends 0x40; ticks 2..12 take blocks 0..10; tick 13 takes block 11.
    std::vector<int> expected{0};
    for (int p = 1; p <= 11; ++p) {
        expected.push_back(p);
    }
    for (int p = 0; p <= 10; ++p) {
        expected.push_back(p);
    }
    expected.push_back(11);
    EXPECT_EQ(positions, expected);
}

TEST_F(TransferTest, ReadThatGivesUpKeepsTheParametersItHadBefore) {
    unit.drop[0x46] = 1000;
    engine.MenuReadClick();
    runTransfer();
    EXPECT_EQ(sendsOf(0x46), 5);
    EXPECT_EQ(engine.status().text, "Read error!");
    EXPECT_TRUE(engine.status().red);
    EXPECT_EQ(engine.TryCount, 6);
    EXPECT_EQ(engine.TransferMode, Mode::Monitor);
    // Blocks 1..5 had arrived; none of them reached the image.
    EXPECT_TRUE(sameParameters(state.image, before));
    // Block 0 keeps what the unit sent.
    EXPECT_TRUE(sameBlock(state.image, unit.memory, 0));
}

TEST_F(TransferTest, ReadOfAnotherFirmwareVersionStopsAtBlockZero) {
    unit.memory[img::UNIT_VERSION] = 46;
    engine.MenuReadClick();
    tick(5);
    EXPECT_EQ(engine.TransferMode, Mode::Monitor);
    EXPECT_EQ(listener.messages,
              (std::vector<std::string>{
                  "Unmatched version of PC and Ignition programs!  PC-47, IGN-46"}));
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"clearFile", "show", "message"}));
    EXPECT_TRUE(sameBlock(state.image, unit.memory, 0));
    EXPECT_TRUE(sameParameters(state.image, before));
    tick(30);
    EXPECT_EQ(codesSent(), (std::vector<std::uint8_t>{0x40}));
    EXPECT_GT(unit.writes.size(), 1u); // monitor requests again
}

TEST_F(TransferTest, TicksWhileTheMessageIsOpenFindMonitorMode) {
    unit.memory[img::UNIT_VERSION] = 46;
    std::vector<Mode> modes;
    listener.whileMessageShows = [&] {
        EXPECT_EQ(listener.last, engine.status()); // told before the box opens
        for (int t = 0; t < 13; ++t) {
            unit.Advance();
            engine.Tick();
            modes.push_back(engine.TransferMode);
        }
    };
    engine.TickCount = 3;
    engine.MenuReadClick();
    tick(2);
    EXPECT_EQ(modes, std::vector<Mode>(13, Mode::Monitor));
    EXPECT_EQ(unit.blockRequests(), (std::vector<std::uint8_t>{0x40}));
    EXPECT_EQ(monitorFrames, 2); // monitor requests and replies went on meanwhile
    EXPECT_EQ(listener.messages.size(), 1u);
}

// ---- verify ----------------------------------------------------------------

TEST_F(TransferTest, VerifyComparesEveryParameterByteButByte101) {
    struct Case {
        std::size_t changedByte;
        bool ok;
    } cases[] = {{101, true}, {5, true}, {100, false}, {102, false}, {199, false}, {1199, false}};
    for (const auto& c : cases) {
        sent.clear();
        state.image = unit.memory;
        unit.memory[c.changedByte] ^= 0x01;
        engine.MenuVerifyClick();
        runTransfer();
        const std::uint8_t code = static_cast<std::uint8_t>(0x40 + c.changedByte / BLOCK_SIZE);
        if (c.ok) {
            EXPECT_EQ(codesSent(), codeRange(0x41, 0x4B)) << c.changedByte;
            EXPECT_EQ(engine.status().text, "Verify: OK");
            EXPECT_FALSE(engine.status().red);
        } else {
            EXPECT_EQ(sendsOf(code), 5) << c.changedByte;
            EXPECT_EQ(sent.back().code, code);
            EXPECT_EQ(engine.status().text, "Verify error!");
            EXPECT_TRUE(engine.status().red);
        }
        unit.memory[c.changedByte] ^= 0x01;
    }
}

// ---- program ---------------------------------------------------------------

TEST_F(TransferTest, ProgramWritesTheBlocksVerifiesThemAndShowsSaving) {
    state.image[img::UNIT_VERSION] = 0; // the tool's own block 0 goes out unchanged
    const ParameterImage programmed = state.image;
    engine.TickCount = 0;
    engine.MenuProgramClick();
    tick(4);
    ASSERT_EQ(unit.writes.size(), 1u);
    EXPECT_TRUE(std::equal(programmed.bytes.begin(), programmed.bytes.begin() + BLOCK_SIZE,
                           unit.writes[0].begin() + 1));

    runTransfer();
    EXPECT_EQ(codesSent(), concat(codeRange(0x00, 0x0B), codeRange(0x41, 0x4B)));
    EXPECT_TRUE(sameParameters(unit.memory, programmed));
    EXPECT_TRUE(sameBlock(state.image, unit.memory, 0)); // the unit's identity replaced block 0
    EXPECT_EQ(engine.UnitVersionText, DecodeIdentity(unit.memory).UnitVersionText);
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"commit", "show", "show"}));

    // The verify success text is replaced in the same tick.
    EXPECT_TRUE(engine.ProgramDone);
    EXPECT_EQ(engine.status().text, "Program device: OK");
    EXPECT_EQ(engine.status().gaugePosition, 11);
    EXPECT_EQ(engine.status().gaugeMax, 11);

    unit.saveCountdown = 600;
    while (engine.UnitSaveCountdown != 600 && now < 500) {
        tick();
    }
    EXPECT_EQ(engine.status().text, "Saving:");
    EXPECT_FALSE(engine.status().red);
    EXPECT_EQ(engine.status().gaugeMax, 100);
    EXPECT_EQ(engine.status().gaugePosition, 50);
    EXPECT_EQ(engine.StatusCountdown, 199);

    unit.saveCountdown = 0;
    while (engine.UnitSaveCountdown != 0 && now < 500) {
        tick();
    }
    EXPECT_EQ(engine.status().text, "Program device: OK");
    EXPECT_EQ(engine.status().gaugeMax, 11);
    EXPECT_EQ(engine.status().gaugePosition, 11);

    // 200 ticks after the last arming the display hides and ProgramDone clears.
    tick(engine.StatusCountdown - 1);
    EXPECT_TRUE(engine.status().textVisible);
    EXPECT_TRUE(engine.ProgramDone);
    tick();
    EXPECT_FALSE(engine.status().textVisible);
    EXPECT_FALSE(engine.status().gaugeVisible);
    EXPECT_FALSE(engine.ProgramDone);
}

TEST_F(TransferTest, ProgramEchoThatDiffers) {
    struct Case {
        int badEchoes;
        const char* end;
        int sendsOf05;
        bool reachesBlock6;
    } cases[] = {{1, "Program device: OK", 2, true}, {1000, "Program error!", 5, false}};
    for (const auto& c : cases) {
        sent.clear();
        now = 0;
        unit.alter[0x05] = c.badEchoes;
        engine.MenuProgramClick();
        runTransfer();
        EXPECT_EQ(sendsOf(0x05), c.sendsOf05);
        EXPECT_EQ(sendsOf(0x06) > 0, c.reachesBlock6);
        EXPECT_EQ(engine.status().text, c.end);
        EXPECT_EQ(engine.status().red, !c.reachesBlock6);
        if (c.badEchoes == 1) {
            const auto codes = codesSent();
            const auto first = std::ranges::find(codes, 0x05) - codes.begin();
            EXPECT_EQ(sent[first + 1].code, 0x05);
            EXPECT_EQ(sent[first + 1].tick - sent[first].tick, 3);
        }
        unit.alter.clear();
    }
}

TEST_F(TransferTest, ProgramWhoseVerifyFailsEndsInVerifyError) {
    unit.alter[0x47] = 1000; // the unit reads block 7 back differently
    engine.MenuProgramClick();
    runTransfer();
    EXPECT_EQ(engine.status().text, "Verify error!");
    EXPECT_TRUE(engine.status().red);
    EXPECT_FALSE(engine.ProgramDone);
    tick(10);
    EXPECT_EQ(engine.status().text, "Verify error!"); // not replaced by the program success
}

TEST_F(TransferTest, ProgramOnAnotherFirmwareVersionStopsAtBlockZero) {
    unit.memory[img::UNIT_VERSION] = 46;
    const ParameterImage unitBefore = unit.memory;
    engine.MenuProgramClick();
    tick(10);
    EXPECT_EQ(engine.TransferMode, Mode::Monitor);
    EXPECT_EQ(codesSent(), (std::vector<std::uint8_t>{0x00}));
    EXPECT_EQ(listener.messages,
              (std::vector<std::string>{
                  "Unmatched version of PC and Ignition programs!  PC-47, IGN-46"}));
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"commit", "show", "show", "message"}));
    EXPECT_TRUE(sameBlock(state.image, unit.memory, 0));
    EXPECT_EQ(unit.memory, unitBefore);
}

TEST_F(TransferTest, ProgramStopsWhenTheUnitDoesNotSupportTheBike) {
    struct Case {
        std::uint8_t bike;
        std::size_t bitmapByte;
        int bit;
        bool supported;
    } cases[] = {{41, 50, 1, false}, {7, 11, 7, false}, {41, 50, 1, true}, {7, 11, 7, true}};
    for (const auto& c : cases) {
        sent.clear();
        listener.messages.clear();
        ScriptedUnit fresh;
        fresh.memory = unit.memory;
        fresh.memory[c.bitmapByte] = c.supported ? 0xFF : static_cast<std::uint8_t>(~(1u << c.bit));
        const ParameterImage unitBefore = fresh.memory;
        link.setPort(&fresh);
        state.image = before;
        state.image[img::BIKE] = c.bike;
        engine.MenuProgramClick();
        ASSERT_EQ(state.image[img::BIKE], c.bike);
        for (int t = 0; t < 12; ++t) {
            fresh.Advance();
            engine.Tick();
        }
        const auto codes = fresh.blockRequests();
        if (c.supported) {
            EXPECT_TRUE(listener.messages.empty());
            EXPECT_GT(codes.size(), 1u);
            EXPECT_EQ(codes[1], 0x01);
        } else {
            EXPECT_EQ(listener.messages,
                      (std::vector<std::string>{"This Ignition is not for required motorbike!"}))
                << int(c.bike);
            EXPECT_EQ(codes, (std::vector<std::uint8_t>{0x00}));
            EXPECT_EQ(engine.TransferMode, Mode::Monitor);
            EXPECT_EQ(fresh.memory, unitBefore); // no parameter block reached the unit
        }
        engine.TransferMode = Mode::Monitor;
    }
    link.setPort(&unit);
}

// ---- monitor-mode display ----------------------------------------------------

TEST_F(TransferTest, SavingGaugeFollowsTheUnitsCountdown) {
    struct Case {
        std::uint16_t countdown;
        int position;
    } cases[] = {{1200, 0}, {1199, 0}, {900, 25}, {600, 50}, {12, 99},
                 {1, 99},   {1201, 0}, {5000, 0}, {65535, 0}};
    for (const auto& c : cases) {
        engine.StatusCountdown = 0;
        engine.UnitSaveCountdown = c.countdown;
        engine.TransferTick();
        const TransferStatus& s = engine.status();
        EXPECT_EQ(s.text, "Saving:");
        EXPECT_FALSE(s.red);
        EXPECT_EQ(s.gaugeMax, 100);
        EXPECT_EQ(s.gaugePosition, c.position) << c.countdown;
        EXPECT_EQ(engine.StatusCountdown, 199);
        EXPECT_EQ(SavingGaugePosition(c.countdown), c.position);
    }
    engine.UnitSaveCountdown = 0;
    engine.TransferTick();
    EXPECT_EQ(engine.status().gaugeMax, 11);
    EXPECT_EQ(engine.status().text, "Saving:"); // nothing to say without ProgramDone
}

TEST_F(TransferTest, LongTransferOutlivesItsStatusDisplay) {
    // Every verify reply comes only on the fifth send: far more than 200 ticks.
    state.image = unit.memory;
    unit.replyDelay = 3;
    for (std::uint8_t code = 0x41; code <= 0x4B; ++code) {
        unit.drop[code] = 4;
    }
    engine.MenuVerifyClick();
    tick(200);
    EXPECT_EQ(engine.TransferMode, Mode::Verify);
    EXPECT_FALSE(engine.status().textVisible);
    EXPECT_FALSE(engine.status().gaugeVisible);
    runTransfer();
    EXPECT_EQ(engine.status().text, "Verify: OK"); // written to a hidden label
    EXPECT_FALSE(engine.status().textVisible);
}

TEST_F(TransferTest, AutomaticVerifyShowsTheLabelAgainButNotTheGauge) {
    engine.TickCount = 3;
    engine.MenuReadClick();
    engine.StatusCountdown = 2; // as if the read had run for nearly 200 ticks
    tick(2);
    ASSERT_FALSE(engine.status().textVisible);
    ASSERT_FALSE(engine.status().gaugeVisible);
    tick(11); // block 11 read in tick 13 starts the verify
    EXPECT_EQ(engine.TransferMode, Mode::Verify);
    EXPECT_EQ(engine.status().text, "Verify:");
    EXPECT_TRUE(engine.status().textVisible);
    EXPECT_FALSE(engine.status().gaugeVisible);
    EXPECT_EQ(engine.status().gaugePosition, 0);
    EXPECT_EQ(engine.StatusCountdown, 199);
}

// ---- connection supervision ------------------------------------------------

TEST_F(TransferTest, NoConnectionLabelAfterEighteenTicksWithoutAFrame) {
    unit.silent = true;
    EXPECT_EQ(engine.LinkWatchdog, 18);
    tick();
    EXPECT_TRUE(engine.status().connectionLabelVisible);
    EXPECT_FALSE(engine.status().versionLabelVisible);

    engine.LinkWatchdog = 17;
    tick();
    EXPECT_EQ(engine.LinkWatchdog, 18);
    EXPECT_FALSE(engine.status().connectionLabelVisible);
    EXPECT_TRUE(engine.status().versionLabelVisible);
    tick();
    EXPECT_EQ(engine.LinkWatchdog, 18);
    EXPECT_TRUE(engine.status().connectionLabelVisible);
    EXPECT_FALSE(engine.status().versionLabelVisible);
}

TEST_F(TransferTest, PrintingKeepsTheNoConnectionLabelHidden) {
    unit.silent = true;
    engine.PrintingActive = true;
    tick(3);
    EXPECT_FALSE(engine.status().connectionLabelVisible);
    EXPECT_TRUE(engine.status().versionLabelVisible);
    engine.PrintingActive = false;
    tick();
    EXPECT_TRUE(engine.status().connectionLabelVisible);
    EXPECT_FALSE(engine.status().versionLabelVisible);
}

TEST_F(TransferTest, LabelComesOnWhenThreeMonitorRepliesInARowAreMissing) {
    tick(31); // requests every 6 ticks from tick 6, each answered in the next tick
    EXPECT_EQ(monitorFrames, 5);
    EXPECT_FALSE(engine.status().connectionLabelVisible);
    const int lastFrameTick = now;
    unit.silent = true;
    while (now < lastFrameTick + 17) {
        tick();
        EXPECT_FALSE(engine.status().connectionLabelVisible) << now;
    }
    tick(); // the requests of ticks 36, 42 and 48 went unanswered
    EXPECT_TRUE(engine.status().connectionLabelVisible);
    EXPECT_EQ(now, 49);
}

TEST_F(TransferTest, OnlyAcceptedFramesResetTheWatchdog) {
    std::array<std::uint8_t, BLOCK_SIZE> zeros{};
    Frame badMonitor = MakeFrame(CODE_MONITOR_REPLY, zeros);
    badMonitor[101] ^= 1;
    struct Case {
        Frame frame;
        std::uint8_t watchdogAfter;
        int forwarded;
    } cases[] = {
        {MakeFrame(CODE_MONITOR_REPLY, zeros), 1, 1},
        {badMonitor, 11, 0},
        {MakeFrame(0xC0, zeros), 11, 0}, // a block reply while no transfer runs
    };
    unit.silent = true;
    for (const auto& c : cases) {
        monitorFrames = 0;
        engine.LinkWatchdog = 10;
        unit.queue(c.frame);
        tick();
        EXPECT_EQ(engine.LinkWatchdog, c.watchdogAfter) << int(c.frame[0]);
        EXPECT_EQ(monitorFrames, c.forwarded);
    }
}

// ---- one command replacing another -----------------------------------------

TEST_F(TransferTest, VerifyReplacingARunningReadVerifiesTheImageAsBefore) {
    unit.replyDelay = 2;
    engine.TickCount = 3;
    engine.MenuReadClick();
    tick(7); // blocks 0..2 taken, 0x43 on its way
    ASSERT_EQ(engine.BlockCode, 0x43);
    listener.calls.clear();
    engine.MenuVerifyClick();
    EXPECT_EQ(engine.TransferMode, Mode::Verify);
    EXPECT_EQ(engine.BlockCode, 0x41);
    EXPECT_EQ(engine.TryCount, 0);
    EXPECT_EQ(engine.status().text, "Verify:");
    EXPECT_EQ(listener.calls, (std::vector<std::string>{"commit", "show"}));
    EXPECT_TRUE(sameParameters(state.image, before));

    tick();
    const std::uint8_t watchdog = engine.LinkWatchdog;
    tick(); // the late 0xC3 comes now and is dropped
    EXPECT_TRUE(unit.input.empty());
    EXPECT_EQ(engine.LinkWatchdog, watchdog + 1);
    runTransfer();
    // The image kept its own parameters, which differ from the unit's.
    EXPECT_EQ(engine.status().text, "Verify error!");
    ASSERT_GT(unit.writes.size(), 5u);
    const auto& firstVerify = unit.writes[4]; // after the reads of blocks 0..3
    EXPECT_EQ(firstVerify[0], 0x41);
    EXPECT_TRUE(std::equal(before.bytes.begin() + 100, before.bytes.begin() + 200,
                           firstVerify.begin() + 1));
}

TEST_F(TransferTest, ProgramReplacingAStuckVerifyRunsToTheEnd) {
    unit.drop[0x41] = 1000;
    engine.MenuVerifyClick();
    tick(10);
    unit.drop.clear();
    engine.MenuProgramClick();
    EXPECT_EQ(engine.TransferMode, Mode::Program);
    EXPECT_EQ(engine.BlockCode, 0x00);
    EXPECT_EQ(engine.TryCount, 0);
    runTransfer();
    EXPECT_EQ(engine.status().text, "Program device: OK");
    EXPECT_TRUE(sameParameters(unit.memory, state.image));
}

} // namespace
