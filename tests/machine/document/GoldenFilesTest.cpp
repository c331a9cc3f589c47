// The controller files of whole machines, byte for byte: a new machine, and hand-written
// machine files with values entered in several units (tests/machine/golden). The files are
// those the document writes to disk when it is opened, under the names formed from its title.
#include "machine/document/MachineFixture.h"

#include <algorithm>

namespace morvik {
namespace {

struct GoldenCase {
    const char* name;
    const char* machineFile; // nullptr: a new machine
    const char* cutTitle;
    std::vector<const char*> extensions; // golden files to compare, each <cutTitle><extension>
};

class GoldenFiles : public test::MachineOnFakeCard,
                    public testing::WithParamInterface<GoldenCase> {};

TEST_P(GoldenFiles, WrittenFilesEqualTheExpectedFilesByteForByte) {
    const GoldenCase& c = GetParam();
    const bool opened = c.machineFile ? machine->OnOpenDocument(test::GoldenPath(c.machineFile))
                                      : machine->OnNewDocument();
    ASSERT_TRUE(opened);
    EXPECT_TRUE(ui.messages.empty());
    for (const char* extension : c.extensions) {
        const std::string name = std::string(c.cutTitle) + extension;
        SCOPED_TRACE(name);
        EXPECT_EQ(test::ReadBytes(cwd.folder.File(name)), test::Golden(name));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Machines, GoldenFiles,
    testing::Values(GoldenCase{"NewMachine", nullptr, "Machine1", {".CFG", ".WRK", ".TOL"}},
                    // Metric default, Z off the card, spindle mode 2, cutter on the card with
                    // a metric time unit that differs from the English one.
                    GoldenCase{"Mill", "mill.mch", "mill", {".CFG", ".WRK", ".TOL"}},
                    // English default, precision 6, spindle mode 1, no cutter.
                    GoldenCase{"Lathe", "lathe.mch", "lathe", {".CFG"}}),
    [](const testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

class MillFiles : public test::MachineOnFakeCard {};

TEST_F(MillFiles, ToolDataHoldsNineToolsAndTwoOffsetTablesOf172Lines) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    const auto lines = test::Lines(test::ReadBytes(cwd.folder.File("mill.TOL")));
    const auto d = std::find(lines.begin(), lines.end(), "DGEOMETRYOFFSETS");
    const auto h = std::find(lines.begin(), lines.end(), "HGEOMETRYOFFSETS");
    ASSERT_NE(d, lines.end());
    ASSERT_NE(h, lines.end());
    EXPECT_EQ(h - d, 172);
    EXPECT_EQ(lines.end() - h, 172);
    EXPECT_EQ(std::count_if(lines.begin(), d,
                            [](const std::string& l) { return l.rfind("TOOL=", 0) == 0; }),
              9);
}

TEST_F(MillFiles, WritingTheConfigurationSetsTheDisplayFormatsFromTheDefaultUnits) {
    // mill.mch is metric by default: X 2000 counts/in is 78.7 counts/mm, Y 100 counts/mm
    // (not above 100); Z is off the card and keeps its first format.
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    EXPECT_EQ(machine->AxisX().DisplayFormat(), "%#+ 14.2f");
    EXPECT_EQ(machine->AxisY().DisplayFormat(), "%#+ 14.2f");
    EXPECT_EQ(machine->AxisZ().DisplayFormat(), "%#+ 14f");
}

} // namespace
} // namespace morvik
