#include "unit/MonitorValues.h"

#include <algorithm>

namespace zentrova {

namespace {

struct Word {
    std::size_t offset;
    std::uint16_t MonitorValues::*field;
};
struct Byte {
    std::size_t offset;
    std::uint8_t MonitorValues::*field;
};

constexpr Word WORDS[] = {
    {mon::RPM, &MonitorValues::Rpm},
    {mon::AP_RAW, &MonitorValues::ApRaw},
    {mon::AP_KPA10, &MonitorValues::ApKpa10},
    {mon::IAP_RAW, &MonitorValues::IapRaw},
    {mon::TP_RAW, &MonitorValues::TpRaw},
    {mon::LAMBDA_RAW, &MonitorValues::LambdaRaw},
    {mon::TW_RAW, &MonitorValues::TwRaw},
    {mon::AT_RAW, &MonitorValues::AtRaw},
    {mon::UBAT_RAW, &MonitorValues::UbatRaw},
    {mon::INJ_14A, &MonitorValues::Inj14A},
    {mon::INJ_23A, &MonitorValues::Inj23A},
    {mon::INJ_14B, &MonitorValues::Inj14B},
    {mon::INJ_23B, &MonitorValues::Inj23B},
    {mon::SERVO_MEASURED, &MonitorValues::ServoMeasured},
    {mon::SERVO_DESIRED, &MonitorValues::ServoDesired},
    {mon::PROGRAM_COUNT, &MonitorValues::ProgramCount},
    {mon::AFTER_START_TIME, &MonitorValues::AfterStartTime},
    {mon::ADVANCE, &MonitorValues::Advance},
    {mon::POSITION_A, &MonitorValues::PositionA},
    {mon::POSITION_B, &MonitorValues::PositionB},
    {mon::TW_CORR, &MonitorValues::TwCorr},
    {mon::AT_CORR, &MonitorValues::AtCorr},
    {mon::AP_CORR, &MonitorValues::ApCorr},
    {mon::START_CORR, &MonitorValues::StartCorr},
    {mon::U_CORR, &MonitorValues::UCorr},
    {mon::UNIT_SAVE_COUNTDOWN, &MonitorValues::UnitSaveCountdown},
};

constexpr Byte BYTES[] = {
    {mon::TP_PERCENT, &MonitorValues::TpPercent},
    {mon::IAP_PERCENT, &MonitorValues::IapPercent},
    {mon::TW_BYTE, &MonitorValues::TwByte},
    {mon::AT_BYTE, &MonitorValues::AtByte},
    {mon::START_LIMITER_ON, &MonitorValues::StartLimiterOn},
    {mon::RPM_FLAG_1, &MonitorValues::RpmFlag1},
    {mon::RPM_FLAG_2, &MonitorValues::RpmFlag2},
    {mon::FALL_SENSOR_ON, &MonitorValues::FallSensorOn},
    {mon::BLOCKING_ON, &MonitorValues::BlockingOn},
    {mon::TRACK_FLAG_A, &MonitorValues::TrackFlagA},
    {mon::TRACK_FLAG_B, &MonitorValues::TrackFlagB},
    {mon::PILOT_LIGHT_ON, &MonitorValues::PilotLightOn},
    {mon::SERVO_OK, &MonitorValues::ServoOk},
    {mon::CLUTCH_MASTER_ON, &MonitorValues::ClutchMasterOn},
    {mon::TACHO_MODE, &MonitorValues::TachoMode},
    {mon::N2O_ON, &MonitorValues::N2oOn},
    {mon::ADVANCE_BASE, &MonitorValues::AdvanceBase},
    {mon::COOLING_ON, &MonitorValues::CoolingOn},
    {mon::CKPS_SIGNAL, &MonitorValues::CkpsSignal},
    {mon::CMPS_SIGNAL, &MonitorValues::CmpsSignal},
    {mon::GEAR, &MonitorValues::Gear},
    {mon::DATA_ERROR, &MonitorValues::DataError},
    {mon::FIRMWARE_VERSION, &MonitorValues::FirmwareVersion},
};

void putWord(std::array<std::uint8_t, BLOCK_SIZE>& data, std::size_t offset, std::uint16_t v) {
    data[offset - 1] = static_cast<std::uint8_t>(v & 0xFFu);
    data[offset] = static_cast<std::uint8_t>(v >> 8);
}

} // namespace

Frame EncodeMonitorFrame(const MonitorValues& values) {
    std::array<std::uint8_t, BLOCK_SIZE> data{}; // frame byte k is data[k - 1]
    for (const Word& w : WORDS) {
        putWord(data, w.offset, values.*(w.field));
    }
    for (std::size_t i = 0; i < values.TestValues.size(); ++i) {
        putWord(data, mon::TEST_VALUES + 2 * i, values.TestValues[i]);
    }
    for (const Byte& b : BYTES) {
        data[b.offset - 1] = values.*(b.field);
    }
    return MakeFrame(CODE_MONITOR_REPLY, data);
}

int MvToCount(int mv) {
    // The largest count whose conversion does not exceed mv.
    int count = std::clamp((mv * 1023 + 4999) / 5000, 0, 1023);
    while (count > 0 && CountToMv(count) > mv) {
        --count;
    }
    return count;
}

} // namespace zentrova
