// Default parameter sets: fixed values plus the calibration tables chosen by
// the bike code. Writes blocks 1 to 11 only, never block 0, BIKE itself or
// the reserved bytes. Does not validate: callers do.
#pragma once

#include "app/AppState.h"
#include "image/ParameterImage.h"

namespace zentrova {

// Builds the default set for the BIKE the image holds, then recomputes the
// bike-derived bytes. Codes above 44 leave the image unchanged and return false.
bool BuildDefaultSet(ParameterImage& image, bool& chokeOutput);
bool BuildDefaultSet(AppState& state);

} // namespace zentrova
