// The components in the machine file: the exact entries Save writes, erasing what it does not
// write, loading back what it wrote, and what absent keys read as.
#include "machine/Axis.h"
#include "machine/Cutter.h"
#include "machine/OffsetTable.h"
#include "machine/Spindle.h"
#include "machine/Tool.h"
#include "machine/WorkCoord.h"
#include "settings/TempFolder.h"
#include "settings/UnitTables.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace morvik {
namespace {

constexpr int kPrecision = 9;

class MachineFile : public testing::Test {
protected:
    // A profile file holding text, as the station would read it from disk.
    CProfileFile FileWith(const std::string& text) {
        const std::string path = folder.File("machine" + std::to_string(++files_) + ".mch");
        test::WriteBytes(path, text);
        return CProfileFile(path);
    }
    CProfileFile EmptyFile() { return CProfileFile(folder.File("absent.mch")); }

    template <class Component> std::string SavedText(const Component& component) {
        CProfileFile file = EmptyFile();
        EXPECT_TRUE(component.Save(file, kPrecision));
        return file.Text();
    }

    test::TempFolder folder;

private:
    int files_ = 0;
};

// ---- What Save writes ---------------------------------------------------------------------

struct SectionCase {
    const char* what;
    std::function<bool(CProfileFile&)> save;
    const char* text;
};

TEST_F(MachineFile, SaveWritesEveryKeyOfTheSectionInItsOrder) {
    const SectionCase cases[] = {
        {"axis X after Reset(1)",
         [](CProfileFile& f) {
             Axis axis(1, 'X');
             axis.Reset(1);
             return axis.Save(f, kPrecision);
         },
         "[XAXIS]\nCTRLRAXISNUM=1\nSLAVEAXISNUM=0\nSCALE=1 counts/in\nMACHINEOFFSET=0 in\n"
         "PROGRAMOFFSET=0 in\nRAPIDRATE=0 in/sec\nRAPIDACCEL=0 in/sec/sec\n"
         "RAPIDDECEL=0 in/sec/sec\nLOWERLIMIT=0 in\nUPPERLIMIT=0 in\n"},
        {"axis W, index 6",
         [](CProfileFile& f) {
             Axis axis(6, 'W');
             axis.Reset(0);
             axis.Scale().Parse("500 counts/mm");
             return axis.Save(f, kPrecision);
         },
         "[WAXIS]\nCTRLRAXISNUM=0\nSLAVEAXISNUM=0\nSCALE=500 counts/mm\nMACHINEOFFSET=0 in\n"
         "PROGRAMOFFSET=0 in\nRAPIDRATE=0 in/sec\nRAPIDACCEL=0 in/sec/sec\n"
         "RAPIDDECEL=0 in/sec/sec\nLOWERLIMIT=0 in\nUPPERLIMIT=0 in\n"},
        {"spindle after Reset(0)",
         [](CProfileFile& f) {
             Spindle spindle;
             spindle.Reset(0);
             return spindle.Save(f, kPrecision);
         },
         "[SPINDLE]\nCTRLRAXISNUM=0\nMODE=1\nPOLARITY=1\nSCALE=1 counts/rev\n"
         "CONSTANT=0 rev/sec\nSPEED=0 rev/sec\nACCEL=0 rev/sec/sec\nDECEL=0 rev/sec/sec\n"},
        {"cutter after Reset(0)",
         [](CProfileFile& f) {
             Cutter cutter;
             cutter.Reset(0);
             return cutter.Save(f, kPrecision);
         },
         "[CUTTER]\nCTRLRAXISNUM=0\nSCALE=1 counts/rev\nOFFSET=0 rev\nRAISEMCODE=0\n"
         "LOWERMCODE=0\nRAISEMACRO=0\nLOWERMACRO=0\nSPEED=0 rev/sec\nACCEL=0 rev/sec/sec\n"
         "DECEL=0 rev/sec/sec\n"},
        {"tool 3 after Reset, empty description",
         [](CProfileFile& f) {
             Tool tool(3);
             tool.Reset();
             return tool.Save(f, kPrecision);
         },
         "[TOOL3]\nDESCRIPTION=\nX=0 in\nY=0 in\nZ=0 in\nR=0 in\nW=0 in\nF=0\nQ=0\n"},
        {"work coordinate 2 after Reset",
         [](CProfileFile& f) {
             WorkCoord coord(2);
             coord.Reset();
             return coord.Save(f, kPrecision);
         },
         "[WORKCOOR2]\nX=0 in\nY=0 in\nZ=0 in\nU=0 in\nV=0 in\nW=0 in\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CProfileFile file = EmptyFile();
        EXPECT_TRUE(c.save(file));
        EXPECT_EQ(file.Text(), c.text);
    }
}

TEST_F(MachineFile, OffsetTableWritesItsThreeSectionsWithTwoDigitKeys) {
    OffsetTable table('H');
    table.Reset();
    table.Geometry(0).Parse("0.5 in");
    table.Wear(32).Parse("0.2 mm");
    table.SetWearFactor(9, 1.5);
    const std::string text = SavedText(table);

    const auto geometry = text.find("[HGEOMETRYOFFSETTABLE]\n00=0.5 in\n01=0 in\n");
    const auto wear = text.find("[HWEAROFFSETTABLE]\n00=0 in\n");
    const auto factors = text.find("[HWEARFACTORTABLE]\n00=0\n");
    ASSERT_NE(geometry, std::string::npos) << text;
    ASSERT_NE(wear, std::string::npos) << text;
    ASSERT_NE(factors, std::string::npos) << text;
    EXPECT_LT(geometry, wear);
    EXPECT_LT(wear, factors);
    EXPECT_NE(text.find("\n31=0 in\n32=0.2 mm\n[HWEARFACTORTABLE]"), std::string::npos) << text;
    EXPECT_NE(text.find("\n09=1.5\n"), std::string::npos) << text;
    // Three headers and 3 x 33 entries, nothing else.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3 + 3 * OffsetTable::kEntryCount);
}

TEST_F(MachineFile, SaveErasesKeysItDoesNotWriteAndMovesTheSectionToTheEnd) {
    CProfileFile file = FileWith("[XAXIS]\nFOO=1\nSCALE=5 counts/mm\n"
                                 "[SPINDLE]\nOLDKEY=2\n"
                                 "[CUTTER]\nBAR=3\n"
                                 "[TOOL1]\nCOLOUR=red\n"
                                 "[WORKCOOR1]\nA=1\n"
                                 "[DWEARFACTORTABLE]\n33=4\n"
                                 "[OTHER]\nKEEP=yes\n");
    Axis axis(1, 'X');
    axis.Reset(1);
    Spindle spindle;
    Cutter cutter;
    Tool tool(1);
    WorkCoord coord(1);
    OffsetTable table('D');
    EXPECT_TRUE(axis.Save(file, kPrecision));
    EXPECT_TRUE(spindle.Save(file, kPrecision));
    EXPECT_TRUE(cutter.Save(file, kPrecision));
    EXPECT_TRUE(tool.Save(file, kPrecision));
    EXPECT_TRUE(coord.Save(file, kPrecision));
    EXPECT_TRUE(table.Save(file, kPrecision));

    const std::string text = file.Text();
    for (const char* foreign :
         {"FOO=", "OLDKEY=", "BAR=", "COLOUR=", "A=1", "33=", "5 counts/mm"}) {
        EXPECT_EQ(text.find(foreign), std::string::npos) << foreign;
    }
    // Untouched sections stay first, the saved ones follow in the order they were saved.
    EXPECT_EQ(text.rfind("[OTHER]\nKEEP=yes\n[XAXIS]\n", 0), 0u) << text;
    const char* order[] = {"[XAXIS]",
                           "[SPINDLE]",
                           "[CUTTER]",
                           "[TOOL1]",
                           "[WORKCOOR1]",
                           "[DGEOMETRYOFFSETTABLE]",
                           "[DWEAROFFSETTABLE]",
                           "[DWEARFACTORTABLE]"};
    std::size_t last = 0;
    for (const char* section : order) {
        const auto at = text.find(section);
        ASSERT_NE(at, std::string::npos) << section;
        EXPECT_GT(at, last) << section;
        last = at;
    }
}

TEST_F(MachineFile, SaveReportsAWriteTheFileRefusedAndStillWritesTheRest) {
    Tool tool(2);
    tool.Reset();
    tool.X().Parse("3 in");
    tool.SetDescription("first line\n[GENERAL]\nMACHINETYPE=2");
    CProfileFile file = EmptyFile();
    EXPECT_FALSE(tool.Save(file, kPrecision));
    EXPECT_EQ(file.Text(), "[TOOL2]\nX=3 in\nY=0 in\nZ=0 in\nR=0 in\nW=0 in\nF=0\nQ=0\n");

    // A component bound to no section (a number outside its range) cannot save at all.
    Tool unbound(10);
    CProfileFile other = EmptyFile();
    EXPECT_FALSE(unbound.Save(other, kPrecision));
    EXPECT_EQ(other.Text(), "");
}

// ---- Loading back -------------------------------------------------------------------------

template <class Component> struct RoundTripCase {
    std::function<void(Component&)> fill;
    std::function<void(const Component&)> check;
};

class RoundTrip : public MachineFile {
protected:
    // Saves original, loads the text into fresh and expects fresh to save the same text.
    template <class Component>
    void Expect(const Component& original, Component fresh,
                const std::function<void(const Component&)>& check) {
        const std::string text = SavedText(original);
        fresh.Load(FileWith(text));
        EXPECT_EQ(SavedText(fresh), text);
        check(fresh);
    }
};

TEST_F(RoundTrip, AxisKeepsEveryValueWithItsUnit) {
    Axis axis(2, 'Y');
    axis.Reset(2);
    axis.SetSlaveAxis(5);
    axis.Scale().Parse("2000 counts/in");
    axis.MachineOffset().Parse("-12.5 mm");
    axis.ProgramOffset().Parse("0.125 in");
    axis.RapidRate().Parse("200 in/min");
    axis.RapidAccel().Parse("10 in/sec/sec");
    axis.RapidDecel().Parse("2.5 m/sec/sec");
    axis.LowerLimit().Parse("-300 mm");
    axis.UpperLimit().Parse("12 in");
    Expect(axis, Axis(2, 'Y'), std::function([](const Axis& loaded) {
               EXPECT_EQ(loaded.ControllerAxis(), 2);
               EXPECT_EQ(loaded.SlaveAxis(), 5);
               EXPECT_EQ(loaded.Scale().Unit(), unit::Inch);
               EXPECT_DOUBLE_EQ(loaded.Scale().Value(), 2000);
               EXPECT_EQ(loaded.MachineOffset().Unit(), unit::Millimeter);
               EXPECT_EQ(loaded.RapidDecel().LengthUnit(), unit::Meter);
               EXPECT_EQ(loaded.RapidRate().TimeUnit(), timeunit::Minute);
               EXPECT_DOUBLE_EQ(loaded.LowerLimit().Value(), -300);
           }));
}

TEST_F(RoundTrip, SpindleAndCutterKeepTheirValues) {
    Spindle spindle;
    spindle.Reset(4);
    spindle.SetMode(Spindle::kModeDrive);
    spindle.SetPolarity(Spindle::kPolarityReverse);
    spindle.Scale().Parse("4096 counts/rev");
    spindle.DriveConstant().Parse("450 rev/min");
    spindle.Speed().Parse("3000 rev/min");
    spindle.Accel().Parse("20 rev/sec/sec");
    spindle.Decel().Parse("30 rev/sec/sec");
    Expect(spindle, Spindle(), std::function([](const Spindle& loaded) {
               EXPECT_EQ(loaded.ControllerAxis(), 4);
               EXPECT_EQ(loaded.Mode(), Spindle::kModeDrive);
               EXPECT_EQ(loaded.Polarity(), -1);
               EXPECT_DOUBLE_EQ(loaded.DriveConstant().Value(), 450);
           }));

    Cutter cutter;
    cutter.Reset(5);
    cutter.SetRaiseMCode(51);
    cutter.SetLowerMCode(52);
    cutter.SetRaiseMacro(7);
    cutter.SetLowerMacro(8);
    cutter.Scale().Parse("1000 counts/rev");
    cutter.Offset().Parse("90 deg");
    cutter.Speed().Parse("2 rev/sec");
    Expect(cutter, Cutter(), std::function([](const Cutter& loaded) {
               EXPECT_EQ(loaded.ControllerAxis(), 5);
               EXPECT_EQ(loaded.RaiseMacro(), 7);
               EXPECT_EQ(loaded.LowerMacro(), 8);
               EXPECT_EQ(loaded.LowerMCode(), 52);
               EXPECT_EQ(loaded.Offset().Unit(), unit::Degree);
           }));
}

TEST_F(RoundTrip, ToolWorkCoordAndOffsetTableKeepTheirValues) {
    Tool tool(9);
    tool.Reset();
    tool.X().Parse("1 in");
    tool.Z().Parse("-42.5 mm");
    tool.SetWearFactor(0.25);
    tool.SetOrientation(3);
    tool.SetDescription("1/2 end mill");
    Expect(tool, Tool(9), std::function([](const Tool& loaded) {
               EXPECT_EQ(loaded.Description(), "1/2 end mill");
               EXPECT_EQ(loaded.Z().Unit(), unit::Millimeter);
               EXPECT_DOUBLE_EQ(loaded.WearFactor(), 0.25);
               EXPECT_EQ(loaded.Orientation(), 3);
           }));

    // An empty description is written as an empty value and reads back empty.
    Tool plain(1);
    plain.Reset();
    Expect(plain, Tool(1),
           std::function([](const Tool& loaded) { EXPECT_EQ(loaded.Description(), ""); }));

    WorkCoord coord(6);
    coord.Reset();
    coord.V().Parse("2.5 in");
    coord.W().Parse("-7 mm");
    Expect(coord, WorkCoord(6), std::function([](const WorkCoord& loaded) {
               EXPECT_DOUBLE_EQ(loaded.W().Value(), -7);
               EXPECT_EQ(loaded.V().Unit(), unit::Inch);
           }));

    OffsetTable table('D');
    table.Reset();
    table.Geometry(0).Parse("0.125 in");
    table.Geometry(32).Parse("1.5 mm");
    table.Wear(17).Parse("0.001 in");
    table.SetWearFactor(32, 0.75);
    Expect(table, OffsetTable('D'), std::function([](const OffsetTable& loaded) {
               EXPECT_DOUBLE_EQ(loaded.Geometry(0).Value(), 0.125);
               EXPECT_DOUBLE_EQ(loaded.Geometry(32).Value(), 1.5);
               EXPECT_EQ(loaded.Wear(17).Unit(), unit::Inch);
               EXPECT_DOUBLE_EQ(loaded.WearFactor(32), 0.75);
           }));
}

TEST_F(MachineFile, AbsentKeysLeaveQuantitiesAndReadNumbersAsZeroAndTextAsZero) {
    const CProfileFile empty = EmptyFile();

    Axis axis(1, 'X');
    axis.Reset(1);
    axis.SetSlaveAxis(2);
    axis.Scale().Parse("2000 counts/in");
    axis.Load(empty);
    EXPECT_EQ(axis.ControllerAxis(), 0);
    EXPECT_EQ(axis.SlaveAxis(), 0);
    EXPECT_EQ(axis.Scale().Format(kPrecision), "2000 counts/in");

    Spindle spindle; // polarity 1 from the constructor
    spindle.Reset(3);
    spindle.Load(empty);
    EXPECT_EQ(spindle.Polarity(), 0);
    EXPECT_EQ(spindle.Mode(), 0);
    EXPECT_EQ(spindle.Scale().Format(kPrecision), "1 counts/rev");

    Cutter cutter;
    cutter.SetRaiseMacro(7);
    cutter.Load(empty);
    EXPECT_EQ(cutter.RaiseMacro(), 0);

    Tool tool(4);
    tool.Reset();
    tool.X().Parse("2 in");
    tool.SetWearFactor(0.5);
    tool.SetOrientation(2);
    tool.Load(empty);
    EXPECT_EQ(tool.Description(), "0");
    EXPECT_EQ(tool.WearFactor(), 0.0);
    EXPECT_EQ(tool.Orientation(), 0);
    EXPECT_EQ(tool.X().Format(kPrecision), "2 in");

    OffsetTable table('H');
    table.Reset();
    table.Geometry(3).Parse("1 mm");
    table.SetWearFactor(3, 2.0);
    table.Load(empty);
    EXPECT_EQ(table.Geometry(3).Format(kPrecision), "1 mm");
    EXPECT_EQ(table.WearFactor(3), 0.0);
}

TEST_F(MachineFile, HandWrittenSectionsLoadWhateverTheCaseAndBlanks) {
    Axis axis(3, 'Z');
    axis.Load(FileWith("[zaxis]\n ctrlraxisnum = 3 \nScale=  2540 counts/mm\n"
                       "UPPERLIMIT=12abc\n"));
    EXPECT_EQ(axis.ControllerAxis(), 3);
    EXPECT_EQ(axis.Scale().Format(kPrecision), "2540 counts/mm");
    // A text without a unit symbol keeps its number and gets the undefined unit.
    EXPECT_EQ(axis.UpperLimit().Format(kPrecision), "12 ???");
}

struct SectionNameCase {
    char letter;
    const char* geometry;
    const char* wear;
    const char* factors;
};

TEST(OffsetSectionNames, ExistForEveryLetterAndNothingElse) {
    const SectionNameCase cases[] = {
        {'A', "AGEOMETRYOFFSETTABLE", "AWEAROFFSETTABLE", "AWEARFACTORTABLE"},
        {'D', "DGEOMETRYOFFSETTABLE", "DWEAROFFSETTABLE", "DWEARFACTORTABLE"},
        {'H', "HGEOMETRYOFFSETTABLE", "HWEAROFFSETTABLE", "HWEARFACTORTABLE"},
        {'Z', "ZGEOMETRYOFFSETTABLE", "ZWEAROFFSETTABLE", "ZWEARFACTORTABLE"},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(GeometryOffsetSection(c.letter), c.geometry);
        EXPECT_STREQ(WearOffsetSection(c.letter), c.wear);
        EXPECT_STREQ(WearFactorSection(c.letter), c.factors);
    }
    for (char other : {'a', '@', '[', '\0'}) {
        EXPECT_EQ(GeometryOffsetSection(other), nullptr) << int(other);
        EXPECT_EQ(WearFactorSection(other), nullptr) << int(other);
    }
    EXPECT_STREQ(OffsetEntryKey(0), "00");
    EXPECT_STREQ(OffsetEntryKey(9), "09");
    EXPECT_STREQ(OffsetEntryKey(32), "32");
    EXPECT_EQ(OffsetEntryKey(33), nullptr);
    EXPECT_EQ(OffsetEntryKey(-1), nullptr);
}

} // namespace
} // namespace morvik
