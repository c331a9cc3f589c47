#include "settings/ProfileFile.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace morvik {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

class ProfileFileTest : public ::testing::Test {
protected:
    // A profile loaded from the given file content.
    CProfileFile Load(const std::string& content) {
        WriteBytes(path_, content);
        return CProfileFile(path_);
    }

    TempFolder folder_;
    std::string path_ = folder_.File("machine.mch");
};

struct ReadCase {
    const char* content;
    const char* section;
    const char* key;
    const char* expected; // "<absent>" when the default must come back
};

TEST_F(ProfileFileTest, ReadsKeysTheWayHandEditedFilesNeed) {
    const ReadCase cases[] = {
        {"[FEED]\nRATE=200 in/min\n", "FEED", "RATE", "200 in/min"},
        {"[FEED]\nRATE=200 in/min\n", "feed", "rate", "200 in/min"}, // names ignore case
        {"[Feed]\nRate=1\n", "FEED", "RATE", "1"},
        {"  [ FEED ]  \n  RATE  =  12  \n", "FEED", "RATE", "12"}, // blanks do not count
        {"[FEED]\n\tRATE\t=\t12\t\n", "FEED", "RATE", "12"},
        {"[FEED]\r\nRATE=5\r\n", "FEED", "RATE", "5"},                    // CRLF
        {"[FEED]\nRATE=5", "FEED", "RATE", "5"},                          // no final line end
        {"[FEED]\nRATE=1\nRATE=2\n", "FEED", "RATE", "1"},                // first key wins
        {"[FEED]\nRATE=1\n[FEED]\nRATE=2\nJOG=3\n", "FEED", "RATE", "1"}, // first section wins
        {"[FEED]\nRATE=1\n[FEED]\nJOG=3\n", "FEED", "JOG", "<absent>"},
        {"[FEED]\nRATE=\n", "FEED", "RATE", ""},
        {"[FEED]\nURL=a=b\n", "FEED", "URL", "a=b"},       // first "=" splits
        {"[FEED]\n;RATE=1\n", "FEED", "RATE", "<absent>"}, // comment line
        {"RATE=1\n[FEED]\n", "FEED", "RATE", "<absent>"},  // before any section
        {"[FEED]\nRATE=1\n[JOG]\n", "JOG", "RATE", "<absent>"},
        {"[FEED\nRATE=1\n", "FEED", "RATE", "1"},              // unclosed bracket
        {"\xEF\xBB\xBF[FEED]\nRATE=1\n", "FEED", "RATE", "1"}, // byte order mark
        {"", "FEED", "RATE", "<absent>"},
    };
    for (const ReadCase& c : cases) {
        const CProfileFile file = Load(c.content);
        EXPECT_EQ(file.GetString(c.section, c.key, "<absent>", 80), c.expected)
            << "content: " << c.content;
    }
}

TEST_F(ProfileFileTest, AbsentFileReadsAsEmptyAndDefaultsAreCutLikeValues) {
    const CProfileFile file(folder_.File("none.ini"));
    EXPECT_EQ(file.GetString("A", "B", "default", 80), "default");
    EXPECT_EQ(file.GetString("A", "B", "default", 4), "def");
    EXPECT_EQ(file.GetString("A", "B", "default", 0), "");
    EXPECT_EQ(file.GetInt("A", "B", 42), 42);
}

TEST_F(ProfileFileTest, ValueIsCutToBufferSizeMinusOne) {
    const CProfileFile file = Load("[S]\nK=0123456789\n");
    EXPECT_EQ(file.GetString("S", "K", "", 11), "0123456789");
    EXPECT_EQ(file.GetString("S", "K", "", 10), "012345678");
    EXPECT_EQ(file.GetString("S", "K", "", 1), "");
}

TEST_F(ProfileFileTest, GetIntReadsLeadingDecimalOrDefault) {
    const CProfileFile file = Load("[S]\nA=12abc\nB=abc\nC=-7\nD=\nE= 30 \n");
    EXPECT_EQ(file.GetInt("S", "A", 5), 12);
    EXPECT_EQ(file.GetInt("S", "B", 5), 0);
    EXPECT_EQ(file.GetInt("S", "C", 5), -7);
    EXPECT_EQ(file.GetInt("S", "D", 5), 5);
    EXPECT_EQ(file.GetInt("S", "E", 5), 30);
    EXPECT_EQ(file.GetInt("S", "Z", 5), 5);
    EXPECT_EQ(file.GetInt("T", "A", 5), 5);
}

TEST_F(ProfileFileTest, WriteReplacesInPlaceAndAppendsNewKeysAndSections) {
    CProfileFile file = Load("; machine\n[A]\nX=1\nY=2\n\n[B]\nZ=3\n");
    EXPECT_TRUE(file.WriteString("a", "x", "10")); // existing key, other case
    EXPECT_TRUE(file.WriteString("A", "NEW", "4"));
    EXPECT_TRUE(file.WriteString("C", "W", "5"));
    EXPECT_EQ(file.Text(), "; machine\n[A]\nx=10\nY=2\nNEW=4\n\n[B]\nZ=3\n[C]\nW=5\n");
    EXPECT_EQ(file.GetString("A", "X", "", 80), "10");
}

