// The few live values kept from the last accepted monitor frame, read between
// frames by the saving display, the operating-point tracking and the throttle
// calibration tools. Nothing clears them when frames stop.
#pragma once

#include <cstdint>

namespace zentrova {

struct LiveValues {
    std::uint16_t Rpm = 0;            // engine speed [rpm]
    std::uint16_t TpMv = 0;           // throttle sensor [mV]
    std::uint8_t TpPercent = 0;       // throttle opening [%], above 100 a sensor error
    std::uint8_t IapPercent = 0;      // intake pressure [%]
    std::uint8_t TwByte = 0;          // coolant temperature + 100; a sensor error reads as 180
    std::uint8_t AtByte = 0;          // air temperature + 100; 0 a sensor error
    std::uint16_t AfterStartTime = 0; // time since the engine started [0.1 s]
    std::uint8_t TrackFlagA = 0;      // status flags for the operating-point tracking
    std::uint8_t TrackFlagB = 0;
    std::uint16_t UnitSaveCountdown = 0; // 1200 down to 0 while the unit stores data

    bool operator==(const LiveValues&) const = default;
};

} // namespace zentrova
