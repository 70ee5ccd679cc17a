#include "files/ParameterFile.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

using namespace zentrova;

namespace {

const ParameterFileExtras TRAILER{
    false, {"Jet01", "25.02.2002", "16:21"}, {"Sep 29 2006", "07:45:18"}};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last line break";
    return lines;
}

std::string lineStartingWith(const std::string& text, const std::string& key) {
    for (const std::string& line : linesOf(text)) {
        if (line.rfind(key + ' ', 0) == 0 || line == key) {
            return line;
        }
    }
    return "<no line " + key + ">";
}

bool isFlagByte(std::size_t k) {
    const auto v = FileValueOf(k);
    return v && v->flag;
}

// Every byte the file holds set to a random value it can carry (flags 0 or 1).
ParameterImage randomHeldImage(unsigned seed) {
    std::mt19937 rng(seed);
    ParameterImage image;
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        if (FileValueOf(k)) {
            image[k] = static_cast<std::uint8_t>(isFlagByte(k) ? rng() % 2 : rng() % 256);
        }
    }
    return image;
}

struct Read {
    bool found;
    ParameterImage image;
    bool extMonitor;
};

Read readOnto(const std::string& text, const ParameterImage& start = {}, bool extMonitor = false) {
    Read r{false, start, extMonitor};
    r.found = ReadParameterFile(text, r.image, r.extMonitor);
    return r;
}

} // namespace

TEST(WriteParameterFile, LaysOutKeyLinesInFixedColumns) {
    ParameterImage image;
    image[img::BIKE] = 11;
    image[img::LIMITER_START] = 100, image[img::LIMITER_IGN] = 140, image[img::LIMITER_INJ] = 143;
    image[img::RPM_PULSES] = 1, image[img::RPM_CORR] = 40;
    image[img::LOBE] = 40;
    image[img::ACT_BLOK] = 1, image[img::BLOK_ENABLE] = 0;
    image[img::N2O_ENABLE] = 0, image[img::N2O_1] = 20, image[img::N2O_2] = 60;
    image[img::N2O_DELAY] = 20, image[img::N2O_TIME] = 30;
    image[img::DISPLAY_TEMP] = 1, image[img::DISPLAY_GEAR] = 0;
    image[img::TPS_0] = 50, image[img::TPS_100] = 240;
    image[img::CYLINDER_CORR + 3] = 250;
    ParameterFileExtras extras = TRAILER;
    extras.extMonitor = true;
    const std::string text = WriteParameterFile(image, extras);

    EXPECT_EQ(text.rfind("KORVANTA_KEY    47 \r\n\r\nBIKE            11 \r\n", 0), 0u);
    EXPECT_EQ(lineStartingWith(text, "LIMITER"), "LIMITER      10000 14000 14300 ");
    EXPECT_EQ(lineStartingWith(text, "RPM"), "RPM              1   -60 ");
    EXPECT_EQ(lineStartingWith(text, "EXT_MON"), "EXT_MON          1");
    EXPECT_EQ(lineStartingWith(text, "LOBE"), "LOBE           40 ");
    EXPECT_EQ(lineStartingWith(text, "ACT_BLOK"), "ACT_BLOK         1     0");
    EXPECT_EQ(lineStartingWith(text, "N2O"), "N2O              0    20    60  2000  3000 ");
    EXPECT_EQ(lineStartingWith(text, "DISPLAY"), "DISPLAY          1    0");
    EXPECT_EQ(lineStartingWith(text, "TPS"), "TPS            500  4900 ");
    EXPECT_EQ(lineStartingWith(text, "CYLINDER_CORR"), "CYLINDER_CORR    0     0     0   250 ");
    const std::string tail =
        "VERSIONS\r\nHEX  25.02.2002  16:21   Jet01\r\nEXE  Sep 29 2006   07:45:18\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST(WriteParameterFile, MapsTakeTenLinesAndABlankContinuation) {
    ParameterImage image;
    for (std::size_t c = 0; c < img::MAP_COLS; ++c) {
        image[img::mapCell(img::JET_B, 9, c)] = static_cast<std::uint8_t>(c + 1);
    }
    const std::vector<std::string> lines = linesOf(WriteParameterFile(image, TRAILER));
    const auto at = std::find_if(lines.begin(), lines.end(),
                                 [](const std::string& l) { return l.rfind("JET_B ", 0) == 0; });
    ASSERT_NE(at, lines.end());
    ASSERT_LT(at + 11, lines.end());
    EXPECT_EQ(at[9],
              "                 1     2     3     4     5     6     7     8     9    10    11"
              "    12    13    14    15 ");
    EXPECT_EQ(at[10], std::string(13, ' '));
    EXPECT_EQ(at[11].rfind("RPM_JET_IAP   ", 0), 0u);
}

