// transfer_bench: the transfer engine against zentrova-sim --line-rate on a
// pseudo-terminal, driven by a real 55 ms tick loop. Prints the wall time of
// a Read and of a Program (each with its automatic verify) next to the
// tick-paced and the line-time bounds, and the CPU share and tick cost of the
// idle monitor loop. Exits non-zero only when a transfer fails or the
// simulator cannot be reached; slowness is printed, never judged.
#include "SimProcess.h"
#include "TickLoop.h"

#include "PosixSerialPort.h"
#include "image/ParameterImage.h"
#include "lang/MessageTable.h"
#include "link/BlockFrame.h"
#include "link/LinkSession.h"
#include "link/Monitor.h"
#include "link/TransferEngine.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace zentrova;

namespace {

constexpr int CONNECT_TICK_LIMIT = 40;   // ticks to wait for the first monitor frame
constexpr int TRANSFER_TICK_LIMIT = 600; // far beyond 23 requests x 5 sends x 4 ticks
constexpr double DEFAULT_IDLE_S = 5.0;
constexpr double QUICK_IDLE_S = 1.0;
// Read: blocks 0 to 11, then verify 1 to 11. Program: the same count.
constexpr int TRANSFER_BLOCKS = static_cast<int>(BLOCK_COUNT + BLOCK_COUNT - 1);

struct Options {
    double idleSeconds = DEFAULT_IDLE_S;
    std::vector<std::string> simOptions{"--line-rate"};
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--quick") {
            o.idleSeconds = QUICK_IDLE_S;
        } else if (a == "--idle" && i + 1 < argc) {
            char* end = nullptr;
            o.idleSeconds = std::strtod(argv[++i], &end);
            if (*end != '\0' || !(o.idleSeconds >= 0.1 && o.idleSeconds <= 600)) {
                return std::nullopt;
            }
        } else if (a == "--sim" && i + 1 < argc) {
            o.simOptions.emplace_back(argv[++i]);
        } else {
            return std::nullopt;
        }
    }
    return o;
}

struct TransferFigures {
    const char* name = "";
    bool ok = false;
    std::string outcome;
    int ticks = 0;
    int startTicks = 0; // ticks from the command to the first request
    double wallS = 0;
    std::uint64_t sent = 0, received = 0, requests = 0;
    TickStats stats;
};

// The tool's side of the line, wired as the window wires it.
class Bench {
public:
    explicit Bench(SerialPort& port) : counting_(port), session_(counting_) {}

    bool connect() {
        TickStats stats;
        loop_.runUntil([this] { return session_.monitorFrames() > 0; }, CONNECT_TICK_LIMIT, stats);
        return session_.monitorFrames() > 0;
    }
    void idle(double seconds);
    TransferFigures transfer(const char* name, const std::function<void()>& command, bool program);
    TransferFigures read() {
        return transfer(
            "Read + automatic verify", [this] { session_.Read(); }, false);
    }
    TransferFigures program() {
        // One advance cell changed, so the unit really stores something new.
        std::uint8_t& cell = session_.state.image[img::mapCell(img::IGN, 5, 5)];
        cell = cell < 255 ? cell + 1 : cell - 1;
        return transfer(
            "Program + automatic verify", [this] { session_.Program(); }, true);
    }
    const TransferEngine& engine() const { return session_.engine; }

private:
    CountingPort counting_;
    LinkSession session_;
    TickLoop loop_{session_.engine};
};

void Bench::idle(double seconds) {
    TickStats stats;
    const std::uint64_t frames0 = session_.monitorFrames(), requests0 = counting_.writes;
    const auto cpu0 = ProcessCpuTime();
    const Clock::time_point wall0 = Clock::now();
    const int ticks = loop_.runFor(
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds)), stats);
    const double wallS = std::chrono::duration<double>(Clock::now() - wall0).count();
    const double cpuS = std::chrono::duration<double>(ProcessCpuTime() - cpu0).count();

    std::printf("Idle monitor loop: %.3f s wall, %d ticks, %llu monitor requests, "
                "%llu monitor frames accepted\n",
                wallS, ticks, static_cast<unsigned long long>(counting_.writes - requests0),
                static_cast<unsigned long long>(session_.monitorFrames() - frames0));
    std::printf("  CPU share     %.4f s user+sys of %.3f s wall = %.3f %%\n", cpuS, wallS,
                wallS > 0 ? 100.0 * cpuS / wallS : 0.0);
    std::printf("  tick cost     mean %.1f us, max %.1f us "
                "(PollReply + TransferTick + monitor decode, nothing drawn)\n",
                stats.cost.meanUs(), stats.cost.maxUs());
    std::printf("  tick start    mean %.1f us, max %.1f us after its due time\n\n",
                stats.lateness.meanUs(), stats.lateness.maxUs());
}

