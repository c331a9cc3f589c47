#include "settings/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvik {

namespace {

// Renaming over a symbolic link would replace the link by a plain file; write where it points.
std::string ResolveTarget(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) {
        return path;
    }
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    return ec ? path : target.string();
}

// A fresh file beside the target; O_EXCL so that two writers never share one.
int CreateTemporary(const std::string& target, std::string& tempPath, unsigned mode) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = target + ".tmp-" + std::to_string(::getpid()) + "-" +
                   std::to_string(counter.fetch_add(1));
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              static_cast<mode_t>(mode));
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The new file takes the old one's owner and group where the process may give them (the
// owner needs privileges; the group any group the user belongs to), then its mode: a change
// of owner may clear the set-id bits, so the mode comes last.
void KeepOwnerAndPermissions(int fd, const std::string& target) {
    struct stat old {};
    if (::stat(target.c_str(), &old) != 0) {
        return;
    }
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    (void)::fchmod(fd, old.st_mode & 07777);
}

// Makes the rename itself durable. Some file systems cannot sync a folder; the content
// is already on disk by then, so that is not a failure of the save.
void SyncFolder(const std::string& target) {
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicWriteResult ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                        unsigned newFileMode) {
    if (path.empty()) {
        return AtomicWriteResult::CannotCreate;
    }
    const std::string target = ResolveTarget(path);
    // The rename would put a plain file in place of a folder, a FIFO or a device node (and
    // root may rename over /dev/zero): whatever path names must already be a file.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return AtomicWriteResult::NotRegular;
    }
    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath, newFileMode & 07777);
    if (fd < 0) {
        return AtomicWriteResult::CannotCreate;
    }
    KeepOwnerAndPermissions(fd, target);
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return AtomicWriteResult::NotWritten;
    }
    SyncFolder(target);
    return AtomicWriteResult::Ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, unsigned newFileMode) {
    return ReplaceFileAtomically(path, bytes, newFileMode) == AtomicWriteResult::Ok;
}

} // namespace morvik
