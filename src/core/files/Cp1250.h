// Windows-1250, the single-byte code page of the unit's texts and of the
// parameter file trailer, converted to and from UTF-8 at the edges.
#pragma once

#include <string>
#include <string_view>

namespace zentrova {

// Every byte becomes its character; the five bytes without a character
// (0x81, 0x83, 0x88, 0x90, 0x98) become '?'.
std::string Cp1250ToUtf8(std::string_view bytes);

// Every character becomes its byte; a character the code page lacks, and
// every byte of a malformed UTF-8 sequence, becomes '?'.
std::string Utf8ToCp1250(std::string_view utf8);

} // namespace zentrova
