// The two unit tables: lengths and angles (factors per meter or per revolution, one base
// value for both kinds) and times (factors per second). Built once at start-up, before any
// machine file is read, and never changed; quantities and unit selectors refer to rows by
// index only. An index outside a table reads as row 0, "UNDEFINED", with factor 1.
//
// Row order matters: a name search goes from row 1 upward and takes the first row whose
// name occurs in the text, and each name stands before every shorter name contained in it.
#pragma once

#include <cstddef>
#include <string_view>

namespace morvik {

namespace unit {
constexpr int Undefined = 0;
constexpr int Revolution = 1;
constexpr int Degree = 2;
constexpr int Radian = 3;
constexpr int HundredThousandthInch = 4;
constexpr int TenThousandthInch = 5;
constexpr int ThousandthInch = 6;
constexpr int Inch = 7;
constexpr int Foot = 8;
constexpr int Yard = 9;
constexpr int Micrometer = 10;
constexpr int HundredthMillimeter = 11;
constexpr int TenthMillimeter = 12;
constexpr int Millimeter = 13;
constexpr int Centimeter = 14;
constexpr int Decimeter = 15;
constexpr int Meter = 16;
constexpr int Count = 17;
} // namespace unit

namespace timeunit {
constexpr int Undefined = 0;
constexpr int Millisecond = 1;
constexpr int Second = 2;
constexpr int Minute = 3;
constexpr int Hour = 4;
constexpr int Day = 5;
constexpr int Count = 6;
} // namespace timeunit

// Fills both tables; start-up calls it once. Calling it again changes nothing, and the
// accessors below fill the tables themselves when it was not called (as in tests).
void BuildUnitTables();

int LengthUnitCount();
const char* LengthUnitLongName(int index);
const char* LengthUnitSymbol(int index);
double LengthUnitFactor(int index); // units of this row in one meter (or one revolution)

int TimeUnitCount();
const char* TimeUnitLongName(int index);
const char* TimeUnitSymbol(int index);
double TimeUnitFactor(int index); // units of this row in one second

enum class UnitTable { Length, Time };
enum class UnitName { Long, Symbol };

// A row found by a name search: its index and where its name first occurs in the text.
struct UnitMatch {
    int index = 0;
    std::size_t position = std::string_view::npos;
};

// The first row, from 1 upward, whose name's first occurrence in the text is accepted by
// the filter (given that position); index 0 and npos when there is none.
template <class Accept>
UnitMatch FindUnit(UnitTable table, UnitName column, std::string_view text, Accept accept);

// The first row, from 1 upward, whose name occurs anywhere in the text.
UnitMatch FindUnit(UnitTable table, UnitName column, std::string_view text);

// --- implementation of the template ---

const char* UnitNameOf(UnitTable table, UnitName column, int index);

template <class Accept>
UnitMatch FindUnit(UnitTable table, UnitName column, std::string_view text, Accept accept) {
    const int count = table == UnitTable::Length ? LengthUnitCount() : TimeUnitCount();
    for (int index = 1; index < count; ++index) {
        const std::size_t position = text.find(UnitNameOf(table, column, index));
        if (position != std::string_view::npos && accept(position)) {
            return UnitMatch{index, position};
        }
    }
    return UnitMatch{};
}

} // namespace morvik
