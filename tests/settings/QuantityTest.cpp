#include "settings/Acceleration.h"
#include "settings/Dimension.h"
#include "settings/Period.h"
#include "settings/Scale.h"
#include "settings/Speed.h"
#include "settings/UnitTables.h"

#include "settings/NumberText.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

struct SingleCase {
    const char* text;
    double value;
    int unit;
    double base;
};

// Checks parsing of one single-unit kind against a table of texts.
template <class Quantity> void ExpectParses(const SingleCase* begin, const SingleCase* end) {
    for (const SingleCase* c = begin; c != end; ++c) {
        Quantity q;
        q.Parse(c->text);
        EXPECT_DOUBLE_EQ(q.Value(), c->value) << c->text;
        EXPECT_EQ(q.Unit(), c->unit) << c->text;
        EXPECT_DOUBLE_EQ(q.BaseValue(), c->base) << c->text;
    }
}

TEST(Quantities, DimensionParsesValueAndFirstSymbolOfTheTable) {
    const SingleCase cases[] = {
        {"25.4 mm", 25.4, unit::Millimeter, 0.0254},
        {"1 ft", 1, unit::Foot, 0.3048},
        {"1 yd", 1, unit::Yard, 0.9144},
        {"2.5 in", 2.5, unit::Inch, 2.5 / 39.370078},
        {"abc in", 0, unit::Inch, 0},
        {"12", 12, unit::Undefined, 12},
        {"5 ???", 5, unit::Undefined, 5},
        {"  -3 um", -3, unit::Micrometer, -3e-6},
        {"90 deg", 90, unit::Degree, 0.25},
        {"1 rev", 1, unit::Revolution, 1},
        {"6.28 rad", 6.28, unit::Radian, 1},
        {"1 tmil", 1, unit::HundredThousandthInch, 1 / 3937007.8},
        {"1 hmil", 1, unit::TenThousandthInch, 1 / 393700.78},
        {"1 mil", 1, unit::ThousandthInch, 1 / 39370.078},
        {"1 cmm", 1, unit::HundredthMillimeter, 1e-5},
        {"1 dmm", 1, unit::TenthMillimeter, 1e-4},
        {"1 cm", 1, unit::Centimeter, 0.01},
        {"1 dm", 1, unit::Decimeter, 0.1},
        {"1 m", 1, unit::Meter, 1},
        {"1 km", 1, unit::Meter, 1}, // unknown unit: the "m" in it is found
        {"1 INCH", 1, unit::Undefined, 1},
    };
    ExpectParses<CDimension>(std::begin(cases), std::end(cases));
}

TEST(Quantities, ScaleAndPeriodParse) {
    const SingleCase scales[] = {
        {"2000 counts/in", 2000, unit::Inch, 2000 * 39.370078},
        {"500 counts/mm", 500, unit::Millimeter, 500000},
        {"4000 counts/rev", 4000, unit::Revolution, 4000},
        {"100 counts/m", 100, unit::Meter, 100},
        {"100 counts/???", 100, unit::Undefined, 100},
    };
    ExpectParses<CScale>(std::begin(scales), std::end(scales));
    const SingleCase periods[] = {
        {"250 msec", 250, timeunit::Millisecond, 0.25},
        {"2 sec", 2, timeunit::Second, 2},
        {"2 min", 2, timeunit::Minute, 120},
        {"1 hr", 1, timeunit::Hour, 3600},
        {"1 day", 1, timeunit::Day, 86400},
        {"7", 7, timeunit::Undefined, 7},
    };
    ExpectParses<CPeriod>(std::begin(periods), std::end(periods));
}

struct RateCase {
    const char* text;
    double value;
    int length;
    int time;
};

template <class Quantity> void ExpectRateParses(const RateCase* begin, const RateCase* end) {
    for (const RateCase* c = begin; c != end; ++c) {
        Quantity q;
        q.Parse(c->text);
        EXPECT_DOUBLE_EQ(q.Value(), c->value) << c->text;
        EXPECT_EQ(q.LengthUnit(), c->length) << c->text;
        EXPECT_EQ(q.TimeUnit(), c->time) << c->text;
    }
}

