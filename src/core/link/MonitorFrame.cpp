#include "link/MonitorFrame.h"

namespace zentrova {

namespace {

using F = MonitorFrame;

constexpr MonitorField FIELDS[] = {
    {"Rpm", 1, 2, &F::Rpm},
    {"ApRaw", 3, 2, &F::ApRaw},
    {"ApKpa10", 5, 2, &F::ApKpa10},
    {"IapRaw", 7, 2, &F::IapRaw},
    {"TpRaw", 9, 2, &F::TpRaw},
    {"LambdaRaw", 11, 2, &F::LambdaRaw},
    {"TwRaw", 13, 2, &F::TwRaw},
    {"AtRaw", 15, 2, &F::AtRaw},
    {"UbatRaw", 17, 2, &F::UbatRaw},
    {"Inj14A", 19, 2, &F::Inj14A},
    {"Inj23A", 21, 2, &F::Inj23A},
    {"Inj14B", 23, 2, &F::Inj14B},
    {"Inj23B", 25, 2, &F::Inj23B},
    {"ServoMeasured", 27, 2, &F::ServoMeasured},
    {"ServoDesired", 29, 2, &F::ServoDesired},
    {"ProgramCount", 31, 2, &F::ProgramCount},
    {"Test1", 33, 2, &F::Test1},
    {"Test2", 35, 2, &F::Test2},
    {"Test3", 37, 2, &F::Test3},
    {"Test4", 39, 2, &F::Test4},
    {"Test5", 41, 2, &F::Test5},
    {"Test6", 43, 2, &F::Test6},
    {"Test7", 45, 2, &F::Test7},
    {"Test8", 47, 2, &F::Test8},
    {"AfterStartTime", 49, 2, &F::AfterStartTime},
    {"TpPercent", 51, 1, &F::TpPercent},
    {"IapPercent", 52, 1, &F::IapPercent},
    {"TwByte", 53, 1, &F::TwByte},
    {"AtByte", 54, 1, &F::AtByte},
    {"StartLimiterOn", 55, 1, &F::StartLimiterOn},
    {"RpmFlag1", 56, 1, &F::RpmFlag1},
    {"RpmFlag2", 57, 1, &F::RpmFlag2},
    {"FallSensorOn", 58, 1, &F::FallSensorOn},
    {"BlockingOn", 59, 1, &F::BlockingOn},
    {"TrackFlagA", 60, 1, &F::TrackFlagA},
    {"TrackFlagB", 61, 1, &F::TrackFlagB},
    {"PilotLightOn", 62, 1, &F::PilotLightOn},
    {"ServoOk", 63, 1, &F::ServoOk},
    {"ClutchMasterOn", 64, 1, &F::ClutchMasterOn},
    {"TachoMode", 65, 1, &F::TachoMode},
    {"N2oOn", 66, 1, &F::N2oOn},
    {"AdvanceBase", 68, 1, &F::AdvanceBase},
    {"CoolingOn", 70, 1, &F::CoolingOn},
    {"Advance", 71, 2, &F::Advance},
    {"CkpsSignal", 73, 1, &F::CkpsSignal},
    {"CmpsSignal", 74, 1, &F::CmpsSignal},
    {"PositionA", 81, 2, &F::PositionA},
    {"PositionB", 83, 2, &F::PositionB},
    {"TwCorr", 85, 2, &F::TwCorr},
    {"AtCorr", 87, 2, &F::AtCorr},
    {"ApCorr", 89, 2, &F::ApCorr},
    {"StartCorr", 91, 2, &F::StartCorr},
    {"UCorr", 93, 2, &F::UCorr},
    {"UnitSaveCountdown", 95, 2, &F::UnitSaveCountdown},
    {"Gear", 97, 1, &F::Gear},
    {"DataError", 99, 1, &F::DataError},
    {"FirmwareVersion", 100, 1, &F::FirmwareVersion},
};

// Every field lies between the code byte and the check byte.
constexpr bool fieldsInsideFrame() {
    for (const MonitorField& f : FIELDS) {
        if (f.offset < 1 || f.width < 1 || f.width > 2 || f.offset + f.width > FRAME_SIZE - 1)
            return false;
    }
    return true;
}
static_assert(fieldsInsideFrame());

} // namespace

std::span<const MonitorField> MonitorFields() {
    return FIELDS;
}

std::uint16_t MonitorFieldValue(const MonitorFrame& frame, std::size_t index) {
    if (index >= std::size(FIELDS))
        return 0;
    return frame.*FIELDS[index].member;
}

MonitorFrame ParseMonitorFields(FrameView frame) {
    MonitorFrame out;
    for (const MonitorField& f : FIELDS) {
        std::uint16_t v = frame[f.offset];
        if (f.width == 2)
            v = static_cast<std::uint16_t>(v | frame[f.offset + 1u] << 8);
        out.*f.member = v;
    }
    return out;
}

std::optional<MonitorFrame> ParseMonitorFrame(FrameView frame) {
    if (!AcceptMonitorReply(frame))
        return std::nullopt;
    return ParseMonitorFields(frame);
}

} // namespace zentrova
