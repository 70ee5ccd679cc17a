#include "files/ParameterFile.h"
#include "image/DefaultSet.h"
#include "unit/RequestAssembler.h"
#include "unit/SimCommandLine.h"

#include <gtest/gtest.h>

using namespace zentrova;
using namespace std::chrono_literals;

namespace {

Frame request(std::uint8_t code, std::uint8_t fill = 0) {
    std::array<std::uint8_t, BLOCK_SIZE> data{};
    data.fill(fill);
    return MakeFrame(code, data);
}

std::vector<std::uint8_t> bytes(std::initializer_list<Frame> frames) {
    std::vector<std::uint8_t> out;
    for (const Frame& f : frames) {
        out.insert(out.end(), f.begin(), f.end());
    }
    return out;
}

// Feeds `stream` in pieces of `piece` bytes, `step` apart; returns the requests.
std::vector<Frame> feedInPieces(RequestAssembler& a, const std::vector<std::uint8_t>& stream,
                                std::size_t piece, SimTime step = 0ms) {
    std::vector<Frame> out;
    SimTime t = 0ms;
    for (std::size_t i = 0; i < stream.size(); i += piece, t += step) {
        const std::size_t n = std::min(piece, stream.size() - i);
        for (const Frame& f : a.feed({stream.data() + i, n}, t)) {
            out.push_back(f);
        }
    }
    return out;
}

} // namespace

TEST(RequestAssembler, KnowsTheRequestCodes) {
    for (int code = 0; code < 256; ++code) {
        const bool known =
            code == 0x30 || (code >= 0x00 && code <= 0x0B) || (code >= 0x40 && code <= 0x4B);
        EXPECT_EQ(IsRequestCode(static_cast<std::uint8_t>(code)), known) << code;
    }
}

TEST(RequestAssembler, JoinsRequestsSplitAnyWay) {
    const auto stream = bytes({request(0x41, 7), request(0x30), request(0x0B, 0x55)});
    for (std::size_t piece : {1u, 7u, 50u, 101u, 102u, 103u, 306u}) {
        SCOPED_TRACE(piece);
        RequestAssembler a;
        const auto got = feedInPieces(a, stream, piece, 1ms);
        ASSERT_EQ(got.size(), 3u);
        EXPECT_EQ(got[0], request(0x41, 7));
        EXPECT_EQ(got[1], request(0x30));
        EXPECT_EQ(got[2], request(0x0B, 0x55));
        EXPECT_EQ(a.pending(), 0u);
        EXPECT_EQ(a.discarded(), 0u);
    }
}

TEST(RequestAssembler, SkipsGarbageAheadOfARequest) {
    RequestAssembler a;
    std::vector<std::uint8_t> stream = {0xB0, 0x13, 0x00, 0xFF, 0x30};
    const auto req = request(0x44);
    stream.insert(stream.end(), req.begin(), req.end());
    const auto got = a.feed(stream, 0ms);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], req);
    EXPECT_EQ(a.discarded(), 5u);
}

TEST(RequestAssembler, BadCheckByteGivesNoRequest) {
    RequestAssembler a;
    Frame bad = request(0x41);
    bad[101] = 0x00; // good would be 0xBE
    EXPECT_TRUE(a.feed(bytes({bad}), 0ms).empty());
    // The good request right behind it in the same burst is still found.
    const auto got = a.feed(bytes({request(0x30)}), 1ms);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], request(0x30));
}

TEST(RequestAssembler, APauseEndsAHalfReceivedRequest) {
    RequestAssembler a;
    const auto half = bytes({request(0x45, 3)});
    EXPECT_TRUE(a.feed({half.data(), 60}, 0ms).empty());
    // 60 bytes of a lost request, then a whole request after a pause.
    const auto got = a.feed(bytes({request(0x46, 9)}), 55ms);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], request(0x46, 9));
    EXPECT_EQ(a.discarded(), 60u);
    EXPECT_EQ(a.pending(), 0u);
}

