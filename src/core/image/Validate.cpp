#include "image/Validate.h"

#include "image/BikeCatalogue.h"

#include <array>

namespace zentrova {

namespace {

using namespace img;

constexpr std::uint8_t LIMITER_MIN = 10, LIMITER_MAX = 250;
constexpr std::uint8_t RPM_ROW_FLOOR = 3;  // point i never below i + 3 (300 rpm + 100 i)
constexpr std::uint8_t RPM_ROW_CEIL = 236; // point i never above i + 236
constexpr std::uint8_t VOLT_SERVO_MAX = 249;
constexpr std::uint8_t POSITION_DEG_MAX = 144;
constexpr std::uint8_t IGN_MAX = 60, JET_MAX = 250;
constexpr std::uint8_t TPS_MAX = 250, START_JET_MAX = 50;
constexpr std::uint8_t CHOKE_TIME_SPAN = 247, CHOKE_CORR_MAX = 250;
constexpr std::uint8_t PERCENT_MAX = 100, RETARD_MAX = 25, TIME_MAX = 200;
constexpr std::uint8_t BASE_ADV_MAX = 40;
constexpr std::uint8_t LANGUAGE_MAX = 3, COM_PORT_INDEX_MAX = 20;

// The map rpm rows, in the order the repairs visit them.
constexpr std::array<std::size_t, 5> MAP_RPM_ROWS = {RPM_IGN, RPM_JET_14A, RPM_JET_B, RPM_JET_23A,
                                                     RPM_JET_IAP};
// Every row that must strictly increase, in repair order.
constexpr std::array<std::size_t, 8> INCREASING_ROWS = {RPM_IGN,        RPM_JET_14A,   RPM_JET_B,
                                                        RPM_JET_23A,    RPM_JET_IAP,   RPM_SERVO,
                                                        POSITION_A_RPM, POSITION_B_RPM};
constexpr std::array<std::size_t, 4> INJECTION_MAPS = {JET_14A, JET_B, JET_23A, JET_IAP};

void RaiseTo(std::uint8_t& b, std::uint8_t low) {
    if (b < low) {
        b = low;
    }
}
void CapAt(std::uint8_t& b, std::uint8_t high) {
    if (b > high) {
        b = high;
    }
}
void Clamp(std::uint8_t& b, std::uint8_t low, std::uint8_t high) {
    RaiseTo(b, low);
    CapAt(b, high);
}
std::uint8_t Point(std::size_t i, std::uint8_t base) {
    return static_cast<std::uint8_t>(i + base);
}

// Steps 1-3: the start limiter is clamped first and never lowered to meet
// the other two; they are raised to it.
void ValidateLimiters(ParameterImage& image) {
    Clamp(image[LIMITER_START], LIMITER_MIN, LIMITER_MAX);
    for (std::size_t limiter : {LIMITER_IGN, LIMITER_INJ}) {
        Clamp(image[limiter], LIMITER_MIN, LIMITER_MAX);
        RaiseTo(image[limiter], image[LIMITER_START]);
    }
}

// Step 4: each point of the rpm rows into its own band; servo voltages and
// injection positions into range. RPM_SERVO has no lower bound.
void BoundCurvePoints(ParameterImage& image) {
    for (std::size_t i = 0; i < CURVE_LEN; ++i) {
        const std::uint8_t floor = Point(i, RPM_ROW_FLOOR), ceil = Point(i, RPM_ROW_CEIL);
        for (std::size_t row : MAP_RPM_ROWS) {
            RaiseTo(image[row + i], floor);
        }
        RaiseTo(image[VOLT_SERVO + i], 1);
        RaiseTo(image[POSITION_A_RPM + i], floor);
        RaiseTo(image[POSITION_B_RPM + i], floor);
        for (std::size_t row : MAP_RPM_ROWS) {
            CapAt(image[row + i], ceil);
        }
        CapAt(image[RPM_SERVO + i], ceil);
        if (image[VOLT_SERVO + i] > VOLT_SERVO_MAX) {
            image[VOLT_SERVO + i] = 1; // an out-of-range voltage restarts at the bottom
        }
        CapAt(image[POSITION_A_RPM + i], ceil);
        CapAt(image[POSITION_A_DEG + i], POSITION_DEG_MAX);
        CapAt(image[POSITION_B_RPM + i], ceil);
        CapAt(image[POSITION_B_DEG + i], POSITION_DEG_MAX);
    }
}

// Step 5: rows strictly increase; repairs push forward, never pull down.
// Point i-1 is at most i+235 after step 4, so no point passes i+236.
void OrderCurvePoints(ParameterImage& image) {
    for (std::size_t i = 1; i < CURVE_LEN; ++i) {
        for (std::size_t row : INCREASING_ROWS) {
            if (image[row + i] <= image[row + i - 1]) {
                image[row + i] = static_cast<std::uint8_t>(image[row + i - 1] + 1);
            }
        }
    }
}

// Step 6: map cells into range. Bikes with a lobe cap the advance at
// BASE_ADV + LOBE, read before BASE_ADV itself is repaired (step 16).
void CapMaps(ParameterImage& image) {
    const bool capByLobe = TraitsOf(image[BIKE]).capsAdvanceAtBasePlusLobe;
    const int lobeCap = int{image[BASE_ADV]} + int{image[LOBE]};
    for (std::size_t k = 0; k < MAP_LEN; ++k) {
        std::uint8_t& ign = image[IGN + k];
        CapAt(ign, IGN_MAX);
        for (std::size_t map : INJECTION_MAPS) {
            CapAt(image[map + k], JET_MAX);
        }
        if (capByLobe && ign > lobeCap) {
            ign = static_cast<std::uint8_t>(lobeCap); // ign <= 60 here, so lobeCap < 60
        }
    }
}

// Step 9: choke time points into their bands, then strictly increasing.
void ValidateChoke(ParameterImage& image) {
    for (std::size_t i = 0; i < CHOKE_TIME_LEN; ++i) {
        Clamp(image[CHOKE_TIME + i], Point(i, 0), Point(i, CHOKE_TIME_SPAN));
        CapAt(image[CHOKE_CORR + i], CHOKE_CORR_MAX);
    }
    for (std::size_t i = 1; i < CHOKE_TIME_LEN; ++i) {
        if (image[CHOKE_TIME + i] <= image[CHOKE_TIME + i - 1]) {
            image[CHOKE_TIME + i] = static_cast<std::uint8_t>(image[CHOKE_TIME + i - 1] + 1);
        }
    }
}

// Steps 11 and 12: the first stage never exceeds the second (the first is
// lowered); build-up times are at least 1.
void ValidateN2oAndRetard(ParameterImage& image) {
    CapAt(image[N2O_1], PERCENT_MAX);
    CapAt(image[N2O_2], PERCENT_MAX);
    CapAt(image[N2O_1], image[N2O_2]);
    RaiseTo(image[N2O_TIME], 1);
    CapAt(image[N2O_DELAY], TIME_MAX);
    CapAt(image[N2O_TIME], TIME_MAX);

    CapAt(image[RETARD_1], RETARD_MAX);
    CapAt(image[RETARD_2], RETARD_MAX);
    CapAt(image[RETARD_1], image[RETARD_2]);
    CapAt(image[RETARD_DELAY], TIME_MAX);
    Clamp(image[RETARD_TIME], 1, TIME_MAX);
}

// Step 14: the servo and the gear display share an output; most bikes keep
// the servo, a few keep the gear display.
void ResolveServoAgainstGear(ParameterImage& image) {
    if (image[SERVO_ENABLE] == 0 || image[DISPLAY_GEAR] == 0) {
        return;
    }
    const bool gear = TraitsOf(image[BIKE]).keepsGearOverServo;
    image[SERVO_ENABLE] = gear ? 0 : 1;
    image[DISPLAY_GEAR] = gear ? 1 : 0;
}

// Step 13: the settings kept beside the image.
void ValidateSettings(std::uint8_t& languageIndex, std::uint8_t& comPortIndex) {
    if (languageIndex > LANGUAGE_MAX) {
        languageIndex = 0;
    }
    if (comPortIndex > COM_PORT_INDEX_MAX) {
        comPortIndex = 0;
    }
}

} // namespace

void ValidateImage(ParameterImage& image) {
    ValidateLimiters(image);                             // 1-3
    BoundCurvePoints(image);                             // 4
    OrderCurvePoints(image);                             // 5
    CapMaps(image);                                      // 6
    CapAt(image[TPS_0], TPS_MAX);                        // 7
    CapAt(image[TPS_100], TPS_MAX);                      // 7
    CapAt(image[START_JET], START_JET_MAX);              // 8
    ValidateChoke(image);                                // 9
    Clamp(image[PILOT_LIGHT], LIMITER_MIN, LIMITER_MAX); // 10
    ValidateN2oAndRetard(image);                         // 11-12
    ResolveServoAgainstGear(image);                      // 14
    CapAt(image[IAP_TO_TPS], PERCENT_MAX);               // 15
    CapAt(image[BASE_ADV], BASE_ADV_MAX);                // 16
}

// Step 13 touches no image byte, so it may run after the image steps.
void ValidateImage(ParameterImage& image, std::uint8_t& languageIndex, std::uint8_t& comPortIndex) {
    ValidateImage(image);
    ValidateSettings(languageIndex, comPortIndex);
}

void ValidateImage(AppState& state) {
    ValidateImage(state.image, state.LanguageIndex, state.ComPortIndex);
}

} // namespace zentrova
