// The unit's identity block (image block 0) as the three texts the Other
// page shows: version label, build date dd.mm.20yy and build time hh:mm.
// Texts are UTF-8; the unit's bytes are Windows-1250.
#pragma once

#include "image/ParameterImage.h"

#include <string>

namespace zentrova {

struct UnitIdentityTexts {
    std::string UnitVersionText;
    std::string UnitDateText;
    std::string UnitTimeText;
    bool operator==(const UnitIdentityTexts&) const = default;
};

UnitIdentityTexts DecodeIdentity(const ParameterImage& image);

} // namespace zentrova
