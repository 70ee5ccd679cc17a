#include "link/Monitor.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace zentrova;

namespace {

using F = MonitorFrame;
using C = MonitorColour;

// The bytes of a monitor reply carrying the given fields, check byte filled in.
Frame Encode(const MonitorFrame& f, std::uint8_t code = CODE_MONITOR_REPLY) {
    Frame out{};
    out[0] = code;
    for (std::size_t i = 0; i < MonitorFields().size(); ++i) {
        const MonitorField& field = MonitorFields()[i];
        const std::uint16_t v = MonitorFieldValue(f, i);
        out[field.offset] = static_cast<std::uint8_t>(v);
        if (field.width == 2)
            out[field.offset + 1u] = static_cast<std::uint8_t>(v >> 8);
    }
    out[FRAME_SIZE - 1] = FrameCheckByte(std::span<const std::uint8_t>(out.data(), FRAME_SIZE - 1));
    return out;
}

// An engine idling along without faults.
MonitorFrame QuietEngine() {
    F f;
    f.Rpm = 6000;
    f.ApRaw = 800;
    f.ApKpa10 = 1005;
    f.IapRaw = 500;
    f.TpRaw = 300;
    f.LambdaRaw = 180;
    f.TwRaw = 400;
    f.AtRaw = 500;
    f.UbatRaw = 270;
    f.Inj14A = 100;
    f.Inj23A = 110;
    f.Inj14B = 120;
    f.Inj23B = 130;
    f.ServoMeasured = 2500;
    f.ServoDesired = 2600;
    f.ProgramCount = 5;
    f.Test1 = 1, f.Test2 = 2, f.Test3 = 3, f.Test4 = 4;
    f.Test5 = 5, f.Test6 = 6, f.Test7 = 7, f.Test8 = 65535;
    f.AfterStartTime = 123;
    f.TpPercent = 20;
    f.IapPercent = 60;
    f.TwByte = 185;
    f.AtByte = 125;
    f.ServoOk = 1;
    f.TachoMode = 1;
    f.Advance = 32;
    f.PositionA = 300;
    f.PositionB = 310;
    f.TwCorr = 125;
    f.UCorr = 1000;
    f.Gear = 3;
    f.FirmwareVersion = 47;
    return f;
}

// Everything the decoding reads besides the frame.
struct Rig {
    ParameterImage image;
    MessageTable messages;
    bool choke = false;
    bool extended = false;
    bool n2o = true;

    explicit Rig(std::uint8_t language = 0) {
        image[img::BIKE] = 11;
        image[img::LIMITER_IGN] = 150;
        image[img::SERVO_ENABLE] = 1;
        messages.LoadMessages(language);
        messages.FillCaptionSlots(language);
    }
    MonitorInputs Inputs() const { return {image, messages, choke, extended, n2o}; }
};

using Tweak = std::function<void(F&, Rig&)>;

MonitorView ViewOf(const Tweak& tweak, std::uint8_t language = 0) {
    Rig s(language);
    F f = QuietEngine();
    if (tweak)
        tweak(f, s);
    return MakeMonitorView(f, s.Inputs());
}

} // namespace

// ---- frame layout ----------------------------------------------------------

TEST(MonitorFrameLayout, FieldsSitAtTheirOffsetsLittleEndian) {
    Frame raw{};
    for (std::size_t i = 0; i < FRAME_SIZE; ++i)
        raw[i] = static_cast<std::uint8_t>(i);
    const F f = ParseMonitorFields(raw);
    EXPECT_EQ(f.Rpm, 0x0201);
    EXPECT_EQ(f.UbatRaw, 17 | 18 << 8);
    EXPECT_EQ(f.ProgramCount, 31 | 32 << 8);
    EXPECT_EQ(f.Test1, 33 | 34 << 8);
    EXPECT_EQ(f.Test8, 47 | 48 << 8);
    EXPECT_EQ(f.AfterStartTime, 49 | 50 << 8);
    EXPECT_EQ(f.TpPercent, 51);
    EXPECT_EQ(f.TwByte, 53);
    EXPECT_EQ(f.TrackFlagB, 61);
    EXPECT_EQ(f.N2oOn, 66);
    EXPECT_EQ(f.AdvanceBase, 68);
    EXPECT_EQ(f.CoolingOn, 70);
    EXPECT_EQ(f.Advance, 71 | 72 << 8);
    EXPECT_EQ(f.CmpsSignal, 74);
    EXPECT_EQ(f.PositionA, 81 | 82 << 8);
    EXPECT_EQ(f.UCorr, 93 | 94 << 8);
    EXPECT_EQ(f.UnitSaveCountdown, 95 | 96 << 8);
    EXPECT_EQ(f.Gear, 97);
    EXPECT_EQ(f.DataError, 99);
    EXPECT_EQ(f.FirmwareVersion, 100);
}

