// Replacing a file's content so that a crash, a full disk or a failed write never leaves a
// half-written file behind. The profile files use it for every save.
#pragma once

#include <string>
#include <string_view>

namespace morvik {

// Writes the bytes to a temporary file beside path, flushes it to disk and renames it over
// path (the file a symbolic link points to, when path is one). An existing file keeps its
// mode and group and, where the process may set it, its owner. Returns true only when every step
// worked; otherwise path is left as it was and the temporary file is removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace morvik
