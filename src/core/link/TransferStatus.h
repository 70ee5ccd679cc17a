// What the transfer engine shows: the status label LabelHlaseni, the progress
// gauge CGaugeProgram and the pair LabelSpojeni / LabelVersion. The window
// renders this; it computes nothing itself.
#pragma once

#include "lang/MessageTable.h"

#include <string>

namespace zentrova {

inline constexpr int STATUS_COUNTDOWN_START = 200; // ticks, about 11 s
inline constexpr int GAUGE_BLOCK_MAX = 11;         // one step per block
inline constexpr int GAUGE_SAVING_MAX = 100;       // percent while the unit stores data
inline constexpr char STATUS_OK_SUFFIX[] = " OK";

struct TransferStatus {
    // LabelHlaseni: the text is the slot's text in the language current when it
    // was set, followed by the suffix; slot and suffix are kept for reference.
    Msg textSlot = Msg::TextRead;
    std::string textSuffix;
    std::string text;
    bool red = false; // error colour; otherwise the normal label colour
    bool textVisible = false;

    // CGaugeProgram
    int gaugePosition = 0;
    int gaugeMax = GAUGE_BLOCK_MAX;
    bool gaugeVisible = false;

    // LabelSpojeni (no connection) and LabelVersion share one place.
    bool connectionLabelVisible = true;
    bool versionLabelVisible = false;

    bool operator==(const TransferStatus&) const = default;
};

} // namespace zentrova