TEST(MonitorFrameLayout, FieldTableCoversEveryByteButCodeCheckAndReserved) {
    const std::set<std::size_t> reserved = {67, 69, 75, 76, 77, 78, 79, 80, 98};
    std::vector<int> owner(FRAME_SIZE, -1);
    std::set<std::string_view> names;
    const auto fields = MonitorFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_TRUE(names.insert(fields[i].name).second) << fields[i].name;
        for (std::size_t b = fields[i].offset; b < fields[i].offset + fields[i].width; ++b) {
            EXPECT_EQ(owner[b], -1) << "byte " << b << " in two fields";
            owner[b] = static_cast<int>(i);
        }
    }
    for (std::size_t b = 0; b < FRAME_SIZE; ++b) {
        const bool expectOwned = b != 0 && b != FRAME_SIZE - 1 && !reserved.contains(b);
        EXPECT_EQ(owner[b] != -1, expectOwned) << "byte " << b;
    }
}

TEST(MonitorFrameLayout, ValueByIndexFollowsTheNamedField) {
    Frame raw{};
    for (std::size_t i = 0; i < FRAME_SIZE; ++i)
        raw[i] = static_cast<std::uint8_t>(0xA0 ^ i);
    const F f = ParseMonitorFields(raw);
    const auto fields = MonitorFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::uint16_t expected = raw[fields[i].offset];
        if (fields[i].width == 2)
            expected |= raw[fields[i].offset + 1u] << 8;
        EXPECT_EQ(MonitorFieldValue(f, i), expected) << fields[i].name;
    }
    EXPECT_EQ(MonitorFieldValue(f, fields.size()), 0);
    EXPECT_EQ(MonitorFieldValue(f, 0), f.Rpm);
    EXPECT_EQ(fields[0].name, "Rpm");
}

TEST(MonitorFrameLayout, ParseAcceptsOnlyGoodMonitorReplies) {
    const Frame good = Encode(QuietEngine());
    ASSERT_TRUE(ParseMonitorFrame(good).has_value());
    EXPECT_EQ(*ParseMonitorFrame(good), QuietEngine());

    Frame badCheck = good;
    badCheck[FRAME_SIZE - 1] ^= 0x01;
    EXPECT_FALSE(ParseMonitorFrame(badCheck).has_value());
    Frame flipped = good;
    flipped[40] ^= 0x10; // one data bit wrong
    EXPECT_FALSE(ParseMonitorFrame(flipped).has_value());
    // A block reply with a good check byte is no monitor frame.
    EXPECT_FALSE(ParseMonitorFrame(Encode(QuietEngine(), 0xC1)).has_value());
}

TEST(MonitorFrameLayout, AdcCountsConvertTruncating) {
    EXPECT_EQ(AdcToMv(0), 0u);
    EXPECT_EQ(AdcToMv(100), 488u);
    EXPECT_EQ(AdcToMv(270), 1319u);
    EXPECT_EQ(AdcToMv(1023), 5000u);
}

// ---- labels ------------------------------------------------------------------

struct LabelCase {
    const char* what;
    Tweak tweak;
    std::string_view label;
    std::optional<std::string> text;
    std::optional<C> colour;
    std::optional<bool> visible = std::nullopt;
};

void CheckLabels(const std::vector<LabelCase>& cases, std::uint8_t language = 0) {
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.what);
        const MonitorView view = ViewOf(c.tweak, language);
        const LabelUpdate* l = view.Label(c.label);
        ASSERT_NE(l, nullptr) << c.label;
        EXPECT_EQ(l->text, c.text);
        EXPECT_EQ(l->colour, c.colour);
        EXPECT_EQ(l->visible, c.visible);
    }
}

