#include "image/FieldNames.h"

#include <array>
#include <vector>

namespace zentrova {

namespace {

struct Span {
    std::string_view name;
    std::size_t first;
    std::size_t length;
};

// Every named field; bytes not covered here are reserved. Length 1 is a
// single byte, a length of MAP_LEN at a map start is a map.
constexpr Span SPANS[] = {
    {"UNIT_NAME", img::UNIT_NAME, img::UNIT_NAME_LEN},
    {"UNIT_NUMBER", img::UNIT_NUMBER, 1},
    {"UNIT_DAY", img::UNIT_DAY, 1},
    {"UNIT_MONTH", img::UNIT_MONTH, 1},
    {"UNIT_YEAR", img::UNIT_YEAR, 1},
    {"UNIT_HOUR", img::UNIT_HOUR, 1},
    {"UNIT_MINUTE", img::UNIT_MINUTE, 1},
    {"UNIT_VERSION", img::UNIT_VERSION, 1},
    {"UNIT_BIKES", img::UNIT_BIKES_1, img::UNIT_BIKES_1_LEN},
    {"UNIT_TEXT", img::UNIT_TEXT, img::UNIT_TEXT_LEN},
    {"UNIT_BIKES", img::UNIT_BIKES_2, img::UNIT_BIKES_2_LEN},
    {"BIKE", img::BIKE, 1},
    {"RPM_PULSES", img::RPM_PULSES, 1},
    {"LIMITER_START", img::LIMITER_START, 1},
    {"LIMITER_IGN", img::LIMITER_IGN, 1},
    {"CLUTCH_TIME", img::CLUTCH_TIME, 1},
    {"LOBE", img::LOBE, 1},
    {"PILOT_LIGHT", img::PILOT_LIGHT, 1},
    {"BASE_ADV", img::BASE_ADV, 1},
    {"SERVO_HYSTER", img::SERVO_HYSTER, 1},
    {"ACT_RPM", img::ACT_RPM, 1},
    {"BIKE_FLAG", img::BIKE_FLAG, 1},
    {"SERVO_ENABLE", img::SERVO_ENABLE, 1},
    {"BLOK_ENABLE", img::BLOK_ENABLE, 1},
    {"IAP_TO_TPS", img::IAP_TO_TPS, 1},
    {"N2O_ENABLE", img::N2O_ENABLE, 1},
    {"ACT_BLOK", img::ACT_BLOK, 1},
    {"CLUTCH_PAUSE", img::CLUTCH_PAUSE, 1},
    {"ACT_CLUTCH", img::ACT_CLUTCH, 1},
    {"RPM_CORR", img::RPM_CORR, 1},
    {"ACT_N2O", img::ACT_N2O, 1},
    {"ACT_LIM1", img::ACT_LIM1, 1},
    {"TPS_0", img::TPS_0, 1},
    {"TPS_100", img::TPS_100, 1},
    {"ACCEL_THRESHOLD", img::ACCEL_THRESHOLD, 1},
    {"ACCEL_SIZE", img::ACCEL_SIZE, 1},
    {"BIKE_CONST", img::BIKE_CONST, 1},
    {"POSITION_A_REF", img::POSITION_A_REF, 1},
    {"START_JET", img::START_JET, 1},
    {"COOLING", img::COOLING, 1},
    {"N2O_1", img::N2O_1, 1},
    {"N2O_2", img::N2O_2, 1},
    {"N2O_TIME", img::N2O_TIME, 1},
    {"N2O_DELAY", img::N2O_DELAY, 1},
    {"RETARD_1", img::RETARD_1, 1},
    {"RETARD_2", img::RETARD_2, 1},
    {"RETARD_TIME", img::RETARD_TIME, 1},
    {"RETARD_DELAY", img::RETARD_DELAY, 1},
    {"MODE", img::MODE, 1},
    {"POSITION_B_REF", img::POSITION_B_REF, 1},
    {"CHOKE_TIME", img::CHOKE_TIME, img::CHOKE_TIME_LEN},
    {"CHOKE_CORR", img::CHOKE_CORR, img::CHOKE_CORR_LEN},
    {"DISPLAY_GEAR", img::DISPLAY_GEAR, 1},
    {"DISPLAY_TEMP", img::DISPLAY_TEMP, 1},
    {"TUNING_LAMBDA", img::TUNING_LAMBDA, 1},
    {"TUNING_HYSTER", img::TUNING_HYSTER, 1},
    {"TUNING_RPM", img::TUNING_RPM, 1},
    {"TUNING_TPS", img::TUNING_TPS, 1},
    {"TUNING_TIME", img::TUNING_TIME, 1},
    {"LIMITER_INJ", img::LIMITER_INJ, 1},
    {"CYLINDER_CORR", img::CYLINDER_CORR, img::CYLINDER_CORR_LEN},
    {"WATER_TEMP", img::WATER_TEMP, img::WATER_TEMP_LEN},
    {"AIR_TEMP", img::AIR_TEMP, img::AIR_TEMP_LEN},
    {"RPM_SERVO", img::RPM_SERVO, img::RPM_SERVO_LEN},
    {"VOLT_SERVO", img::VOLT_SERVO, img::VOLT_SERVO_LEN},
    {"POSITION_A_RPM", img::POSITION_A_RPM, img::POSITION_A_RPM_LEN},
    {"POSITION_A_DEG", img::POSITION_A_DEG, img::POSITION_A_DEG_LEN},
    {"POSITION_B_RPM", img::POSITION_B_RPM, img::POSITION_B_RPM_LEN},
    {"POSITION_B_DEG", img::POSITION_B_DEG, img::POSITION_B_DEG_LEN},
    {"RPM_IGN", img::RPM_IGN, img::RPM_IGN_LEN},
    {"RPM_JET_14A", img::RPM_JET_14A, img::RPM_JET_14A_LEN},
    {"RPM_JET_23A", img::RPM_JET_23A, img::RPM_JET_23A_LEN},
    {"RPM_JET_B", img::RPM_JET_B, img::RPM_JET_B_LEN},
    {"RPM_JET_IAP", img::RPM_JET_IAP, img::RPM_JET_IAP_LEN},
    {"IGN", img::IGN, img::IGN_LEN},
    {"JET_14A", img::JET_14A, img::JET_14A_LEN},
    {"JET_23A", img::JET_23A, img::JET_23A_LEN},
    {"JET_B", img::JET_B, img::JET_B_LEN},
    {"JET_IAP", img::JET_IAP, img::JET_IAP_LEN},
};

bool isMapStart(std::size_t first) {
    for (std::size_t p = 0; p < img::MAP_PAGE_COUNT; ++p) {
        if (img::mapOfPage(p) == first) {
            return true;
        }
    }
    return false;
}

FieldRef refOf(const Span& span, std::size_t k) {
    FieldRef ref{span.name, FieldShape::Single, span.first, k - span.first};
    if (span.length == img::MAP_LEN && isMapStart(span.first)) {
        ref.shape = FieldShape::Map;
        ref.row = ref.index / img::MAP_COLS;
        ref.column = ref.index % img::MAP_COLS;
        ref.page = (span.first - img::IGN) / img::MAP_LEN;
    } else if (span.length > 1) {
        ref.shape = FieldShape::Array;
    }
    return ref;
}

const std::array<FieldRef, IMAGE_SIZE>& Table() {
    static const auto table = [] {
        std::array<FieldRef, IMAGE_SIZE> t{};
        for (std::size_t k = 0; k < IMAGE_SIZE; ++k) {
            t[k] = {"reserved", FieldShape::Reserved, k, 0};
        }
        for (const Span& span : SPANS) {
            for (std::size_t k = span.first; k < span.first + span.length; ++k) {
                t[k] = refOf(span, k);
            }
        }
        return t;
    }();
    return table;
}

} // namespace

FieldRef FieldAt(std::size_t k) {
    return k < IMAGE_SIZE ? Table()[k] : FieldRef{"reserved", FieldShape::Reserved, k, 0};
}

std::string FieldLabel(const FieldRef& field) {
    std::string label(field.name);
    switch (field.shape) {
    case FieldShape::Single:
        break;
    case FieldShape::Array:
        label += '[' + std::to_string(field.index) + ']';
        break;
    case FieldShape::Map:
        label += '[' + std::to_string(field.row) + "][" + std::to_string(field.column) + ']';
        break;
    case FieldShape::Reserved:
        label += '[' + std::to_string(field.first) + ']';
        break;
    }
    return label;
}

std::string LoadPointText(std::size_t page, std::size_t row) {
    if (row >= img::MAP_ROWS) {
        return {};
    }
    const bool iap = page == img::IAP_PAGE;
    return std::string(iap ? "IAP " : "TPS ") +
           std::to_string(iap ? img::IAP_LOAD_POINTS[row] : img::TPS_LOAD_POINTS[row]) + " %";
}

} // namespace zentrova
