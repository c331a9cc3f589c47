// The components' blocks of the controller files, byte for byte, and the display formats the
// axis and cutter blocks leave behind.
#include "machine/Axis.h"
#include "machine/ConfigStream.h"
#include "machine/Cutter.h"
#include "machine/OffsetTable.h"
#include "machine/Spindle.h"
#include "machine/Tool.h"
#include "machine/WorkCoord.h"
#include "settings/UnitTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>

namespace morvik {
namespace {

using Systems = UnitSystem[2];
constexpr Systems kInMinMmMin = {{"ENGLISH", unit::Inch, timeunit::Minute},
                                 {"METRIC", unit::Millimeter, timeunit::Minute}};
constexpr Systems kInMinMmSec = {{"ENGLISH", unit::Inch, timeunit::Minute},
                                 {"METRIC", unit::Millimeter, timeunit::Second}};

// What a writer puts into a configuration stream prepared with the given setup precision.
std::string Written(const std::function<void(std::ostream&)>& write, int precision = 9) {
    std::ostringstream out;
    ConfigStream::Prepare(out, precision);
    write(out);
    return out.str();
}

std::string ReadGolden(const std::string& name) {
    std::ifstream in(std::string(MORVIK_TEST_DATA_DIR) + "/machine/components/golden/" + name,
                     std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// ---- Axis ---------------------------------------------------------------------------------

struct AxisCase {
    const char* what;
    int index;
    char letter;
    std::function<void(Axis&)> setUp;
    const Systems& systems;
    int defaultSystem;
    const char* block;
    const char* displayFormat;
};

void ResetX(Axis& axis) {
    axis.Reset(1);
}

// Several units on purpose: every line converts into the system's own units.
void MillAxisX(Axis& axis) {
    axis.Reset(1);
    axis.Scale().Parse("2000 counts/in");
    axis.MachineOffset().Parse("0.5 in");
    axis.ProgramOffset().Parse("-25.4 mm");
    axis.RapidRate().Parse("200 in/min");
    axis.RapidAccel().Parse("10 in/sec/sec");
    axis.RapidDecel().Parse("10 in/sec/sec");
    axis.LowerLimit().Parse("-12 in");
    axis.UpperLimit().Parse("300 mm");
    axis.SetSlaveAxis(4);
}

constexpr const char* kResetXBlock = ";X axis configuration\n"
                                     "XAXIS=1\n"
                                     "XSLAVE=0\n"
                                     "ENGLISH\n"
                                     "XSCALE=1\n"
                                     "XMACHINEOFFSET=0\n"
                                     "XPROGRAMOFFSET=0\n"
                                     "XRATECONV=60\n"
                                     "XRAPIDRATE=0\n"
                                     "XRAPIDACCEL=0\n"
                                     "XRAPIDDECEL=0\n"
                                     "XLOWLIMIT=0\n"
                                     "XUPLIMIT=0\n"
                                     "METRIC\n"
                                     "XSCALE=0.039370078\n"
                                     "XMACHINEOFFSET=0\n"
                                     "XPROGRAMOFFSET=0\n"
                                     "XRATECONV=60\n"
                                     "XRAPIDRATE=0\n"
                                     "XRAPIDACCEL=0\n"
                                     "XRAPIDDECEL=0\n"
                                     "XLOWLIMIT=0\n"
                                     "XUPLIMIT=0\n";

constexpr const char* kMillXBlock = ";X axis configuration\n"
                                    "XAXIS=1\n"
                                    "XSLAVE=4\n"
                                    "ENGLISH\n"
                                    "XSCALE=2000\n"
                                    "XMACHINEOFFSET=0.5\n"
                                    "XPROGRAMOFFSET=-0.999999981\n"
                                    "XRATECONV=60\n"
                                    "XRAPIDRATE=200\n"
                                    "XRAPIDACCEL=36000\n"
                                    "XRAPIDDECEL=36000\n"
                                    "XLOWLIMIT=-12\n"
                                    "XUPLIMIT=11.8110234\n"
                                    "METRIC\n"
                                    "XSCALE=78.740156\n"
                                    "XMACHINEOFFSET=12.7000002\n"
                                    "XPROGRAMOFFSET=-25.4\n"
                                    "XRATECONV=60\n"
                                    "XRAPIDRATE=5080.0001\n"
                                    "XRAPIDACCEL=914400.017\n"
                                    "XRAPIDDECEL=914400.017\n"
                                    "XLOWLIMIT=-304.800006\n"
                                    "XUPLIMIT=300\n";

// Test names in the listing instead of the bytes of the case.
void PrintTo(const AxisCase& c, std::ostream* os) {
    *os << c.what;
}

class AxisBlock : public testing::TestWithParam<AxisCase> {};

TEST_P(AxisBlock, WritesItsLinesAndSetsTheDisplayFormatFromTheDefaultSystem) {
    const AxisCase& c = GetParam();
    Axis axis(c.index, c.letter);
    c.setUp(axis);
    EXPECT_EQ(
        Written([&](std::ostream& out) { axis.WriteConfigBlock(out, c.systems, c.defaultSystem); }),
        c.block);
    EXPECT_EQ(axis.DisplayFormat(), c.displayFormat);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisBlock,
    testing::Values(AxisCase{"NotFittedWritesTwoLines", 3, 'Z', [](Axis& a) { a.Reset(0); },
                             kInMinMmMin, kEnglishUnits, ";Z axis configuration\nZAXIS=0\n",
                             "%#+ 14f"},
                    AxisCase{"ResetScaleOneIsNotAboveOne", 1, 'X', ResetX, kInMinMmMin,
                             kEnglishUnits, kResetXBlock, "%#+ 14.0f"},
                    AxisCase{"TwoThousandCountsPerInchEnglishDefault", 1, 'X', MillAxisX,
                             kInMinMmMin, kEnglishUnits, kMillXBlock, "%#+ 14.4f"},
                    AxisCase{"TwoThousandCountsPerInchMetricDefault", 1, 'X', MillAxisX,
                             kInMinMmMin, kMetricUnits, kMillXBlock, "%#+ 14.2f"}),
    [](const testing::TestParamInfo<AxisCase>& info) { return info.param.what; });

// The scale is written with its sign; the format takes its size (unlike the cutter's).
TEST(AxisBlockNegativeScale, WritesTheSignedScaleAndTakesItsSizeForTheFormat) {
    Axis axis(1, 'X');
    MillAxisX(axis);
    axis.Scale().Parse("-2000 counts/in");
    const std::string block =
        Written([&](std::ostream& out) { axis.WriteConfigBlock(out, kInMinMmMin, kEnglishUnits); });
    EXPECT_NE(block.find("\nXSCALE=-2000\n"), std::string::npos) << block;
    EXPECT_NE(block.find("\nXSCALE=-78.740156\n"), std::string::npos) << block;
    EXPECT_EQ(axis.DisplayFormat(), "%#+ 14.4f");
}

struct FormatCase {
    double countsPerUnit;
    const char* format;
};

TEST(DisplayFormat, HasAsManyDecimalsAsOneCountNeedsWithStrictComparisons) {
    const FormatCase cases[] = {
        {-5000, "%#+ 14.0f"},     {0, "%#+ 14.0f"},        {1, "%#+ 14.0f"},
        {1.5, "%#+ 14.1f"},       {10, "%#+ 14.1f"},       {10.5, "%#+ 14.2f"},
        {100, "%#+ 14.2f"},       {1000, "%#+ 14.3f"},     {1001, "%#+ 14.4f"},
        {10000, "%#+ 14.4f"},     {100000, "%#+ 14.5f"},   {1000000, "%#+ 14.6f"},
        {10000000, "%#+ 14.7f"},  {10000001, "%#+ 14.8f"}, {100000000, "%#+ 14.8f"},
        {100000001, "%#+ 14.9f"}, {1e15, "%#+ 14.9f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayFormatFor(c.countsPerUnit), c.format) << c.countsPerUnit;
    }
}

// ---- Spindle ------------------------------------------------------------------------------

struct SpindleCase {
    const char* what;
    std::int32_t controllerAxis;
    std::int32_t mode;
    const char* block;
};

// Test names in the listing instead of the bytes of the case.
void PrintTo(const SpindleCase& c, std::ostream* os) {
    *os << c.what;
}

class SpindleBlock : public testing::TestWithParam<SpindleCase> {};

TEST_P(SpindleBlock, WritesTheLinesOfItsModeInEachSystemsTimeUnit) {
    const SpindleCase& c = GetParam();
    Spindle spindle;
    spindle.Reset(c.controllerAxis);
    spindle.SetMode(c.mode);
    spindle.SetPolarity(Spindle::kPolarityReverse);
    spindle.Scale().Parse("4000 counts/rev");
    spindle.DriveConstant().Parse("500 rev/min");
    spindle.Speed().Parse("3000 rev/min");
    spindle.Accel().Parse("10 rev/sec/sec");
    EXPECT_EQ(Written([&](std::ostream& out) {
                  spindle.WriteConfigBlock(out, kInMinMmSec, kEnglishUnits);
              }),
              c.block);
    EXPECT_EQ(spindle.DisplayFormat(), "%#+ 14.1f");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpindleBlock,
    testing::Values(SpindleCase{"NotFitted", 0, 1, "; Spindle configuration\nSPINDLEAXIS=0\n"},
                    SpindleCase{"Servo", 4, 1,
                                "; Spindle configuration\n"
                                "SPINDLEAXIS=4\n"
                                "SPINDLEMODE=1\n"
                                "SPINDLEPOLARITY=-1\n"
                                "ENGLISH\n"
                                "SPINDLESCALE=4000\n"
                                "SPINDLERATECONV=60\n"
                                "SPINDLESPEED=3000\n"
                                "SPINDLEACCEL=36000\n"
                                "SPINDLEDECEL=0\n"
                                "METRIC\n"
                                "SPINDLESCALE=4000\n"
                                "SPINDLERATECONV=1\n"
                                "SPINDLESPEED=50\n"
                                "SPINDLEACCEL=10\n"
                                "SPINDLEDECEL=0\n"},
                    SpindleCase{"Drive", 4, 2,
                                "; Spindle configuration\n"
                                "SPINDLEAXIS=4\n"
                                "SPINDLEMODE=2\n"
                                "SPINDLEPOLARITY=-1\n"
                                "ENGLISH\n"
                                "SPINDLECONSTANT=500\n"
                                "SPINDLESPEED=3000\n"
                                "SPINDLEACCEL=36000\n"
                                "SPINDLEDECEL=0\n"
                                "METRIC\n"
                                "SPINDLECONSTANT=8.33333333\n"
                                "SPINDLESPEED=50\n"
                                "SPINDLEACCEL=10\n"
                                "SPINDLEDECEL=0\n"},
                    SpindleCase{"OtherModeHasNeitherScaleNorConstant", 4, 0,
                                "; Spindle configuration\n"
                                "SPINDLEAXIS=4\n"
                                "SPINDLEMODE=0\n"
                                "SPINDLEPOLARITY=-1\n"
                                "ENGLISH\n"
                                "SPINDLESPEED=3000\n"
                                "SPINDLEACCEL=36000\n"
                                "SPINDLEDECEL=0\n"
                                "METRIC\n"
                                "SPINDLESPEED=50\n"
                                "SPINDLEACCEL=10\n"
                                "SPINDLEDECEL=0\n"}),
    [](const testing::TestParamInfo<SpindleCase>& info) { return info.param.what; });

// ---- Cutter -------------------------------------------------------------------------------

struct CutterCase {
    const char* what;
    std::int32_t controllerAxis;
    const char* scale;
    int defaultSystem;
    const char* block;
    const char* displayFormat;
};

// The metric part keeps the English time unit (min), although the metric system uses sec.
constexpr const char* kCutterBlock = "; Cutter configuration\n"
                                     "CUTTERAXIS=5\n"
                                     "CUTTERRAISEMCODE=51\n"
                                     "CUTTERLOWERMCODE=52\n"
                                     "ENGLISH\n"
                                     "CUTTERSCALE=1000\n"
                                     "CUTTEROFFSET=0.25\n"
                                     "CUTTERRATECONV=60\n"
                                     "CUTTERSPEED=120\n"
                                     "CUTTERACCEL=3600\n"
                                     "CUTTERDECEL=0\n"
                                     "METRIC\n"
                                     "CUTTERSCALE=1000\n"
                                     "CUTTEROFFSET=0.25\n"
                                     "CUTTERRATECONV=60\n"
                                     "CUTTERSPEED=120\n"
                                     "CUTTERACCEL=3600\n"
                                     "CUTTERDECEL=0\n";

// Test names in the listing instead of the bytes of the case.
void PrintTo(const CutterCase& c, std::ostream* os) {
    *os << c.what;
}

class CutterBlock : public testing::TestWithParam<CutterCase> {};

TEST_P(CutterBlock, WritesBothPartsInTheEnglishTimeUnitAndUsesTheSignedScale) {
    const CutterCase& c = GetParam();
    Cutter cutter;
    cutter.Reset(c.controllerAxis);
    cutter.SetRaiseMCode(51);
    cutter.SetLowerMCode(52);
    cutter.SetRaiseMacro(7); // macros stay out of the file
    cutter.SetLowerMacro(8);
    cutter.Scale().Parse(c.scale);
    cutter.Offset().Parse("0.25 rev");
    cutter.Speed().Parse("2 rev/sec");
    cutter.Accel().Parse("1 rev/sec/sec");
    EXPECT_EQ(Written([&](std::ostream& out) {
                  cutter.WriteConfigBlock(out, kInMinMmSec, c.defaultSystem);
              }),
              c.block);
    EXPECT_EQ(cutter.DisplayFormat(), c.displayFormat);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CutterBlock,
    testing::Values(
        CutterCase{"NotFitted", 0, "1000 counts/rev", kEnglishUnits,
                   "; Cutter configuration\nCUTTERAXIS=0\n", "%#+ 14f"},
        // 1000 counts/rev are 25.4 "counts per inch" (the rev is the meter's row): 2 decimals.
        CutterCase{"EnglishDefault", 5, "1000 counts/rev", kEnglishUnits, kCutterBlock,
                   "%#+ 14.2f"},
        // The metric default still measures the scale per English length unit.
        CutterCase{"MetricDefault", 5, "1000 counts/rev", kMetricUnits, kCutterBlock, "%#+ 14.2f"}),
    [](const testing::TestParamInfo<CutterCase>& info) { return info.param.what; });

TEST(CutterBlockNegativeScale, TakesTheSignedScaleForTheFormat) {
    Cutter cutter;
    cutter.Reset(5);
    cutter.Scale().Parse("-1000 counts/rev");
    const std::string block =
        Written([&](std::ostream& out) { cutter.WriteConfigBlock(out, kInMinMmSec, 0); });
    EXPECT_NE(block.find("\nCUTTERSCALE=-1000\n"), std::string::npos) << block;
    EXPECT_EQ(cutter.DisplayFormat(), "%#+ 14.0f");
}

// ---- Tool, work coordinate, offset table --------------------------------------------------

void SampleTool(Tool& tool) {
    tool.Reset();
    tool.X().Parse("1 in");
    tool.Y().Parse("2 mm");
    tool.Z().Parse("-0.5 in");
    tool.Radius().Parse("0.125 in");
    tool.Wear().Parse("0.001 in");
    tool.SetWearFactor(0.5);
    tool.SetOrientation(3);
    tool.SetDescription("end mill"); // stays in the machine file
}

TEST(ToolBlock, WritesLengthsPerSystemThenFactorAndOrientation) {
    Tool tool(3);
    SampleTool(tool);
    // X=25.4000005: 1 in goes through the meter with the factor 39.370078, not through 25.4.
    EXPECT_EQ(Written([&](std::ostream& out) { tool.WriteConfigBlock(out, kInMinMmMin); }),
              "TOOL=3\n"
              "ENGLISH\n"
              "X=1\n"
              "Y=0.078740156\n"
              "Z=-0.5\n"
              "R=0.125\n"
              "W=0.001\n"
              "METRIC\n"
              "X=25.4000005\n"
              "Y=2\n"
              "Z=-12.7000002\n"
              "R=3.17500006\n"
              "W=0.0254000005\n"
              "F=0.5\n"
              "Q=3\n");
}

struct PrecisionCase {
    int setupPrecision;
    const char* metricX;
};

TEST(ConfigStreamPrecision, FollowsTheSetupPrecisionAndKeepsSixBelowOne) {
    const PrecisionCase cases[] = {
        {9, "X=25.4000005"}, {6, "X=25.4"}, {0, "X=25.4"},
        {-3, "X=25.4"},      {3, "X=25.4"}, {12, "X=25.4000004775"},
    };
    for (const auto& c : cases) {
        Tool tool(1);
        SampleTool(tool);
        const std::string block = Written(
            [&](std::ostream& out) { tool.WriteConfigBlock(out, kInMinMmMin); }, c.setupPrecision);
        EXPECT_NE(block.find(std::string("METRIC\n") + c.metricX + "\n"), std::string::npos)
            << c.setupPrecision << "\n"
            << block;
    }
}

// A desktop whose locale writes decimal commas must not change a controller file.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(ConfigStreamLocale, WritesCLocaleNumbersWhateverTheGlobalLocale) {
    const std::locale saved = std::locale::global(std::locale(std::locale(), new CommaDecimals));
    std::ostringstream out; // takes the comma locale from the global one
    ConfigStream::Prepare(out, 9);
    ConfigStream::Line(out, "FEEDRATE=", 12345.5, " ", 1234567);
    std::locale::global(saved);
    EXPECT_EQ(out.str(), "FEEDRATE=12345.5 1234567\n");
}

TEST(WorkCoordBlock, WritesSixValuesPerSystem) {
    WorkCoord coord(2);
    coord.Reset();
    coord.X().Parse("1 in");
    coord.Y().Parse("-10 mm");
    coord.U().Parse("2.5 in");
    EXPECT_EQ(Written([&](std::ostream& out) { coord.WriteConfigBlock(out, kInMinMmMin); }),
              "WORKCOOR=2\n"
              "ENGLISH\n"
              "X=1\n"
              "Y=-0.39370078\n"
              "Z=0\n"
              "U=2.5\n"
              "V=0\n"
              "W=0\n"
              "METRIC\n"
              "X=25.4000005\n"
              "Y=-10\n"
              "Z=0\n"
              "U=63.5000012\n"
              "V=0\n"
              "W=0\n");
}

TEST(OffsetTableBlock, WritesOffsetsTwiceAndFactorsOnceIn172Lines) {
    OffsetTable table('D');
    table.Reset();
    table.Geometry(0).Parse("0.125 in");
    table.Geometry(7).Parse("-0.25 in");
    table.Geometry(32).Parse("1 mm");
    table.Wear(5).Parse("0.001 in");
    table.SetWearFactor(0, 1.0);
    table.SetWearFactor(32, 0.75);
    const std::string block =
        Written([&](std::ostream& out) { table.WriteConfigBlock(out, kInMinMmMin); });
    EXPECT_EQ(block, ReadGolden("DOffsetTable.txt"));
    EXPECT_EQ(std::count(block.begin(), block.end(), '\n'), 172);
}

} // namespace
} // namespace morvik