TEST(MonitorLabels, SpeedLoadAndThrottle) {
    CheckLabels({
        {"rpm", {}, "LabelRpm", "RPM = 6000 ", C::Normal},
        {"one speed flag", [](F& f, Rig&) { f.RpmFlag1 = 1; }, "LabelRpm", "RPM = 6000 ",
         C::Magenta},
        {"the other", [](F& f, Rig&) { f.RpmFlag2 = 7; }, "LabelRpm", "RPM = 6000 ", C::Magenta},
        {"both", [](F& f, Rig&) { f.RpmFlag1 = f.RpmFlag2 = 1; }, "LabelRpm", "RPM = 6000 ",
         C::Red},
        {"iap", {}, "LabelPodtlak", "IAP = 60 [%]", C::Normal},
        {"iap detailed", [](F&, Rig& s) { s.extended = true; }, "LabelPodtlak",
         "IA P= 60 [%] = 2443 [mV]", C::Normal},
        {"iap 1010 on bike 30", [](F& f, Rig& s) { f.IapRaw = 1010, s.image[img::BIKE] = 30; },
         "LabelPodtlak", "IAP = 60 [%]", C::Normal},
        {"iap 1010 on bike 1", [](F& f, Rig& s) { f.IapRaw = 1010, s.image[img::BIKE] = 1; },
         "LabelPodtlak", "IAP = 60 [%]", C::Normal},
        {"iap 1010 on bike 2", [](F& f, Rig& s) { f.IapRaw = 1010, s.image[img::BIKE] = 2; },
         "LabelPodtlak", "IAP = error", C::Red},
        {"iap 1006 on bike 2", [](F& f, Rig& s) { f.IapRaw = 1006, s.image[img::BIKE] = 2; },
         "LabelPodtlak", "IAP = 60 [%]", C::Normal},
        {"iap 104 on bike 30", [](F& f, Rig& s) { f.IapRaw = 104, s.image[img::BIKE] = 30; },
         "LabelPodtlak", "IAP = error", C::Red},
        {"iap 105", [](F& f, Rig&) { f.IapRaw = 105; }, "LabelPodtlak", "IAP = 60 [%]", C::Normal},
        {"iap error detailed", [](F& f, Rig& s) { f.IapRaw = 104, s.extended = true; },
         "LabelPodtlak", "IAP = error = 508 [mV]", C::Red},
        {"lambda", [](F& f, Rig&) { f.LambdaRaw = 100; }, "LabelLambda", "LAMBDA = 488 mV",
         std::nullopt},
        {"tp", {}, "LabelTpsMon", "TP = 20 %", C::Normal},
        {"tp 100", [](F& f, Rig&) { f.TpPercent = 100; }, "LabelTpsMon", "TP = 100 %", C::Normal},
        {"tp detailed", [](F&, Rig& s) { s.extended = true; }, "LabelTpsMon", "TP = 20 %=1466 mV",
         C::Normal},
        {"tp error", [](F& f, Rig&) { f.TpPercent = 101; }, "LabelTpsMon", "TP = error = 1466 mV",
         C::Red},
    });
}

TEST(MonitorLabels, IgnitionInjectionAndPositions) {
    CheckLabels({
        {"advance", {}, "LabelMon_Ign", "Advance = 32 °", std::nullopt},
        {"advance padded", [](F& f, Rig&) { f.Advance = 5; }, "LabelMon_Ign", "Advance =  5 °",
         std::nullopt},
        {"base advance", [](F& f, Rig&) { f.AdvanceBase = 1; }, "LabelMon_Ign", "Advance = BASE",
         std::nullopt},
        {"jet 14A", {}, "LabelMon_Jet_14A", "Injection time 14A = 3000 us", std::nullopt},
        {"jet 23A", {}, "LabelMon_Jet_23A", "Injection time 23A = 3300 us", std::nullopt},
        {"jet 14B", {}, "LabelMon_Jet_14B", "Injection time 14B = 3600 us", std::nullopt},
        {"jet 23B", {}, "LabelMon_Jet_23B", "Injection time 23B = 3900 us", std::nullopt},
        {"duty from the longest time",
         {},
         "LabelMaxInjProcent",
         "Max injection = 19 [%]",
         std::nullopt},
        {"duty above 100", [](F& f, Rig&) { f.Rpm = 10000, f.Inj14B = 500; }, "LabelMaxInjProcent",
         "Max injection = 125 [%]", std::nullopt},
        {"position A", {}, "LabelMon_PolohaA", "Position A = 300 °", std::nullopt},
        {"position B", {}, "LabelMon_PolohaB", "Position B = 310 °", std::nullopt},
    });
}

