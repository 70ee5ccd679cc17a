#include "SimProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace zentrova::e2e {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Waits for fd to become readable or hang up; false on time-out.
bool waitReadable(int fd, Clock::time_point deadline) {
    pollfd p{fd, POLLIN, 0};
    while (true) {
        const int r = poll(&p, 1, msLeft(deadline));
        if (r > 0) {
            return true;
        }
        if (r == 0 || errno != EINTR) {
            return false;
        }
    }
}

} // namespace

std::string SimPath() {
    return ZENTROVA_SIM_PATH;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out_ = fds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        stop(SIGKILL, 5s);
    }
    if (out_ >= 0) {
        close(out_);
    }
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (const auto nl = buffered_.find('\n'); nl != std::string::npos) {
            std::string line = buffered_.substr(0, nl);
            buffered_.erase(0, nl + 1);
            return line;
        }
        char chunk[256];
        if (out_ < 0 || !waitReadable(out_, deadline)) {
            return std::nullopt;
        }
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n <= 0) {
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::string ChildProcess::readAll(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    char chunk[256];
    while (out_ >= 0 && waitReadable(out_, deadline)) {
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n <= 0) {
            break;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
    return std::exchange(buffered_, {});
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    // The program's end closes the pipe: wait for EOF on it, then reap.
    const auto deadline = Clock::now() + timeout;
    bool ended = false;
    char chunk[256];
    while (out_ >= 0 && waitReadable(out_, deadline)) {
        const ssize_t n = read(out_, chunk, sizeof chunk);
        if (n <= 0) {
            ended = true;
            break;
        }
        buffered_.append(chunk, static_cast<std::size_t>(n));
    }
    if (!ended) {
        kill(pid_, SIGKILL);
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return ended && WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
}

std::optional<int> ChildProcess::stop(int signal, std::chrono::milliseconds timeout) {
    if (pid_ <= 0) {
        return std::nullopt;
    }
    kill(pid_, signal);
    return wait(timeout);
}

std::vector<std::string> SimProcess::commandLine(std::vector<std::string> options) {
    options.insert(options.begin(), SimPath());
    return options;
}

SimProcess::SimProcess(std::vector<std::string> options)
    : process_(commandLine(std::move(options))) {
    if (process_.started()) {
        device_ = process_.readLine().value_or("");
    }
}

SerialLine::SerialLine(const std::string& device) {
    fd_ = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return;
    }
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) {
        close(fd_);
        fd_ = -1;
        return;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&tio, B57600);
    cfsetospeed(&tio, B57600);
    tcsetattr(fd_, TCSANOW, &tio);
}

SerialLine::~SerialLine() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool SerialLine::send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    const auto deadline = Clock::now() + 3s;
    while (done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        pollfd p{fd_, POLLOUT, 0};
        if (poll(&p, 1, msLeft(deadline)) <= 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> SerialLine::receive(std::size_t n, std::chrono::milliseconds timeout) {
    std::vector<std::uint8_t> out;
    const auto deadline = Clock::now() + timeout;
    while (out.size() < n && waitReadable(fd_, deadline)) {
        std::uint8_t chunk[512];
        const ssize_t got = read(fd_, chunk, std::min(sizeof chunk, n - out.size()));
        if (got > 0) {
            out.insert(out.end(), chunk, chunk + got);
        } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
    }
    return out;
}

} // namespace zentrova::e2e