TEST(WriteParameterFile, HasTheKeysInTheirOrder) {
    std::vector<std::string> keys;
    for (const std::string& line : linesOf(WriteParameterFile(ParameterImage{}, TRAILER))) {
        if (!line.empty() && line[0] != ' ') {
            keys.push_back(line.substr(0, line.find(' ')));
        }
    }
    const std::vector<std::string> expected = {
        "KORVANTA_KEY",  "BIKE",       "LIMITER",    "RPM",         "EXT_MON",      "BASE_ADV",
        "LOBE",          "IAP_TO_TPS", "MODE",       "ACT_BLOK",    "ACT_CLUTCH",   "ACT_LIM1",
        "ACT_RPM",       "ACT_N2O",    "RPM_IGN",    "IGN",         "RPM_JET_14A",  "JET_14A",
        "RPM_JET_23A",   "JET_23A",    "RPM_JET_B",  "JET_B",       "RPM_JET_IAP",  "JET_IAP",
        "CYLINDER_CORR", "POSITION_A", "POSITION_B", "TPS",         "ACCEL",        "START_JET",
        "COOLING",       "WATER_TEMP", "AIR_TEMP",   "CHOKE",       "SERVO_ENABLE", "SERVO_HYSTER",
        "RPM_SERVO",     "VOLT_SERVO", "CLUTCH",     "PILOT_LIGHT", "N2O",          "RETARD",
        "DISPLAY",       "TUNING",     "VERSIONS",   "HEX",         "EXE"};
    EXPECT_EQ(keys, expected);
}

TEST(WriteParameterFile, TrailerTextsAreWindows1250) {
    ParameterFileExtras extras = TRAILER;
    extras.unit.UnitVersionText = "Zapalování";
    const std::string text = WriteParameterFile(ParameterImage{}, extras);
    EXPECT_NE(text.find("   Zapalov\xE1n\xED\r\nEXE"), std::string::npos);
}

TEST(ReadParameterFile, RestoresEveryHeldByteAndTheCheckBox) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const ParameterImage original = randomHeldImage(seed);
        const bool ext = seed % 2 == 0;
        ParameterFileExtras extras = TRAILER;
        extras.extMonitor = ext;
        const Read r = readOnto(WriteParameterFile(original, extras), ParameterImage{}, !ext);
        ASSERT_TRUE(r.found);
        EXPECT_EQ(r.image, original) << "seed " << seed;
        EXPECT_EQ(r.extMonitor, ext);
    }
}

TEST(ReadParameterFile, LeavesBytesTheFileDoesNotHold) {
    ParameterImage start;
    start.bytes.fill(0xA5);
    const Read r = readOnto(WriteParameterFile(ParameterImage{}, TRAILER), start);
    ASSERT_TRUE(r.found);
    for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
        EXPECT_EQ(r.image[k], FileValueOf(k) ? 0 : 0xA5) << "byte " << k;
    }
    for (std::size_t k :
         {0u, 10u, 99u, 101u, 111u, 126u, 148u, 161u, 189u, 200u, 219u, 385u, 399u, 1150u, 1199u}) {
        EXPECT_FALSE(FileValueOf(k)) << k;
    }
}

