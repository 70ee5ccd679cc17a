#include "unit/EngineModel.h"

#include "unit/SimRandom.h"

#include <algorithm>
#include <cmath>

namespace zentrova {

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double CRANK_SECONDS = 1.0;
constexpr double IDLE_RPM = 1250.0, TOP_RPM = 12500.0;
constexpr double THERMISTOR_R20 = 2500.0, THERMISTOR_BETA = 3450.0, PULL_UP = 2200.0;
constexpr const auto& TPS_ROWS = img::TPS_LOAD_POINTS;

std::uint16_t word(double v) {
    return static_cast<std::uint16_t>(std::clamp<long>(std::lround(v), 0, 65535));
}
std::uint8_t byte(double v) {
    return static_cast<std::uint8_t>(std::clamp<long>(std::lround(v), 0, 255));
}
double wave(double t, double period, double phase) {
    return std::sin(2.0 * PI * t / period + phase);
}

// What the engine takes from the unit's memory; values outside their legal
// range count as absent, so an empty memory still gives a plausible engine.
struct Calibration {
    int tps0Mv = sensor::TPS_0_MV, tps100Mv = sensor::TPS_100_MV;
    int limiterIgnRpm = 0, limiterInjRpm = 0; // 0: none
    int iapToTps = 0;
    int pilotRpm = 0;
    int coolingC = 0;
    bool n2o = false;
    int baseAdvance = 10;
};

Calibration readCalibration(const ParameterImage& m) {
    Calibration c;
    const int tps0 = m[img::TPS_0] * 10, tps100 = m[img::TPS_100] * 10 + 2500;
    if (tps0 >= 300 && tps100 <= 4900 && tps100 - tps0 >= 1000) {
        c.tps0Mv = tps0;
        c.tps100Mv = tps100;
    }
    auto limiter = [&](std::size_t k) { return m[k] >= 9 ? m[k] * 100 : 0; };
    c.limiterIgnRpm = limiter(img::LIMITER_IGN);
    c.limiterInjRpm = limiter(img::LIMITER_INJ);
    c.iapToTps = m[img::IAP_TO_TPS] <= 100 ? m[img::IAP_TO_TPS] : 0;
    c.pilotRpm = m[img::PILOT_LIGHT] >= 10 ? m[img::PILOT_LIGHT] * 100 : 0;
    c.coolingC = m[img::COOLING] <= 150 ? m[img::COOLING] : 0;
    c.n2o = m[img::N2O_ENABLE] != 0;
    if (m[img::BASE_ADV] <= 40) {
        c.baseAdvance = m[img::BASE_ADV];
    }
    return c;
}

// The advance map cell nearest to the operating point, when the map's rpm
// row is usable; otherwise a plain curve.
int advanceFor(const ParameterImage& m, int rpm, int tp) {
    bool usable = m[img::RPM_IGN] > 0;
    for (std::size_t c = 0; c + 1 < img::CURVE_LEN; ++c) {
        usable = usable && m[img::RPM_IGN + c] < m[img::RPM_IGN + c + 1];
    }
    if (!usable) {
        return std::clamp(8 + rpm / 400 - tp / 8, 0, 45);
    }
    std::size_t col = img::CURVE_LEN - 1;
    for (std::size_t c = 0; c + 1 < img::CURVE_LEN; ++c) {
        if ((m[img::RPM_IGN + c] + m[img::RPM_IGN + c + 1]) * 100 > 2 * rpm) {
            col = c;
            break;
        }
    }
    std::size_t row = TPS_ROWS.size() - 1;
    for (std::size_t r = 0; r + 1 < TPS_ROWS.size(); ++r) {
        if (TPS_ROWS[r] + TPS_ROWS[r + 1] > 2 * tp) {
            row = r;
            break;
        }
    }
    return m[img::mapCell(img::IGN, row, col)];
}

} // namespace

