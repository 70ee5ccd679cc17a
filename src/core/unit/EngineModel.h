// The simulated engine behind a simulated unit: a deterministic function of
// the time since the unit started, a seed and the unit's parameter memory.
// The rider opens and closes the throttle in overlapping waves; speed, loads,
// pressures, temperatures, lambda, injection, advance, gear and servo follow.
// Every ADC count agrees with the value the frame reports beside it.
#pragma once

#include "image/ParameterImage.h"
#include "unit/MonitorEncoding.h"

#include <chrono>
#include <cstdint>

namespace zentrova {

// Sensor curves of the simulated unit.
namespace sensor {
// Pressure sensors (ambient and intake): 4 mV per 0.1 kPa.
inline constexpr int PRESSURE_MV_PER_KPA10 = 4;
// Throttle sensor calibration used while the memory holds none.
inline constexpr int TPS_0_MV = 500, TPS_100_MV = 4500;
// Supply voltage divider.
inline constexpr int UBAT_DIVIDER = 11;
// Coolant and air thermistor: count for a temperature; falls as it warms.
int ThermistorCount(double celsius);
// The temperature a thermistor count stands for (the inverse of the above).
double ThermistorCelsius(int count);
} // namespace sensor

class EngineModel {
public:
    explicit EngineModel(std::uint64_t seed);

    // The engine's state at `sinceStart`, shaped by the unit's memory
    // (limiters, throttle calibration, advance map, switch-over threshold,
    // shift light, cooling light). Leaves ProgramCount, Test1..Test8,
    // UnitSaveCountdown, DataError and FirmwareVersion at 0 for the unit.
    MonitorFrame at(std::chrono::milliseconds sinceStart, const ParameterImage& memory) const;

private:
    static constexpr int WAVES = 3;
    double phase_[WAVES + 2];
    double period_[WAVES];
};

} // namespace zentrova
