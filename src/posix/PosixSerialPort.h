// The link's serial port on a POSIX terminal device, for the programs
// without a window: 57600 baud, 8 data bits, no parity, 1 stop bit, raw.
#pragma once

#include "link/SerialPort.h"

#include <string>

namespace zentrova {

class PosixSerialPort : public SerialPort {
public:
    PosixSerialPort() = default;
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // Opens and configures the device, discarding stale input; false with
    // errorText() on failure.
    bool open(const std::string& device);
    void close();
    const std::string& errorText() const { return error_; }

    bool isOpen() const override { return fd_ >= 0; }
    std::optional<std::size_t> queuedBytes() override;
    std::size_t read(std::uint8_t* dst, std::size_t n) override;
    bool write(const std::uint8_t* src, std::size_t n) override;

private:
    void fail(const std::string& what);
    int fd_ = -1;
    std::string error_;
};

} // namespace zentrova