TEST(Quantities, SpeedTakesLengthBeforeTheSlashAndTimeAfterIt) {
    const RateCase cases[] = {
        {"10 mm/min", 10, unit::Millimeter, timeunit::Minute},
        {"10 m/min", 10, unit::Meter, timeunit::Minute}, // not the "in" of "min"
        {"10 in/sec", 10, unit::Inch, timeunit::Second},
        {"200 in/min", 200, unit::Inch, timeunit::Minute},
        {"10 m/msec", 10, unit::Meter, timeunit::Millisecond},
        {"3 ft/hr", 3, unit::Foot, timeunit::Hour},
        {"3 yd/day", 3, unit::Yard, timeunit::Day},
        {"5 ?\?\?/min", 5, unit::Undefined, timeunit::Minute},
        {"5 ?\?\?/sec", 5, unit::Undefined, timeunit::Second},
        {"5 in/???", 5, unit::Inch, timeunit::Undefined},
        {"5 /hr", 5, unit::Undefined, timeunit::Hour},
        {"10 in", 10, unit::Undefined, timeunit::Undefined}, // no slash: no length unit
        {"10 min", 10, unit::Undefined, timeunit::Minute},   // ... time anywhere
        {"sec", 0, unit::Undefined, timeunit::Undefined},    // no length symbol: not at the start
        {"x sec", 0, unit::Undefined, timeunit::Second},
        {"abc", 0, unit::Undefined, timeunit::Undefined},
        {"3000 rpm", 3000, unit::Revolution, timeunit::Minute}, // a spindle speed
        {"3000 RPM", 3000, unit::Revolution, timeunit::Minute},
        {"3000rpm", 3000, unit::Revolution, timeunit::Minute},
        {"1200 rev/min", 1200, unit::Revolution, timeunit::Minute},
    };
    ExpectRateParses<CSpeed>(std::begin(cases), std::end(cases));
}

TEST(Quantities, AccelerationReadsTheFirstTimeSymbolAfterTheSlash) {
    const RateCase cases[] = {
        {"10 in/sec/sec", 10, unit::Inch, timeunit::Second},
        {"10 mm/msec/msec", 10, unit::Millimeter, timeunit::Millisecond},
        {"3 m/min/min", 3, unit::Meter, timeunit::Minute},
        {"3 m/min", 3, unit::Meter, timeunit::Minute},
        {"10 rpm", 10, unit::Undefined, timeunit::Undefined}, // a speed, not an acceleration
    };
    ExpectRateParses<CAcceleration>(std::begin(cases), std::end(cases));
}

TEST(Quantities, ConversionsFollowTheUnitFactors) {
    CDimension length;
    length.Parse("25.4 mm");
    EXPECT_DOUBLE_EQ(length.ValueIn(unit::Inch), 0.0254 * 39.370078); // 0.99999998...
    EXPECT_DOUBLE_EQ(length.ValueIn(unit::Micrometer), 25400);

    CScale scale;
    scale.Parse("2000 counts/in");
    EXPECT_NEAR(scale.ValueIn(unit::Millimeter), 78.740156, 1e-9);

    CSpeed speed(unit::Inch, timeunit::Minute, 200, "FEED", "RATE");
    EXPECT_DOUBLE_EQ(speed.BaseValue(), 200 * (1 / 60.0) / 39.370078);
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Inch, timeunit::Second), 200 / 60.0);
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Millimeter, timeunit::Minute), 200 / 39.370078 * 1000);

    CAcceleration accel;
    accel.Parse("10 in/sec/sec");
    EXPECT_DOUBLE_EQ(accel.ValueIn(unit::Inch, timeunit::Minute), 36000);
    EXPECT_DOUBLE_EQ(accel.BaseValue(), 10 / 39.370078);

    CPeriod period(timeunit::Minute, 1.5, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(period.ValueIn(timeunit::Millisecond), 90000);
}