TEST(MonitorLabels, PressureTemperatureAndSupply) {
    CheckLabels({
        {"ap", {}, "LabelTlak", "AP = 100.5 kPa", C::Normal},
        {"ap detailed", [](F&, Rig& s) { s.extended = true; }, "LabelTlak",
         "AP = 100.5 kPa= 3910 mV", C::Normal},
        {"ap small", [](F& f, Rig&) { f.ApKpa10 = 95; }, "LabelTlak", "AP =  9.5 kPa", C::Normal},
        {"ap 1010 on bike 2", [](F& f, Rig& s) { f.ApRaw = 1010, s.image[img::BIKE] = 2; },
         "LabelTlak", "AP = 100.5 kPa", C::Red},
        {"ap 1010 on bike 30", [](F& f, Rig& s) { f.ApRaw = 1010, s.image[img::BIKE] = 30; },
         "LabelTlak", "AP = 100.5 kPa", C::Normal},
        {"ap 104", [](F& f, Rig&) { f.ApRaw = 104; }, "LabelTlak", "AP = 100.5 kPa", C::Red},
        {"tw", {}, "LabelVoda", "TW= 85 °C", C::Normal},
        {"tw detailed", [](F&, Rig& s) { s.extended = true; }, "LabelVoda", "TW = 85 °C= 1955 mV",
         C::Normal},
        {"tw below zero", [](F& f, Rig&) { f.TwByte = 90; }, "LabelVoda", "TW= -10 °C", C::Normal},
        {"tw 199", [](F& f, Rig&) { f.TwByte = 199; }, "LabelVoda", "TW= 99 °C", C::Normal},
        {"tw 200 hot", [](F& f, Rig&) { f.TwByte = 200; }, "LabelVoda", "TW= 100 °C", C::Yellow},
        {"tw error", [](F& f, Rig&) { f.TwByte = 0; }, "LabelVoda", "TW = error", C::Red},
        {"tw error detailed", [](F& f, Rig& s) { f.TwByte = 0, s.extended = true; }, "LabelVoda",
         "TW = error = 1955 mV", C::Red},
        {"at", {}, "LabelVzduch", "AT = 25 °C", C::Normal},
        {"at below zero", [](F& f, Rig&) { f.AtByte = 90; }, "LabelVzduch", "AT = -10 °C",
         C::Normal},
        {"at error shows 50", [](F& f, Rig&) { f.AtByte = 0; }, "LabelVzduch", "AT = 50 °C",
         C::Red},
        {"at error detailed", [](F& f, Rig& s) { f.AtByte = 0, s.extended = true; }, "LabelVzduch",
         "AT = 50 °C= 2443 mV", C::Red},
    });
}

TEST(MonitorLabels, SupplyVoltageThresholds) {
    // u = (count * 5000 / 1023) * 11 mV; the thresholds lie between reachable values.
    struct {
        std::uint16_t count;
        const char* text;
        C colour;
    } cases[] = {
        {0, "U =  0.0 V", C::Red},      // 0 mV
        {130, "U =  7.0 V", C::Red},    // 6985 mV, at or below 7000
        {131, "U =  7.0 V", C::Yellow}, // 7040 mV
        {204, "U = 11.0 V", C::Yellow}, // 10967 mV, at or below 11000
        {205, "U = 11.0 V", C::Normal}, // 11011 mV
        {270, "U = 14.5 V", C::Normal}, // 14509 mV
        {279, "U = 15.0 V", C::Normal}, // 14993 mV, still below 14999
        {280, "U = 15.0 V", C::Yellow}, // 15048 mV
        {334, "U = 18.0 V", C::Yellow}, // 17952 mV
        {335, "U = 18.0 V", C::Red},    // 18007 mV, at or above 17999
        {1023, "U = 55.0 V", C::Red},   // 55000 mV
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        const MonitorView v = ViewOf([&](F& f, Rig&) { f.UbatRaw = c.count; });
        EXPECT_EQ(v.Label("LabelNapeti")->text, c.text);
        EXPECT_EQ(v.Label("LabelNapeti")->colour, c.colour);
    }
}

