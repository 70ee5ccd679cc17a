// Repairs an image in place so every checked field lies in its legal range
// and every rpm row and time row strictly increases. Never rejects, never reports.
#pragma once

#include "app/AppState.h"
#include "image/ParameterImage.h"

#include <cstdint>

namespace zentrova {

// The image and the two settings kept outside it: a language index above 3
// becomes 0, a port index above 20 becomes 0.
void ValidateImage(ParameterImage& image, std::uint8_t& languageIndex, std::uint8_t& comPortIndex);
void ValidateImage(AppState& state);
// For front ends without those settings (files on the command line).
void ValidateImage(ParameterImage& image);

} // namespace zentrova