namespace sensor {

int ThermistorCount(double celsius) {
    const double r =
        THERMISTOR_R20 * std::exp(THERMISTOR_BETA * (1.0 / (celsius + 273.15) - 1.0 / 293.15));
    return static_cast<int>(std::clamp<long>(std::lround(1023.0 * r / (r + PULL_UP)), 1, 1022));
}

double ThermistorCelsius(int count) {
    const double c = std::clamp(count, 1, 1022);
    const double r = PULL_UP * c / (1023.0 - c);
    return 1.0 / (std::log(r / THERMISTOR_R20) / THERMISTOR_BETA + 1.0 / 293.15) - 273.15;
}

} // namespace sensor

EngineModel::EngineModel(std::uint64_t seed) {
    SimRandom random(seed ^ 0x656E67696E65ull);
    constexpr double BASE_PERIODS[WAVES] = {21.0, 6.7, 1.9};
    for (int i = 0; i < WAVES; ++i) {
        period_[i] = BASE_PERIODS[i] * (0.85 + 0.3 * random.uniform());
    }
    for (double& p : phase_) {
        p = 2.0 * PI * random.uniform();
    }
}

MonitorFrame EngineModel::at(std::chrono::milliseconds sinceStart,
                             const ParameterImage& memory) const {
    const Calibration cal = readCalibration(memory);
    const double t = std::max(0.0, static_cast<double>(sinceStart.count()) / 1000.0);
    const bool cranking = t < CRANK_SECONDS;
    const double run = std::max(0.0, t - CRANK_SECONDS); // seconds since the engine started
    MonitorFrame v;

    // Rider and speed.
    const double w = 0.6 * wave(run, period_[0], phase_[0]) +
                     0.3 * wave(run, period_[1], phase_[1]) +
                     0.1 * wave(run, period_[2], phase_[2]);
    const int tp = cranking ? 0 : static_cast<int>(std::clamp(std::lround(45 + 75 * w), 0L, 100L));
    double rpm = cranking ? 250 + 40 * wave(t, 0.3, phase_[3])
                          : IDLE_RPM + (TOP_RPM - IDLE_RPM) * std::pow(tp / 100.0, 0.85) +
                                120 * wave(run, 0.9, phase_[3]);
    const bool injLimit = cal.limiterInjRpm > 0 && rpm >= cal.limiterInjRpm;
    const bool ignLimit = cal.limiterIgnRpm > 0 && rpm >= cal.limiterIgnRpm;
    for (int limit : {cal.limiterInjRpm, cal.limiterIgnRpm}) {
        if (limit > 0) {
            rpm = std::min(rpm, static_cast<double>(limit));
        }
    }
    const bool overrun = tp == 0 && rpm > 3000;
    v.Rpm = word(rpm);
    v.RpmFlag1 = injLimit;
    v.RpmFlag2 = ignLimit;
    v.TpPercent = static_cast<std::uint8_t>(tp);
    v.TpRaw =
        static_cast<std::uint16_t>(MvToCount(cal.tps0Mv + (cal.tps100Mv - cal.tps0Mv) * tp / 100));
    v.CkpsSignal = v.CmpsSignal = 1;
    v.AfterStartTime = word(run * 10);
    v.Gear = (cranking || run < 5)
                 ? 0
                 : byte(1 + std::floor(std::fmod(run / 45.0 + phase_[4], 1.0) * 6));

    // Pressures: intake pressure as a share of the ambient pressure.
    v.ApKpa10 = word(1013 + 6 * wave(t, 300, phase_[4]));
    v.ApRaw = static_cast<std::uint16_t>(MvToCount(v.ApKpa10 * sensor::PRESSURE_MV_PER_KPA10));
    v.IapPercent = byte(std::clamp(28 + 0.72 * tp + 1.5 * wave(t, 0.7, phase_[1]), 20.0, 100.0));
    const int iapKpa10 = v.ApKpa10 * v.IapPercent / 100;
    v.IapRaw = static_cast<std::uint16_t>(MvToCount(iapKpa10 * sensor::PRESSURE_MV_PER_KPA10));
    v.TrackFlagA = cranking || overrun || injLimit || ignLimit;
    v.TrackFlagB = tp >= cal.iapToTps;

    // Temperatures: the coolant warms up from 20 degrees.
    const double tw = 20 + 68 * (1 - std::exp(-t / 150)) + 1.5 * wave(t, 40, phase_[2]);
    const double at = 24 + 3 * wave(t, 90, phase_[0]);
    v.TwByte = byte(tw + 100);
    v.AtByte = byte(at + 100);
    v.TwRaw = static_cast<std::uint16_t>(sensor::ThermistorCount(v.TwByte - 100));
    v.AtRaw = static_cast<std::uint16_t>(sensor::ThermistorCount(v.AtByte - 100));
    v.CoolingOn = cal.coolingC > 0 && v.TwByte - 100 >= cal.coolingC;

    // Lambda: rich at full load, lean on the overrun, swinging in closed loop.
    const double lambdaMv = tp >= 80  ? 860 + 25 * wave(t, 0.5, phase_[3])
                            : overrun ? 80
                                      : 450 + 330 * wave(t, 1.1, phase_[2]);
    v.LambdaRaw = static_cast<std::uint16_t>(MvToCount(static_cast<int>(lambdaMv)));

    // Supply voltage: the charging system comes in above idle.
    const double u =
        cranking ? 10500 : 13900 + 250 * wave(t, 37, phase_[1]) - (rpm < 2000 ? 500 : 0);
    v.UbatRaw = static_cast<std::uint16_t>(MvToCount(static_cast<int>(u) / sensor::UBAT_DIVIDER));

    // Corrections and injection.
    v.TwCorr = word(1000 + std::max(0.0, 60 - tw) * 6);
    v.AtCorr = word(1000 + (25 - at) * 3);
    v.ApCorr = word(1000 + (1013 - v.ApKpa10));
    v.StartCorr = word(1000 + 400 * std::exp(-run / 15));
    v.UCorr = word(1000 + (13500 - u) / 8);
    double injUs = cranking ? 6000 : 900 + 62.0 * tp;
    for (std::uint16_t corr : {v.TwCorr, v.AtCorr, v.ApCorr, v.StartCorr}) {
        injUs *= corr / 1000.0;
    }
    injUs += v.UCorr - 1000;
    if (overrun || injLimit) {
        injUs = 0;
    }
    // An injector cannot stay open longer than the four-stroke cycle of two
    // revolutions; the unit keeps 5 % of it closed.
    injUs = std::min(injUs, 0.95 * 120e6 / std::max(rpm, 1.0) / 1.03);
    const double injBUs = (tp > 60 && !overrun && !injLimit) ? (tp - 60) * 90.0 : 0.0;
    v.Inj14A = word(injUs / 30);
    v.Inj23A = word(injUs * 1.03 / 30);
    v.Inj14B = word(injBUs / 30);
    v.Inj23B = word(injBUs * 1.03 / 30);
    v.PositionA = word(300 + rpm / 200);
    v.PositionB = word(360 + rpm / 400);

    // Ignition.
    v.AdvanceBase = cranking;
    v.Advance =
        static_cast<std::uint16_t>(cranking ? cal.baseAdvance : advanceFor(memory, v.Rpm, tp));

    // Outputs.
    v.ServoDesired = word(std::clamp(600 + rpm * 0.3, 0.0, 4500.0));
    v.ServoMeasured = word(v.ServoDesired + 12 * wave(t, 2.3, phase_[4]));
    v.ServoOk = 1;
    v.PilotLightOn = cal.pilotRpm > 0 && v.Rpm >= cal.pilotRpm;
    v.N2oOn = cal.n2o && tp >= 95 && v.Gear >= 2;
    return v;
}

} // namespace zentrova
