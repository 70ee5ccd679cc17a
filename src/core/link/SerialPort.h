// The byte pipe to the unit. The GUI wraps QSerialPort, the CLI and the
// tests use their own implementations; the link logic sees only this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zentrova {

class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual bool isOpen() const = 0;
    // Number of bytes waiting in the input queue; nothing when the query fails.
    virtual std::optional<std::size_t> queuedBytes() = 0;
    // Reads at most n bytes that are already queued; never waits. Returns the count read.
    virtual std::size_t read(std::uint8_t* dst, std::size_t n) = 0;
    // Writes n bytes in one call and waits until they have left the port.
    virtual bool write(const std::uint8_t* src, std::size_t n) = 0;
};

} // namespace zentrova
