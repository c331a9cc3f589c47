// Part programs on the card: loaded with LOF, selected with RUF, run with the cycle commands,
// and what the status word and the queries say about them on the way.
#include "CardTestSupport.h"

#include "cardsim/KelvSim.h"

#include <gtest/gtest.h>

#include <cmath>

namespace morvik::test {
namespace {

constexpr std::uint32_t kStartable = kProgReady | kProgRunning;

class CardProgram : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        TestMachine machine;
        machine.axes[0].machineOffset = 0.5;
        Configure(machine);
        Download(101, WorkText({{}, {1, 0, 0}}), "RWF");
        Download(102, "HGEOMETRYOFFSETS\nENGLISH\n5=0.5\n", "RTF");
        Output();
    }
    // Runs the selected program until it is no longer running; returns the time it took.
    std::uint32_t RunToEnd(std::uint32_t limitMs = 60000) {
        EXPECT_EQ(Send(410), 0);
        std::uint32_t ms = 0;
        while ((Status() & kProgRunning) != 0 && ms < limitMs) {
            Advance(1);
            ++ms;
        }
        return ms;
    }
    void ExpectAt(double x, double y, double z) {
        EXPECT_NEAR(Position(1), x, 1e-6);
        EXPECT_NEAR(Position(2), y, 1e-6);
        EXPECT_NEAR(Position(3), z, 1e-6);
    }
};

TEST_F(CardProgram, AProgramRunsToFinishedWithTheExpectedPositions) {
    struct Case {
        const char* what;
        const char* program;
        double x, y, z;
    };
    const Case cases[] = {
        {"lines, absolute and incremental", "O100\nG90 G0 X1 Y2\nG1 Z-0.5 F30\nG91 G1 X2\nM30\n", 3,
         2, -0.5},
        {"arc by centre", "O101\nG0 X1 Y0\nG3 X-1 Y0 I-1 J0 F60\nM2\n", -1, 0, 0},
        {"arc by radius", "O102\nG0 X0 Y0\nG2 X2 Y0 R1 F60\nM2\n", 2, 0, 0},
        {"full circle with helix", "O103\nG0 X1 Y0\nG17 G3 I-1 J0 Z-0.25 F60\nM2\n", 1, 0, -0.25},
        {"work coordinate G55", "O104\nG55 G0 X1\nM2\n", 2, 0, 0},
        {"metric words", "O105\nG21 G0 X25.4 Y-12.7\nG20 G0 Z0.1\nM2\n", 1, -0.5, 0.1},
        {"tool length from H", "O106\nG43 H5 G0 Z0\nG49 G0 X1\nM2\n", 1, 0, 0.5},
        {"home through a point", "O107\nG0 X3 Y3\nG28 X1\nM2\n", 0.5, 3, 0},
        {"end of text without M2", "O108\nG0 X1\n", 1, 0, 0},
        {"comments and a message", "O109 (part)\n(MSG, hello)\nG0 X1 ; rapid\n%\n", 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int axis = 1; axis <= 3; ++axis) {
            card.Axis(CCard::kBinaryHandle, axis)->Place(0);
        }
        LoadAndSelect(c.program, CCardProgram(c.program).Number());
        ASSERT_EQ(Status() & kStartable, kProgReady) << Output();
        RunToEnd();
        EXPECT_EQ(Status() & (kStartable | kProgFinished | kProgPartError), kProgFinished)
            << Output();
        ExpectAt(c.x, c.y, c.z);
    }
}

TEST_F(CardProgram, AnArcStaysOnItsCircle) {
    LoadAndSelect("O5\nG0 X1 Y0\nG3 X-1 Y0 I-1 J0 F60\nM2\n", 5);
    ASSERT_EQ(Send(410), 0);
    double highest = 0;
    for (int ms = 0; ms < 5000; ++ms) {
        Advance(1);
        const double x = Axis(1).Exact();
        const double y = Axis(2).Exact();
        if (y > 1e-9) {
            EXPECT_NEAR(std::hypot(x, y), 1.0, 1e-9);
        }
        highest = std::max(highest, y);
    }
    EXPECT_NEAR(highest, 1.0, 1e-6) << "counter-clockwise through +Y";
}

TEST_F(CardProgram, SingleBlockRunsOneBlockAndPauses) {
    LoadAndSelect("O1\nG0 X1\n(MSG, not a block)\nG0 X2\nM30\n", 1);
    ASSERT_EQ(Send(411), 0);
    Advance(2000);
    EXPECT_EQ(Status() & (kStartable | kProgPaused), kProgReady | kProgPaused);
    EXPECT_EQ(Position(1), 1);
    Advance(2000);
    EXPECT_EQ(Position(1), 1) << "paused";
    ASSERT_EQ(Send(411), 0);
    Advance(2000);
    EXPECT_EQ(Position(1), 2);
    EXPECT_EQ(Status() & kProgPaused, kProgPaused);
    ASSERT_EQ(Send(410), 0);
    Advance(100);
    EXPECT_EQ(Status() & (kStartable | kProgFinished), kProgFinished);
}