TransferFigures Bench::transfer(const char* name, const std::function<void()>& command,
                                bool program) {
    TransferFigures f;
    f.name = name;
    const std::uint64_t sent0 = counting_.sent, received0 = counting_.received,
                        writes0 = counting_.writes;

    // The command runs between two ticks, right after one, as a click would.
    const Clock::time_point t0 = Clock::now();
    command();
    int n = 0;
    auto ended = [&] {
        ++n;
        if (f.startTicks == 0 && session_.engine.TryCount > 0) {
            f.startTicks = n;
        }
        return session_.outcome() != TransferOutcome::Running;
    };
    f.ticks = loop_.runUntil(ended, TRANSFER_TICK_LIMIT, f.stats);
    f.wallS = std::chrono::duration<double>(Clock::now() - t0).count();

    f.sent = counting_.sent - sent0;
    f.received = counting_.received - received0;
    f.requests = counting_.writes - writes0;
    const TransferOutcome outcome = session_.outcome();
    f.ok = outcome == TransferOutcome::Succeeded && (!program || session_.engine.ProgramDone);
    f.outcome = outcome == TransferOutcome::Running  ? "did not end within the tick limit"
                : outcome == TransferOutcome::Failed ? session_.failureText()
                                                     : session_.engine.status().text;
    return f;
}

void printTransfer(const TransferFigures& f, const TransferEngine& engine) {
    const double tickMs = std::chrono::duration<double, std::milli>(TICK_PERIOD).count();
    const int ideal = TRANSFER_BLOCKS + f.startTicks;
    std::printf("%s: %s (\"%s\"), unit \"%s\" %s %s\n", f.name, f.ok ? "OK" : "FAILED",
                f.outcome.c_str(), engine.UnitVersionText.c_str(), engine.UnitDateText.c_str(),
                engine.UnitTimeText.c_str());
    std::printf("  wall time     %.1f ms\n", f.wallS * 1000);
    std::printf("  tick bound    %d ticks x 55 ms = %.0f ms; ideal %d blocks + %d start ticks = "
                "%d ticks = %.0f ms\n",
                f.ticks, f.ticks * tickMs, TRANSFER_BLOCKS, f.startTicks, ideal, ideal * tickMs);
    std::printf("  line bound    %llu bytes (%llu out, %llu in) x 10 / 57600 = %.1f ms\n",
                static_cast<unsigned long long>(f.sent + f.received),
                static_cast<unsigned long long>(f.sent),
                static_cast<unsigned long long>(f.received),
                LineSeconds(f.sent + f.received) * 1000);
    std::printf("  requests      %llu written (%d without resends); "
                "tick cost mean %.1f us, max %.1f us\n\n",
                static_cast<unsigned long long>(f.requests), TRANSFER_BLOCKS, f.stats.cost.meanUs(),
                f.stats.cost.maxUs());
}

void printMethod(const std::string& device, const Options& o) {
    std::string simOptions;
    for (const std::string& a : o.simOptions) {
        simOptions += " " + a;
    }
    std::printf(
        "Transfer benchmark: TransferEngine against zentrova-sim%s on %s\n"
        "Method:\n"
        "  one Tick() every 55 ms of the steady clock (sleep_until); commands between ticks\n"
        "  the simulator paces its replies at 57600 baud; the pty passes the tool's own\n"
        "    writes at once (a real port would block about 18 ms per request)\n"
        "  wall time:  from the command to the end of the tick in which the transfer ended\n"
        "  tick bound: ticks taken x 55 ms; ideal: one tick per block plus the ticks\n"
        "    from the command to the first request (1 to 4, by the monitor pacing)\n"
        "  line bound: bytes written and read during the transfer x 10 bits / 57600 baud\n"
        "  idle: %.1f s of monitor mode; CPU = getrusage(RUSAGE_SELF) user+sys / wall time\n\n",
        simOptions.c_str(), device.c_str(), o.idleSeconds);
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr,
                     "usage: transfer_bench [--quick | --idle SECONDS] [--sim OPTION]...\n"
                     "  --quick         1 s idle phase instead of 5 s\n"
                     "  --idle SECONDS  idle phase length, 0.1 to 600\n"
                     "  --sim OPTION    one more option for zentrova-sim, e.g. --drop=0.1\n");
        return 2;
    }

    e2e::SimProcess sim(options->simOptions);
    if (sim.device().empty()) {
        std::fprintf(stderr, "transfer_bench: %s did not start\n", e2e::SimPath().c_str());
        return 2;
    }
    PosixSerialPort port;
    if (!port.open(sim.device())) {
        std::fprintf(stderr, "transfer_bench: %s\n", port.errorText().c_str());
        return 2;
    }
    printMethod(sim.device(), *options);

    Bench bench(port);
    if (!bench.connect()) {
        std::fprintf(stderr, "transfer_bench: no monitor frame from the simulator in %d ticks\n",
                     CONNECT_TICK_LIMIT);
        return 1;
    }
    bench.idle(options->idleSeconds);
    const TransferFigures read = bench.read();
    printTransfer(read, bench.engine());
    const TransferFigures program = bench.program();
    printTransfer(program, bench.engine());

    port.close();
    sim.process().stop(SIGTERM);
    const bool ok = read.ok && program.ok;
    std::printf("Result: %s\n", ok ? "both transfers succeeded" : "a transfer FAILED");
    return ok ? 0 : 1;
}
