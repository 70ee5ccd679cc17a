// The texts the system composes and shows at run time, in the current
// language. Readers take a slot's text at the moment they show it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrova {

inline constexpr std::size_t LANGUAGE_COUNT = 4; // English, German, French, Czech

enum class Msg : std::uint8_t {
    TextManualFile,
    TextManualOpenError,
    TextComOpenError,
    TextRead,
    TextVerify,
    TextProgramDevice,
    TextSaving,
    TextReadError,
    TextVerifyError,
    TextProgramError,
    TextVersionMismatch,
    TextWrongBike,
    TextBikeNotInProgram,
    TextFileOpenError,
    TextFileVersionMismatch,
    TextAskDefaults,
    TextPrintedAt,
    TextBaseAdvance,
    TextLobeWidth,
    TextIapToTp,
    TextCylinderCorrection,
    TextAdvance,
    TextProgramCount,
    TextBlocking,
    TextStartLimiter,
    TextYes,
    TextNo,
    TextPickupCkps,
    TextPickupCmps,
    TextRunning,
    TextNoSignal,
    TextInjectionTime,
    TextMaxInjection,
    TextServoDesired,
    TextServoMeasured,
    TextGear,
    TextPosition,
    TextFallSensor,
    TextCooling,
    TextGearShiftLight,
    TextChoke,
    Count
};
inline constexpr std::size_t MSG_COUNT = static_cast<std::size_t>(Msg::Count);

inline constexpr std::size_t PLACEHOLDER_COUNT = 18;

// A monitor label's text while the unit is not connected.
struct PlaceholderText {
    std::string_view labelName; // the control's name
    std::string text;
};

class MessageTable {
public:
    const std::string& operator[](Msg slot) const { return texts_[static_cast<std::size_t>(slot)]; }
    static std::string_view Name(Msg slot);

    // Fills every slot this table owns with the texts of the language (0..3;
    // anything else reads as English). The five slots that the caption rows
    // fill (position, fall sensor, cooling, gear-shift light, choke) keep
    // whatever they hold.
    void LoadMessages(std::uint8_t languageIndex);
    // What the caption rows put into their five slots.
    void FillCaptionSlots(std::uint8_t languageIndex);
    // The placeholder of each monitor label, composed from the current slots.
    std::array<PlaceholderText, PLACEHOLDER_COUNT> MonitorPlaceholders() const;

    // The table itself: the text of a slot in a language.
    static std::string_view Text(Msg slot, std::uint8_t languageIndex);
    static bool IsCaptionSlot(Msg slot);

private:
    std::array<std::string, MSG_COUNT> texts_{};
};

} // namespace zentrova
