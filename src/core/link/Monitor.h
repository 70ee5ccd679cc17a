// The live monitor: an accepted monitor frame becomes the texts, colours and
// visibility of the monitor labels, the positions and bar colours of the
// monitor gauges, and the LiveValues that other parts read between frames.
// The window renders the view; it computes nothing itself.
#pragma once

#include "image/ParameterImage.h"
#include "lang/MessageTable.h"
#include "link/BlockFrame.h"
#include "link/LiveValues.h"
#include "link/MonitorFrame.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova {

// A label's background or a gauge's bar. Normal is the system button-face colour.
enum class MonitorColour : std::uint8_t { Normal, Red, Yellow, Green, Magenta, White, Blue, Cyan };

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};
// The colour's RGB; nothing for Normal, which the platform supplies.
std::optional<Rgb> RgbOf(MonitorColour colour);

// What one label gets; an empty member leaves that property as it is.
struct LabelUpdate {
    std::string_view name;           // the control's name, e.g. "LabelRpm"
    std::optional<std::string> text; // UTF-8
    std::optional<MonitorColour> colour;
    std::optional<bool> visible;
};

// What one gauge gets (gauges run 0..100); an empty member leaves it as it is.
struct GaugeUpdate {
    std::string_view name; // e.g. "CGaugeRpm"
    std::optional<int> position;
    std::optional<MonitorColour> colour;
};

struct MonitorView {
    std::vector<LabelUpdate> labels; // in the order they are made
    std::vector<GaugeUpdate> gauges;

    const LabelUpdate* Label(std::string_view name) const;
    const GaugeUpdate* Gauge(std::string_view name) const;
};

// What the decoding reads besides the frame.
struct MonitorInputs {
    const ParameterImage& image;  // BIKE, LIMITER_IGN, SERVO_ENABLE
    const MessageTable& messages; // current language
    bool chokeOutput = false;     // the pilot-light output drives a choke
    bool extendedMonitor = false; // CheckBoxExtMonitor ("Detailed representation")
    bool n2oEnabled = false;      // CheckBoxGas ("N2O Enabled")
};

// Decodes a monitor reply. Only a frame with code 0xB0 and a good check byte
// is accepted; anything else returns false and changes neither live nor view.
// On acceptance live is overwritten and view replaced with the full set of
// updates. The caller then, in this order: sets LinkWatchdog to 0, renders
// the view, and runs ApplyDisplayRules (which may disable some of these
// labels for the current bike and settings).
bool DecodeMonitorFrame(FrameView frame, const MonitorInputs& in, LiveValues& live,
                        MonitorView& view);

// The view made from already parsed fields; the decoding without the frame test.
MonitorView MakeMonitorView(const MonitorFrame& f, const MonitorInputs& in);
// The live values kept from parsed fields (a coolant error reads as 180).
LiveValues MakeLiveValues(const MonitorFrame& f);

// The placeholder texts of the monitor labels, from the current message
// slots: shown while the unit is not connected and after a language change
// while it is not. Texts only; colours and visibility stay.
MonitorView MonitorPlaceholderView(const MessageTable& messages);

} // namespace zentrova