TEST(RequestAssembler, PiecesUpToTheGapApartStillJoin) {
    RequestAssembler a;
    const auto stream = bytes({request(0x47, 1)});
    EXPECT_EQ(feedInPieces(a, stream, 51, RequestAssembler::RESYNC_GAP).size(), 1u);
    RequestAssembler b;
    EXPECT_TRUE(feedInPieces(b, stream, 51, RequestAssembler::RESYNC_GAP + 1ms).empty());
}

// Command line -----------------------------------------------------------------

TEST(SimCommandLine, BikeLists) {
    struct Case {
        std::string_view text;
        std::optional<std::vector<int>> bikes; // nothing: refused
    } cases[] = {
        {"none", std::vector<int>{}},
        {"11,41", std::vector<int>{11, 41}},
        {"0-2,30", std::vector<int>{0, 1, 2, 30}},
        {"255", std::vector<int>{255}},
        {"7-7", std::vector<int>{7}},
        {"", std::nullopt},
        {"5-3", std::nullopt},
        {"256", std::nullopt},
        {"1,,2", std::nullopt},
        {"a", std::nullopt},
        {"1-", std::nullopt},
        {"-1", std::nullopt},
        {"3,", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto got = ParseBikeList(c.text);
        ASSERT_EQ(got.has_value(), c.bikes.has_value());
        if (got) {
            BikeSet want;
            for (int b : *c.bikes) {
                want.set(static_cast<std::size_t>(b));
            }
            EXPECT_EQ(*got, want);
        }
    }
    EXPECT_EQ(ParseBikeList("all"), AllKnownBikes());
    EXPECT_EQ(ParseBikeList("0-44"), AllKnownBikes());
    EXPECT_EQ(AllKnownBikes().count(), 45u);
}

TEST(SimCommandLine, OptionsSetTheUnit) {
    const std::vector<std::string_view> args = {
        "--version", "46",        "--bikes",     "11,41",   "--silent", "--drop=0.25",
        "--corrupt", "0.5",       "--stray",     "3",       "--delay",  "120",
        "--save-ms", "500",       "--line-rate", "--seed",  "99",       "--link",
        "/tmp/x",    "--verbose", "--image",     "unit.bin"};
    const SimArguments parsed = ParseSimArguments(args);
    ASSERT_TRUE(parsed.settings) << parsed.error;
    const SimSettings& s = *parsed.settings;
    EXPECT_EQ(s.unit.firmwareVersion, 46);
    EXPECT_EQ(s.unit.bikes.count(), 2u);
    EXPECT_TRUE(s.unit.silent);
    EXPECT_DOUBLE_EQ(s.unit.dropProbability, 0.25);
    EXPECT_DOUBLE_EQ(s.unit.corruptProbability, 0.5);
    EXPECT_EQ(s.unit.strayBytes, 3u);
    EXPECT_EQ(s.unit.replyDelay, 120ms);
    EXPECT_EQ(s.unit.saveDuration, 500ms);
    EXPECT_TRUE(s.lineRate);
    EXPECT_EQ(s.unit.seed, 99u);
    EXPECT_EQ(s.linkPath, "/tmp/x");
    EXPECT_TRUE(s.verbose);
    EXPECT_EQ(s.imageFile, "unit.bin");
    EXPECT_FALSE(s.help);
}

TEST(SimCommandLine, DefaultsAreAGoodUnit) {
    const SimArguments parsed = ParseSimArguments({});
    ASSERT_TRUE(parsed.settings);
    const UnitOptions& u = parsed.settings->unit;
    EXPECT_EQ(u.firmwareVersion, 47);
    EXPECT_EQ(u.bikes, AllKnownBikes());
    EXPECT_FALSE(u.silent);
    EXPECT_EQ(u.dropProbability, 0.0);
    EXPECT_EQ(u.corruptProbability, 0.0);
    EXPECT_EQ(u.strayBytes, 0u);
    EXPECT_EQ(u.replyDelay, 0ms);
    EXPECT_FALSE(parsed.settings->lineRate);
}

TEST(SimCommandLine, RefusesBadArguments) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--frobnicate"},
        {"--version"},
        {"--version", "256"},
        {"--version", "-1"},
        {"--drop", "1.5"},
        {"--drop", "nan"},
        {"--corrupt", "0.5x"},
        {"--stray", "many"},
        {"--delay", "-5"},
        {"--bikes", "45-40"},
        {"--silent=1"},
        {"--seed", ""},
        {"--memory", "a.ign", "--image", "b.bin"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args[0]);
        const SimArguments parsed = ParseSimArguments(args);
        EXPECT_FALSE(parsed.settings);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(SimCommandLine, HelpNamesEveryOption) {
    const std::string usage = SimUsage();
    for (const char* name : {"--version", "--bikes", "--memory", "--image", "--silent", "--drop",
                             "--corrupt", "--stray", "--delay", "--save-ms", "--line-rate",
                             "--seed", "--link", "--verbose", "--help"}) {
        EXPECT_NE(usage.find(name), std::string::npos) << name;
    }
    ASSERT_TRUE(ParseSimArguments(std::vector<std::string_view>{"-h"}).settings);
    EXPECT_TRUE(ParseSimArguments(std::vector<std::string_view>{"--help"}).settings->help);
}

// Loading the unit's memory ---------------------------------------------------

TEST(SimMemoryFiles, ParameterFileGivesItsSetWithDerivedBytes) {
    ParameterImage image = DefaultUnitMemory();
    image[img::BIKE] = 30;
    bool choke = false;
    ASSERT_TRUE(BuildDefaultSet(image, choke));
    image[img::mapCell(img::IGN, 4, 7)] = 33;
    image[img::LIMITER_IGN] = 120;
    const std::string text = WriteParameterFile(image, ParameterFileExtras{});

    const auto memory = MemoryFromParameterFile(text);
    ASSERT_TRUE(memory);
    EXPECT_TRUE(std::equal(image.bytes.begin() + BLOCK_SIZE, image.bytes.end(),
                           memory->bytes.begin() + BLOCK_SIZE));
    EXPECT_EQ((*memory)[img::BIKE], 30);
    EXPECT_EQ((*memory)[img::mapCell(img::IGN, 4, 7)], 33);

    // A unit started with it serves the set.
    UnitOptions options;
    options.memory = *memory;
    SimulatedUnit unit(options);
    const auto block1 = unit.answer(MakeFrame(0x41, std::array<std::uint8_t, BLOCK_SIZE>{}), 0ms);
    ASSERT_TRUE(block1);
    EXPECT_EQ((*block1)[1], 30);
}

TEST(SimMemoryFiles, TextWithoutTheVersionKeyIsRefused) {
    EXPECT_FALSE(MemoryFromParameterFile(""));
    EXPECT_FALSE(MemoryFromParameterFile("BIKE 3\r\n"));
}

TEST(SimMemoryFiles, RawImageMustBeTwelveBlocks) {
    std::string bytes(IMAGE_SIZE, '\0');
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        bytes[k] = static_cast<char>(k % 253 + 1);
    }
    const auto memory = MemoryFromRawImage(bytes);
    ASSERT_TRUE(memory);
    EXPECT_EQ((*memory)[0], 0); // block 0 is not taken
    EXPECT_EQ((*memory)[99], 0);
    EXPECT_EQ((*memory)[100], 100 % 253 + 1);
    EXPECT_EQ((*memory)[1199], 1199 % 253 + 1);
    EXPECT_FALSE(MemoryFromRawImage(bytes.substr(1)));
    EXPECT_FALSE(MemoryFromRawImage(bytes + '\0'));
}
