// zentrova-cli: the Zentrova core without a window.
#include "Command.h"

#include "lang/MessageTable.h"
#include "link/Identity.h"

#include <algorithm>
#include <iostream>

namespace zentrova::cli {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> commands;
    return commands;
}

void printCommandList(std::ostream& out) {
    out << "Usage: zentrova-cli COMMAND [ARGUMENTS]\n"
           "       zentrova-cli COMMAND --help\n\nCommands:\n";
    for (const Command& c : Commands()) {
        out << "  " << c.name << std::string(c.name.size() < 12 ? 12 - c.name.size() : 1, ' ')
            << c.summary << '\n';
    }
}

bool isHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

} // namespace

void RegisterCommand(const Command& command) {
    auto& commands = registry();
    const auto at =
        std::lower_bound(commands.begin(), commands.end(), command.name,
                         [](const Command& c, std::string_view n) { return c.name < n; });
    commands.insert(at, command);
}

int ReportFileFailure(const std::string& path, const FileOutcome& outcome) {
    if (const auto slot = MessageOf(outcome.status)) {
        std::cerr << MessageTable::Text(*slot, CLI_LANGUAGE) << "\n";
    }
    std::cerr << "zentrova-cli: " << (outcome.detail.empty() ? path : outcome.detail) << "\n";
    return EXIT_FAILED;
}

ParameterFileExtras ExtrasFor(const ParameterImage& image, bool extMonitor) {
    return {extMonitor, DecodeIdentity(image), ProgramBuildStamp()};
}

const std::vector<Command>& Commands() {
    return registry();
}

const Command* FindCommand(std::string_view name) {
    for (const Command& c : Commands()) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

ParsedArgs ParseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valuedOptions) {
    ParsedArgs parsed;
    for (std::size_t i = 0; i < args.size() && parsed.error.empty(); ++i) {
        const std::string& arg = args[i];
        const bool valued =
            std::find(valuedOptions.begin(), valuedOptions.end(), arg) != valuedOptions.end();
        if (valued && i + 1 == args.size()) {
            parsed.error = arg + " needs a value";
        } else if (valued && !parsed.options.emplace(arg, args[i + 1]).second) {
            parsed.error = arg + " given twice";
        } else if (valued) {
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

std::optional<std::string> ParsedArgs::value(std::string_view option) const {
    const auto it = options.find(option);
    return it == options.end() ? std::nullopt : std::optional(it->second);
}

int UsageError(std::string_view name, std::string_view text) {
    std::cerr << "zentrova-cli " << name << ": " << text << "\n";
    if (const Command* c = FindCommand(name)) {
        std::cerr << "Usage: zentrova-cli " << c->usage.substr(0, c->usage.find('\n')) << "\n";
    }
    return EXIT_FAILED;
}

} // namespace zentrova::cli

int main(int argc, char** argv) {
    using namespace zentrova::cli;
    const std::vector<std::string> args(argv + std::min(argc, 1), argv + argc);
    if (args.empty()) {
        printCommandList(std::cerr);
        return EXIT_FAILED;
    }
    if (isHelp(args[0])) {
        printCommandList(std::cout);
        return EXIT_SAME;
    }
    const Command* command = FindCommand(args[0]);
    if (command == nullptr) {
        std::cerr << "zentrova-cli: unknown command '" << args[0] << "'\n";
        printCommandList(std::cerr);
        return EXIT_FAILED;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::any_of(rest.begin(), rest.end(), [](const std::string& a) { return isHelp(a); })) {
        std::cout << "Usage: zentrova-cli " << command->usage << "\n";
        return EXIT_SAME;
    }
    return command->run(rest);
}
