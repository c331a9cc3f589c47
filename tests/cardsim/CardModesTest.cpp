// The card's modal state from one program to the next: each MDI block is a program of its own
// ("O9999" and the block), so whatever a block leaves in force must still be in force for the
// next one. The end of a program (M2, M30) resets what an end of program resets; an abort that
// interrupts a program, and a card reset, return to the power-on state. What the card answers
// about it (code::ActiveModes and the value queries) is checked on the way.
#include "CardTestSupport.h"

#include "controller/CardModes.h"
#include "controller/ControllerCodes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik::test {
namespace {

class CardModes_ : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        Configure(); // inches by default
        Download(101, WorkText({{}, {1, 0, 0}}), "RWF");
        Download(102,
                 "TOOL=2\nENGLISH\nX=0\nY=0\nZ=1.5\nR=0\nW=0\n"
                 "HGEOMETRYOFFSETS\nENGLISH\n1=0.5\n2=0.75\n",
                 "RTF");
        Output();
    }
    // One block as the station's MDI line sends it: a program of its own, run to its end.
    void Mdi(const std::string& block) {
        LoadAndSelect("O9999\n" + block + "\n", 9999);
        ASSERT_EQ(Send(code::CycleStart), 0) << block << Output();
        for (int ms = 0; ms < 60000 && (Status() & kProgRunning) != 0; ++ms)
            Advance(1);
        ASSERT_EQ(Status() & (kProgFinished | kProgPartError), kProgFinished) << block << Output();
    }
    void Run(const std::vector<std::string>& blocks) {
        for (const std::string& block : blocks)
            Mdi(block);
    }
    CardModes Modes() {
        CardModes modes;
        DecodeModesWord(static_cast<std::uint32_t>(Query(code::ActiveModes)), modes);
        modes.feed = QueryDouble(code::ActiveFeed);
        modes.speed = QueryDouble(code::ActiveSpeed);
        modes.toolLength = QueryDouble(code::ToolLengthOffset);
        return modes;
    }
};

