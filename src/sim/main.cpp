// zentrova-sim: a Zentrova control unit on a pseudo-terminal. Prints the
// device path on its first line, then answers requests until SIGINT, SIGTERM
// or SIGHUP. The unit's logic lives in the core (SimulatedUnit,
// RequestAssembler); this file is the pty, the clock and the pacing.
#include "files/ParameterFileIo.h"
#include "unit/RequestAssembler.h"
#include "unit/SimCommandLine.h"
#include "unit/SimulatedUnit.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

using namespace zentrova;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t stopSignal = 0;
void onSignal(int sig) {
    stopSignal = sig;
}

// 57600 baud, 10 bit times per byte.
constexpr auto BYTE_TIME = std::chrono::nanoseconds(10'000'000'000LL / 57600);
// Bytes written together when pacing, about 1 ms of the line.
constexpr std::ptrdiff_t PACE_BATCH = 6;

struct Pty {
    int master = -1;
    int slave = -1; // kept open so the line never hangs up between users
    std::string path;
};

bool fail(const char* what) {
    std::fprintf(stderr, "zentrova-sim: %s: %s\n", what, std::strerror(errno));
    return false;
}

// A raw line on the slave side, where the line discipline lives: no echo,
// no line editing, no character translation, 8N1 at 57600 baud.
bool openPty(Pty& pty) {
    pty.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0) {
        return fail("posix_openpt");
    }
    if (grantpt(pty.master) != 0 || unlockpt(pty.master) != 0) {
        return fail("grantpt/unlockpt");
    }
    const char* name = ptsname(pty.master);
    if (name == nullptr) {
        return fail("ptsname");
    }
    pty.path = name;
    pty.slave = open(name, O_RDWR | O_NOCTTY);
    if (pty.slave < 0) {
        return fail(name);
    }
    termios tio{};
    if (tcgetattr(pty.slave, &tio) != 0) {
        return fail("tcgetattr");
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    if (tcsetattr(pty.slave, TCSANOW, &tio) != 0) {
        return fail("tcsetattr");
    }
    const int flags = fcntl(pty.master, F_GETFL);
    if (flags < 0 || fcntl(pty.master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("fcntl");
    }
    return true;
}

// Loads --memory or --image into the unit's options.
bool loadMemory(SimSettings& settings) {
    const bool ign = !settings.memoryFile.empty();
    const std::string& path = ign ? settings.memoryFile : settings.imageFile;
    if (path.empty()) {
        return true;
    }
    std::string error;
    const std::optional<std::string> bytes = ReadFileBytes(path, error);
    if (!bytes) {
        std::fprintf(stderr, "zentrova-sim: %s\n", error.c_str());
        return false;
    }
    const auto memory = ign ? MemoryFromParameterFile(*bytes) : MemoryFromRawImage(*bytes);
    if (!memory) {
        std::fprintf(stderr,
                     ign ? "zentrova-sim: %s is not a parameter file of version 47\n"
                         : "zentrova-sim: %s is not a 1200-byte image\n",
                     path.c_str());
        return false;
    }
    settings.unit.memory = *memory;
    return true;
}

bool makeLink(const std::string& link, const std::string& target) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "zentrova-sim: %s exists and is not a link\n", link.c_str());
            return false;
        }
        unlink(link.c_str());
    }
    return symlink(target.c_str(), link.c_str()) == 0 || fail(link.c_str());
}

void installSignals(sigset_t& waitMask) {
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &sa, nullptr);
        sigaddset(&blocked, sig);
    }
    signal(SIGPIPE, SIG_IGN);
    // The signals stay blocked except inside ppoll, so none is lost between
    // the check of the flag and the wait.
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigdelset(&waitMask, sig);
    }
}

// The bytes on their way out, optionally paced like the real line.
class Output {
public:
    explicit Output(bool lineRate) : lineRate_(lineRate) {}
    void add(const std::vector<std::uint8_t>& bytes, Clock::time_point now) {
        if (queue_.empty() && !bytes.empty()) {
            nextByte_ = std::max(nextByte_, now); // no credit for an idle line
        }
        queue_.insert(queue_.end(), bytes.begin(), bytes.end());
    }
    bool empty() const { return queue_.empty(); }

    // Writes what may go now; false on a write error other than a full pty.
    bool flush(int fd, Clock::time_point now) {
        std::size_t allowed = queue_.size();
        if (lineRate_) {
            if (blocked_) {
                nextByte_ = std::max(nextByte_, now); // no credit for the wait
            }
            allowed = 0;
            for (auto t = nextByte_; t <= now && allowed < queue_.size(); t += BYTE_TIME) {
                ++allowed;
            }
        }
        std::vector<std::uint8_t> chunk(queue_.begin(),
                                        queue_.begin() + static_cast<std::ptrdiff_t>(allowed));
        const ssize_t n = chunk.empty() ? 0 : write(fd, chunk.data(), chunk.size());
        if (n < 0) {
            blocked_ = errno == EAGAIN;
            return errno == EAGAIN || errno == EINTR;
        }
        blocked_ = false;
        queue_.erase(queue_.begin(), queue_.begin() + n);
        nextByte_ += BYTE_TIME * n;
        return true;
    }
    // The pty's buffer is full (nobody reads the device): wait until it drains.
    bool blocked() const { return blocked_ && !queue_.empty(); }
    // When line pacing lets the next byte go; nothing when not pacing or blocked.
    std::optional<Clock::time_point> nextPaced() const {
        if (!lineRate_ || queue_.empty() || blocked_) {
            return std::nullopt;
        }
        // Wake once a few bytes may go rather than for every byte: the
        // average rate and the time the last byte leaves stay the same.
        const auto batch =
            std::min<std::ptrdiff_t>(PACE_BATCH, static_cast<std::ptrdiff_t>(queue_.size()));
        return nextByte_ + BYTE_TIME * (batch - 1);
    }

private:
    bool lineRate_;
    bool blocked_ = false;
    std::deque<std::uint8_t> queue_;
    Clock::time_point nextByte_{};
};

