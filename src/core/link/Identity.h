// The unit's identity block (image block 0) as the three texts the Other
// page shows: version label, build date dd.mm.20yy and build time hh:mm.
// Texts are UTF-8; the unit's bytes are Windows-1250.
#pragma once

#include "image/ParameterImage.h"

#include <string>
#include <string_view>

namespace zentrova {

struct UnitIdentityTexts {
    std::string UnitVersionText;
    std::string UnitDateText;
    std::string UnitTimeText;
    bool operator==(const UnitIdentityTexts&) const = default;
};

UnitIdentityTexts DecodeIdentity(const ParameterImage& image);

// "PC-47, IGN-<the unit's version>": the version this program speaks beside
// the one the unit reports.
std::string VersionPairText(unsigned unitVersion);
// The version mismatch message: the slot's text, two blanks and the pair.
std::string VersionMismatchText(std::string_view slotText, unsigned unitVersion);

} // namespace zentrova