TEST_F(CardModes_, MdiBlocksKeepTheModesTheBlocksBeforeThemLeft) {
    struct Case {
        const char* what;
        std::vector<std::string> blocks;
        double x, z;
    };
    const Case cases[] = {
        {"incremental distance", {"G91", "G0 X1", "G0 X1"}, 2, 0},
        {"tool length from H: the tool stands its length above zero", {"G43 H1", "G0 Z0"}, 0, 0.5},
        {"a tool change, then its own length", {"T2 M6", "G43", "G0 Z0"}, 0, 1.5},
        {"millimetres", {"G21", "G0 X25.4"}, 1, 0},
        {"a work coordinate system", {"G55", "G0 X1"}, 2, 0},
        {"the motion mode", {"G0 X0.5", "X1.5"}, 1.5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        card.Reset();
        SetUp();
        Run(c.blocks);
        EXPECT_NEAR(Position(1), c.x, 1e-9);
        EXPECT_NEAR(Position(3), c.z, 1e-9);
    }
}

TEST_F(CardModes_, TheSpindleFeedAndCoolantStayOnFromBlockToBlock) {
    Run({"M3 S1000 M8", "G1 X0.5 F30", "X1"});
    EXPECT_EQ(QueryDouble(code::SpindleSpeed), 1000) << "the spindle still turns";
    const CardModes modes = Modes();
    EXPECT_EQ(modes.spindle, 1);
    EXPECT_TRUE(modes.flood);
    EXPECT_TRUE(modes.feedGiven);
    EXPECT_EQ(modes.feed, 30);
    EXPECT_EQ(modes.speed, 1000);
    EXPECT_EQ(modes.motion, 2) << "G1";
}

TEST_F(CardModes_, TheCardAnswersTheModesInForce) {
    Run({"G21 G91 G18 G56 G43 H2 T2 M6 M4 S700 M7 G99 F250"});
    CardModes expected;
    expected.motion = 0;
    expected.plane = 1;
    expected.inch = false;
    expected.incremental = true;
    expected.workSystem = 2;
    expected.toolLengthOn = true;
    expected.h = 2;
    expected.spindle = 2;
    expected.mist = true;
    expected.retractR = true;
    expected.feedGiven = true;
    expected.tool = 2;
    expected.feed = 250;
    expected.speed = 700;
    expected.toolLength = 0.75; // H2 in the card's unit (inches), whatever the program's units
    EXPECT_EQ(Modes(), expected);
    Run({"G49 G90"});
    EXPECT_FALSE(Modes().toolLengthOn);
    EXPECT_EQ(Modes().h, CardModes::kNoH);
    EXPECT_EQ(Modes().toolLength, 0);
}

// What the end of a program resets, as LinuxCNC's interpreter (rs274) does at M2: G54, G17,
// G94 (with the feed set back), M5, M9, and, as RS274/NGC has it, G90, G40 and G1. The units,
// the tool length in force and the tool stay.
TEST_F(CardModes_, TheEndOfAProgramResetsWhatAnEndOfProgramResets) {
    for (const char* end : {"M2", "M30"}) {
        SCOPED_TRACE(end);
        card.Reset();
        SetUp();
        Run({"G21 G91 G18 G55 G43 H1 T2 M6 M3 S500 M8 G0 F10"});
        LoadAndSelect(std::string("O1\nG0 X1\n") + end + "\n", 1);
        ASSERT_EQ(Send(code::CycleStart), 0);
        Advance(10000);
        ASSERT_EQ(Status() & kProgFinished, kProgFinished) << Output();
        const CardModes modes = Modes();
        EXPECT_EQ(modes.workSystem, 0) << "G54";
        EXPECT_EQ(modes.plane, 0) << "G17";
        EXPECT_FALSE(modes.incremental) << "G90";
        EXPECT_EQ(modes.motion, 2) << "G1";
        EXPECT_EQ(modes.spindle, 0) << "M5";
        EXPECT_FALSE(modes.flood) << "M9";
        EXPECT_FALSE(modes.feedGiven) << "the feed goes back to the card's own";
        EXPECT_EQ(QueryDouble(code::SpindleSpeed), 0);
        EXPECT_FALSE(modes.inch) << "the units stay";
        EXPECT_TRUE(modes.toolLengthOn) << "the tool length stays";
        EXPECT_EQ(modes.h, 1);
        EXPECT_EQ(modes.toolLength, 0.5);
        EXPECT_EQ(modes.tool, 2) << "the tool stays in the spindle";
    }
}

TEST_F(CardModes_, AnAbortThatInterruptsAProgramReturnsToThePowerOnState) {
    const CardModes powerOn = [&] {
        CardModes modes = Modes();
        return modes;
    }();
    EXPECT_TRUE(powerOn.inch) << "the configured default units";
    EXPECT_EQ(powerOn.motion, 0);

    Run({"T2 M6", "G21 G91 G55 G43 H1 M3 S500"});
    Send(code::AbortProgram);
    EXPECT_TRUE(Modes().incremental) << "aborting a finished block interrupts nothing";

    LoadAndSelect("O1\nG1 X10 F1\nM30\n", 1);
    ASSERT_EQ(Send(code::CycleStart), 0);
    Advance(1000);
    ASSERT_NE(Status() & kProgRunning, 0u);
    Send(code::AbortProgram);
    CardModes expected = powerOn;
    expected.tool = 2; // an abort takes no tool out of the spindle
    EXPECT_EQ(Modes(), expected);
    EXPECT_EQ(QueryDouble(code::SpindleSpeed), 0);

    Run({"G91 G43 H1"});
    card.Reset();
    SetUp();
    EXPECT_EQ(Modes(), powerOn) << "a reset card knows no tool either";
}

TEST_F(CardModes_, APartErrorLeavesTheModesTheBlocksBeforeItSet) {
    Run({"G91"});
    LoadAndSelect("O9999\nG2 X1 Y0 R0.1\n", 9999); // the end is off any circle of that radius
    ASSERT_EQ(Send(code::CycleStart), 0);
    Advance(10);
    ASSERT_NE(Status() & kProgPartError, 0u);
    Send(code::AbortProgram);
    Run({"G0 X1", "G0 X1"});
    EXPECT_NEAR(Position(1), 2, 1e-9);
}

} // namespace
} // namespace morvik::test
