// Writing a monitor frame (reply code 0xB0) from its fields: the unit's side
// of the frame that the tool parses with ParseMonitorFrame, driven by the
// same field table.
#pragma once

#include "link/MonitorFrame.h"

namespace zentrova {

// The 0xB0 frame with every field in place (one-byte fields take the low
// byte of their value), reserved bytes 0 and the check byte set.
Frame EncodeMonitorFrame(const MonitorFrame& fields);

// Millivolts to the largest ADC count whose conversion (count x 5000 / 1023)
// does not pass mv; clamped to 0..1023.
int MvToCount(int mv);

} // namespace zentrova
