// The three controller files as the card reads them: values in the card's units, and a bad
// file refused whole with a reply that names its first bad line.
#include "CardTestSupport.h"

#include "cardsim/CardConfig.h"
#include "cardsim/CardWorkTools.h"

#include <gtest/gtest.h>

namespace morvik::test {
namespace {

TEST(CardConfigRead, ValuesAreInTheDefaultSystemsUnitsPerSecond) {
    struct Case {
        const char* what;
        bool metricDefault;
        double scale; // counts per card unit
        double rapid; // card units per second
        double accel; // per second squared
        double upLimit;
        double feed;
        double otherSystemFactor; // a length in the other system, in card units
        const char* reply;
    };
    const Case cases[] = {
        {"inches", false, 2000, 2, 10, 10, 1, 1 / 25.4, "CONFIG 100 read: 2 axes, ENGLISH units"},
        {"millimetres", true, 2000 / 25.4, 50.8, 254, 254, 25.4, 25.4,
         "CONFIG 100 read: 2 axes, METRIC units"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestMachine machine;
        machine.metricDefault = c.metricDefault;
        machine.axes = {{'X', 1}, {'Z', 3}};
        CCardConfig config;
        const auto result = ReadCardConfig(ConfigText(machine), 100, config);
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_EQ(result.message, c.reply);
        const int other = c.metricDefault ? kCardEnglish : kCardMetric;
        const CCardAxisConfig& x = config.axes[0];
        EXPECT_EQ(x.number, 1);
        EXPECT_NEAR(x.scale, c.scale, 1e-6);
        EXPECT_NEAR(x.rapidRate, c.rapid, 1e-9);
        EXPECT_NEAR(x.rapidAccel, c.accel, 1e-6);
        EXPECT_NEAR(x.upLimit, c.upLimit, 1e-9);
        EXPECT_NEAR(config.feedRate, c.feed, 1e-9);
        EXPECT_NEAR(config.lengthFactor[other], c.otherSystemFactor, 1e-6);
        EXPECT_EQ(config.lengthFactor[config.defaultSystem], 1.0);
        EXPECT_EQ(config.axes[1].number, 0) << "Y is not fitted";
        EXPECT_EQ(config.axes[2].number, 3);
        EXPECT_EQ(config.estopChannel, 1);
        EXPECT_EQ(config.driveFaultChannel, 3);
    }
}

TEST(CardConfigRead, SpindleAndCutterBlocksOfEveryModeAreRead) {
    for (const int mode : {1, 2, 0}) {
        SCOPED_TRACE(mode);
        TestMachine machine;
        machine.spindleAxis = 5;
        machine.spindleMode = mode;
        machine.cutterAxis = 4;
        CCardConfig config;
        const auto result = ReadCardConfig(ConfigText(machine), 100, config);
        ASSERT_TRUE(result.ok) << result.message;
        EXPECT_EQ(config.spindle.number, 5);
        EXPECT_EQ(config.spindleMode, mode);
        EXPECT_EQ(config.cutter.number, 4);
        EXPECT_EQ(config.cutter.scale, 3600);
        EXPECT_EQ(config.cutter.rapidRate, 1) << "60 rev/min";
        EXPECT_EQ(config.cutter.rateConv, 60);
    }
}

// Each case changes one line of a good file; the reply names that line.
TEST(CardConfigRead, ABadFileIsRefusedWholeNamingItsFirstBadLine) {
    struct Case {
        const char* replace;
        const char* with;
        const char* reply; // the start of the reply
    };
    const Case cases[] = {
        {"XSCALE=2000\n", "XSCALE=abc\n", "?ERR CONFIG 100 line 26: bad number: XSCALE=abc"},
        {"XSCALE=2000\n", "XSCALE=1e300\n", "?ERR CONFIG 100 line 26: bad number"},
        {"XSCALE=2000\n", "XSKALE=2000\n", "?ERR CONFIG 100 line 26: unknown key"},
        {"MACHINETYPE=VMILL\n", "MACHINETYPE=MILL\n", "?ERR CONFIG 100 line 3: unknown value"},
        {"ESTOPCHANNEL=1\n", "ESTOPCHANNEL=1.5\n", "?ERR CONFIG 100 line 6: bad integer"},
        {";Feed configuration\nENGLISH\n", ";Feed configuration\nFEEDRATE=1\nENGLISH\n",
         "?ERR CONFIG 100 line 10: value outside a unit block"},
        {"PROGRAMCOMP=FANUC\n", "PROGRAMCOMP=FANUC\nHELLO\n",
         "?ERR CONFIG 100 line 5: not a setting"},
        {"YAXIS=2\n", "YAXIS=1\n", "?ERR CONFIG 100: controller axis 1 used twice"},
        {"YAXIS=2\n", "YAXIS=9\n", "?ERR CONFIG 100: axis number out of range for Y"},
        {"XSLAVE=0\n", "XSLAVE=2\n", "?ERR CONFIG 100: bad slave axis for X"},
    };
    const std::string good = ConfigText(TestMachine{});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.with);
        std::string text = good;
        const auto at = text.find(c.replace);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::string(c.replace).size(), c.with);
        CCardConfig config;
        config.axes[0].number = 7; // marks the configuration the card had before
        const auto result = ReadCardConfig(text, 100, config);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message.rfind(c.reply, 0), 0u) << result.message;
        EXPECT_EQ(config.axes[0].number, 7) << "the old configuration stays";
    }
}