TEST_F(ProfileFileTest, WriteGoesToTheFirstOfDuplicateSectionsAndKeys) {
    CProfileFile file = Load("[A]\nK=1\nK=2\n[A]\nK=3\n");
    EXPECT_TRUE(file.WriteString("A", "K", "9"));
    EXPECT_EQ(file.Text(), "[A]\nK=9\nK=2\n[A]\nK=3\n");
}

TEST_F(ProfileFileTest, EraseRemovesTheWholeSectionEveryCopyOfIt) {
    CProfileFile file = Load("[A]\nK=1\n; note\n[B]\nJ=2\n[a]\nOLD=3\n");
    file.EraseSection("A");
    EXPECT_EQ(file.Text(), "[B]\nJ=2\n");
    // Written again after the erase, no stale copy shadows the new keys.
    EXPECT_TRUE(file.WriteString("A", "OLD", "new"));
    EXPECT_EQ(file.GetString("A", "OLD", "", 80), "new");
    file.EraseSection("MISSING");
    EXPECT_EQ(file.Text(), "[B]\nJ=2\n[A]\nOLD=new\n");
}

struct RefusedWrite {
    const char* section;
    const char* key;
    const char* value;
};

TEST_F(ProfileFileTest, RefusesTextsThatWouldBreakTheFile) {
    const RefusedWrite cases[] = {
        {"A", "K", "line1\n[INJECTED]\nEVIL=1"},
        {"A", "K", "carriage\rreturn"},
        {"A", "K", "crlf\r\n"},
        {"A\n", "K", "v"},
        {"A]", "K", "v"},
        {"A", "K\n", "v"},
        {"A", "K=V", "v"},
        {"A", "[K", "v"},
        {"A", " ;K", "v"},
        {"A", "", "v"},
        {"A", "  ", "v"},
    };
    const std::string original = "[A]\nK=old\n";
    for (const RefusedWrite& c : cases) {
        CProfileFile file = Load(original);
        EXPECT_FALSE(file.WriteString(c.section, c.key, c.value)) << c.value;
        EXPECT_EQ(file.Text(), original) << c.value;
        EXPECT_TRUE(file.Save());
        EXPECT_EQ(ReadBytes(path_), original);
    }
}

TEST_F(ProfileFileTest, RewriteKeepsLineEndsCommentsAndByteOrderMark) {
    struct Case {
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"[A]\r\n; c\r\nK=1\r\n", "[A]\r\n; c\r\nK=2\r\nN=n\r\n"},
        {"[A]\n; c\nK=1\n", "[A]\n; c\nK=2\nN=n\n"},
        {"\xEF\xBB\xBF[A]\r\nK=1\r\n", "\xEF\xBB\xBF[A]\r\nK=2\r\nN=n\r\n"},
    };
    for (const Case& c : cases) {
        CProfileFile file = Load(c.before);
        ASSERT_TRUE(file.WriteString("A", "K", "2"));
        ASSERT_TRUE(file.WriteString("A", "N", "n"));
        ASSERT_TRUE(file.Save());
        EXPECT_EQ(ReadBytes(path_), c.after);
    }
}

TEST_F(ProfileFileTest, SaveCreatesNewFilesWithLineFeedsAndLeavesNoTemporary) {
    CProfileFile file(path_);
    ASSERT_TRUE(file.WriteString("GENERAL", "NAME", "mill"));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(ReadBytes(path_), "[GENERAL]\nNAME=mill\n");
    EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(ProfileFileTest, SaveKeepsPermissionsAndWritesThroughSymbolicLinks) {
    WriteBytes(path_, "[A]\nK=1\n");
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::owner_write |
                                            std::filesystem::perms::group_read);
    const std::string link = folder_.File("link.mch");
    std::filesystem::create_symlink(path_, link);

    CProfileFile file(link);
    ASSERT_TRUE(file.WriteString("A", "K", "2"));
    ASSERT_TRUE(file.Save());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(path_), "[A]\nK=2\n");
    EXPECT_EQ(std::filesystem::status(path_).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(ProfileFileTest, SaveReportsFailureWhenTheFileCannotBeReplaced) {
    // The target is a folder: the rename fails and no temporary file is left beside it.
    std::filesystem::create_directory(path_);
    CProfileFile overFolder(path_);
    EXPECT_EQ(overFolder.Text(), ""); // a folder reads as an empty file
    ASSERT_TRUE(overFolder.WriteString("A", "K", "1"));
    EXPECT_FALSE(overFolder.Save());
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(folder_.EntryCount(), 1u);

    CProfileFile inMissingFolder(folder_.File("missing/machine.mch"));
    ASSERT_TRUE(inMissingFolder.WriteString("A", "K", "1"));
    EXPECT_FALSE(inMissingFolder.Save());
    EXPECT_FALSE(CProfileFile("").Save());
}

// Writing more than the process may write (a full disk, as far as the save can tell) must
// fail without touching the existing file. Root is bound by the file size limit as well.
TEST_F(ProfileFileTest, FailedWriteLeavesTheTargetUntouched) {
    const std::string original = "[A]\nK=1\n";
    WriteBytes(path_, original);
    CProfileFile file(path_);
    ASSERT_TRUE(file.WriteString("A", "LONG", std::string(4096, 'x')));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = file.Save();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadBytes(path_), original);
    EXPECT_EQ(folder_.EntryCount(), 1u);
}

} // namespace
} // namespace morvik
