// The command registry of zentrova-cli. Each command file registers its
// commands with a static CommandRegistrar; main() only dispatches.
#pragma once

#include "files/ParameterFileIo.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrova::cli {

// Exit codes shared by the commands.
inline constexpr int EXIT_SAME = 0;    // success; nothing changed or differs
inline constexpr int EXIT_CHANGED = 1; // something was repaired or differs
inline constexpr int EXIT_FAILED = 2;  // bad arguments, a file that cannot be used or written

struct Command {
    std::string_view name;
    std::string_view summary; // one line for the command list
    std::string_view usage;   // the full help text, starting with the synopsis
    int (*run)(const std::vector<std::string>& args); // the arguments after the name
};

void RegisterCommand(const Command& command);
// Sorted by name.
const std::vector<Command>& Commands();
const Command* FindCommand(std::string_view name);

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command) { RegisterCommand(command); }
};

// Options that take a value ("-o FILE", "--port DEVICE"), each at most once,
// and the positional words.
struct ParsedArgs {
    std::map<std::string, std::string, std::less<>> options;
    std::vector<std::string> positional;
    std::string error; // not empty when the arguments are malformed

    std::optional<std::string> value(std::string_view option) const;
};
ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valuedOptions);

// The command line speaks English.
inline constexpr std::uint8_t CLI_LANGUAGE = 0;

// A parameter file that cannot be used: its message text, then the system's
// reason, on standard error; returns EXIT_FAILED.
int ReportFileFailure(const std::string& path, const FileOutcome& outcome);
// What a written parameter file carries besides the image: the check box,
// the unit identity texts of block 0 and this program's build.
ParameterFileExtras ExtrasFor(const ParameterImage& image, bool extMonitor);

// "zentrova-cli NAME: TEXT" on standard error; returns EXIT_FAILED.
int UsageError(std::string_view name, std::string_view text);

} // namespace zentrova::cli
