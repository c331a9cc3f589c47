// The card's modes from one MDI block to the next, on the simulated card with the sample mill
// (metric, tool lengths and H offsets in its tables): what a block leaves in force holds for
// the next one, the modes line (ActiveModesText of the tick's snapshot) shows it, M30 resets
// what an end of program resets, touch-off subtracts the tool length in force on the card, and
// Start in Run mode names the modes left in force before the program moves.
#include "operation/OperationFixture.h"

#include "operation/ActiveModes.h"
#include "operation/WorkOffsets.h"

#include <filesystem>
#include <string>
#include <vector>

namespace morvik::test {
namespace {

class MdiModesOnCard : public OperationOnCard {
protected:
    // A copy of the sample mill: MDI keeps its history beside the machine file.
    void SetUp() override {
        std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/../examples/mill.mch",
                                   folder.File("mill.mch"));
        OperationOnCard::SetUp();
    }
    std::string MachinePath() const override { return folder.File("mill.mch"); }

    void EnterMdi() {
        HomeMachine();
        op->SelectMdi();
        ASSERT_EQ(machine->State().Mode(), MachineMode::Mdi);
        Ticks(1); // the tick reads the card's modes
    }
    // One block sent and run to its end.
    void Mdi(const std::string& block) {
        ASSERT_EQ(op->SendMdiBlock(block), MdiResult::Sent) << block;
        for (int i = 0; i < 600; ++i) {
            Ticks(1);
            const auto status = op->Snapshot().programStatus;
            if (status && (*status & (psw::Finished | psw::ErrorBits)) != 0)
                break;
        }
        ASSERT_EQ(*op->Snapshot().programStatus & (psw::Finished | psw::ErrorBits), psw::Finished)
            << block;
    }
    std::string ModesLine() const {
        const auto& modes = op->Snapshot().cardModes;
        return modes ? ActiveModesText(*modes) : std::string("(not known)");
    }
    double Position(int axis) { return machine->Axes()[axis].GetOptimal(); }
    double WorkZeroZ() { return WorkOriginOf(*machine, 0, 0.0)[2]; }
};

TEST_F(MdiModesOnCard, BlocksKeepTheModesTheBlocksBeforeThemLeftAndTheLineShowsThem) {
    EnterMdi();
    EXPECT_EQ(ModesLine(), "G80 G17 G21 G90 G94 G54 G49 F0 S0 M5") << "as the card powered on";

    const double x0 = Position(0);
    Mdi("G91");
    EXPECT_EQ(ModesLine(), "G80 G17 G21 G91 G94 G54 G49 F0 S0 M5");
    Mdi("G0 X1");
    Mdi("G0 X1");
    EXPECT_NEAR(Position(0), x0 + 2, 1e-6) << "G91 held for both moves";

    Mdi("G90 G43 H1");
    Mdi("G0 Z0");
    EXPECT_NEAR(Position(2), WorkZeroZ() + 62.5, 1e-6) << "the tool stands its length above zero";
    Mdi("G1 X10 F500 S1000 M3");
    EXPECT_EQ(ModesLine(), "G1 G17 G21 G90 G94 G54 G43 H1 F500 S1000 M3");
}

TEST_F(MdiModesOnCard, M30ResetsWhatAnEndOfProgramResets) {
    EnterMdi();
    Mdi("T2 M6");
    Mdi("G91 G55 G18 G43 H2 S1200 M3 M8");
    Mdi("G1 X1 F300");
    EXPECT_EQ(ModesLine(), "G1 G18 G21 G91 G94 G55 G43 H2 T2 F300 S1200 M3 M8");
    Mdi("M30");
    // G54 G17 G90 G94 M5 M9 and the feed; units, the tool length and the tool stay.
    EXPECT_EQ(ModesLine(), "G1 G17 G21 G90 G94 G54 G43 H2 T2 F0 S1200 M5");
}

TEST_F(MdiModesOnCard, TouchOffSubtractsTheToolLengthInForceOnTheCardAndSaysWhich) {
    EnterMdi();
    Mdi("G43 H2");
    op->SelectJog();
    Ticks(1);
    const double z = Position(2);
    ASSERT_TRUE(op->SetWorkZero(2));
    const double stored = machine->WorkCoords()[0].Z().ValueIn(unit::Millimeter);
    EXPECT_NEAR(stored, z - 75.2, 1e-9) << "tool 2's length (H2) below the spindle";
    EXPECT_EQ(op->InfoTexts().message, MessageText(msg::WorkZeroToolLength) + " 75.2 mm (G43 H2)");

    op->SelectMdi();
    Mdi("G49");
    op->SelectJog();
    Ticks(1);
    ASSERT_TRUE(op->SetWorkZero(2));
    EXPECT_NEAR(machine->WorkCoords()[0].Z().ValueIn(unit::Millimeter), Position(2), 1e-9);
    EXPECT_EQ(op->InfoTexts().message, MessageText(msg::WorkZeroToolLength) + " 0 mm (G49)");
}

TEST_F(MdiModesOnCard, StartNamesTheModesMdiLeftInForceBeforeTheProgramMoves) {
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O0200", "G0 X5", "M30"}, "part.prt"), LoadResult::Started);
    op->SelectMdi();
    Mdi("G91 G55 G43 H1");
    op->SelectRun();
    Ticks(1);
    const double x = Position(0);
    op->Start();
    EXPECT_EQ(op->InfoTexts().message, MessageText(msg::ModesLeftInForce) + " G91 G55 G43 H1");
    EXPECT_NEAR(Position(0), x, 1e-9) << "said before the program moved";

    // The program's M30 set G90 and G54 again; only the tool length is left for the next run.
    for (int i = 0; i < 100 && (*op->Snapshot().programStatus & psw::Finished) == 0; ++i)
        Ticks(1);
    ASSERT_EQ(op->Restart(), LoadResult::Started);
    Ticks(1);
    op->Start();
    EXPECT_EQ(op->InfoTexts().message, MessageText(msg::ModesLeftInForce) + " G43 H1");
}

} // namespace
} // namespace morvik::test
