// Parameter files on disk: the whole-file read and the atomic save around
// the text format, with the outcomes the File commands report.
#pragma once

#include "files/ParameterFile.h"
#include "lang/MessageTable.h"

#include <filesystem>
#include <optional>
#include <string>

namespace zentrova {

enum class FileStatus : std::uint8_t {
    Ok,
    OpenError,       // cannot be opened or read
    VersionMismatch, // no version key with 47
    WriteError,      // cannot be written
};

struct FileOutcome {
    FileStatus status = FileStatus::Ok;
    std::string detail; // the system's reason for an open or write error, else empty
    explicit operator bool() const { return status == FileStatus::Ok; }
};

// The message slot a failure is shown with ("Open file error!",
// "Unmatched version of *.ign file!"); nothing for Ok.
std::optional<Msg> MessageOf(FileStatus status);

// A parameter file is a few kilobytes; anything past this is not one.
inline constexpr std::size_t MAX_PARAMETER_FILE_SIZE = 16u << 20;

// The whole file; nothing, with the reason in `error`, when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::string& error,
                                         std::size_t limit = MAX_PARAMETER_FILE_SIZE);

// Reads the file's keys into the image and the check box (unchanged on failure).
FileOutcome LoadParameterFile(const std::filesystem::path& path, ParameterImage& image,
                              bool& extMonitor);

// Writes the file atomically.
FileOutcome SaveParameterFile(const std::filesystem::path& path, const ParameterImage& image,
                              const ParameterFileExtras& extras);

} // namespace zentrova