TEST(Quantities, CacheServesTheSameUnitAndEveryChangeEmptiesIt) {
    CDimension q(unit::Inch, 1, "S", "K");
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Millimeter), 1000 / 39.370078);
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Millimeter), 1000 / 39.370078);
    const CDimension copy = q; // copies carry their cache along and stay correct
    q.Set(unit::Meter, 2);
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Millimeter), 2000);
    EXPECT_DOUBLE_EQ(copy.ValueIn(unit::Millimeter), 1000 / 39.370078);
    q.Parse("3 m");
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Millimeter), 3000);
    q.Init(unit::Millimeter, 4, "S", "K");
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Millimeter), 4);
    // Unit 0 converts with factor 1, whether or not anything is cached.
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Undefined), 0.004);
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Meter), 0.004);
    EXPECT_DOUBLE_EQ(q.ValueIn(unit::Undefined), 0.004);

    CSpeed speed(unit::Inch, timeunit::Second, 1, "S", "K");
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Undefined, timeunit::Undefined), 1 / 39.370078);
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Inch, timeunit::Minute), 60);
    speed.Set(unit::Inch, timeunit::Minute, 60);
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Inch, timeunit::Minute), 60);
    EXPECT_DOUBLE_EQ(speed.ValueIn(unit::Inch, timeunit::Second), 1);
}

TEST(Quantities, FormatWritesAsEnteredOrInTheAskedUnit) {
    const CDimension dim(unit::Millimeter, 25.4, "S", "K");
    EXPECT_EQ(dim.Format(9), "25.4 mm");
    EXPECT_EQ(dim.FormatIn(unit::Inch, 8), "0.99999998 in");
    EXPECT_EQ(dim.FormatIn(unit::Undefined, 9), "25.4 mm");
    EXPECT_EQ(CScale(unit::Inch, 2000, "S", "K").Format(9), "2000 counts/in");
    EXPECT_EQ(CPeriod(timeunit::Millisecond, 250, "S", "K").Format(9), "250 msec");
    EXPECT_EQ(CDimension(unit::Undefined, 12, "S", "K").Format(9), "12 ???");

    const CSpeed speed(unit::Inch, timeunit::Minute, 200, "S", "K");
    EXPECT_EQ(speed.Format(9), "200 in/min");
    EXPECT_EQ(speed.FormatIn(unit::Inch, timeunit::Second, 4), "3.333 in/sec");
    EXPECT_EQ(speed.FormatIn(unit::Inch, timeunit::Undefined, 4), "200 in/min");
    EXPECT_EQ(speed.FormatIn(unit::Undefined, timeunit::Second, 4), "200 in/min");

    const CAcceleration accel(unit::Inch, timeunit::Second, 10, "S", "K");
    EXPECT_EQ(accel.Format(9), "10 in/sec/sec");
    EXPECT_EQ(accel.FormatIn(unit::Inch, timeunit::Minute, 9), "36000 in/min/min");
    EXPECT_EQ(accel.Format(0), "1e+01 in/sec/sec");
}

// An index outside the tables (a corrupt value or a caller's mistake) must not read
// outside them: it converts and prints as the undefined unit.
TEST(Quantities, UnitOutsideTheTablesActsAsUndefined) {
    const CDimension dim(42, 3, "S", "K");
    EXPECT_EQ(dim.BaseValue(), 3);
    EXPECT_EQ(dim.Format(9), "3 ???");
    EXPECT_EQ(dim.ValueIn(-5), 3);
    const CSpeed speed(unit::Inch, 99, 1, "S", "K");
    EXPECT_EQ(speed.Format(9), "1 in/???");
}

template <class Quantity> void ExpectSingleRoundTrip(int unitCount) {
    const double values[] = {0, 2.5, -0.001, 123456.789, 1e-9, 1.0 / 3.0};
    for (int u = 0; u < unitCount; ++u) {
        for (double v : values) {
            for (int precision : {3, 9, 17}) {
                const Quantity q(u, v, "S", "K");
                Quantity back;
                back.Parse(q.Format(precision));
                EXPECT_EQ(back.Unit(), u) << q.Format(precision);
                EXPECT_EQ(back.Value(), ParseLeadingDouble(FormatG(v, precision)));
                if (precision == 17) {
                    EXPECT_EQ(back.Value(), v);
                }
            }
        }
    }
}

