// The unit's live-data reply (code 0xB0): field by field, as one table that
// drives the parsing and that a CSV writer can use for its header and rows.
#pragma once

#include "link/BlockFrame.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace zentrova {

// Every field of the frame, widened to 16 bits. Two-byte fields are least
// significant byte first; one-byte fields keep their byte value.
struct MonitorFrame {
    std::uint16_t Rpm = 0;       // engine speed [rpm]
    std::uint16_t ApRaw = 0;     // ambient-pressure sensor, ADC count
    std::uint16_t ApKpa10 = 0;   // ambient pressure [0.1 kPa]
    std::uint16_t IapRaw = 0;    // intake-pressure sensor, ADC count
    std::uint16_t TpRaw = 0;     // throttle sensor, ADC count
    std::uint16_t LambdaRaw = 0; // lambda sensor, ADC count
    std::uint16_t TwRaw = 0;     // coolant-temperature sensor, ADC count
    std::uint16_t AtRaw = 0;     // air-temperature sensor, ADC count
    std::uint16_t UbatRaw = 0;   // supply voltage behind a 1:11 divider, ADC count
    std::uint16_t Inj14A = 0;    // injection times [30 us]
    std::uint16_t Inj23A = 0;
    std::uint16_t Inj14B = 0;
    std::uint16_t Inj23B = 0;
    std::uint16_t ServoMeasured = 0; // exhaust servo position [mV]
    std::uint16_t ServoDesired = 0;
    std::uint16_t ProgramCount = 0;                           // number of programmings of the unit
    std::uint16_t Test1 = 0, Test2 = 0, Test3 = 0, Test4 = 0; // diagnostic values
    std::uint16_t Test5 = 0, Test6 = 0, Test7 = 0, Test8 = 0;
    std::uint16_t AfterStartTime = 0; // [0.1 s]
    std::uint16_t TpPercent = 0;      // [%], above 100 a sensor error
    std::uint16_t IapPercent = 0;     // [%]
    std::uint16_t TwByte = 0;         // coolant temperature + 100; 0 a sensor error
    std::uint16_t AtByte = 0;         // air temperature + 100; 0 a sensor error
    std::uint16_t StartLimiterOn = 0;
    std::uint16_t RpmFlag1 = 0; // speed status flags: both set, or one of them
    std::uint16_t RpmFlag2 = 0;
    std::uint16_t FallSensorOn = 0;
    std::uint16_t BlockingOn = 0;
    std::uint16_t TrackFlagA = 0;
    std::uint16_t TrackFlagB = 0;
    std::uint16_t PilotLightOn = 0; // gear shift light or choke output
    std::uint16_t ServoOk = 0;
    std::uint16_t ClutchMasterOn = 0;
    std::uint16_t TachoMode = 0; // Tacho/Lambda connection: nonzero tacho, zero lambda
    std::uint16_t N2oOn = 0;
    std::uint16_t AdvanceBase = 0;
    std::uint16_t CoolingOn = 0;
    std::uint16_t Advance = 0; // [degrees]
    std::uint16_t CkpsSignal = 0;
    std::uint16_t CmpsSignal = 0;
    std::uint16_t PositionA = 0; // injection positions [degrees]
    std::uint16_t PositionB = 0;
    std::uint16_t TwCorr = 0; // corrections [0.1 %], two's complement
    std::uint16_t AtCorr = 0;
    std::uint16_t ApCorr = 0;
    std::uint16_t StartCorr = 0;
    std::uint16_t UCorr = 0; // supply-voltage correction [us] + 1000
    std::uint16_t UnitSaveCountdown = 0;
    std::uint16_t Gear = 0;
    std::uint16_t DataError = 0;
    std::uint16_t FirmwareVersion = 0;

    bool operator==(const MonitorFrame&) const = default;
};

// One field: its name (as in a CSV header), frame offset and width in bytes.
struct MonitorField {
    std::string_view name;
    std::uint8_t offset;
    std::uint8_t width; // 1 or 2
    std::uint16_t MonitorFrame::*member;
};

// All fields in frame order (code, reserved bytes and check byte left out).
std::span<const MonitorField> MonitorFields();
// The value of field i of MonitorFields(); 0 for an index out of range.
std::uint16_t MonitorFieldValue(const MonitorFrame& frame, std::size_t index);

// Every field of the frame's bytes, whatever the code and check byte say.
MonitorFrame ParseMonitorFields(FrameView frame);
// The fields of an accepted monitor reply: code 0xB0 and a good check byte.
std::optional<MonitorFrame> ParseMonitorFrame(FrameView frame);

// An ADC count (10 bits) in millivolts, integer arithmetic.
constexpr std::uint32_t AdcToMv(std::uint32_t count) {
    return count * 5000u / 1023u;
}

} // namespace zentrova