TEST(ReadParameterFile, VersionKeyDecidesWhatIsRead) {
    struct Case {
        const char* text;
        bool found;
        std::uint8_t bike, mode;
    } cases[] = {
        {"KORVANTA_KEY 47 BIKE 3", true, 3, 0},
        {"BIKE 3\r\nKORVANTA_KEY    47 \r\nMODE 2\r\n", true, 0, 2}, // keys before it are ignored
        {"KORVANTA_KEY 46 BIKE 3 MODE 2", false, 0, 0},
        {"BIKE 3 MODE 2", false, 0, 0},
        {"", false, 0, 0},
        {"KORVANTA_KEY", false, 0, 0},
        {"KORVANTA_KEY 65583 BIKE 3", true, 3, 0}, // 47 modulo 65536
        {"KORVANTA_KEY +47 BIKE 3", true, 3, 0},
        {"KORVANTA_KEY 46 KORVANTA_KEY 47 BIKE 3", true, 3, 0},
        {"KORVANTA_KEY KORVANTA_KEY 47 BIKE 3", true, 3, 0},
        {"KORVANTA_KEY 47x BIKE 3", false, 0, 0},
        {"korvanta_key 47 BIKE 3", false, 0, 0},
        // A second version key is just another word; its number is a stray one.
        {"KORVANTA_KEY 47 BIKE 3 KORVANTA_KEY 46 BIKE 4", true, 4, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ParameterImage start;
        start[5] = 77; // block 0 is never touched
        const Read r = readOnto(c.text, start, true);
        EXPECT_EQ(r.found, c.found);
        EXPECT_EQ(r.image[img::BIKE], c.bike);
        EXPECT_EQ(r.image[img::MODE], c.mode);
        EXPECT_EQ(r.image[5], 77);
        EXPECT_TRUE(r.extMonitor);
        if (!c.found) {
            EXPECT_EQ(r.image, start);
        }
    }
}

TEST(ReadParameterFile, OneLineChangesOnlyItsKey) {
    ParameterImage start = randomHeldImage(7);
    const Read r = readOnto("KORVANTA_KEY 47 BIKE 3", start);
    ASSERT_TRUE(r.found);
    start[img::BIKE] = 3;
    EXPECT_EQ(r.image, start);
}

TEST(ReadParameterFile, ReverseConversions) {
    struct Case {
        const char* values;
        std::size_t byte;
        std::uint8_t stored;
    } cases[] = {
        {"LIMITER 12345", img::LIMITER_START, 123},
        {"LIMITER 70000", img::LIMITER_START, 44}, // low 16 bits, then divided
        {"LIMITER 1 2 25500", img::LIMITER_INJ, 255},
        {"BIKE 300", img::BIKE, 44}, // low 8 bits
        {"BIKE -1", img::BIKE, 255},
        {"VOLT_SERVO 2450", img::VOLT_SERVO, 122},
        {"RPM 1 -20", img::RPM_CORR, 80},
        {"RPM 1 -60", img::RPM_CORR, 40},
        {"RPM 1 60", img::RPM_CORR, 160},
        {"RPM -3", img::RPM_PULSES, 253},
        {"TPS 500 2500", img::TPS_100, 0},
        {"TPS 500 4900", img::TPS_100, 240},
        {"TPS 500 0", img::TPS_100, 6},
        {"TPS 500 5059", img::TPS_100, 255},
        {"TPS 509", img::TPS_0, 50},
        {"CHOKE 1 2 3 4 250", img::CHOKE_CORR, 150},
        {"CHOKE 1 2 3 4 1 1 1 50", img::CHOKE_CORR + 3, 206},
        {"ACT_RPM 256", img::ACT_RPM, 0},
        {"ACT_RPM 3", img::ACT_RPM, 3},
        {"N2O 1 2 3 4000 5000", img::N2O_TIME, 50},
        {"N2O 1 2 3 4000 5000", img::N2O_DELAY, 40},
        {"RETARD 1 2 4000 5000", img::RETARD_DELAY, 40},
        {"RETARD 1 2 4000 5000", img::RETARD_TIME, 50},
        {"POSITION_A 300 400 500 600 700 800 900 1000 1100 1200 1300 1400 1500 1600 1700 "
         "5 10 15 20 25 30 35 40 45 50 55 60 65 70 720 2",
         img::POSITION_A_DEG + 14, 144},
        {"POSITION_A 300 400 500 600 700 800 900 1000 1100 1200 1300 1400 1500 1600 1700 "
         "5 10 15 20 25 30 35 40 45 50 55 60 65 70 720 2",
         img::POSITION_A_REF, 2},
        {"TUNING 800 50 100 1 1000", img::TUNING_TIME, 10},
        {"SERVO_HYSTER 203", img::SERVO_HYSTER, 40},
        {"ACCEL 100 7500", img::ACCEL_SIZE, 150},
        {"CLUTCH 100 509", img::CLUTCH_PAUSE, 50},
        {"PILOT_LIGHT 12099", img::PILOT_LIGHT, 120},
        {"DISPLAY 1 0", img::DISPLAY_TEMP, 1},
        {"ACT_BLOK 0 1", img::BLOK_ENABLE, 1},
        {"BIKE 1 BIKE 2 BIKE 9", img::BIKE, 9}, // the last one wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        const Read r = readOnto(std::string("KORVANTA_KEY 47 ") + c.values);
        ASSERT_TRUE(r.found);
        EXPECT_EQ(r.image[c.byte], c.stored);
    }
}

TEST(ReadParameterFile, ExtendedMonitorIsTickedByAnyNonZeroValue) {
    struct Case {
        const char* value;
        bool ticked;
    } cases[] = {{"0", false}, {"1", true}, {"2", true}, {"65536", false}, {"-1", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(readOnto(std::string("KORVANTA_KEY 47 EXT_MON ") + c.value).extMonitor, c.ticked)
            << c.value;
    }
}

TEST(ReadParameterFile, ReadsValuesBackAsTheyAreWritten) {
    ParameterImage image;
    image[img::VOLT_SERVO] = 122;
    image[img::RPM_CORR] = 40;
    const std::string text = WriteParameterFile(image, TRAILER);
    EXPECT_EQ(lineStartingWith(text, "VOLT_SERVO").substr(0, 19), "VOLT_SERVO    2440 ");
    EXPECT_EQ(readOnto(text).image, image);
}

TEST(ReadParameterFile, IgnoresTheLayout) {
    const ParameterImage original = randomHeldImage(3);
    ParameterFileExtras extras = TRAILER;
    extras.extMonitor = true;
    const std::string written = WriteParameterFile(original, extras);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s;
        for (std::size_t i = 0; i < written.size();) {
            if (written.compare(i, from.size(), from) == 0) {
                s += to, i += from.size();
            } else {
                s += written[i++];
            }
        }
        return s;
    };
    const std::string variants[] = {
        replaced("\r\n", "\n"), // LF only
        replaced(" ", "\t"),    // tabs
        replaced("\r\n", " "),  // everything on one line
        replaced(" ", "\t \r\n"),
    };
    for (const std::string& v : variants) {
        const Read r = readOnto(v);
        ASSERT_TRUE(r.found);
        EXPECT_EQ(r.image, original);
        EXPECT_TRUE(r.extMonitor);
    }
}

TEST(ReadParameterFile, MissingValuesDoNotHideLaterKeys) {
    struct Case {
        const char* text;
        std::uint8_t limiterStart, limiterIgn, bike, mode;
    } cases[] = {
        // A word where a number belongs ends the key's values; the word is read as a key.
        {"KORVANTA_KEY 47 LIMITER 5000 BIKE 7 MODE 2", 50, 9, 7, 2},
        {"KORVANTA_KEY 47 LIMITER abc 6000 BIKE 7", 9, 9, 7, 9},
        {"KORVANTA_KEY 47 LIMITER 5000 12x00 MODE 2", 50, 9, 9, 2},
        {"KORVANTA_KEY 47 BIKE MODE 2", 9, 9, 9, 2},
        {"KORVANTA_KEY 47 MODE 2 BIKE", 9, 9, 9, 2}, // ends early
        {"KORVANTA_KEY 47 LIMITER - + 1 BIKE 4", 9, 9, 4, 9},
        // Stray numbers and words between keys are skipped.
        {"KORVANTA_KEY 47 12 BIKE 7 VERSIONS HEX 1.1.2000 MODE 1 2", 9, 9, 7, 1},
    };
    ParameterImage start;
    for (std::size_t k : {img::LIMITER_START, img::LIMITER_IGN, img::BIKE, img::MODE}) {
        start[k] = 9;
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Read r = readOnto(c.text, start);
        ASSERT_TRUE(r.found);
        EXPECT_EQ(r.image[img::LIMITER_START], c.limiterStart);
        EXPECT_EQ(r.image[img::LIMITER_IGN], c.limiterIgn);
        EXPECT_EQ(r.image[img::BIKE], c.bike);
        EXPECT_EQ(r.image[img::MODE], c.mode);
    }
}

TEST(ReadParameterFile, TruncatedFilesKeepWhatCameBefore) {
    const ParameterImage original = randomHeldImage(11);
    const std::string text = WriteParameterFile(original, TRAILER);
    const std::size_t tuning = text.find("TUNING");
    ASSERT_NE(tuning, std::string::npos);
    // Cut inside the last key: every key before it is complete.
    const Read r = readOnto(text.substr(0, tuning + 20));
    ASSERT_TRUE(r.found);
    ParameterImage expected = original;
    for (std::size_t k = img::TUNING_HYSTER; k <= img::TUNING_TIME; ++k) {
        expected[k] = 0;
    }
    EXPECT_EQ(r.image, expected);
    // Every cut point reads without harm; from the version key on it is found.
    for (std::size_t cut = 0; cut <= text.size(); cut += 7) {
        EXPECT_EQ(readOnto(text.substr(0, cut)).found, cut >= 18) << cut;
    }
}

TEST(ReadParameterFile, HugeAndOddTokensAreHarmless) {
    const std::string longNumber(100000, '9');
    const std::string longWord(300, 'B');
    const std::string text = "KORVANTA_KEY 47 BIKE " + longNumber + " " + longWord + " MODE 2 " +
                             std::string("\0\x01\xff", 3) + " BIKE_ 5 LOBE 12";
    const Read r = readOnto(text);
    ASSERT_TRUE(r.found);
    // 10^100000 - 1 modulo 256 is 255.
    EXPECT_EQ(r.image[img::BIKE], 255);
    EXPECT_EQ(r.image[img::MODE], 2);
    EXPECT_EQ(r.image[img::LOBE], 12);
}

TEST(ReadParameterFile, StreamsReadAndWriteTheSameText) {
    const ParameterImage original = randomHeldImage(5);
    std::ostringstream out;
    WriteParameterFile(out, original, TRAILER);
    EXPECT_EQ(out.str(), WriteParameterFile(original, TRAILER));
    std::istringstream in(out.str());
    ParameterImage image;
    bool ext = true;
    EXPECT_TRUE(ReadParameterFile(in, image, ext));
    EXPECT_EQ(image, original);
    EXPECT_FALSE(ext);
}

TEST(FileValueOf, GivesThePhysicalValueOfHeldBytes) {
    struct Case {
        std::size_t byte;
        std::uint8_t value;
        int physical;
        bool flag;
    } cases[] = {
        {img::LIMITER_START, 140, 14000, false}, {img::RPM_CORR, 40, -60, false},
        {img::TPS_100, 0, 2500, false},          {img::CHOKE_CORR, 150, 250, false},
        {img::VOLT_SERVO, 122, 2440, false},     {img::ACT_RPM, 1, 1, true},
        {img::N2O_ENABLE, 1, 1, true},           {img::mapCell(img::JET_IAP, 9, 14), 7, 7, false},
        {img::POSITION_B_DEG, 144, 720, false},  {img::TUNING_TIME, 10, 1000, false},
    };
    for (const Case& c : cases) {
        const auto v = FileValueOf(c.byte);
        ASSERT_TRUE(v) << c.byte;
        EXPECT_EQ(v->Physical(c.value), c.physical) << c.byte;
        EXPECT_EQ(v->flag, c.flag) << c.byte;
    }
}
