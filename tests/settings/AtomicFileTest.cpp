// Replacing a file atomically keeps what the file's owner set on it: its mode, its group and,
// where the process may set it, its owner.
#include "settings/AtomicFile.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace morvik {
namespace {

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info;
}

TEST(AtomicFile, ReplacingKeepsModeGroupAndOwner) {
    test::TempFolder folder;
    const std::string path = folder.File("mill.mch");
    test::WriteBytes(path, "[GENERAL]\n");
    // A group other than the process's own, where the process may give one: root may give any,
    // others one of their supplementary groups.
    gid_t group = ::getegid();
    uid_t owner = ::geteuid();
    if (::geteuid() == 0) {
        group = 4242;
        owner = 4343;
    } else {
        gid_t groups[64];
        const int count = ::getgroups(64, groups);
        for (int i = 0; i < count; ++i)
            if (groups[i] != ::getegid())
                group = groups[i];
    }
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    ASSERT_TRUE(WriteFileAtomically(path, "[GENERAL]\nMACHINETYPE=1\n"));

    const struct stat after = StatOf(path);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(after.st_uid, owner);
    EXPECT_EQ(test::ReadBytes(path), "[GENERAL]\nMACHINETYPE=1\n");
}

TEST(AtomicFile, NewFileGetsTheUsualModeAndFailuresLeaveNothing) {
    test::TempFolder folder;
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(WriteFileAtomically(folder.File("new.mch"), "x"));
    ::umask(mask);
    EXPECT_EQ(StatOf(folder.File("new.mch")).st_mode & 07777, 0644u);
    EXPECT_FALSE(WriteFileAtomically(folder.File("missing/new.mch"), "x"));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

} // namespace
} // namespace morvik
