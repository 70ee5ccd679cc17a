// Link commands: read, verify and program a unit, and watch its live data,
// with the same transfer engine as the window, ticked every 55 ms.
#include "Command.h"

#include "PosixSerialPort.h"
#include "TickLoop.h"

#include "files/AtomicFile.h"
#include "image/DefaultSet.h"
#include "image/Validate.h"
#include "link/LinkSession.h"
#include "text/ParseNumber.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits>

namespace zentrova::cli {

namespace {

// Every request may be sent five times, four ticks apart; 24 blocks at most.
constexpr int TRANSFER_TICK_LIMIT = 24 * 5 * 4 + 10;

std::atomic<bool> stopRequested{false};

void onStopSignal(int) {
    stopRequested = true;
}

// The link commands' arguments: ParseArgs, and the port they all need.
ParsedArgs parseLinkArgs(const std::vector<std::string>& args,
                         std::initializer_list<std::string_view> valuedOptions) {
    ParsedArgs parsed = ParseArgs(args, valuedOptions);
    if (parsed.error.empty() && !parsed.value("--port")) {
        parsed.error = "--port DEVICE is required";
    }
    return parsed;
}

bool openPort(PosixSerialPort& port, const std::string& device) {
    if (port.open(device)) {
        return true;
    }
    std::cerr << MessageTable::Text(Msg::TextComOpenError, CLI_LANGUAGE) << "\n"
              << "zentrova-cli: " << port.errorText() << "\n";
    return false;
}

// Progress on standard error: each new status text on its own line, the
// gauge as it moves.
void reportProgress(LinkSession& session) {
    session.onStatus = [last = std::string(), lastPos = -1](const TransferStatus& s) mutable {
        if (!s.textVisible) {
            return;
        }
        if (s.text != last || s.gaugePosition != lastPos) {
            std::cerr << s.text << " " << s.gaugePosition << "/" << s.gaugeMax << "\n";
            last = s.text;
            lastPos = s.gaugePosition;
        }
    };
}

// Runs the command to its end; EXIT_SAME only for a verified success.
int runTransfer(LinkSession& session, void (LinkSession::*command)()) {
    reportProgress(session);
    TickLoop loop(session.engine);
    TickStats stats;
    (session.*command)();
    loop.runUntil([&] { return session.outcome() != TransferOutcome::Running || stopRequested; },
                  TRANSFER_TICK_LIMIT, stats);
    switch (session.outcome()) {
    case TransferOutcome::Succeeded:
        return EXIT_SAME;
    case TransferOutcome::Failed:
        std::cerr << session.failureText() << "\n";
        return EXIT_CHANGED;
    case TransferOutcome::Running:
        break;
    }
    std::cerr << "zentrova-cli: the transfer did not end\n";
    return EXIT_FAILED;
}

// The file's keys over the default set of its bike, validated: what the
// window holds after New for that bike and Open of the file.
FileOutcome loadOntoDefaults(const std::string& path, ParameterImage& image) {
    bool extMonitor = false;
    ParameterImage probe;
    if (FileOutcome loaded = LoadParameterFile(path, probe, extMonitor); !loaded) {
        return loaded;
    }
    image[img::BIKE] = probe[img::BIKE];
    bool choke = false;
    BuildDefaultSet(image, choke);
    FileOutcome loaded = LoadParameterFile(path, image, extMonitor);
    ValidateImage(image);
    return loaded;
}

int runRead(const std::vector<std::string>& args) {
    const ParsedArgs a = parseLinkArgs(args, {"--port", "-o", "--image"});
    if (!a.error.empty() || !a.positional.empty() || !a.options.count("-o")) {
        return UsageError("read", a.error.empty() ? "expects --port DEVICE -o FILE" : a.error);
    }
    PosixSerialPort port;
    if (!openPort(port, a.options.at("--port"))) {
        return EXIT_FAILED;
    }
    LinkSession session(port, CLI_LANGUAGE);
    if (const int rc = runTransfer(session, &LinkSession::Read); rc != EXIT_SAME) {
        return rc;
    }
    const ParameterImage& image = session.state.image;
    const std::string& out = a.options.at("-o");
    if (FileOutcome saved = SaveParameterFile(out, image, ExtrasFor(image, false)); !saved) {
        return ReportFileFailure(out, saved);
    }
    if (a.options.count("--image")) {
        const std::string_view raw(reinterpret_cast<const char*>(image.bytes.data()), IMAGE_SIZE);
        if (const FileResult saved = SaveFileAtomically(a.options.at("--image"), raw); !saved) {
            std::cerr << "zentrova-cli: " << saved.error << "\n";
            return EXIT_FAILED;
        }
    }
    return EXIT_SAME;
}

int runWithFile(const char* name, const std::vector<std::string>& args,
                void (LinkSession::*command)()) {
    const ParsedArgs a = parseLinkArgs(args, {"--port"});
    if (!a.error.empty() || a.positional.size() != 1) {
        return UsageError(name, a.error.empty() ? "expects --port DEVICE FILE" : a.error);
    }
    PosixSerialPort port;
    LinkSession session(port, CLI_LANGUAGE);
    const std::string& path = a.positional[0];
    if (const FileOutcome loaded = loadOntoDefaults(path, session.state.image); !loaded) {
        return ReportFileFailure(path, loaded);
    }
    if (!openPort(port, a.options.at("--port"))) {
        return EXIT_FAILED;
    }
    return runTransfer(session, command);
}

int runVerify(const std::vector<std::string>& args) {
    return runWithFile("verify", args, &LinkSession::Verify);
}

int runProgram(const std::vector<std::string>& args) {
    return runWithFile("program", args, &LinkSession::Program);
}

std::string monitorLine(double t, const MonitorFrame& f, const LiveValues& live) {
    char line[320];
    std::snprintf(line, sizeof line,
                  "t=%.2f rpm=%u tp=%u%% iap=%u%% tw=%dC at=%dC tp_mv=%u lambda_mv=%u "
                  "inj14a=%uus inj23a=%uus inj14b=%uus inj23b=%uus adv=%u gear=%u "
                  "save=%u programs=%u version=%u",
                  t, f.Rpm, f.TpPercent, f.IapPercent, static_cast<int>(live.TwByte) - 100,
                  static_cast<int>(f.AtByte) - 100, live.TpMv, AdcToMv(f.LambdaRaw), f.Inj14A * 30u,
                  f.Inj23A * 30u, f.Inj14B * 30u, f.Inj23B * 30u, f.Advance, f.Gear,
                  f.UnitSaveCountdown, f.ProgramCount, f.FirmwareVersion);
    return line;
}

void writeCsvHeader(std::ostream& csv) {
    csv << "time";
    for (const MonitorField& field : MonitorFields()) {
        csv << ',' << field.name;
    }
    csv << '\n';
}

void writeCsvRow(std::ostream& csv, double t, const MonitorFrame& f) {
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", t);
    csv << time;
    for (std::size_t i = 0; i < MonitorFields().size(); ++i) {
        csv << ',' << MonitorFieldValue(f, i);
    }
    csv << '\n' << std::flush;
}

// Positive seconds, at most about four months.
std::optional<double> parseSeconds(const std::string& text) {
    return ParseNumber(text, std::numeric_limits<double>::min(), 1e7);
}

int runMonitor(const std::vector<std::string>& args) {
    const ParsedArgs a = parseLinkArgs(args, {"--port", "--csv", "--seconds"});
    if (!a.error.empty() || !a.positional.empty()) {
        return UsageError("monitor", a.error.empty() ? "takes no file" : a.error);
    }
    std::optional<double> seconds;
    if (a.options.count("--seconds") && !(seconds = parseSeconds(a.options.at("--seconds")))) {
        return UsageError("monitor", "--seconds expects a positive number");
    }
    std::ofstream csv;
    if (a.options.count("--csv")) {
        csv.open(a.options.at("--csv"), std::ios::binary | std::ios::trunc);
        if (!csv) {
            std::cerr << "zentrova-cli: cannot write " << a.options.at("--csv") << "\n";
            return EXIT_FAILED;
        }
        writeCsvHeader(csv);
    }
    PosixSerialPort port;
    if (!openPort(port, a.options.at("--port"))) {
        return EXIT_FAILED;
    }
    LinkSession session(port, CLI_LANGUAGE);
    const Clock::time_point start = Clock::now();
    session.onMonitorFrame = [&](const MonitorFrame& f) {
        const double t = std::chrono::duration<double>(Clock::now() - start).count();
        std::cout << monitorLine(t, f, session.state.live) << std::endl;
        if (csv.is_open()) {
            writeCsvRow(csv, t, f);
        }
    };
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    TickLoop loop(session.engine);
    TickStats stats;
    const auto span =
        seconds ? std::chrono::duration<double>(*seconds) : std::chrono::duration<double>(1e9);
    loop.runUntil([&] { return stopRequested || Clock::now() - start >= span; },
                  std::numeric_limits<int>::max(), stats);
    if (csv.is_open() && !csv) {
        std::cerr << "zentrova-cli: writing " << a.options.at("--csv") << " failed\n";
        return EXIT_FAILED;
    }
    if (session.monitorFrames() == 0) {
        std::cerr << "zentrova-cli: no live data from the unit\n";
        return EXIT_CHANGED;
    }
    return EXIT_SAME;
}

const CommandRegistrar readCommand{{
    "read",
    "read the unit's memory (and verify it) into a parameter file",
    "read --port DEVICE -o FILE [--image RAW]\n"
    "  Reads all twelve blocks from the unit, verifies blocks 1 to 11 against it,\n"
    "  and writes the parameters as a parameter file; --image also writes the 1200\n"
    "  raw bytes. Progress goes to standard error.\n"
    "  Exit 0 when read and verified, 1 when the transfer failed (\"Read error!\",\n"
    "  \"Verify error!\", another firmware version), 2 on bad arguments, a port that\n"
    "  cannot be opened or a file that cannot be written.\n",
    runRead,
}};

const CommandRegistrar verifyCommand{{
    "verify",
    "compare a parameter file with the unit's memory",
    "verify --port DEVICE FILE\n"
    "  Puts FILE over the default set of its bike, validates it, and compares\n"
    "  blocks 1 to 11 with the unit. Exit 0 when they agree, 1 when they do not\n"
    "  (\"Verify error!\"), 2 on bad arguments, a port or file error.\n",
    runVerify,
}};

const CommandRegistrar programCommand{{
    "program",
    "program a parameter file into the unit and verify it",
    "program --port DEVICE FILE\n"
    "  Puts FILE over the default set of its bike, validates it, programs blocks\n"
    "  1 to 11 and verifies them. The unit must report firmware 47 and support the\n"
    "  bike. Exit 0 when programmed and verified, 1 when the transfer failed,\n"
    "  2 on bad arguments, a port or file error.\n",
    runProgram,
}};

const CommandRegistrar monitorCommand{{
    "monitor",
    "print the unit's live data",
    "monitor --port DEVICE [--csv FILE] [--seconds N]\n"
    "  One line of decoded live values per monitor frame (every 330 ms) on standard\n"
    "  output; --csv also writes every field of each frame with its time in seconds.\n"
    "  Runs N seconds, or until interrupted. Exit 0 when live data came, 1 when\n"
    "  none did, 2 on bad arguments or a port or file error.\n",
    runMonitor,
}};

} // namespace

} // namespace zentrova::cli