TEST(MonitorLabels, ServoAndStates) {
    CheckLabels({
        {"servo desired", {}, "LabelServoPoz", "Servo desired = 2600 mV", C::Normal},
        {"servo measured", {}, "LabelServoMer", "Servo measured = 2500 mV", C::Normal},
        {"servo fault", [](F& f, Rig&) { f.ServoOk = 0; }, "LabelServoPoz",
         "Servo desired = 2600 mV", C::Red},
        {"servo fault measured", [](F& f, Rig&) { f.ServoOk = 0; }, "LabelServoMer",
         "Servo measured = 2500 mV", C::Red},
        {"servo fault, servo off",
         [](F& f, Rig& s) { f.ServoOk = 0, s.image[img::SERVO_ENABLE] = 0; }, "LabelServoPoz",
         "Servo desired = 2600 mV", C::Normal},
        {"ckps running", [](F& f, Rig&) { f.CkpsSignal = 1; }, "LabelSnimacCkps",
         "Pick-up (CKPS) -  is running", C::Green},
        {"ckps silent", {}, "LabelSnimacCkps", "Pick-up (CKPS) -  no signal", C::Normal},
        {"cmps running", [](F& f, Rig&) { f.CmpsSignal = 1; }, "LabelSnimacCmps",
         "Pick-up (CMPS) -  is running", C::Green},
        {"fall sensor", [](F& f, Rig&) { f.FallSensorOn = 1; }, "LabelBlocking1",
         "Fall sensor - YES", C::Red},
        {"fall sensor off", {}, "LabelBlocking1", "Fall sensor - NO", C::Normal},
        {"blocking", [](F& f, Rig&) { f.BlockingOn = 1; }, "LabelBlocking2", "Blocking  - YES",
         C::Red},
        {"clutch master", [](F& f, Rig&) { f.ClutchMasterOn = 1; }, "LabelClutchMon",
         "Clutch master - YES", C::Green},
        {"clutch master off", {}, "LabelClutchMon", "Clutch master - NO", C::Normal},
        {"start limiter", [](F& f, Rig&) { f.StartLimiterOn = 1; }, "LabelMonOmez1",
         "Start limiter - YES", C::White},
        {"shift light", [](F& f, Rig&) { f.PilotLightOn = 1; }, "LabelMonPilotLight",
         "Gear Shift Light - YES", C::Yellow},
        {"choke", [](F&, Rig& s) { s.choke = true; }, "LabelMonPilotLight", "Choke - NO",
         C::Normal},
        {"tacho", {}, "LabelTacho_Lambda", "Tacho/Lambda - Tacho", C::Normal},
        {"lambda", [](F& f, Rig&) { f.TachoMode = 0; }, "LabelTacho_Lambda",
         "Tacho/Lambda - Lambda", C::Magenta},
        {"cooling", [](F& f, Rig&) { f.CoolingOn = 1; }, "LabelClazeniMon", "Cooling - YES",
         C::White},
        {"n2o shown", [](F& f, Rig&) { f.N2oOn = 1; }, "LabelN2oEnable", "N2O - YES", C::Green,
         true},
        {"n2o hidden but updated", [](F& f, Rig& s) { f.N2oOn = 1, s.n2o = false; },
         "LabelN2oEnable", "N2O - YES", C::Green, false},
        {"n2o off", [](F&, Rig& s) { s.n2o = false; }, "LabelN2oEnable", "N2O - NO", C::Normal,
         false},
    });
}

TEST(MonitorLabels, CorrectionsAreSigned) {
    CheckLabels({
        {"tw", {}, "LabelKorVoda", "TW correction = 12.5 %", std::nullopt},
        {"tw negative", [](F& f, Rig&) { f.TwCorr = 0xFFF6; }, "LabelKorVoda",
         "TW correction = -1.0 %", std::nullopt},
        {"at", [](F& f, Rig&) { f.AtCorr = 5; }, "LabelKorVzduch", "AT correction =  0.5 %",
         std::nullopt},
        {"ap", {}, "LabelKorTlak", "AP correction =  0.0 %", std::nullopt},
        {"start", [](F& f, Rig&) { f.StartCorr = 1000; }, "LabelKorSytic",
         "Starting corr. = 100.0 %", std::nullopt},
        {"u zero", {}, "LabelKorNapeti", "U correction = 0 us", std::nullopt},
        {"u negative", [](F& f, Rig&) { f.UCorr = 800; }, "LabelKorNapeti",
         "U correction = -200 us", std::nullopt},
        {"u positive", [](F& f, Rig&) { f.UCorr = 1250; }, "LabelKorNapeti",
         "U correction = 250 us", std::nullopt},
    });
}

TEST(MonitorLabels, UnitStatus) {
    CheckLabels({
        {"version matches", {}, "LabelVersion", "PC-47, IGN-47", C::White},
        {"version 45", [](F& f, Rig&) { f.FirmwareVersion = 45; }, "LabelVersion",
         "Unmatched version of PC and Ignition programs!  PC-47, IGN-45", C::Red},
        {"gear", {}, "LabelGear", "Gear = 3 ", std::nullopt},
        {"program count", {}, "LabelPocetProgramovani", "Number of Programing =  5", std::nullopt},
        {"data in order", {}, "LabelEeDataErr", std::nullopt, std::nullopt, false},
        {"data error", [](F& f, Rig&) { f.DataError = 1; }, "LabelEeDataErr", std::nullopt,
         std::nullopt, true},
        {"test 1", {}, "LabelTest1", "Test1= 1", std::nullopt},
        {"test 2", {}, "LabelTest2", "Test2= 2", std::nullopt},
        {"test 3", {}, "LabelTest3", "Test3= 3 ", std::nullopt},
        {"test 4", {}, "LabelTest4", "Test4=4", std::nullopt},
        {"test 5", {}, "LabelTest5", "Test5= 5", std::nullopt},
        {"test 6", {}, "LabelTest6", "Test6= 6", std::nullopt},
        {"test 7", {}, "LabelTest7", "Test7= 7", std::nullopt},
        {"test 8", {}, "LabelTest8", "Test8= 65535", std::nullopt},
    });
}

