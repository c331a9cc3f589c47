// Programs as CAM post-processors write them, run on the simulated card to Finished: a
// Fanuc-style mill post, a LinuxCNC-style program with N numbers and a grbl-style program
// with an O line added. Each ends where its last moves say, in the card's inches.
#include "CardTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace morvik::test {
namespace {

constexpr std::uint32_t kStartable = kProgReady | kProgRunning;
constexpr double kMm = 1 / 25.4;

class CardPosts : public CardTest {
protected:
    void SetUp() override {
        CardTest::SetUp();
        TestMachine machine;
        machine.axes[0].machineOffset = -1;
        machine.axes[1].machineOffset = -2;
        machine.axes[2].machineOffset = 3;
        Configure(machine);
        Download(101, WorkText({{1, 2, -4}}), "RWF");
        Download(102,
                 "TOOL=1\nENGLISH\nZ=1.75\nTOOL=2\nENGLISH\nZ=1.25\n"
                 "HGEOMETRYOFFSETS\nENGLISH\n1=2\n2=1.5\n",
                 "RTF");
        Send(495, 1); // part errors as text, so that a failure says why
        Output();
    }
    // Runs the selected program to its end; the lowest Z on the way is kept.
    void RunToEnd() {
        ASSERT_EQ(Send(410), 0);
        for (int ms = 0; ms < 600000 && (Status() & kProgRunning) != 0; ms += 5) {
            Advance(5);
            lowestZ = std::min(lowestZ, Axis(3).Exact());
        }
        EXPECT_EQ(Status() & (kStartable | kProgFinished | kProgPartError), kProgFinished)
            << Output();
    }
    void ExpectAt(double x, double y, double z) {
        EXPECT_NEAR(Position(1), x, 1e-3);
        EXPECT_NEAR(Position(2), y, 1e-3);
        EXPECT_NEAR(Position(3), z, 1e-3);
    }

