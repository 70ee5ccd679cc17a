#include "files/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zentrova {

namespace fs = std::filesystem;

namespace {

FileResult failure(const fs::path& path, const std::string& what, int err) {
    return {false, path.string() + ": " + what + ": " + std::strerror(err)};
}

// The file that is really replaced: a link's target, resolved.
fs::path resolveTarget(const fs::path& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) {
            return resolved;
        }
    }
    return path;
}

// Creates a fresh file beside the target; the name is new on every try.
int createTemp(const fs::path& target, fs::path& temp) {
    static std::atomic<unsigned> counter{0};
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "." +
                      std::to_string(counter++));
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void syncDirectory(const fs::path& target) {
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd); // the rename is done; a failure here loses nothing that was there
        ::close(fd);
    }
}

} // namespace

FileResult SaveFileAtomically(const fs::path& path, std::string_view bytes) {
    const fs::path target = resolveTarget(path);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && S_ISDIR(old.st_mode)) {
        return failure(path, "cannot replace", EISDIR);
    }
    fs::path temp;
    const int fd = createTemp(target, temp);
    if (fd < 0) {
        return failure(path, "cannot create a file beside it", errno);
    }
    const auto abandon = [&](const char* what) {
        const int err = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return failure(path, what, err);
    };
    if (!writeAll(fd, bytes)) {
        return abandon("cannot write");
    }
    if (existed && ::fchmod(fd, old.st_mode & 07777) != 0) {
        return abandon("cannot keep the permissions");
    }
    if (::fsync(fd) != 0) {
        return abandon("cannot flush to disk");
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failure(path, "cannot write", err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        return failure(path, "cannot replace", err);
    }
    syncDirectory(target);
    return {};
}

} // namespace zentrova
