// Reading a whole file that the operator named, without letting the name hang the station.
//
// A path may name a FIFO (whose open blocks until someone writes), a device such as /dev/zero
// (which never ends) or a folder. The machine file, the settings file, part programs and
// recovery copies are all read through here: such a path is refused before a byte is read,
// and a regular file longer than the caller can use is refused instead of filling memory.
#pragma once

#include <cstddef>
#include <string>

namespace morvik {

enum class FileReadResult {
    Ok,
    Missing,    // no such file
    NotRegular, // a folder, FIFO, socket or device
    TooLarge,   // a regular file longer than the caller's limit
    Unreadable, // no permission, or an I/O error
};

// The whole file into *bytes when it is a regular file of at most maxBytes bytes; otherwise
// *bytes is left empty. The file is opened without blocking and checked on the open handle,
// so a FIFO swapped in after a check cannot block the read either.
FileReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string* bytes);

// Whether path names a regular file (following symbolic links); false when it is absent.
bool IsRegularFile(const std::string& path);
// Whether path names something that exists but is not a regular file.
bool IsSpecialFile(const std::string& path);

} // namespace morvik
