// The .ign parameter file: every editable field of the image in physical
// units, the extended-monitor check box, and a trailer naming the unit
// program and the build of this program. The writer lays the file out in
// fixed columns with CR LF line ends; the reader scans tokens and ignores
// the layout.
#pragma once

#include "image/ParameterImage.h"
#include "link/Identity.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace zentrova {

inline constexpr int PARAMETER_FILE_VERSION = 47;

// Build date ("Sep 29 2006") and time ("07:45:18") of the programming
// program, written in the EXE line of the trailer.
struct BuildStamp {
    std::string date;
    std::string time;
};
BuildStamp ProgramBuildStamp();

// What a parameter file holds besides the image's bytes.
struct ParameterFileExtras {
    bool extMonitor = false; // CheckBoxExtMonitor
    UnitIdentityTexts unit;  // HEX line: date, time, version label (UTF-8)
    BuildStamp exe;          // EXE line
};

// The whole file, bytes as they go to disk (the trailer texts in Windows-1250).
std::string WriteParameterFile(const ParameterImage& image, const ParameterFileExtras& extras);
void WriteParameterFile(std::ostream& out, const ParameterImage& image,
                        const ParameterFileExtras& extras);

// Stores the value of every key met after the version key into the image
// and the check box. Returns whether the version key with 47 was found;
// when it was not, nothing has been changed. Never validates.
bool ReadParameterFile(std::string_view text, ParameterImage& image, bool& extMonitor);
bool ReadParameterFile(std::istream& in, ParameterImage& image, bool& extMonitor);

// How one image byte is held in the file: physical = (byte + bias) * scale.
struct FileValue {
    std::uint8_t scale = 1;
    std::int16_t bias = 0;
    bool flag = false;
    int Physical(std::uint8_t byte) const { return (byte + bias) * scale; }
};
// Nothing for the bytes the file does not hold (block 0, reserved, derived).
std::optional<FileValue> FileValueOf(std::size_t byte);

} // namespace zentrova