TEST(MonitorLabels, TextsFollowTheLanguage) {
    CheckLabels(
        {
            {"jet", {}, "LabelMon_Jet_14A", "Einspritzzeit 14A = 3000 us", std::nullopt},
            {"fall sensor", [](F& f, Rig&) { f.FallSensorOn = 1; }, "LabelBlocking1",
             "Fallsensor - JA", C::Red},
            {"choke", [](F&, Rig& s) { s.choke = true; }, "LabelMonPilotLight",
             "Startvergaser - NEIN", C::Normal},
            {"position", {}, "LabelMon_PolohaA", "Lage A = 300 °", std::nullopt},
            {"ckps", {}, "LabelSnimacCkps", "Geber (CKPS) -  kein Signal", C::Normal},
            // The formats themselves are the same in every language.
            {"tw", {}, "LabelVoda", "TW= 85 °C", C::Normal},
        },
        1);
}

// ---- gauges ------------------------------------------------------------------

TEST(MonitorGauges, PositionsAndBarColours) {
    struct {
        const char* what;
        Tweak tweak;
        std::string_view gauge;
        std::optional<int> position;
        std::optional<C> colour;
    } cases[] = {
        {"rpm of the limiter", {}, "CGaugeRpm", 40, std::nullopt},
        {"rpm, no limiter: untouched", [](F&, Rig& s) { s.image[img::LIMITER_IGN] = 0; },
         "CGaugeRpm", std::nullopt, std::nullopt},
        {"rpm above the limiter", [](F& f, Rig&) { f.Rpm = 20000; }, "CGaugeRpm", 100,
         std::nullopt},
        {"lambda 488 mV", [](F& f, Rig&) { f.LambdaRaw = 100; }, "CGaugeLambda", 14, std::nullopt},
        {"lambda below 400 mV", [](F& f, Rig&) { f.LambdaRaw = 81; }, "CGaugeLambda", 0,
         std::nullopt},
        {"lambda 997 mV", [](F& f, Rig&) { f.LambdaRaw = 204; }, "CGaugeLambda", 99, std::nullopt},
        {"lambda above 1000 mV", [](F& f, Rig&) { f.LambdaRaw = 205; }, "CGaugeLambda", 100,
         std::nullopt},
        {"tp", {}, "CGaugeTps", 20, std::nullopt},
        {"tp 100", [](F& f, Rig&) { f.TpPercent = 100; }, "CGaugeTps", 100, std::nullopt},
        {"tp error", [](F& f, Rig&) { f.TpPercent = 101; }, "CGaugeTps", 0, std::nullopt},
        {"tw", {}, "CGaugeVoda", 85, C::Cyan},
        {"tw below zero", [](F& f, Rig&) { f.TwByte = 90; }, "CGaugeVoda", 0, C::Cyan},
        {"tw 199", [](F& f, Rig&) { f.TwByte = 199; }, "CGaugeVoda", 99, C::Cyan},
        {"tw hot", [](F& f, Rig&) { f.TwByte = 200; }, "CGaugeVoda", 100, C::Yellow},
        {"tw hotter", [](F& f, Rig&) { f.TwByte = 255; }, "CGaugeVoda", 100, C::Yellow},
        {"tw error at 80", [](F& f, Rig&) { f.TwByte = 0; }, "CGaugeVoda", 80, C::Red},
        {"duty", {}, "CGaugeDuty", 19, C::Blue},
        {"duty 100", [](F& f, Rig&) { f.Rpm = 10000, f.Inj23A = 400; }, "CGaugeDuty", 100, C::Blue},
        {"duty 125", [](F& f, Rig&) { f.Rpm = 10000, f.Inj23B = 500; }, "CGaugeDuty", 100,
         C::Yellow},
        {"duty of extreme values", [](F& f, Rig&) { f.Rpm = 65535, f.Inj14A = 65535; },
         "CGaugeDuty", 100, C::Yellow},
        {"engine stopped", [](F& f, Rig&) { f.Rpm = 0; }, "CGaugeDuty", 0, C::Blue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const MonitorView v = ViewOf(c.tweak);
        const GaugeUpdate* g = v.Gauge(c.gauge);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->position, c.position);
        EXPECT_EQ(g->colour, c.colour);
    }
}