// Single block pressed while a block moves (or is held) ends that block: the pause comes at
// its end, not after the next one.
TEST_F(CardProgram, SingleBlockDuringABlockPausesAtTheEndOfThatBlock) {
    for (const bool held : {false, true}) {
        SCOPED_TRACE(held ? "in feed hold" : "while it moves");
        card.Axis(CCard::kBinaryHandle, 1)->Place(0);
        LoadAndSelect("O1\nG1 X1 F60\nG1 X2\nM30\n", 1); // a second per block
        ASSERT_EQ(Send(410), 0);
        Advance(300);
        ASSERT_GT(Position(1), 0.1);
        ASSERT_LT(Position(1), 0.9);
        if (held) {
            ASSERT_EQ(Send(412), 0);
            Advance(500);
        }
        ASSERT_EQ(Send(411), 0);
        Advance(3000);
        EXPECT_EQ(Status() & (kStartable | kProgPaused), kProgReady | kProgPaused);
        EXPECT_NEAR(Position(1), 1, 1e-9);
        ASSERT_EQ(Send(410), 0);
        Advance(3000);
        EXPECT_EQ(Status() & (kStartable | kProgFinished), kProgFinished);
        EXPECT_NEAR(Position(1), 2, 1e-9);
    }
}

TEST_F(CardProgram, ProgramStopsPauseUntilCycleStart) {
    for (const char* stop : {"M0", "M1"}) {
        SCOPED_TRACE(stop);
        card.Axis(CCard::kBinaryHandle, 1)->Place(0);
        LoadAndSelect(std::string("O1\nG0 X1 ") + stop + "\nG0 X2\nM30\n", 1);
        ASSERT_EQ(Send(410), 0);
        Advance(3000);
        EXPECT_EQ(Status() & (kStartable | kProgPaused), kProgReady | kProgPaused);
        EXPECT_EQ(Position(1), 1) << "the stop comes after the block's motion";
        ASSERT_EQ(Send(410), 0);
        Advance(3000);
        EXPECT_EQ(Status() & (kStartable | kProgFinished), kProgFinished);
        EXPECT_EQ(Position(1), 2);
    }
}

TEST_F(CardProgram, FeedHoldBrakesAndHoldsAndCycleStartResumes) {
    LoadAndSelect("O1\nG1 X5 F60\nM30\n", 1);
    ASSERT_EQ(Send(410), 0);
    Advance(1000);
    EXPECT_NEAR(Position(1), 0.95, 2e-3) << "0.1 s ramp to 1 in/s";
    ASSERT_EQ(Send(412), 0);
    EXPECT_EQ(Status() & (kStartable | kProgFeedHold), kProgRunning | kProgFeedHold);
    Advance(150);
    const double held = Position(1);
    EXPECT_NEAR(held, 1.0, 2e-3) << "braked over 0.05 in";
    Advance(5000);
    EXPECT_EQ(Position(1), held);
    EXPECT_TRUE(BinaryReady());
    ASSERT_EQ(Send(410), 0);
    EXPECT_EQ(Status() & (kStartable | kProgFeedHold), kProgRunning);
    Advance(5000);
    EXPECT_EQ(Status() & (kStartable | kProgFinished), kProgFinished);
    EXPECT_EQ(Position(1), 5);
}

TEST_F(CardProgram, AbortBrakesRewindsAndNeedsTheRunCommandAgain) {
    LoadAndSelect("O1\nG1 X5 F60\nM30\n", 1);
    ASSERT_EQ(Send(410), 0);
    Advance(1000);
    ASSERT_EQ(Send(401), 0);
    EXPECT_FALSE(BinaryReady()) << "still braking";
    EXPECT_EQ(Status() & (kStartable | kProgFinished), 0u);
    Advance(200);
    EXPECT_TRUE(BinaryReady());
    const double stopped = Position(1);
    Advance(1000);
    EXPECT_EQ(Position(1), stopped);
    EXPECT_EQ(Send(410), KELVSIM_ERR_BUSY) << "nothing selected";

    Send("RUF-1\r");
    EXPECT_EQ(Status() & kStartable, kProgReady);
    EXPECT_EQ(Query(461), 0) << "rewound";
    RunToEnd();
    EXPECT_EQ(Position(1), 5);
}

