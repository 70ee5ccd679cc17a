// Saving a file so that a reader never sees it half written: the bytes go
// to a temporary file beside the target, are flushed to the disk, and the
// temporary file then replaces the target in one rename. A failed save
// leaves the previous file as it was and no temporary file behind.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zentrova {

struct FileResult {
    bool ok = true;
    std::string error; // why it failed, for the user
    explicit operator bool() const { return ok; }
};

// A symbolic link is followed: the file it points to is replaced. An
// existing file keeps its permission bits; a new one gets the usual ones.
FileResult SaveFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace zentrova
