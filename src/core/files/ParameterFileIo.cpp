#include "files/ParameterFileIo.h"

#include "files/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace zentrova {

namespace fs = std::filesystem;

std::optional<Msg> MessageOf(FileStatus status) {
    switch (status) {
    case FileStatus::Ok:
        return std::nullopt;
    case FileStatus::OpenError:
    case FileStatus::WriteError:
        return Msg::TextFileOpenError;
    case FileStatus::VersionMismatch:
        return Msg::TextFileVersionMismatch;
    }
    return std::nullopt;
}

std::optional<std::string> ReadFileBytes(const fs::path& path, std::string& error,
                                         std::size_t limit) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        error = path.string() + ": is a directory";
        return std::nullopt;
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path.string() + ": " + std::strerror(errno != 0 ? errno : ENOENT);
        return std::nullopt;
    }
    std::string bytes;
    char buf[64 * 1024];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.append(buf, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > limit) {
            error = path.string() + ": too large for a parameter file";
            return std::nullopt;
        }
    }
    if (in.bad()) {
        error = path.string() + ": read error";
        return std::nullopt;
    }
    return bytes;
}

FileOutcome LoadParameterFile(const fs::path& path, ParameterImage& image, bool& extMonitor) {
    std::string error;
    const std::optional<std::string> bytes = ReadFileBytes(path, error);
    if (!bytes) {
        return {FileStatus::OpenError, error};
    }
    if (!ReadParameterFile(*bytes, image, extMonitor)) {
        return {FileStatus::VersionMismatch, {}};
    }
    return {};
}

FileOutcome SaveParameterFile(const fs::path& path, const ParameterImage& image,
                              const ParameterFileExtras& extras) {
    const FileResult saved = SaveFileAtomically(path, WriteParameterFile(image, extras));
    if (!saved) {
        return {FileStatus::WriteError, saved.error};
    }
    return {};
}

} // namespace zentrova