TEST_F(CardProgram, RatesFollowFeedOverridesDryRunAndDwell) {
    struct Case {
        const char* what;
        int option;   // binary code sent before the start, 0: none
        double value; // its argument
        const char* program;
        std::uint32_t ms; // expected duration
    };
    // One inch: at 1 in/s with 10 in/s/s it takes 1.1 s, at 2 in/s 0.7 s, at 0.5 in/s 2.05 s.
    const Case cases[] = {
        {"feed", 0, 0, "O1\nG1 X1 F60\n", 1100},
        {"feed override", 440, 0.5, "O1\nG1 X1 F60\n", 2050},
        {"feed above the maximum rate", 0, 0, "O1\nG1 X1 F600\n", 700},
        {"dry run feeds at the maximum rate", 420, 1, "O1\nG1 X1 F6\n", 700},
        {"rapid override", 441, 0.5, "O1\nG0 X1\n", 1100},
        {"dwell", 0, 0, "O1\nG4 P1.5\n", 1500},
        {"dry run skips dwells", 420, 1, "O1\nG4 P1.5\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        card.Axis(CCard::kBinaryHandle, 1)->Place(0);
        Send(421);
        SendDouble(440, 1);
        SendDouble(441, 1);
        if (c.option != 0) {
            SendDouble(c.option, c.value);
        }
        LoadAndSelect(c.program, 1);
        const std::uint32_t ms = RunToEnd();
        EXPECT_NEAR(ms, c.ms, 3.0);
        EXPECT_EQ(Status() & kProgFinished, kProgFinished);
    }
}

TEST_F(CardProgram, BlockDeleteSkipsSlashBlocksOnlyWhenOn) {
    struct Case {
        int code; // 424 on, 425 off
        double x;
    };
    for (const Case c : {Case{424, 0}, Case{425, 5}}) {
        SCOPED_TRACE(c.code);
        card.Axis(CCard::kBinaryHandle, 1)->Place(0);
        Send(c.code);
        EXPECT_EQ((Status() & kProgBlockSkip) != 0, c.code == 424);
        LoadAndSelect("O1\n/G0 X5\nG0 Y1\nM30\n", 1);
        RunToEnd();
        EXPECT_EQ(Position(1), c.x);
        EXPECT_EQ(Position(2), 1);
    }
}

TEST_F(CardProgram, ABlockTheCardCannotRunIsAPartErrorThatSaysWhy) {
    struct Case {
        const char* block;
        const char* why;
    };
    const Case cases[] = {
        {"G41 X2", "unsupported G-code G41"},
        {"G42 X2 D1", "unsupported G-code G42"},
        {"M98 P100", "subprogram call M98 is not supported"},
        {"G0 G1 X2", "conflicting G-codes in one block"},
        {"G1 X2 F0", "no feed rate"},
        {"G0 X20", "axis X would pass its soft limit"},
        {"G0 U1", "axis U is not fitted"},
        {"G2 X2 Y0", "arc without I, J or R"},
        {"G2 X3 Y1 I1", "arc end point is not on the circle (off by 0.41421 in)"},
        {"G3 X5 Y0 R1", "arc radius too small for its end point (off by 2 in)"},
        {"G1 X(2", "comment not closed"},
        {"G1 X2 X3", "word X given twice"},
        {"G1 E2", "unknown word E"},
        {"G1 X2 Q2", "Q outside a peck drilling cycle"},
        {"G1 X", "word X without a number"},
        {"G1 X2000000000", "word X out of range"},
        {"G4", "G4 needs P with the dwell in seconds"},
        {"G1.5 X1", "unsupported G-code G1.5"},
        {"T1.5", "word T needs a whole number"},
        {"G0 I1", "I, J, K or R outside an arc"},
        {"T12 M6 G43", "G43 without H needs a tool 1 to 9"},
        {"G28 G0 X1", "G28 together with a motion code"},
        {"#1=2", "parameter '#' is not supported"},
        {"G1 X[1+2]", "expression in word X is not supported"},
        {"G81 X2 Z-0.5", "drilling cycle G81 needs R"},
        {"G81 X2 Z-20 R0.5 F60", "axis Z would pass its soft limit"},
        {"G28 X20", "axis X would pass its soft limit"},
    };
    Send(495, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        card.Axis(CCard::kBinaryHandle, 1)->Place(0);
        LoadAndSelect(std::string("O7\nG0 X1\n") + c.block + "\nG0 X3\nM30\n", 7);
        RunToEnd();
        EXPECT_EQ(Status() & (kStartable | kProgFinished | kProgPartError), kProgPartError);
        EXPECT_EQ(Position(1), 1) << "stopped before the bad block";
        EXPECT_EQ(Output(), std::string("PART ERROR line 3: ") + c.why + "\r");
    }
    Send(495, -1);
    LoadAndSelect("O7\nG41\n", 7);
    RunToEnd();
    EXPECT_EQ(Status() & kProgPartError, kProgPartError);
    EXPECT_EQ(Output(), "") << "no messages unless 495 is on";
}

TEST_F(CardProgram, OutputOptionsEchoBlocksAndShowMessages) {
    struct Case {
        int echo;     // 494 argument
        int messages; // 495 argument
        const char* output;
    };
    const Case cases[] = {
        {-1, -1, ""},
        {1, -1, "O3\r(MSG, Tool up)\rG0 X1\rM30\r"},
        {-1, 1, "Tool up\r"},
        {1, 1, "O3\r(MSG, Tool up)\rTool up\rG0 X1\rM30\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        Send(494, c.echo);
        Send(495, c.messages);
        LoadAndSelect("O3\n(MSG, Tool up)\n\nG0 X1\nM30\n", 3);
        RunToEnd();
        EXPECT_EQ(Output(), c.output);
    }
    EXPECT_EQ(Send(494, 0), KELVSIM_ERR_ARGUMENT) << "options take +1 or -1";
}

TEST_F(CardProgram, QueriesAnswerFromTheRunningProgram) {
    LoadAndSelect("O55\nN10 T3 M6 S1000 M3\nN20 G4 P1\nM30\n", 55);
    ASSERT_EQ(Send(410), 0);
    Advance(500);
    EXPECT_EQ(Query(461), 3) << "line of the running block";
    EXPECT_EQ(Query(463), 20);
    EXPECT_EQ(Query(464), 0);
    EXPECT_EQ(Query(465), 55);
    EXPECT_EQ(Query(466), 3);
    EXPECT_EQ(QueryDouble(467), 1000);
    SendDouble(442, 0.5);
    EXPECT_EQ(QueryDouble(467), 500);
    EXPECT_EQ(Query(467), 500) << "a double reply read as an integer";
    EXPECT_EQ(Status() & (kStartable | kProgAbsolute), kProgRunning | kProgAbsolute);
    Advance(1000);
    EXPECT_EQ(QueryDouble(467), 0) << "the spindle stops at the end";
    EXPECT_EQ(Send(462), KELVSIM_ERR_CODE);
}

TEST_F(CardProgram, AnEmergencyStopEndsTheProgram) {
    LoadAndSelect("O1\nG1 X5 F60\nM30\n", 1);
    ASSERT_EQ(Send(410), 0);
    Advance(1000);
    card.SetInputs(1, 1);
    const double stopped = Position(1);
    EXPECT_EQ(Status() & (kStartable | kProgEStop), kProgEStop);
    EXPECT_TRUE(BinaryReady()) << "halted at once";
    Advance(1000);
    EXPECT_EQ(Position(1), stopped);
    Send("RUF-1\r");
    EXPECT_EQ(Send(410), KELVSIM_ERR_BUSY) << "no start while the input is active";
    card.SetInputs(1, 0);
    EXPECT_EQ(Status() & (kStartable | kProgEStop), kProgReady);
    RunToEnd();
    EXPECT_EQ(Position(1), 5);
}

TEST_F(CardProgram, TheHomingMacroMovesEveryAxisToMachineZeroAndReportsIt) {
    for (int axis = 1; axis <= 3; ++axis) {
        ASSERT_TRUE(card.Axis(CCard::kBinaryHandle, axis)->MoveAbsolute(axis * -1.5));
    }
    Advance(5000);
    Send("MC1\r");
    EXPECT_EQ(Output(), "HOMING (macro 1): moving X Y Z to machine zero\r");
    Advance(500);
    EXPECT_EQ(Output(), "") << "still moving";
    Advance(5000);
    EXPECT_EQ(Output(), "HOMING (macro 1): machine at zero\r");
    ExpectAt(0.5, 0, 0);
}

TEST_F(CardProgram, ProgramsAreFiledUnderTheirNumber) {
    Send("LOF\rO12\nG0 X1\n\x1a");
    Send("LOF\r%\n:13\nG0 X2\n\x1a");
    Send("LOF\rO-5\nG0 X3\n\x1a");
    struct Case {
        const char* run;
        double x;
    };
    for (const Case c : {Case{"RUF-13\r", 2}, Case{"RUF-12\r", 1}, Case{"RUF5\r", 3}}) {
        SCOPED_TRACE(c.run);
        Send(c.run);
        RunToEnd();
        EXPECT_EQ(Position(1), c.x);
    }
    Send("RUF-99\r");
    EXPECT_EQ(Output(), "?ERR RUF: no program 99\r");
    LoadAndSelect("O1\nG4 P5\n", 1);
    Send(410);
    Send("RUF-1\r");
    EXPECT_EQ(Output(), "?ERR RUF: a program is running\r");
}

} // namespace
} // namespace morvik::test
