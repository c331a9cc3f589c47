#include "settings/UnitTables.h"

#include <array>

namespace morvik {

namespace {

struct UnitRow {
    const char* longName;
    const char* symbol;
    double factor;
};

using LengthTable = std::array<UnitRow, unit::Count>;
using TimeTable = std::array<UnitRow, timeunit::Count>;

// The inch rows carry the decimal factors below, not values computed from 25.4 mm (so 25.4 mm
// is 0.99999998 in here): every conversion of the configuration files uses exactly these.
LengthTable MakeLengthTable() {
    return {{
        {"UNDEFINED", "???", 1.0},
        {"REVOLUTION", "rev", 1.0},
        {"DEGREE", "deg", 360.0},
        {"RADIAN", "rad", 6.28},
        {"1/100000 INCH", "tmil", 3937007.8},
        {"1/10000 INCH", "hmil", 393700.78},
        {"1/1000 INCH", "mil", 39370.078},
        {"INCH", "in", 39.370078},
        {"FEET", "ft", 1.0 / 0.3048},
        {"YARD", "yd", 1.0 / 0.9144},
        {"MICROMETER", "um", 1000000.0},
        {"1/100 MILLIMETER", "cmm", 100000.0},
        {"1/10 MILLIMETER", "dmm", 10000.0},
        {"MILLIMETER", "mm", 1000.0},
        {"CENTIMETER", "cm", 100.0},
        {"DECIMETER", "dm", 10.0},
        {"METER", "m", 1.0},
    }};
}

TimeTable MakeTimeTable() {
    return {{
        {"UNDEFINED", "???", 1.0},
        {"MILLISECOND", "msec", 1000.0},
        {"SECOND", "sec", 1.0},
        {"MINUTE", "min", 1.0 / 60.0},
        {"HOUR", "hr", 1.0 / 3600.0},
        {"DAY", "day", 1.0 / 86400.0},
    }};
}

// Built on first use, which BuildUnitTables makes happen at start-up.
const LengthTable& Lengths() {
    static const LengthTable table = MakeLengthTable();
    return table;
}

const TimeTable& Times() {
    static const TimeTable table = MakeTimeTable();
    return table;
}

template <class Table> const UnitRow& RowOf(const Table& table, int index) {
    const bool inside = index >= 0 && static_cast<std::size_t>(index) < table.size();
    return table[inside ? static_cast<std::size_t>(index) : 0];
}

} // namespace

void BuildUnitTables() {
    Lengths();
    Times();
}

int LengthUnitCount() {
    return static_cast<int>(Lengths().size());
}
const char* LengthUnitLongName(int index) {
    return RowOf(Lengths(), index).longName;
}
const char* LengthUnitSymbol(int index) {
    return RowOf(Lengths(), index).symbol;
}
double LengthUnitFactor(int index) {
    return RowOf(Lengths(), index).factor;
}

int TimeUnitCount() {
    return static_cast<int>(Times().size());
}
const char* TimeUnitLongName(int index) {
    return RowOf(Times(), index).longName;
}
const char* TimeUnitSymbol(int index) {
    return RowOf(Times(), index).symbol;
}
double TimeUnitFactor(int index) {
    return RowOf(Times(), index).factor;
}

const char* UnitNameOf(UnitTable table, UnitName column, int index) {
    const UnitRow& row =
        table == UnitTable::Length ? RowOf(Lengths(), index) : RowOf(Times(), index);
    return column == UnitName::Long ? row.longName : row.symbol;
}

UnitMatch FindUnit(UnitTable table, UnitName column, std::string_view text) {
    return FindUnit(table, column, text, [](std::size_t) { return true; });
}

} // namespace morvik
