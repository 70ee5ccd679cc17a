#include "PosixSerialPort.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zentrova {

namespace {
constexpr int WRITE_TIMEOUT_MS = 500;
}

PosixSerialPort::~PosixSerialPort() {
    close();
}

void PosixSerialPort::fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    close();
}

bool PosixSerialPort::open(const std::string& device) {
    close();
    error_.clear();
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = device + ": " + std::strerror(errno);
        return false;
    }
    if (::ioctl(fd_, TIOCEXCL) != 0 && errno != ENOTTY) {
        fail(device);
        return false;
    }
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        fail(device);
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    ::cfsetispeed(&t, B57600);
    ::cfsetospeed(&t, B57600);
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
        fail(device);
        return false;
    }
    ::tcflush(fd_, TCIOFLUSH);
    return true;
}

void PosixSerialPort::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::optional<std::size_t> PosixSerialPort::queuedBytes() {
    if (fd_ < 0) {
        return std::nullopt;
    }
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        fail("query");
        return std::nullopt;
    }
    return static_cast<std::size_t>(n < 0 ? 0 : n);
}

std::size_t PosixSerialPort::read(std::uint8_t* dst, std::size_t n) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < n) {
        const ssize_t got = ::read(fd_, dst + done, n - done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got < 0 && errno == EINTR) {
            continue;
        } else {
            if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
                fail("read"); // the far end hung up
            }
            break;
        }
    }
    return done;
}

bool PosixSerialPort::write(const std::uint8_t* src, std::size_t n) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < n) {
        const ssize_t put = ::write(fd_, src + done, n - done);
        if (put > 0) {
            done += static_cast<std::size_t>(put);
        } else if (put < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            if (::poll(&p, 1, WRITE_TIMEOUT_MS) <= 0) {
                return false;
            }
        } else {
            fail("write");
            return false;
        }
    }
    if (fd_ < 0) {
        return false;
    }
    ::tcdrain(fd_);
    return true;
}

} // namespace zentrova