TEST(MonitorGauges, ExtremeDutyLabelKeepsItsValue) {
    const MonitorView v = ViewOf([](F& f, Rig&) { f.Rpm = 65535, f.Inj14A = 65535; });
    // 65535 * 65535 / 40000 does not fit 16 bits, nor would the product fit 31.
    EXPECT_EQ(v.Label("LabelMaxInjProcent")->text, "Max injection = 107370 [%]");
}

// ---- the view as a whole -----------------------------------------------------

TEST(MonitorView, EveryControlOnceAndTestLabelsLeftToTestMode) {
    const MonitorView v = ViewOf({});
    std::set<std::string_view> labels, gauges;
    for (const LabelUpdate& l : v.labels)
        EXPECT_TRUE(labels.insert(l.name).second) << l.name;
    for (const GaugeUpdate& g : v.gauges)
        EXPECT_TRUE(gauges.insert(g.name).second) << g.name;
    const std::set<std::string_view> expected = {"LabelRpm",
                                                 "LabelPodtlak",
                                                 "LabelLambda",
                                                 "LabelTpsMon",
                                                 "LabelMon_Ign",
                                                 "LabelSnimacCkps",
                                                 "LabelSnimacCmps",
                                                 "LabelMon_Jet_14A",
                                                 "LabelMon_Jet_23A",
                                                 "LabelMon_Jet_14B",
                                                 "LabelMon_Jet_23B",
                                                 "LabelMaxInjProcent",
                                                 "LabelMon_PolohaA",
                                                 "LabelMon_PolohaB",
                                                 "LabelTlak",
                                                 "LabelVoda",
                                                 "LabelVzduch",
                                                 "LabelNapeti",
                                                 "LabelServoPoz",
                                                 "LabelServoMer",
                                                 "LabelBlocking1",
                                                 "LabelBlocking2",
                                                 "LabelClutchMon",
                                                 "LabelMonOmez1",
                                                 "LabelMonPilotLight",
                                                 "LabelTacho_Lambda",
                                                 "LabelClazeniMon",
                                                 "LabelN2oEnable",
                                                 "LabelKorVoda",
                                                 "LabelKorVzduch",
                                                 "LabelKorTlak",
                                                 "LabelKorSytic",
                                                 "LabelKorNapeti",
                                                 "LabelVersion",
                                                 "LabelGear",
                                                 "LabelEeDataErr",
                                                 "LabelPocetProgramovani",
                                                 "LabelTest1",
                                                 "LabelTest2",
                                                 "LabelTest3",
                                                 "LabelTest4",
                                                 "LabelTest5",
                                                 "LabelTest6",
                                                 "LabelTest7",
                                                 "LabelTest8"};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(gauges, (std::set<std::string_view>{"CGaugeRpm", "CGaugeTps", "CGaugeLambda",
                                                  "CGaugeVoda", "CGaugeDuty"}));
    for (const char* name : {"LabelTest1", "LabelTest8", "LabelRpm", "LabelVersion"})
        EXPECT_FALSE(v.Label(name)->visible.has_value()) << name;
    // Every placeholder label is one the frames write.
    Rig s;
    for (const LabelUpdate& p : MonitorPlaceholderView(s.messages).labels)
        EXPECT_TRUE(labels.contains(p.name)) << p.name;
}

TEST(MonitorView, ColoursHaveTheirRgb) {
    EXPECT_EQ(RgbOf(C::Normal), std::nullopt);
    EXPECT_EQ(RgbOf(C::Red), (Rgb{255, 0, 0}));
    EXPECT_EQ(RgbOf(C::Yellow), (Rgb{255, 255, 0}));
    EXPECT_EQ(RgbOf(C::Green), (Rgb{0, 255, 0}));
    EXPECT_EQ(RgbOf(C::Magenta), (Rgb{255, 0, 255}));
    EXPECT_EQ(RgbOf(C::White), (Rgb{255, 255, 255}));
    EXPECT_EQ(RgbOf(C::Blue), (Rgb{0, 0, 255}));
    EXPECT_EQ(RgbOf(C::Cyan), (Rgb{0, 255, 255}));
}

// ---- decoding: acceptance and retained values --------------------------------

class DecodeMonitor : public ::testing::Test {
protected:
    Rig rig;
    LiveValues live;
    MonitorView view;

