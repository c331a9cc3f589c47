// The MDI block before it reaches the card: composed from the word fields, refused with the
// reader's reason; and the history of sent blocks with its recall and its file.
#include "operation/MdiBlock.h"
#include "operation/MdiHistory.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik {
namespace {

TEST(MdiBlockCompose, FilledFieldsMakeTheBlockInTheirOrder) {
    struct Case {
        std::vector<MdiBlock::Word> words;
        std::string block;
    };
    const Case cases[] = {
        {{{'G', "1"}, {'G', " "}, {'X', "12.5"}, {'Y', ""}, {'F', " 60 "}}, "G1 X12.5 F60"},
        // A value typed with its letter is not lettered twice, in either case.
        {{{'G', "g90"}, {'G', "G0"}, {'Z', "-1"}}, "g90 G0 Z-1"},
        {{{'M', "3"}, {'S', "1200"}}, "M3 S1200"},
        {{{'X', ""}, {'Y', "  "}}, ""},
        {{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MdiBlock::Compose(c.words), c.block);
}

TEST(MdiBlockRefusal, TheReaderAndPlannerRefuseWithTheirReason) {
    MdiCheckSetup xyz;
    xyz.fittedAxes = 0x07; // X, Y, Z
    struct Case {
        std::string block;
        std::string reason; // empty: accepted
    };
    const Case cases[] = {
        {"G0 X1 Y2", ""},
        {"G91 G01 Z-0.5 F30", ""},
        {"M3 S1000", ""},
        {"(just a comment)", ""},
        {"G41 X1", "unsupported G-code G41"},
        {"G0 X#1", "parameter in word X is not supported"},
        {"G0 X1 (open", "comment not closed"},
        {"G1 X1 Q2", "Q outside a peck drilling cycle"},
        {"M98 P100", "subprogram call M98 is not supported"},
        {"G0 U1", "axis U is not fitted"},
        {"G0 X", "word X without a number"},
        {"G0 X1\x1a", "the block holds a control character"},
        {"G0 X1 (" + std::string(119, 'a') + ")", ""}, // 127 characters, the most the card takes
        {"G0 X1 (" + std::string(121, 'a') + ")", "the block is longer than 127 characters"},
        // Where an arc ends up depends on where the axes stand: the card judges it.
        {"G2 X1 Y0 R0.001", ""},
        {"G3 X1 Y0 R0.001", ""},
        // Only G2 and G3 are arcs, not G57 or G58, whose values in their own group are the arcs'.
        {"G57 X1 Y0 R0.001", "I, J, K or R outside an arc"},
        {"G58 X1 Y0 R0.001", "I, J, K or R outside an arc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(MdiBlock::Refusal(c.block, xyz), c.reason);
    }
}

TEST(MdiBlockRefusal, TrimmedKeepsTheBlockBetweenItsBlanks) {
    EXPECT_EQ(MdiBlock::Trimmed("  G0 X1 \t"), "G0 X1");
    EXPECT_EQ(MdiBlock::Trimmed(" \t "), "");
    EXPECT_EQ(MdiBlock::Trimmed(""), "");
}

TEST(MdiHistoryRecall, UpWalksToOlderBlocksAndDownBackToWhatWasTyped) {
    MdiHistory history;
    EXPECT_FALSE(history.Older("typed"));
    EXPECT_EQ(history.Newer(), "typed"); // walked back to the line as it was
    for (const char* block : {"G0 X1", "G0 X2", "G0 X3"})
        history.Add(block);
    EXPECT_FALSE(history.Newer()); // no recall under way

    EXPECT_EQ(history.Older("G1 Y"), "G0 X3");
    EXPECT_EQ(history.Older("ignored"), "G0 X2");
    EXPECT_EQ(history.Older("ignored"), "G0 X1");
    EXPECT_FALSE(history.Older("ignored")); // the oldest stays
    EXPECT_EQ(history.Newer(), "G0 X2");
    EXPECT_EQ(history.Newer(), "G0 X3");
    EXPECT_EQ(history.Newer(), "G1 Y");
    EXPECT_FALSE(history.Newer());

    // Adding ends a recall: the next Up starts from the newest again.
    EXPECT_EQ(history.Older(""), "G0 X3");
    history.Add("M5");
    EXPECT_EQ(history.Older(""), "M5");
}

TEST(MdiHistoryEntries, ARepeatOfTheNewestIsKeptOnceAndTheOldestGoBeyondAHundred) {
    MdiHistory history;
    history.Add("G0 X1");
    history.Add("G0 X1");
    history.Add("G0 X2");
    history.Add("G0 X1");
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"G0 X1", "G0 X2", "G0 X1"}));

    MdiHistory full;
    for (int i = 1; i <= 105; ++i)
        full.Add("G0 X" + std::to_string(i));
    ASSERT_EQ(full.Entries().size(), MdiHistory::kMaxEntries);
    EXPECT_EQ(full.Entries().front(), "G0 X6");
    EXPECT_EQ(full.Entries().back(), "G0 X105");
}

TEST(MdiHistoryFile, TheFileStandsBesideTheMachineFile) {
    EXPECT_EQ(MdiHistory::FileFor("/shop/mill.mch"), "/shop/mill.mdi");
    EXPECT_EQ(MdiHistory::FileFor("/shop/cnc.old/mill"), "/shop/cnc.old/mill.mdi");
    EXPECT_EQ(MdiHistory::FileFor("lathe.v2.mch"), "lathe.v2.mdi");
    EXPECT_EQ(MdiHistory::FileFor(""), "");
}

TEST(MdiHistoryFile, EntriesRoundTripAndAFileOfMoreThanAHundredKeepsTheNewest) {
    test::TempFolder folder;
    const std::string path = folder.File("mill.mdi");
    std::vector<std::string> entries;
    for (int i = 1; i <= 120; ++i)
        entries.push_back("G1 X" + std::to_string(i) + " F60 (part " + std::to_string(i) + ")");
    ASSERT_TRUE(MdiHistory::Write(path, entries));
    EXPECT_EQ(MdiHistory::Read(path), entries);

    MdiHistory history;
    history.Assign(MdiHistory::Read(path));
    ASSERT_EQ(history.Entries().size(), MdiHistory::kMaxEntries);
    EXPECT_EQ(history.Entries().front(), entries[20]);
    EXPECT_EQ(history.Entries().back(), entries.back());
    ASSERT_TRUE(MdiHistory::Write(path, history.Entries()));
    EXPECT_EQ(MdiHistory::Read(path), history.Entries());
    // Nothing but the file itself is left in the folder (the temporary one was renamed).
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(MdiHistoryFile, HandEditedLinesAndMissingFilesAreRead) {
    test::TempFolder folder;
    const std::string path = folder.File("mill.mdi");
    test::WriteBytes(path, "G0 X1\r\n\r\n   \nM3 S500\nG0 Z5");
    EXPECT_EQ(MdiHistory::Read(path), (std::vector<std::string>{"G0 X1", "M3 S500", "G0 Z5"}));
    EXPECT_TRUE(MdiHistory::Read(folder.File("none.mdi")).empty());
    // A folder that is not there cannot take the file: reported, not pretended.
    EXPECT_FALSE(MdiHistory::Write(folder.File("gone/mill.mdi"), {"G0 X1"}));
}

} // namespace
} // namespace morvik