TEST(CardWorkRead, WorkCoordinatesAreKeptPerUnitSystem) {
    CCardWorkOffsets work;
    const auto result = ReadCardWork(WorkText({{1, 2, 3}, {}, {0, 0, 0, 0, 0, -4}}), 101, work);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.message, "WORK 101 read: 3 work coordinates");
    EXPECT_EQ(work.values[0][kCardEnglish][1], 2);
    EXPECT_NEAR(work.values[0][kCardMetric][2], 76.2, 1e-9);
    EXPECT_EQ(work.values[2][kCardEnglish][5], -4);

    const struct {
        const char* text;
        const char* reply;
    } bad[] = {
        {"ENGLISH\nX=1\n", "?ERR WORK 101 line 2: value outside a work coordinate's unit block"},
        {"WORKCOOR=7\n", "?ERR WORK 101 line 1: bad work coordinate number"},
        {"WORKCOOR=1\nENGLISH\nQ=1\n", "?ERR WORK 101 line 3: unknown key"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.text);
        const auto failed = ReadCardWork(c.text, 101, work);
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(failed.message.rfind(c.reply, 0), 0u) << failed.message;
        EXPECT_EQ(work.values[0][kCardEnglish][1], 2) << "kept";
    }
}

TEST(CardToolRead, ToolsAndBothOffsetTablesAreStored) {
    const std::string text = ";t Tool data file\n"
                             "TOOL=2\nENGLISH\nX=0\nY=0\nZ=1.5\nR=0.25\nW=0\n"
                             "METRIC\nX=0\nY=0\nZ=38.1\nR=6.35\nW=0\nF=0.5\nQ=3\n"
                             "HGEOMETRYOFFSETS\nENGLISH\n0=0\n5=2.5\nMETRIC\n5=63.5\n"
                             "HWEAROFFSETS\nENGLISH\n5=-0.01\n"
                             "HWEARFACTORS\n5=0.9\n"
                             "DGEOMETRYOFFSETS\nENGLISH\n32=0.125\n";
    CCardToolData tools;
    const auto result = ReadCardTools(text, 102, tools);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.message, "TOOLS 102 read: 1 tools, 2 offset tables");
    EXPECT_EQ(tools.tools[1].lengths[kCardEnglish][2], 1.5);
    EXPECT_EQ(tools.tools[1].lengths[kCardMetric][3], 6.35);
    EXPECT_EQ(tools.tools[1].wearFactor, 0.5);
    EXPECT_EQ(tools.tools[1].orientation, 3);
    EXPECT_EQ(tools.h.geometry[kCardEnglish][5], 2.5);
    EXPECT_EQ(tools.h.geometry[kCardMetric][5], 63.5);
    EXPECT_EQ(tools.h.wear[kCardEnglish][5], -0.01);
    EXPECT_EQ(tools.h.factors[5], 0.9);
    EXPECT_EQ(tools.d.geometry[kCardEnglish][32], 0.125);

    const struct {
        const char* text;
        const char* reply;
    } bad[] = {
        {"TOOL=10\n", "?ERR TOOLS 102 line 1: bad tool number"},
        {"HGEOMETRYOFFSETS\nENGLISH\n33=1\n", "?ERR TOOLS 102 line 3: bad entry number"},
        {"HGEOMETRYOFFSETS\n1=1\n", "?ERR TOOLS 102 line 2: value outside a unit block"},
        {"X=1\n", "?ERR TOOLS 102 line 1: value outside a tool or table block"},
        {"TOOL=1\nQ=1.5\n", "?ERR TOOLS 102 line 2: bad integer"},
        {"XGEOMETRYOFFSETS\n", "?ERR TOOLS 102 line 1: not a setting"},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.text);
        const auto failed = ReadCardTools(c.text, 102, tools);
        EXPECT_FALSE(failed.ok);
        EXPECT_EQ(failed.message.rfind(c.reply, 0), 0u) << failed.message;
    }
    EXPECT_EQ(tools.h.geometry[kCardEnglish][5], 2.5) << "a bad file changes nothing";
}

} // namespace
} // namespace morvik::test
