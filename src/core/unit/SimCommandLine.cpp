#include "unit/SimCommandLine.h"

#include "files/ParameterFile.h"
#include "image/BikeCatalogue.h"
#include "text/ParseNumber.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

namespace zentrova {

namespace {

using Setter = std::function<bool(SimSettings&, std::string_view)>;

struct Option {
    std::string_view name;
    bool takesValue;
    Setter set;
};

template <typename T, typename Apply> Setter number(T lo, T hi, Apply apply) {
    return [=](SimSettings& s, std::string_view v) {
        const auto n = ParseNumber<T>(v, lo, hi);
        if (n) {
            apply(s, *n);
        }
        return n.has_value();
    };
}

Setter flag(std::function<void(SimSettings&)> apply) {
    return [=](SimSettings& s, std::string_view) {
        apply(s);
        return true;
    };
}

Setter text(std::string SimSettings::*field) {
    return [=](SimSettings& s, std::string_view v) {
        s.*field = std::string(v);
        return !v.empty();
    };
}

constexpr long MAX_MS = 600000;

const std::vector<Option>& options() {
    using ms = std::chrono::milliseconds;
    static const std::vector<Option> table = {
        {"--version", true,
         number<int>(
             0, 255,
             [](SimSettings& s, int v) { s.unit.firmwareVersion = static_cast<std::uint8_t>(v); })},
        {"--bikes", true,
         [](SimSettings& s, std::string_view v) {
             const auto bikes = ParseBikeList(v);
             if (bikes) {
                 s.unit.bikes = *bikes;
             }
             return bikes.has_value();
         }},
        {"--memory", true, text(&SimSettings::memoryFile)},
        {"--image", true, text(&SimSettings::imageFile)},
        {"--silent", false, flag([](SimSettings& s) { s.unit.silent = true; })},
        {"--drop", true,
         number<double>(0.0, 1.0, [](SimSettings& s, double p) { s.unit.dropProbability = p; })},
        {"--corrupt", true,
         number<double>(0.0, 1.0, [](SimSettings& s, double p) { s.unit.corruptProbability = p; })},
        {"--stray", true,
         number<unsigned>(0, 15000, [](SimSettings& s, unsigned n) { s.unit.strayBytes = n; })},
        {"--delay", true,
         number<long>(0, MAX_MS, [](SimSettings& s, long v) { s.unit.replyDelay = ms(v); })},
        {"--save-ms", true,
         number<long>(0, MAX_MS, [](SimSettings& s, long v) { s.unit.saveDuration = ms(v); })},
        {"--line-rate", false, flag([](SimSettings& s) { s.lineRate = true; })},
        {"--seed", true,
         number<std::uint64_t>(0, std::numeric_limits<std::uint64_t>::max(),
                               [](SimSettings& s, std::uint64_t v) { s.unit.seed = v; })},
        {"--link", true, text(&SimSettings::linkPath)},
        {"--dump", true, text(&SimSettings::dumpFile)},
        {"--verbose", false, flag([](SimSettings& s) { s.verbose = true; })},
        {"--help", false, flag([](SimSettings& s) { s.help = true; })},
        {"-h", false, flag([](SimSettings& s) { s.help = true; })},
    };
    return table;
}

} // namespace

std::optional<BikeSet> ParseBikeList(std::string_view text) {
    if (text == "all") {
        return AllKnownBikes();
    }
    if (text == "none") {
        return BikeSet{};
    }
    BikeSet bikes;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const std::size_t dash = item.find('-');
        const auto lo = ParseNumber<int>(item.substr(0, dash), 0, 255);
        const auto hi =
            dash == std::string_view::npos ? lo : ParseNumber<int>(item.substr(dash + 1), 0, 255);
        if (!lo || !hi || *lo > *hi) {
            return std::nullopt;
        }
        for (int c = *lo; c <= *hi; ++c) {
            bikes.set(static_cast<std::size_t>(c));
        }
        if (comma == std::string_view::npos) {
            return bikes;
        }
        text.remove_prefix(comma + 1);
    }
}

SimArguments ParseSimArguments(std::span<const std::string_view> args) {
    SimSettings settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = args[i];
        std::optional<std::string_view> value;
        if (const std::size_t eq = name.find('='); name.starts_with("--") && eq != name.npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        const auto& table = options();
        const auto opt = std::find_if(table.begin(), table.end(),
                                      [&](const Option& o) { return o.name == name; });
        if (opt == table.end()) {
            return {std::nullopt, "unknown option: " + std::string(args[i])};
        }
        if (opt->takesValue && !value) {
            if (i + 1 >= args.size()) {
                return {std::nullopt, "option " + std::string(name) + " needs a value"};
            }
            value = args[++i];
        } else if (!opt->takesValue && value) {
            return {std::nullopt, "option " + std::string(name) + " takes no value"};
        }
        if (!opt->set(settings, value.value_or(""))) {
            return {std::nullopt,
                    "bad value for " + std::string(name) + ": " + std::string(*value)};
        }
    }
    if (!settings.memoryFile.empty() && !settings.imageFile.empty()) {
        return {std::nullopt, "--memory and --image exclude each other"};
    }
    return {settings, {}};
}

std::string SimUsage() {
    return R"(Usage: zentrova-sim [options]
A Zentrova control unit on a pseudo-terminal. The first line on standard
output is the device to open (then it is flushed); the unit answers every
102-byte request until SIGINT or SIGTERM.

  --version N      program version in the identity block and monitor frame
                   (0..255, default 47)
  --bikes LIST     supported bikes: all (codes 0..44, default), none, or codes
                   and ranges 0..255 such as 0-44 or 11,41
  --memory FILE    load blocks 1..11 from a .ign parameter file
  --image FILE     load blocks 1..11 from a 1200-byte raw image (its block 0
                   is not taken: the identity comes from the options)
  --silent         never answer
  --drop P         lose each reply with probability P (0..1)
  --corrupt P      damage one byte of each reply with probability P (0..1)
  --stray N        send N random bytes before each reply
  --delay MS       send each reply MS milliseconds after its request
  --save-ms MS     how long storing takes after block 11 is programmed
                   (the monitor countdown 1200..0; default 3000)
  --line-rate      pace output like 57600 baud (about 174 us per byte)
  --seed N         seed of the fault generator and the engine (default 1)
  --link PATH      also make PATH a symbolic link to the device; removed at exit
  --dump FILE      write the unit's 1200 bytes (block 0 its identity) to FILE
                   when it stops
  --verbose        log every request on standard error
  -h, --help       this text
)";
}

std::optional<ParameterImage> MemoryFromParameterFile(std::string_view text) {
    ParameterImage memory = DefaultUnitMemory();
    bool extMonitor = false;
    if (!ReadParameterFile(text, memory, extMonitor)) {
        return std::nullopt;
    }
    bool chokeOutput = false;
    UpdateBikeDerived(memory, chokeOutput);
    return memory;
}

std::optional<ParameterImage> MemoryFromRawImage(std::string_view bytes) {
    if (bytes.size() != IMAGE_SIZE) {
        return std::nullopt;
    }
    ParameterImage memory;
    for (std::size_t k = BLOCK_SIZE; k < IMAGE_SIZE; ++k) {
        memory[k] = static_cast<std::uint8_t>(bytes[k]);
    }
    return memory;
}

} // namespace zentrova
