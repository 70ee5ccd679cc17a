// Helpers for end-to-end tests: start zentrova-sim, learn its device from the
// first line it prints, talk to the device as a serial line, stop the
// simulator with SIGTERM. Every wait is a poll() bounded by a deadline.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace zentrova::e2e {

using namespace std::chrono_literals;

// A started program with its standard output on a pipe.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // One line of standard output without its newline; nothing on time-out or EOF.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = 10s);
    // Everything up to EOF.
    std::string readAll(std::chrono::milliseconds timeout = 10s);
    // Sends the signal and waits for the end; the exit code, or nothing when
    // the program did not exit normally in time (it is then killed).
    std::optional<int> stop(int signal, std::chrono::milliseconds timeout = 10s);
    // Waits for the end without a signal.
    std::optional<int> wait(std::chrono::milliseconds timeout = 10s);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffered_;
};

// zentrova-sim with the given options; device() is empty when it failed.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> options = {});
    const std::string& device() const { return device_; }
    ChildProcess& process() { return process_; }

private:
    static std::vector<std::string> commandLine(std::vector<std::string> options);
    ChildProcess process_;
    std::string device_;
};

// The tool's end of the line: the pty device opened raw, 57600 8N1.
class SerialLine {
public:
    explicit SerialLine(const std::string& device);
    ~SerialLine();
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool send(const std::vector<std::uint8_t>& bytes);
    // Exactly n bytes, or fewer when the time runs out.
    std::vector<std::uint8_t> receive(std::size_t n, std::chrono::milliseconds timeout = 3s);

private:
    int fd_ = -1;
};

std::string SimPath();

} // namespace zentrova::e2e
