// The 45 motorbikes: list texts in list order, list position <-> BikeCode,
// the bytes derived from the code, and where the code changes behaviour.
#pragma once

#include "app/AppState.h"
#include "image/ParameterImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrova {

inline constexpr int BIKE_COUNT = 45;               // codes 0..44
inline constexpr int BIKE_LIST_SIZE = 46;           // items 0..44 and the separator
inline constexpr int BIKE_SEPARATOR_ITEM = 45;      // stands for no known bike
inline constexpr std::uint8_t START_BIKE_CODE = 11; // bike of the set built at start-up

// Item texts in list order, blanks included; item 45 is the separator.
const std::array<std::string_view, BIKE_LIST_SIZE>& BikeListTexts();

// Code of list item 0..44; nothing for the separator or an out-of-range item.
std::optional<std::uint8_t> BikeCodeOfItem(int item);
// Sets BIKE from the picked item; the separator or no selection (-1) leaves it unchanged.
void BikeCodeFromList(ParameterImage& image, int item);

struct BikeListSelection {
    int item;                 // 0..44, or BIKE_SEPARATOR_ITEM for an unlisted code
    bool notInProgramMessage; // the "not in program" message is due
};
BikeListSelection ShowBikeInList(std::uint8_t code);
bool IsBikeListed(std::uint8_t code);

std::uint8_t BikeFlagOf(std::uint8_t code);  // BIKE_FLAG
std::uint8_t BikeConstOf(std::uint8_t code); // BIKE_CONST
bool ChokeOutputOf(std::uint8_t code);
// Recomputes BIKE_FLAG, BIKE_CONST and ChokeOutput from BIKE.
void UpdateBikeDerived(ParameterImage& image, bool& chokeOutput);
void UpdateBikeDerived(AppState& state);

// Which display choices the Other page offers for a bike.
enum class DisplayGroup : std::uint8_t {
    TemperatureOnly, // only the temperature display can be chosen
    GearOnly,        // only the gear display, and only while the servo is off
    None             // neither; both are forced off
};

// Bike-dependent behaviour, as data for the parts that ask. The default-set
// fields matter only for listed codes: unlisted codes have no default set.
struct BikeTraits {
    bool capsAdvanceAtBasePlusLobe; // validation caps IGN at BASE_ADV + LOBE
    bool HasLobe;                   // lobe width offered on the Advance page
    bool HidesInj23;                // the Inj-23A page is hidden
    bool disablesCmps;              // CMPS pick-up read-out disabled
    bool disablesCkps;              // CKPS pick-up read-out disabled
    bool acceptsHighIap;            // high intake-pressure counts are valid
    bool keepsGearOverServo;        // servo + gear display both on: gear display wins
    DisplayGroup displayGroup;
    bool drivesChoke;         // ChokeOutput: the pilot-light output works as a choke
    bool hasPositionTable;    // the default set has a positions table
    std::uint8_t defaultLobe; // LOBE of the default set
    bool defaultServoOff;     // the default set has SERVO_ENABLE 0
    bool defaultGearDisplay;  // the default set has DISPLAY_GEAR 1
};
BikeTraits TraitsOf(std::uint8_t code);

} // namespace zentrova
