// A pseudo-terminal pair for tests: the test plays the unit on the master
// side, the code under test opens the slave device by its path.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            return;
        }
        const char* name = ::ptsname(master_);
        if (name != nullptr) {
            path_ = name;
        }
        termios t{};
        if (::tcgetattr(master_, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(master_, TCSANOW, &t);
        }
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0 && !path_.empty(); }
    const std::string& path() const { return path_; }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    bool write(const std::vector<std::uint8_t>& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Reads until n bytes arrived or timeoutMs passed without data.
    std::vector<std::uint8_t> read(std::size_t n, int timeoutMs) {
        std::vector<std::uint8_t> out;
        while (out.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) {
                break;
            }
            std::uint8_t buf[512];
            const ssize_t got = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
            if (got <= 0) {
                break;
            }
            out.insert(out.end(), buf, buf + got);
        }
        return out;
    }

private:
    int master_ = -1;
    std::string path_;
};
