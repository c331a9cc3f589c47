#include "settings/RegularFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvik {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

// A regular file never blocks, so O_NONBLOCK only matters for what must be refused anyway;
// it is cleared again so the reads below behave as ordinary blocking reads of a disk file.
FileReadResult ReadAll(int fd, std::size_t maxBytes, std::string* bytes) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return FileReadResult::Unreadable;
        if (got == 0)
            return FileReadResult::Ok;
        // A file that grows while it is read is held to the same limit.
        if (bytes->size() + static_cast<std::size_t>(got) > maxBytes)
            return FileReadResult::TooLarge;
        bytes->append(buffer, static_cast<std::size_t>(got));
    }
}

} // namespace

FileReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string* bytes) {
    bytes->clear();
    // Refused before it is opened: opening some devices does something of its own.
    if (IsSpecialFile(path))
        return FileReadResult::NotRegular;
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::Missing
                                                   : FileReadResult::Unreadable;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return FileReadResult::Unreadable;
    if (!S_ISREG(info.st_mode))
        return FileReadResult::NotRegular;
    if (static_cast<unsigned long long>(info.st_size) > maxBytes)
        return FileReadResult::TooLarge;
    const FileReadResult result = ReadAll(fd.Get(), maxBytes, bytes);
    if (result != FileReadResult::Ok)
        bytes->clear();
    return result;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsSpecialFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

} // namespace morvik
