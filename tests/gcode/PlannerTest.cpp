// The planner against small programs, one behaviour each: every segment written as a short
// text ("line G1 X.. Y.. Z.. F.."), so that a case reads like the toolpath it stands for.
#include "gcode/Program.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace morvik::gcode {
namespace {

std::string Num(double value) {
    if (std::fabs(value) < 5e-5) {
        value = 0;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", value);
    std::string text = buffer;
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text;
}

std::string Xyz(const CAxes& p) {
    return "X" + Num(p[0]) + " Y" + Num(p[1]) + " Z" + Num(p[2]);
}

std::string Text(const CSegment& s) {
    const std::string line = std::to_string(s.line) + " ";
    switch (s.kind) {
    case CSegmentKind::Rapid:
        return line + "G0 " + Xyz(s.end);
    case CSegmentKind::Feed:
        return line + "G1 " + Xyz(s.end) + " F" + Num(s.feed);
    case CSegmentKind::Dwell:
        return line + "G4 " + Num(s.seconds);
    case CSegmentKind::Arc:
        break;
    }
    static const char* planes[] = {"XY", "ZX", "YZ"};
    return line + (s.sweep < 0 ? "G2 " : "G3 ") + planes[static_cast<int>(s.plane)] + " " +
           Xyz(s.end) + " C" + Num(s.centre[0]) + "," + Num(s.centre[1]) + " S" +
           Num(s.sweep * 180 / std::numbers::pi) + " F" + Num(s.feed);
}

struct Planned {
    std::vector<std::string> segments;
    CProgramResult result;
};

Planned Plan(const std::string& program, const CPlannerSetup& setup = {},
             bool blockDelete = false) {
    CPlanner planner(setup);
    Planned planned;
    CSinkFunction sink([&planned](const CSegment& s) { planned.segments.push_back(Text(s)); });
    planned.result = PlanProgram(program, planner, sink, blockDelete);
    return planned;
}

// A machine with work offsets, tool lengths, H offsets and machine zero, in millimetres.
CPlannerSetup ShopSetup() {
    CPlannerSetup setup;
    setup.workOrigins[1] = {100, 50, 0, 0, 0, 0}; // G55
    setup.machineOrigin = {-5, 0, 50, 0, 0, 0};
    setup.toolLengths = {0, 10, 20};
    setup.hOffsets = {0, 0, 0, 12.5};
    return setup;
}

struct Case {
    const char* what;
    const char* program;
    std::vector<std::string> segments;
};

void Check(const Case& c, const CPlannerSetup& setup = {}) {
    SCOPED_TRACE(c.what);
    const Planned planned = Plan(c.program, setup);
    EXPECT_EQ(planned.result.Message(), "");
    EXPECT_EQ(planned.segments, c.segments);
}

TEST(Planner, MotionModesDistanceAndUnits) {
    const Case cases[] = {
        {"rapid and feed", "G0 X10\nG1 Y5 F100\n", {"1 G0 X10 Y0 Z0", "2 G1 X10 Y5 Z0 F100"}},
        {"modal motion",
         "G1 X1 F50\nY2\nG0 Z3\n",
         {"1 G1 X1 Y0 Z0 F50", "2 G1 X1 Y2 Z0 F50", "3 G0 X1 Y2 Z3"}},
        {"incremental", "G91 G0 X1\nX1 Y-2\n", {"1 G0 X1 Y0 Z0", "2 G0 X2 Y-2 Z0"}},
        {"a move to where it stands is left out", "G0 X1\nX1\n", {"1 G0 X1 Y0 Z0"}},
        {"inch words and feed",
         "G20 G1 X1 F10\nG21 Y1\n",
         {"1 G1 X25.4 Y0 Z0 F254", "2 G1 X25.4 Y1 Z0 F254"}},
        {"lower case, blanks inside words", "g1 x 10 f 100\n", {"1 G1 X10 Y0 Z0 F100"}},
        {"numbers, comments, messages and percent lines",
         "%\nO1000 (PART)\nN10 G0 X1 ; go\n(MSG, hello)\n%\n",
         {"3 G0 X1 Y0 Z0"}},
        {"header codes that change nothing on the path",
         "G17 G21 G40 G49 G80 G90 G94 G61\nG61.1\nG64 P0.01\nG0 X1\n",
         {"4 G0 X1 Y0 Z0"}},
        {"G0 beside G80 in a Fanuc header",
         "G0 G17 G40 G49 G80 G90 X1\nY1\n",
         {"1 G0 X1 Y0 Z0", "2 G0 X1 Y1 Z0"}},
        {"dwell", "G4 P1.5\n", {"1 G4 1.5"}},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

TEST(Planner, ArcsInEachPlaneByCentreAndRadius) {
    const Case cases[] = {
        {"XY by centre",
         "G0 X10\nG3 X0 Y10 I-10 J0 F50\n",
         {"1 G0 X10 Y0 Z0", "2 G3 XY X0 Y10 Z0 C0,0 S90 F50"}},
        {"K has no effect on an XY arc",
         "G0 X10\nG3 X0 Y10 I-10 J0 K0 F50\n",
         {"1 G0 X10 Y0 Z0", "2 G3 XY X0 Y10 Z0 C0,0 S90 F50"}},
        {"absolute centre (G90.1)",
         "G90.1 G0 X10\nG3 X0 Y10 I0 J0 F50\n",
         {"1 G0 X10 Y0 Z0", "2 G3 XY X0 Y10 Z0 C0,0 S90 F50"}},
        {"ZX",
         "G18 G0 Z10\nG3 X10 Z0 K-10 F50\n",
         {"1 G0 X0 Y0 Z10", "2 G3 ZX X10 Y0 Z0 C0,0 S90 F50"}},
        {"YZ",
         "G19 G0 Y10\nG2 Y0 Z-10 J-10 F50\n",
         {"1 G0 X0 Y10 Z0", "2 G2 YZ X0 Y0 Z-10 C0,0 S-90 F50"}},
        {"R, a half circle", "G2 X10 Y0 R5 F50\n", {"1 G2 XY X10 Y0 Z0 C5,0 S-180 F50"}},
        {"R, the short arc", "G2 X10 Y0 R10 F50\n", {"1 G2 XY X10 Y0 Z0 C5,-8.6603 S-60 F50"}},
        {"negative R, the long arc",
         "G2 X10 Y0 R-10 F50\n",
         {"1 G2 XY X10 Y0 Z0 C5,8.6603 S-300 F50"}},
        {"R in the ZX plane", "G18 G3 X10 Z10 R10 F50\n", {"1 G3 ZX X10 Y0 Z10 C0,10 S90 F50"}},
        {"full circle with a helix",
         "G0 X10\nG3 I-10 Z-2 F50\n",
         {"1 G0 X10 Y0 Z0", "2 G3 XY X10 Y0 Z-2 C0,0 S360 F50"}},
        {"three turns",
         "G0 X10\nG2 I-10 Z-6 P3 F50\n",
         {"1 G0 X10 Y0 Z0", "2 G2 XY X10 Y0 Z-6 C0,0 S-1080 F50"}},
        {"end off its circle within 0.005 mm",
         "G0 X1\nG3 X0 Y1.004 I-1 F50\n",
         {"1 G0 X1 Y0 Z0", "2 G3 XY X0 Y1.004 Z0 C0,0 S90 F50"}},
        {"end off its circle within 0.1 % of the radius",
         "G0 X100\nG3 X0 Y100.09 I-100 F50\n",
         {"1 G0 X100 Y0 Z0", "2 G3 XY X0 Y100.09 Z0 C0,0 S90 F50"}},
        {"R chord over 2R by rounding: a half circle",
         "G2 X10.002 Y0 R5 F50\n",
         {"1 G2 XY X10.002 Y0 Z0 C5.001,0 S-180 F50"}},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

TEST(Planner, OffsetsToolLengthAndMachineCoordinates) {
    const Case cases[] = {
        {"work offset G55", "G55 G0 X1 Y1\nG54 X1\n", {"1 G0 X101 Y51 Z0", "2 G0 X1 Y51 Z0"}},
        {"G53 moves in machine coordinates",
         "G55 G0 X1\nG53 X1 Z-1\nX2\n",
         {"1 G0 X101 Y0 Z0", "2 G0 X-4 Y0 Z49", "3 G0 X102 Y0 Z49"}},
        {"G43 with H, G49", "G43 H3 G0 Z0\nG49 Z0\n", {"1 G0 X0 Y0 Z12.5", "2 G0 X0 Y0 Z0"}},
        {"G43 takes the tool M6 loaded", "T2 M6\nT1\nG43 G0 Z1\n", {"3 G0 X0 Y0 Z21"}},
        {"G28 through a point to machine zero",
         "G0 X10 Z5\nG28 Z10\n",
         {"1 G0 X10 Y0 Z5", "2 G0 X10 Y0 Z10", "2 G0 X10 Y0 Z50"}},
        {"G28 without words homes every axis",
         "G0 X10 Z5\nG91 G28\n",
         {"1 G0 X10 Y0 Z5", "2 G0 X-5 Y0 Z50"}},
    };
    for (const Case& c : cases) {
        Check(c, ShopSetup());
    }
}

TEST(Planner, DrillingCyclesMoveAsTheCycleSays) {
    const Case cases[] = {
        {"G81 with G98 back to the initial level",
         "G0 Z10\nG98 G81 X5 Y5 Z-2 R1 F100\nX10\n",
         {"1 G0 X0 Y0 Z10", "2 G0 X5 Y5 Z10", "2 G0 X5 Y5 Z1", "2 G1 X5 Y5 Z-2 F100",
          "2 G0 X5 Y5 Z10", "3 G0 X10 Y5 Z10", "3 G0 X10 Y5 Z1", "3 G1 X10 Y5 Z-2 F100",
          "3 G0 X10 Y5 Z10"}},
        {"G81 with G99 back to R",
         "G0 Z10\nG99 G81 X5 Y5 Z-2 R1 F100\nX10\nG80\n",
         {"1 G0 X0 Y0 Z10", "2 G0 X5 Y5 Z10", "2 G0 X5 Y5 Z1", "2 G1 X5 Y5 Z-2 F100",
          "2 G0 X5 Y5 Z1", "3 G0 X10 Y5 Z1", "3 G1 X10 Y5 Z-2 F100", "3 G0 X10 Y5 Z1"}},
        {"below R the tool first rises to R",
         "G81 X5 Z-2 R1 F100\n",
         {"1 G0 X0 Y0 Z1", "1 G0 X5 Y0 Z1", "1 G1 X5 Y0 Z-2 F100", "1 G0 X5 Y0 Z1"}},
        {"G82 dwells at the bottom",
         "G0 Z5\nG82 X1 Z-1 R1 P0.5 F100\n",
         {"1 G0 X0 Y0 Z5", "2 G0 X1 Y0 Z5", "2 G0 X1 Y0 Z1", "2 G1 X1 Y0 Z-1 F100", "2 G4 0.5",
          "2 G0 X1 Y0 Z5"}},
        {"G83 pecks back to R",
         "G0 Z5\nG83 X0 Z-3 R1 Q1.5 F100\n",
         {"1 G0 X0 Y0 Z5", "2 G0 X0 Y0 Z1", "2 G1 X0 Y0 Z-0.5 F100", "2 G0 X0 Y0 Z1",
          "2 G0 X0 Y0 Z-0.246", "2 G1 X0 Y0 Z-2 F100", "2 G0 X0 Y0 Z1", "2 G0 X0 Y0 Z-1.746",
          "2 G1 X0 Y0 Z-3 F100", "2 G0 X0 Y0 Z5"}},
        {"G73 breaks the chip",
         "G0 Z5\nG73 X0 Z-3 R1 Q1.5 F100\n",
         {"1 G0 X0 Y0 Z5", "2 G0 X0 Y0 Z1", "2 G1 X0 Y0 Z-0.5 F100", "2 G0 X0 Y0 Z-0.246",
          "2 G1 X0 Y0 Z-2 F100", "2 G0 X0 Y0 Z-1.746", "2 G1 X0 Y0 Z-3 F100", "2 G0 X0 Y0 Z5"}},
        {"G91: R from the initial level, Z from R",
         "G0 Z5\nG91 G81 X2 R-4 Z-3 F100\n",
         {"1 G0 X0 Y0 Z5", "2 G0 X2 Y0 Z5", "2 G0 X2 Y0 Z1", "2 G1 X2 Y0 Z-2 F100",
          "2 G0 X2 Y0 Z5"}},
    };
    for (const Case& c : cases) {
        Check(c);
    }
}

TEST(Planner, BlockDeleteAndTheEndOfTheProgram) {
    const Planned skipped = Plan("/G0 X5\nG0 Y1\n", {}, true);
    EXPECT_EQ(skipped.segments, std::vector<std::string>{"2 G0 X0 Y1 Z0"});
    const Planned kept = Plan("/G0 X5\nG0 Y1\n", {}, false);
    EXPECT_EQ(kept.segments.size(), 2u);

    const Planned ended = Plan("G0 X1\nM30\nG0 X2\n");
    EXPECT_TRUE(ended.result.ended);
    EXPECT_EQ(ended.result.lines, 2u);
    EXPECT_EQ(ended.segments, std::vector<std::string>{"1 G0 X1 Y0 Z0"});
}

TEST(Planner, KeepsTheModalState) {
    CPlanner planner(ShopSetup());
    CSinkFunction sink([](const CSegment&) {});
    const auto result = PlanProgram(
        "G20 G18 G91 G99 G61.1 G55\nT2 M6 S1200 M4\nT1 M7 M8\nG43 H3\nN40 M0\n", planner, sink);
    ASSERT_TRUE(result.Ok()) << result.Message();
    const CModalState& m = planner.Modal();
    EXPECT_EQ(m.units, CUnits::Inch);
    EXPECT_EQ(m.plane, CPlane::ZX);
    EXPECT_EQ(m.distance, CDistance::Incremental);
    EXPECT_EQ(m.retract, CRetract::RPlane);
    EXPECT_EQ(m.pathControl, CPathControl::ExactPath);
    EXPECT_EQ(m.coordSystem, 1);
    EXPECT_EQ(m.spindle, CSpindle::CounterClockwise);
    EXPECT_EQ(m.speed, 1200);
    EXPECT_EQ(m.selectedTool, 1);
    EXPECT_EQ(m.ActiveTool(), 2);
    EXPECT_TRUE(m.mist && m.flood);
    EXPECT_TRUE(m.toolLengthOn);
    EXPECT_EQ(m.toolLength, 12.5);
    EXPECT_EQ(m.sequence, 40);
    EXPECT_EQ(m.stop, CStop::Pause);

    PlanProgram("M9 M1\n", planner, sink);
    EXPECT_FALSE(planner.Modal().mist || planner.Modal().flood);
    EXPECT_EQ(planner.Modal().stop, CStop::OptionalPause);
    PlanProgram("M3\nM30\n", planner, sink);
    EXPECT_EQ(planner.Modal().spindle, CSpindle::Off) << "the end stops the spindle";
    EXPECT_EQ(planner.Modal().stop, CStop::End);
}

TEST(Planner, RefusesWhatItDoesNotRunWithTheLineAndTheReason) {
    struct Refused {
        const char* program;
        const char* message;
    };
    const Refused cases[] = {
        {"G0 X1\nG41 X2 D1\n", "line 2: unsupported G-code G41"},
        {"G42 D1\n", "line 1: unsupported G-code G42"},
        {"G93\n", "line 1: unsupported G-code G93"},
        {"G65 P9000\n", "line 1: unsupported G-code G65"},
        {"G1.5 X1\n", "line 1: unsupported G-code G1.5"},
        // Past what a code's tenths hold in 32 bits.
        {"G300000000 X1\n", "line 1: unsupported G-code G300000000"},
        {"M-999999999\n", "line 1: unsupported M-code M-999999999"},
        {"M48\n", "line 1: unsupported M-code M48"},
        {"#1=5\n", "line 1: parameter '#' is not supported"},
        {"G0 X#1\n", "line 1: parameter in word X is not supported"},
        {"G1 X[1+1]\n", "line 1: expression in word X is not supported"},
        {"O100 sub\n", "line 1: subprogram O100 is not supported"},
        {"o<probe> call\n", "line 1: subprogram o<...> is not supported"},
        {"M98 P1000\n", "line 1: subprogram call M98 is not supported"},
        {"G1 X1 A5\n", "line 1: unknown word A"},
        {"G0 X1 X2\n", "line 1: word X given twice"},
        {"G1 X1 (open\n", "line 1: comment not closed"},
        {"T1.5\n", "line 1: word T needs a whole number"},
        {"G0 X1 G1\n", "line 1: conflicting G-codes in one block"},
        {"M3 M4\n", "line 1: conflicting M-codes in one block"},
        {"M8 M9\n", "line 1: conflicting M-codes in one block"},
        {"X1\n", "line 1: axis words without a motion code"},
        {"G81 X1 Z-1 R1 F10\nG80\nX2\n", "line 3: axis words without a motion code"},
        {"G0 X1 R2\n", "line 1: I, J, K or R outside an arc"},
        {"G1 X1 Q1 F1\n", "line 1: Q outside a peck drilling cycle"},
        {"G0 X1 P2\n", "line 1: P outside a dwell, G82 or an arc"},
        {"G1 X1 F-1\n", "line 1: negative feed rate"},
        {"G4\n", "line 1: G4 needs P with the dwell in seconds"},
        {"G2 X1 Y1\n", "line 1: arc without I, J or R"},
        {"G18\nG2 X1 Z1\n", "line 2: arc without I, K or R"},
        {"G19\nG2 Y1 Z1 R1 J1\n", "line 2: R together with J or K"},
        {"G3 X10 Y0 R4\n", "line 1: arc radius too small for its end point (off by 2 mm)"},
        {"G2 X10.003 Y0 R5\n", "line 1: arc radius too small for its end point (off by 0.003 mm)"},
        {"G0 X1\nG3 X0 Y1.05 I-1\n",
         "line 2: arc end point is not on the circle (off by 0.05 mm)"},
        {"G20\nG3 X1 Y0 I0.3\n", "line 2: arc end point is not on the circle (off by 0.4 in)"},
        {"G2 X0 Y0 R5\n", "line 1: an R arc needs an end point apart from its start"},
        {"G2 X1 I0 J0\n", "line 1: arc of radius 0"},
        {"G2 X1 Y1 I1 U1\n", "line 1: arcs move only X, Y and Z"},
        {"G81 X1 Z-1\n", "line 1: drilling cycle G81 needs R"},
        {"G81 X1 R1\n", "line 1: drilling cycle G81 needs Z"},
        {"G83 X1 Z-1 R1\n", "line 1: G83 needs Q above 0"},
        {"G82 X1 Z-1 R1\n", "line 1: G82 needs P with the dwell in seconds"},
        {"G18\nG81 X1 Z-1 R1\n", "line 2: drilling cycle G81 needs Y"},
        {"G81 X1 Z2 R1\n", "line 1: drilling cycle G81 with Z above R"},
        {"G83 X1 Z-100 R1 Q0.001\n", "line 1: G83 would take more than 10000 pecks"},
        {"G81 X1 Z-1 R1 I1\n", "line 1: I, J or K in a drilling cycle"},
        {"G53 G2 X1\n", "line 1: G53 needs G0 or G1"},
        {"G91 G53 G0 X1\n", "line 1: G53 with incremental distance (G91)"},
        {"G28 G0 X1\n", "line 1: G28 together with a motion code"},
    };
    for (const Refused& c : cases) {
        SCOPED_TRACE(c.program);
        const Planned planned = Plan(c.program);
        EXPECT_EQ(planned.result.Message(), c.message);
    }
}

TEST(Planner, RefusesWhatTheMachineDoesNotHave) {
    CPlannerSetup setup = ShopSetup();
    setup.fittedAxes = 0x07; // X Y Z
    EXPECT_EQ(Plan("G0 U1\n", setup).result.Message(), "line 1: axis U is not fitted");
    EXPECT_EQ(Plan("G43 H4\n", setup).result.Message(), "line 1: H offset number out of range");
    EXPECT_EQ(Plan("T3 M6 G43\n", setup).result.Message(),
              "line 1: G43 without H needs a tool 1 to 2");
    setup.fittedAxes = 0x05; // X Z
    EXPECT_EQ(Plan("G2 X1 I1\n", setup).result.Message(), "line 1: arcs need the X and Y axes");
}

TEST(Planner, ProgramsAsVectorsReserveOnceAndMatchTheStream) {
    std::string program = "G21 G90 G0 X0 Y0\n";
    for (int i = 1; i <= 200; ++i) {
        program += "G1 X" + std::to_string(i % 2 * 10) + " Y" + std::to_string(i) + " F500\n";
    }
    CPlanner planner;
    CProgramResult result;
    const auto segments = PlanProgramSegments(program, planner, result);
    ASSERT_TRUE(result.Ok());
    ASSERT_EQ(segments.size(), 200u);
    EXPECT_EQ(segments.back().line, 201u);
    EXPECT_EQ(segments.back().end[1], 200);
    EXPECT_EQ(segments[10].start, segments[9].end) << "each segment starts where the last ended";
}

} // namespace
} // namespace morvik::gcode
