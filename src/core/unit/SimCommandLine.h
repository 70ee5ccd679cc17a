// The command line of the simulator program, parsed into unit options.
#pragma once

#include "unit/SimulatedUnit.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zentrova {

struct SimSettings {
    UnitOptions unit;
    bool lineRate = false;  // pace output bytes like 57600 baud
    bool verbose = false;   // one line per request on stderr
    std::string memoryFile; // .ign parameter file: blocks 1..11
    std::string imageFile;  // 1200 raw bytes: blocks 1..11 (block 0 is not taken)
    std::string linkPath;   // symbolic link to the device, made at start, removed at exit
    std::string dumpFile;   // the unit's 1200 bytes are written here when it stops
    bool help = false;
};

struct SimArguments {
    std::optional<SimSettings> settings; // nothing on error
    std::string error;
};

// Arguments without the program name. Options take their value as the next
// argument or after '=' (--drop 0.2, --drop=0.2).
SimArguments ParseSimArguments(std::span<const std::string_view> args);

// "all" (codes 0..44), "none", or a comma list of codes and ranges 0..255
// such as "0-44" or "11,41" or "0-9,30".
std::optional<BikeSet> ParseBikeList(std::string_view text);

std::string SimUsage();

// The unit's memory from a .ign file's text: the keys the file holds over the
// default memory, bike-derived bytes recomputed, not validated (a unit keeps
// what it was given). Nothing when the text has no version key with 47.
std::optional<ParameterImage> MemoryFromParameterFile(std::string_view text);
// The unit's memory from a raw image of exactly 1200 bytes; its block 0 is
// not taken. Nothing for any other size.
std::optional<ParameterImage> MemoryFromRawImage(std::string_view bytes);

} // namespace zentrova