    bool Decode(const Frame& frame) { return DecodeMonitorFrame(frame, rig.Inputs(), live, view); }
};

TEST_F(DecodeMonitor, GoodFrameFillsLiveValuesAndView) {
    F f = QuietEngine();
    f.TrackFlagA = 3;
    f.TrackFlagB = 4;
    f.UnitSaveCountdown = 600;
    ASSERT_TRUE(Decode(Encode(f)));
    EXPECT_EQ(live.Rpm, 6000);
    EXPECT_EQ(live.TpMv, 1466);
    EXPECT_EQ(live.TpPercent, 20);
    EXPECT_EQ(live.IapPercent, 60);
    EXPECT_EQ(live.TwByte, 185);
    EXPECT_EQ(live.AtByte, 125);
    EXPECT_EQ(live.AfterStartTime, 123);
    EXPECT_EQ(live.TrackFlagA, 3);
    EXPECT_EQ(live.TrackFlagB, 4);
    EXPECT_EQ(live.UnitSaveCountdown, 600);
    ASSERT_NE(view.Label("LabelRpm"), nullptr);
    EXPECT_EQ(view.Label("LabelRpm")->text, "RPM = 6000 ");
}

TEST_F(DecodeMonitor, CoolantErrorReadsAsEightyDegreesAirErrorStaysZero) {
    F f = QuietEngine();
    f.TwByte = 0;
    f.AtByte = 0;
    ASSERT_TRUE(Decode(Encode(f)));
    EXPECT_EQ(live.TwByte, 180);
    EXPECT_EQ(live.AtByte, 0);
}

TEST_F(DecodeMonitor, RejectedFramesChangeNothing) {
    ASSERT_TRUE(Decode(Encode(QuietEngine())));
    const LiveValues liveBefore = live;
    const std::size_t labelsBefore = view.labels.size();
    const std::optional<std::string> rpmBefore = view.Label("LabelRpm")->text;

    F other = QuietEngine();
    other.Rpm = 9000;
    other.TwByte = 0;
    other.UnitSaveCountdown = 1200;
    Frame badCheck = Encode(other);
    badCheck[FRAME_SIZE - 1] ^= 0x80;
    Frame blockReply = Encode(other, 0xC3); // good check byte, not a monitor frame

    for (const Frame* frame : {&badCheck, &blockReply}) {
        EXPECT_FALSE(Decode(*frame));
        EXPECT_EQ(live, liveBefore);
        EXPECT_EQ(view.labels.size(), labelsBefore);
        EXPECT_EQ(view.Label("LabelRpm")->text, rpmBefore);
    }
}

TEST_F(DecodeMonitor, LiveValuesKeepTheLastAcceptedFrame) {
    F first = QuietEngine();
    first.UnitSaveCountdown = 900;
    ASSERT_TRUE(Decode(Encode(first)));
    F second = first;
    second.Rpm = 7000;
    second.UnitSaveCountdown = 0;
    ASSERT_TRUE(Decode(Encode(second)));
    EXPECT_EQ(live.Rpm, 7000);
    EXPECT_EQ(live.UnitSaveCountdown, 0);
}

// ---- placeholders ------------------------------------------------------------

TEST(MonitorPlaceholders, TextsOnlyInTheCurrentLanguage) {
    Rig english(0), german(1), french(2);
    const MonitorView en = MonitorPlaceholderView(english.messages);
    const MonitorView de = MonitorPlaceholderView(german.messages);
    const MonitorView fr = MonitorPlaceholderView(french.messages);
    EXPECT_EQ(en.labels.size(), PLACEHOLDER_COUNT);
    EXPECT_TRUE(en.gauges.empty());
    for (const LabelUpdate& l : en.labels) {
        EXPECT_FALSE(l.colour.has_value()) << l.name;
        EXPECT_FALSE(l.visible.has_value()) << l.name;
    }
    EXPECT_EQ(en.Label("LabelMon_Jet_14A")->text, "Injection time 14A = --- us");
    EXPECT_EQ(de.Label("LabelMon_Jet_14A")->text, "Einspritzzeit 14A = --- us");
    EXPECT_EQ(fr.Label("LabelServoPoz")->text, "Servo desired = --- mV");
    EXPECT_EQ(fr.Label("LabelServoMer")->text, "Servo measured = --- mV");
    EXPECT_EQ(en.Label("LabelMon_Ign")->text, "Advance= --- [°]");
    EXPECT_EQ(en.Label("LabelClazeniMon")->text, "Cooling - ---");
}
