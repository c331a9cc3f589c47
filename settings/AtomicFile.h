// Replacing a file's content so that a crash, a full disk or a failed write never leaves a
// half-written file behind. The profile files use it for every save.
#pragma once

#include <string>
#include <string_view>

namespace morvik {

// Permissions of a file that did not exist before (the process's umask still applies).
inline constexpr unsigned kNewFileMode = 0666;
// For files that hold the operator's unsaved work: readable by the owner only.
inline constexpr unsigned kPrivateFileMode = 0600;

enum class AtomicWriteResult {
    Ok,
    NotRegular,   // path names a folder, FIFO or device: never replaced by a plain file
    CannotCreate, // no file could be made beside it (missing or read-only folder)
    NotWritten,   // writing, flushing or the rename failed
};

// Writes the bytes to a temporary file beside path, flushes it to disk and renames it over
// path (the file a symbolic link points to, when path is one). An existing file keeps its
// mode and group and, where the process may set it, its owner; a new one gets newFileMode.
// Anything but Ok leaves path as it was, and the temporary file is removed.
AtomicWriteResult ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                        unsigned newFileMode = kNewFileMode);
// The same, true only when every step worked.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         unsigned newFileMode = kNewFileMode);

} // namespace morvik
