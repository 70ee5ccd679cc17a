#include "files/FieldChanges.h"
#include "files/ParameterFile.h"
#include "image/FieldNames.h"

#include <gtest/gtest.h>

using namespace zentrova;

TEST(FieldNames, NameEveryByteWithItsPlace) {
    struct Case {
        std::size_t byte;
        const char* label;
        FieldShape shape;
    } cases[] = {
        {0, "UNIT_NAME[0]", FieldShape::Array},
        {10, "UNIT_VERSION", FieldShape::Single},
        {50, "UNIT_BIKES[0]", FieldShape::Array},
        {100, "BIKE", FieldShape::Single},
        {101, "reserved[101]", FieldShape::Reserved},
        {111, "BIKE_FLAG", FieldShape::Single},
        {119, "RPM_CORR", FieldShape::Single},
        {147, "CHOKE_CORR[3]", FieldShape::Array},
        {157, "CYLINDER_CORR[0]", FieldShape::Array},
        {199, "AIR_TEMP[4]", FieldShape::Array},
        {234, "RPM_SERVO[14]", FieldShape::Array},
        {309, "POSITION_B_DEG[14]", FieldShape::Array},
        {384, "RPM_JET_IAP[14]", FieldShape::Array},
        {399, "reserved[399]", FieldShape::Reserved},
        {400, "IGN[0][0]", FieldShape::Map},
        {549, "IGN[9][14]", FieldShape::Map},
        {img::mapCell(img::JET_14A, 3, 5), "JET_14A[3][5]", FieldShape::Map},
        {1149, "JET_IAP[9][14]", FieldShape::Map},
        {1150, "reserved[1150]", FieldShape::Reserved},
    };
    for (const Case& c : cases) {
        const FieldRef field = FieldAt(c.byte);
        EXPECT_EQ(FieldLabel(field), c.label) << c.byte;
        EXPECT_EQ(field.shape, c.shape) << c.byte;
    }
    const FieldRef cell = FieldAt(img::mapCell(img::JET_B, 7, 2));
    EXPECT_EQ(cell.page, 3u);
    EXPECT_EQ(cell.row, 7u);
    EXPECT_EQ(cell.column, 2u);
    EXPECT_EQ(cell.first, img::JET_B);
}

TEST(FieldNames, AgreeWithTheBytesTheFileHolds) {
    // Every byte the file holds has a name; every named parameter byte is in
    // the file except the two derived from the bike.
    for (std::size_t k = 100; k < IMAGE_SIZE; ++k) {
        const FieldRef field = FieldAt(k);
        const bool named = field.shape != FieldShape::Reserved;
        const bool derived = k == img::BIKE_FLAG || k == img::BIKE_CONST;
        EXPECT_EQ(FileValueOf(k).has_value(), named && !derived) << FieldLabel(field);
    }
}

TEST(FieldNames, LoadPointsOfTheMapRows) {
    EXPECT_EQ(LoadPointText(0, 0), "TPS 0 %");
    EXPECT_EQ(LoadPointText(1, 3), "TPS 10 %");
    EXPECT_EQ(LoadPointText(3, 9), "TPS 100 %");
    EXPECT_EQ(LoadPointText(4, 0), "IAP 30 %");
    EXPECT_EQ(LoadPointText(4, 3), "IAP 70 %");
    EXPECT_EQ(LoadPointText(4, 10), "");
}

TEST(FieldChanges, DescribeFieldsInFileUnits) {
    ParameterImage a, b;
    a[img::BASE_ADV] = 50, b[img::BASE_ADV] = 40;
    a[img::RPM_CORR] = 40, b[img::RPM_CORR] = 100;
    a[img::CHOKE_CORR + 2] = 150, b[img::CHOKE_CORR + 2] = 0;
    a[img::rpmRowOfPage(0) + 5] = 70, b[img::rpmRowOfPage(0) + 5] = 70;
    a[img::mapCell(img::IGN, 3, 5)] = 39, b[img::mapCell(img::IGN, 3, 5)] = 45;
    a[img::rpmRowOfPage(4) + 1] = 20, b[img::rpmRowOfPage(4) + 1] = 21;
    a[img::mapCell(img::JET_IAP, 3, 1)] = 1, b[img::mapCell(img::JET_IAP, 3, 1)] = 2;
    a[img::BIKE_FLAG] = 1; // not in the file, not listed
    a[150] = 0, b[150] = 1;
    a[1180] = 3; // reserved

    std::vector<std::string> lines;
    for (const FieldChange& c : FileFieldChanges(a, b)) {
        lines.push_back(DescribeChange(c, a, b));
    }
    const std::vector<std::string> expected = {
        "BASE_ADV: 50 -> 40",
        "RPM_CORR: -60 -> 0",
        "CHOKE_CORR[2]: 250 -> 100",
        "DISPLAY_TEMP: 0 -> 1",
        "RPM_JET_IAP[1]: 2000 -> 2100",
        "IGN[3][5] (TPS 10 %, 7000 rpm): 39 -> 45",
        "JET_IAP[3][1] (IAP 70 %, 2000/2100 rpm): 1 -> 2",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(FileFieldChanges(a, a).empty());
}
