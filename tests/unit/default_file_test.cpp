// The default set of bike 11, validated and written, against the file that
// the tool is known to write for it.
#include "files/ParameterFile.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zentrova;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::string defaultFile(std::uint8_t bike) {
    ParameterImage image;
    image[img::BIKE] = bike;
    bool choke = false;
    EXPECT_TRUE(BuildDefaultSet(image, choke));
    ValidateImage(image);
    return WriteParameterFile(image, {false, DecodeIdentity(image), {"Sep 29 2006", "07:45:18"}});
}

} // namespace

TEST(DefaultFile, Bike11StartsAsKnown) {
    const std::vector<std::string> start = {
        "KORVANTA_KEY    47 ",
        "",
        "BIKE            11 ",
        "LIMITER      10000 14000 14300 ",
        "RPM              1     0 ",
        "EXT_MON          0",
        "BASE_ADV        10 ",
        "LOBE           40 ",
        "IAP_TO_TPS       5 ",
        "MODE             1 ",
        "ACT_BLOK         1     0",
        "ACT_CLUTCH       1",
        "ACT_LIM1         1",
        "ACT_RPM          1",
        "ACT_N2O          1",
        "",
        "RPM_IGN       1000  2000  3000  4000  6000  7000  8000  9000 10000 11000 12000 13000 "
        "14000 15000 16000 ",
        "IGN             16    30    38    35    39    40    40    40    39    39    39    37    "
        "34    34    34 ",
        "                16    30    38    35    39    40    40    40    39    39    39    37    "
        "34    34    34 ",
    };
    const std::vector<std::string> lines = linesOf(defaultFile(11));
    ASSERT_GE(lines.size(), start.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + start.size()), start);
}

TEST(DefaultFile, Bike11EndsAsKnown) {
    const std::vector<std::string> end = {
        "CHOKE            5    10    15    20 ",
        "               250   150   130   110 ",
        "",
        "SERVO_ENABLE     1",
        "SERVO_HYSTER   200 ",
        "RPM_SERVO     1000  2000  3000  4000  6000  7000  8000  9000 10000 11000 12000 13000 "
        "14000 15000 16000 ",
        "VOLT_SERVO    2000  2100  2200  2300  2400  2440  2500  2540  2600  2640  2700  2740  "
        "2800  2840  2900 ",
        "CLUTCH         100   500 ",
        "PILOT_LIGHT  12000 ",
        "N2O              0    20    60  2000  3000 ",
        "RETARD           0     0  2000  3000 ",
        "",
        "DISPLAY          0    0",
        "",
        "TUNING         800    50   100     1  1000 ",
        "",
        "VERSIONS",
    };
    const std::vector<std::string> lines = linesOf(defaultFile(11));
    ASSERT_GE(lines.size(), end.size() + 2);
    // The HEX and EXE lines follow.
    const auto first = lines.end() - static_cast<std::ptrdiff_t>(end.size()) - 2;
    EXPECT_EQ(std::vector<std::string>(first, lines.end() - 2), end);
}

TEST(DefaultFile, EveryBikeReadsBackToTheSameValidatedSet) {
    for (int bike = 0; bike < 45; ++bike) {
        SCOPED_TRACE(bike);
        const std::string text = defaultFile(static_cast<std::uint8_t>(bike));
        ParameterImage image;
        bool ext = true;
        ASSERT_TRUE(ReadParameterFile(text, image, ext));
        EXPECT_FALSE(ext);
        const ParameterImage read = image;
        ValidateImage(image);
        EXPECT_EQ(image, read) << "a written default set needs no repair";
        EXPECT_EQ(
            WriteParameterFile(image, {false, DecodeIdentity(image), {"Sep 29 2006", "07:45:18"}}),
            text);
    }
}