    double lowestZ = 100;
};

TEST_F(CardPosts, AFanucStyleMillPostRunsToFinished) {
    const char* program = "%\n"
                          "O1001 (FACE AND DRILL)\n"
                          "(T1 D=0.5 FLAT ENDMILL)\n"
                          "(T2 D=0.25 DRILL)\n"
                          "G20\n"
                          "G0 G17 G40 G49 G80 G90\n"
                          "T1 M6\n"
                          "G0 G90 G54 X-0.5 Y0. S2500 M3\n"
                          "G43 Z1. H1 M8\n"
                          "Z0.1\n"
                          "G1 Z-0.05 F20.\n"
                          "X2. F40.\n"
                          "G3 X3. Y1. I0. J1.\n"
                          "G1 Y2.\n"
                          "G2 X2. Y3. R1.\n"
                          "G0 Z1.\n"
                          "M9\n"
                          "G91 G28 Z0. M5\n"
                          "M1\n"
                          "T2 M6\n"
                          "G90 G54 G0 X1. Y1. S1500 M3\n"
                          "G43 Z1. H2 M8\n"
                          "G98 G81 X1. Y1. Z-0.3 R0.1 F10.\n"
                          "X2.\n"
                          "G99 G83 X3. Y1. Z-0.5 R0.1 Q0.2 F10.\n"
                          "G80\n"
                          "M9\n"
                          "G91 G28 Z0. M5\n"
                          "G28 X0. Y0.\n"
                          "G90\n"
                          "M30\n"
                          "%\n";
    LoadAndSelect(program, 1001);
    ASSERT_EQ(Status() & kStartable, kProgReady) << Output();
    ASSERT_EQ(Send(410), 0);
    for (int ms = 0; ms < 600000 && (Status() & kProgPaused) == 0; ms += 5) {
        Advance(5);
    }
    EXPECT_EQ(Query(461), 19) << "M1 stopped the program after the first tool";
    EXPECT_EQ(Query(466), 1);
    EXPECT_NEAR(Position(3), 3, 1e-3) << "Z at machine zero";
    lowestZ = Axis(3).Exact(); // the second tool's holes from here
    RunToEnd();
    ExpectAt(-1, -2, 3);
    EXPECT_NEAR(lowestZ, -4 + 1.5 - 0.5, 1e-3) << "the G83 hole's bottom with H2";
    EXPECT_EQ(Query(466), 2);
    EXPECT_FALSE(card.Runner().Modal().flood);
    EXPECT_EQ(QueryDouble(467), 0) << "spindle stopped";
}

TEST_F(CardPosts, ALinuxCncStyleProgramWithSequenceNumbersRunsToFinished) {
    const char* program = "%\n"
                          "(LinuxCNC style, metric)\n"
                          "N10 G21 G17 G90 G94 G40 G49 G64 P0.01\n"
                          "N20 G54\n"
                          "N30 T1 M6\n"
                          "N40 G43 H1\n"
                          "N50 S12000 M3 M7\n"
                          "N60 G0 X10 Y10 Z5\n"
                          "N70 G1 Z-1 F300\n"
                          "N80 G2 X30 Y10 I10 J0 F600\n"
                          "N90 G3 X10 Y10 R10\n"
                          "N100 G18 G3 X20 Z-1 I5 K0\n"
                          "N110 G17 G1 Z5\n"
                          "N120 G19 G2 Y20 Z5 J5 K0\n"
                          "N130 G17 G61.1 G0 Z10\n"
                          "N140 G0 X0 Y0\n"
                          "N150 M5 M9\n"
                          "N160 G53 G0 Z0\n"
                          "N170 M2\n"
                          "%\n";
    LoadAndSelect(program, 10);
    ASSERT_EQ(Status() & kStartable, kProgReady) << Output();
    RunToEnd();
    ExpectAt(1, 2, 3);
    EXPECT_NEAR(lowestZ, -4 + 2 - 1 * kMm, 1e-3);
    EXPECT_EQ(Query(463), 170);
    EXPECT_FALSE(card.Runner().Modal().mist);
}

TEST_F(CardPosts, AGrblStyleProgramWithAnOLineRunsToFinished) {
    const char* program = "O3000\n"
                          "(Generated for grbl)\n"
                          "G21\n"
                          "G90\n"
                          "G94\n"
                          "G17\n"
                          "M3 S10000\n"
                          "G4 P0.5\n"
                          "G0 Z5.000\n"
                          "G0 X0.000 Y0.000\n"
                          "G1 Z-1.000 F100.0\n"
                          "G1 X20.000 Y0.000 F500.0\n"
                          "G3 X24.330 Y2.500 I0.000 J5.000 K0.000\n"
                          "G1 X30.000 Y10.000\n"
                          "G0 Z5.000\n"
                          "M5\n"
                          "G0 X0.000 Y0.000\n"
                          "M30\n";
    LoadAndSelect(program, 3000);
    ASSERT_EQ(Status() & kStartable, kProgReady) << Output();
    RunToEnd();
    ExpectAt(1, 2, -4 + 5 * kMm);
    EXPECT_NEAR(lowestZ, -4 - 1 * kMm, 1e-3);
}

TEST_F(CardPosts, SingleBlockRunsAWholeDrillingCycleThenPauses) {
    LoadAndSelect("O1\nG20 G0 X0 Y0 Z1\nG81 X1 Z-0.5 R0.5 F60\nX2\nM30\n", 1);
    for (const double x : {0.0, 1.0, 2.0}) {
        ASSERT_EQ(Send(411), 0);
        Advance(10000);
        EXPECT_EQ(Status() & (kStartable | kProgPaused), kProgReady | kProgPaused);
        EXPECT_NEAR(Position(1), 1 + x, 1e-6);
        EXPECT_NEAR(Position(3), -4 + 1, 1e-6) << "back at the initial level";
    }
}

} // namespace
} // namespace morvik::test
