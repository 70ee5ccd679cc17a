// Program state shared by every front end: the one parameter image and the
// two settings that live beside it.
#pragma once

#include "image/ParameterImage.h"
#include "link/LiveValues.h"

#include <cstdint>

namespace zentrova {

struct AppState {
    ParameterImage image;
    std::uint8_t LanguageIndex = 0; // 0 English, 1 German, 2 French, 3 Czech
    std::uint8_t ComPortIndex = 0;  // zero-based: the port opened is "Com" ComPortIndex+1
    bool ChokeOutput = false;       // derived from the bike: pilot-light output drives a choke
    bool TestMode = false;          // diagnostic monitor labels shown
    LiveValues live;                // kept from the last monitor frame
};

} // namespace zentrova