template <class Quantity> void ExpectRateRoundTrip() {
    for (int k = 0; k < LengthUnitCount(); ++k) {
        for (int t = 0; t < TimeUnitCount(); ++t) {
            for (double v : {0.0, 200.0, -1.0 / 3.0}) {
                const Quantity q(k, t, v, "S", "K");
                Quantity back;
                back.Parse(q.Format(17));
                EXPECT_EQ(back.LengthUnit(), k) << q.Format(17);
                EXPECT_EQ(back.TimeUnit(), t) << q.Format(17);
                EXPECT_EQ(back.Value(), v) << q.Format(17);
            }
        }
    }
}

TEST(Quantities, EveryFormattedTextParsesBackToItsUnitsAndValue) {
    ExpectSingleRoundTrip<CDimension>(LengthUnitCount());
    ExpectSingleRoundTrip<CScale>(LengthUnitCount());
    ExpectSingleRoundTrip<CPeriod>(TimeUnitCount());
    ExpectRateRoundTrip<CSpeed>();
    ExpectRateRoundTrip<CAcceleration>();
}

class QuantityFileTest : public ::testing::Test {
protected:
    test::TempFolder folder_;
    std::string path_ = folder_.File("machine.mch");
};

TEST_F(QuantityFileTest, WriteStoresFormatAndAbsentKeysLeaveTheQuantity) {
    CProfileFile file(path_);
    const CDimension limit(unit::Inch, 2.5, "XAXIS", "LIMIT");
    const CSpeed rate(unit::Inch, timeunit::Minute, 200, "FEED", "RATE");
    const CAcceleration accel(unit::Inch, timeunit::Second, 10, "FEED", "ACCEL");
    EXPECT_TRUE(limit.Write(file, 9));
    EXPECT_TRUE(rate.Write(file, 9));
    EXPECT_TRUE(accel.Write(file, 9));
    ASSERT_TRUE(file.Save());
    EXPECT_EQ(test::ReadBytes(path_),
              "[XAXIS]\nLIMIT=2.5 in\n[FEED]\nRATE=200 in/min\nACCEL=10 in/sec/sec\n");

    const CProfileFile loaded(path_);
    CDimension limitBack(unit::Meter, 1, "XAXIS", "LIMIT");
    CSpeed rateBack(unit::Meter, timeunit::Second, 1, "FEED", "RATE");
    limitBack.Read(loaded);
    rateBack.Read(loaded);
    EXPECT_EQ(limitBack.Format(9), "2.5 in");
    EXPECT_EQ(rateBack.Format(9), "200 in/min");

    CDimension absent(unit::Millimeter, 7, "XAXIS", "MISSING");
    absent.Read(loaded);
    EXPECT_EQ(absent.Format(9), "7 mm");
    CPeriod absentPeriod(timeunit::Second, 3, "NOSECTION", "T");
    absentPeriod.Read(loaded);
    EXPECT_EQ(absentPeriod.Format(9), "3 sec");
    CAcceleration absentAccel(unit::Inch, timeunit::Second, 4, "FEED", "NONE");
    absentAccel.Read(loaded);
    EXPECT_EQ(absentAccel.Format(9), "4 in/sec/sec");
}

TEST_F(QuantityFileTest, EmptyOrUnknownTextsFollowTheParsingRules) {
    test::WriteBytes(path_, "[S]\nEMPTY=\nJUNK=abc\nLONG=" + std::string(79, ' ') + "1 in\n");
    const CProfileFile file(path_);
    CDimension empty(unit::Inch, 5, "S", "EMPTY");
    empty.Read(file);
    EXPECT_EQ(empty.Format(9), "5 in");
    CDimension junk(unit::Inch, 5, "S", "JUNK");
    junk.Read(file);
    EXPECT_EQ(junk.Format(9), "0 ???");
    CScale junkScale(unit::Inch, 5, "S", "JUNK");
    junkScale.Read(file);
    EXPECT_EQ(junkScale.Format(9), "0 counts/???");
    CDimension longText(unit::Inch, 5, "S", "LONG"); // blanks are trimmed, then 79 are taken
    longText.Read(file);
    EXPECT_EQ(longText.Format(9), "1 in");
}

} // namespace
} // namespace morvik
