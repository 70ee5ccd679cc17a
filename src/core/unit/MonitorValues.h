// The values a unit reports in its monitor frame (reply code 0xB0), by name,
// and their encoding into the 102-byte frame: 16-bit values least
// significant byte first, flags and percentages one byte each.
#pragma once

#include "link/BlockFrame.h"

#include <array>
#include <cstdint>

namespace zentrova {

struct MonitorValues {
    std::uint16_t Rpm = 0;
    std::uint16_t ApRaw = 0;
    std::uint16_t ApKpa10 = 0;
    std::uint16_t IapRaw = 0;
    std::uint16_t TpRaw = 0;
    std::uint16_t LambdaRaw = 0;
    std::uint16_t TwRaw = 0;
    std::uint16_t AtRaw = 0;
    std::uint16_t UbatRaw = 0;
    std::uint16_t Inj14A = 0, Inj23A = 0, Inj14B = 0, Inj23B = 0; // 30 us
    std::uint16_t ServoMeasured = 0, ServoDesired = 0;            // mV
    std::uint16_t ProgramCount = 0;
    std::array<std::uint16_t, 8> TestValues{};
    std::uint16_t AfterStartTime = 0; // 0.1 s
    std::uint8_t TpPercent = 0;
    std::uint8_t IapPercent = 0;
    std::uint8_t TwByte = 0; // degrees Celsius + 100
    std::uint8_t AtByte = 0; // degrees Celsius + 100
    std::uint8_t StartLimiterOn = 0;
    std::uint8_t RpmFlag1 = 0, RpmFlag2 = 0;
    std::uint8_t FallSensorOn = 0;
    std::uint8_t BlockingOn = 0;
    std::uint8_t TrackFlagA = 0, TrackFlagB = 0;
    std::uint8_t PilotLightOn = 0;
    std::uint8_t ServoOk = 0;
    std::uint8_t ClutchMasterOn = 0;
    std::uint8_t TachoMode = 0;
    std::uint8_t N2oOn = 0;
    std::uint8_t AdvanceBase = 0;
    std::uint8_t CoolingOn = 0;
    std::uint16_t Advance = 0; // degrees
    std::uint8_t CkpsSignal = 0, CmpsSignal = 0;
    std::uint16_t PositionA = 0, PositionB = 0;                      // degrees
    std::uint16_t TwCorr = 0, AtCorr = 0, ApCorr = 0, StartCorr = 0; // 0.1 %
    std::uint16_t UCorr = 0;                                         // us + 1000
    std::uint16_t UnitSaveCountdown = 0;
    std::uint8_t Gear = 0;
    std::uint8_t DataError = 0;
    std::uint8_t FirmwareVersion = 0;

    bool operator==(const MonitorValues&) const = default;
};

// Frame offsets of the fields, for writers and readers of monitor frames.
namespace mon {
inline constexpr std::size_t RPM = 1, AP_RAW = 3, AP_KPA10 = 5, IAP_RAW = 7, TP_RAW = 9,
                             LAMBDA_RAW = 11, TW_RAW = 13, AT_RAW = 15, UBAT_RAW = 17, INJ_14A = 19,
                             INJ_23A = 21, INJ_14B = 23, INJ_23B = 25, SERVO_MEASURED = 27,
                             SERVO_DESIRED = 29, PROGRAM_COUNT = 31, TEST_VALUES = 33,
                             AFTER_START_TIME = 49, TP_PERCENT = 51, IAP_PERCENT = 52, TW_BYTE = 53,
                             AT_BYTE = 54, START_LIMITER_ON = 55, RPM_FLAG_1 = 56, RPM_FLAG_2 = 57,
                             FALL_SENSOR_ON = 58, BLOCKING_ON = 59, TRACK_FLAG_A = 60,
                             TRACK_FLAG_B = 61, PILOT_LIGHT_ON = 62, SERVO_OK = 63,
                             CLUTCH_MASTER_ON = 64, TACHO_MODE = 65, N2O_ON = 66, ADVANCE_BASE = 68,
                             COOLING_ON = 70, ADVANCE = 71, CKPS_SIGNAL = 73, CMPS_SIGNAL = 74,
                             POSITION_A = 81, POSITION_B = 83, TW_CORR = 85, AT_CORR = 87,
                             AP_CORR = 89, START_CORR = 91, U_CORR = 93, UNIT_SAVE_COUNTDOWN = 95,
                             GEAR = 97, DATA_ERROR = 99, FIRMWARE_VERSION = 100;
} // namespace mon

// The 0xB0 frame with the values in place, reserved bytes 0, check byte set.
Frame EncodeMonitorFrame(const MonitorValues& values);

// ADC count (10 bits) to millivolts, as the tool converts it.
inline constexpr int CountToMv(int count) {
    return count * 5000 / 1023;
}
// Millivolts to the ADC count whose conversion comes closest from below
// without passing mv, clamped to 0..1023.
int MvToCount(int mv);

} // namespace zentrova
