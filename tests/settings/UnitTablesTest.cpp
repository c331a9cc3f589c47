#include "settings/UnitTables.h"
#include "settings/DimUnit.h"
#include "settings/PerUnit.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace morvik {
namespace {

struct Row {
    const char* longName;
    const char* symbol;
    double factor;
};

const Row kLengthRows[] = {
    {"UNDEFINED", "???", 1},
    {"REVOLUTION", "rev", 1},
    {"DEGREE", "deg", 360},
    {"RADIAN", "rad", 6.28},
    {"1/100000 INCH", "tmil", 3937007.8},
    {"1/10000 INCH", "hmil", 393700.78},
    {"1/1000 INCH", "mil", 39370.078},
    {"INCH", "in", 39.370078},
    {"FEET", "ft", 3.280839895013123},
    {"YARD", "yd", 1.0936132983377078},
    {"MICROMETER", "um", 1000000},
    {"1/100 MILLIMETER", "cmm", 100000},
    {"1/10 MILLIMETER", "dmm", 10000},
    {"MILLIMETER", "mm", 1000},
    {"CENTIMETER", "cm", 100},
    {"DECIMETER", "dm", 10},
    {"METER", "m", 1},
};

const Row kTimeRows[] = {
    {"UNDEFINED", "???", 1},     {"MILLISECOND", "msec", 1000}, {"SECOND", "sec", 1},
    {"MINUTE", "min", 1 / 60.0}, {"HOUR", "hr", 1 / 3600.0},    {"DAY", "day", 1 / 86400.0},
};

TEST(UnitTables, HoldExactlyTheRowsInOrder) {
    BuildUnitTables();
    BuildUnitTables(); // a second call changes nothing
    ASSERT_EQ(LengthUnitCount(), 17);
    for (int i = 0; i < LengthUnitCount(); ++i) {
        EXPECT_STREQ(LengthUnitLongName(i), kLengthRows[i].longName) << i;
        EXPECT_STREQ(LengthUnitSymbol(i), kLengthRows[i].symbol) << i;
        EXPECT_EQ(LengthUnitFactor(i), kLengthRows[i].factor) << i;
    }
    ASSERT_EQ(TimeUnitCount(), 6);
    for (int i = 0; i < TimeUnitCount(); ++i) {
        EXPECT_STREQ(TimeUnitLongName(i), kTimeRows[i].longName) << i;
        EXPECT_STREQ(TimeUnitSymbol(i), kTimeRows[i].symbol) << i;
        EXPECT_EQ(TimeUnitFactor(i), kTimeRows[i].factor) << i;
    }
    EXPECT_EQ(LengthUnitFactor(unit::Foot), 1 / 0.3048);
    EXPECT_STREQ(LengthUnitLongName(unit::Inch), "INCH");
    EXPECT_STREQ(LengthUnitSymbol(unit::Meter), "m");
    EXPECT_STREQ(TimeUnitSymbol(timeunit::Minute), "min");
}

TEST(UnitTables, IndexOutsideATableReadsAsUndefined) {
    for (int index : {-1, 17, 1000}) {
        EXPECT_STREQ(LengthUnitSymbol(index), "???");
        EXPECT_EQ(LengthUnitFactor(index), 1.0);
    }
    EXPECT_STREQ(TimeUnitLongName(6), "UNDEFINED");
    EXPECT_EQ(TimeUnitFactor(-3), 1.0);
}

// Each name must stand before every shorter name it contains, or a search would stop at
// the shorter one.
TEST(UnitTables, LongerNamesComeBeforeTheNamesTheyContain) {
    for (UnitTable table : {UnitTable::Length, UnitTable::Time}) {
        const int count = table == UnitTable::Length ? LengthUnitCount() : TimeUnitCount();
        for (UnitName column : {UnitName::Long, UnitName::Symbol}) {
            for (int row = 1; row < count; ++row) {
                const UnitMatch match = FindUnit(table, column, UnitNameOf(table, column, row));
                EXPECT_EQ(match.index, row) << UnitNameOf(table, column, row);
                EXPECT_EQ(match.position, 0u);
            }
        }
    }
}

struct SelectorCase {
    const char* text;
    int index;
    std::optional<std::size_t> position;
};

TEST(UnitSelectors, SetByLongNameTakesTheFirstRowFoundInTheText) {
    const SelectorCase lengths[] = {
        {"1/1000 INCH", unit::ThousandthInch, 0},
        {"INCH", unit::Inch, 0},
        {"inch", 0, std::nullopt},
        {"units: MILLIMETER", unit::Millimeter, 7},
        {"1/10 MILLIMETER", unit::TenthMillimeter, 0},
        {"METERS", unit::Meter, 0},
        {"", 0, std::nullopt},
        {"UNDEFINED", 0, std::nullopt},
    };
    for (const SelectorCase& c : lengths) {
        CDimUnit selector(unit::Meter, "S", "K");
        EXPECT_EQ(selector.SetByLongName(c.text), c.position) << c.text;
        EXPECT_EQ(selector.Get(), c.index) << c.text;
    }
    const SelectorCase times[] = {{"MILLISECOND", timeunit::Millisecond, 0},
                                  {"SECOND", timeunit::Second, 0},
                                  {"PER MINUTE", timeunit::Minute, 4},
                                  {"second", 0, std::nullopt}};
    for (const SelectorCase& c : times) {
        CPerUnit selector(timeunit::Hour, "S", "K");
        EXPECT_EQ(selector.SetByLongName(c.text), c.position) << c.text;
        EXPECT_EQ(selector.Get(), c.index) << c.text;
    }
}

TEST(UnitSelectors, WriteLongNameAndReadItBack) {
    test::TempFolder folder;
    const std::string path = folder.File("machine.mch");
    test::WriteBytes(path, "[AXIS]\nUNITS=1/1000 INCH\nTIME=MINUTE\nEMPTY=\nBAD=inch\n");
    const CProfileFile file(path);

    const struct {
        const char* key;
        int before;
        int after;
    } lengthReads[] = {{"UNITS", unit::Meter, unit::ThousandthInch},
                       {"ABSENT", unit::Meter, unit::Meter}, // absent: unchanged
                       {"EMPTY", unit::Meter, unit::Meter},
                       {"BAD", unit::Meter, 0}};
    for (const auto& c : lengthReads) {
        CDimUnit selector(c.before, "AXIS", c.key);
        selector.Read(file);
        EXPECT_EQ(selector.Get(), c.after) << c.key;
    }
    CPerUnit time(0, "AXIS", "TIME");
    time.Read(file);
    EXPECT_EQ(time.Get(), timeunit::Minute);
    EXPECT_EQ(time.LongName(), "MINUTE");
    EXPECT_EQ(time.ShortName(), "min");

    CProfileFile out(folder.File("out.mch"));
    const CDimUnit inch(unit::Inch, "AXIS", "UNITS");
    EXPECT_TRUE(inch.Write(out));
    EXPECT_TRUE(time.Write(out));
    EXPECT_EQ(out.Text(), "[AXIS]\nUNITS=INCH\nTIME=MINUTE\n");
    const CDimUnit undefined(unit::Undefined, "AXIS", "UNITS");
    EXPECT_EQ(undefined.ShortName(), "???");
}

} // namespace
} // namespace morvik