void logRequest(SimTime now, const Frame& request, const UnitResponse& r) {
    const char* what = !r.answered   ? "no answer"
                       : r.dropped   ? "reply dropped"
                       : r.corrupted ? "reply corrupted"
                                     : "answered";
    std::fprintf(stderr, "%8lld ms  request 0x%02X  %s\n", static_cast<long long>(now.count()),
                 request[0], what);
}

// What the unit holds, as one raw image: its identity block, then blocks 1..11.
void dumpMemory(const SimulatedUnit& unit, const std::string& path) {
    const ParameterImage& image = unit.memory();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(image.bytes.data(), 1, IMAGE_SIZE, f) != IMAGE_SIZE) {
        std::fprintf(stderr, "zentrova-sim: cannot write %s\n", path.c_str());
    }
    if (f != nullptr) {
        std::fclose(f);
    }
}

int serve(const Pty& pty, const SimSettings& settings, const sigset_t& waitMask) {
    SimulatedUnit unit(settings.unit);
    RequestAssembler assembler;
    Output output(settings.lineRate);
    const Clock::time_point start = Clock::now();
    auto sinceStart = [&](Clock::time_point t) {
        return std::chrono::duration_cast<SimTime>(t - start);
    };
    std::uint64_t discardedLogged = 0;
    std::vector<std::uint8_t> buffer(4096);

    struct DumpAtExit {
        const SimulatedUnit& unit;
        const std::string& path;
        ~DumpAtExit() {
            if (!path.empty()) {
                dumpMemory(unit, path);
            }
        }
    } dump{unit, settings.dumpFile};

    while (stopSignal == 0) {
        Clock::time_point now = Clock::now();
        output.add(unit.takeOutput(sinceStart(now)), now);
        if (!output.flush(pty.master, now)) {
            fail("write");
            return 1;
        }
        std::optional<Clock::time_point> wake = output.nextPaced();
        if (const auto due = unit.nextOutputTime()) {
            const Clock::time_point t = start + *due;
            wake = wake ? std::min(*wake, t) : t;
        }
        timespec timeout{};
        if (wake) {
            const auto wait = std::max(Clock::duration::zero(), *wake - now);
            timeout.tv_sec = std::chrono::duration_cast<std::chrono::seconds>(wait).count();
            timeout.tv_nsec = (wait % std::chrono::seconds(1)) / std::chrono::nanoseconds(1);
        }
        pollfd pfd{pty.master, POLLIN, 0};
        if (output.blocked() || (!output.empty() && !settings.lineRate)) {
            pfd.events |= POLLOUT;
        }
        const int ready = ppoll(&pfd, 1, wake ? &timeout : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("ppoll");
            return 1;
        }
        if ((pfd.revents & POLLIN) == 0) {
            if ((pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                std::fprintf(stderr, "zentrova-sim: the pty failed\n");
                return 1;
            }
            continue;
        }
        const ssize_t n = read(pty.master, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                continue;
            }
            fail("read");
            return 1;
        }
        const SimTime at = sinceStart(Clock::now());
        for (const Frame& request :
             assembler.feed({buffer.data(), static_cast<std::size_t>(n)}, at)) {
            const UnitResponse r = unit.respond(request, at);
            if (settings.verbose) {
                logRequest(at, request, r);
            }
        }
        if (settings.verbose && assembler.discarded() != discardedLogged) {
            std::fprintf(stderr, "%8lld ms  %llu bytes discarded so far\n",
                         static_cast<long long>(at.count()),
                         static_cast<unsigned long long>(assembler.discarded()));
            discardedLogged = assembler.discarded();
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const SimArguments parsed = ParseSimArguments(args);
    if (!parsed.settings) {
        std::fprintf(stderr, "zentrova-sim: %s (try --help)\n", parsed.error.c_str());
        return 2;
    }
    SimSettings settings = *parsed.settings;
    if (settings.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (!loadMemory(settings)) {
        return 2;
    }

    sigset_t waitMask;
    installSignals(waitMask);
    Pty pty;
    if (!openPty(pty)) {
        return 1;
    }
    if (!settings.linkPath.empty() && !makeLink(settings.linkPath, pty.path)) {
        return 1;
    }
    std::printf("%s\n", pty.path.c_str());
    std::fflush(stdout);

    const int rc = serve(pty, settings, waitMask);
    if (!settings.linkPath.empty()) {
        unlink(settings.linkPath.c_str());
    }
    close(pty.slave);
    close(pty.master);
    if (settings.verbose) {
        std::fprintf(stderr, "zentrova-sim: stopped by signal %d\n", static_cast<int>(stopSignal));
    }
    return rc;
}
