// Numbers as text, always in the C locale. Machine files, the settings file and the card's
// command channel must read the same on a German desktop as anywhere else, so nothing here
// goes through the process locale (no printf/strtod). The quantities and scalar settings of
// this folder use these helpers; the controller file writers and the card channel reuse them.
#pragma once

#include <string>
#include <string_view>

namespace morvik {

// Most significant digits that carry information for a double; more only lengthens the text.
inline constexpr int kMaxSignificantDigits = 17;

// The value as "%.*g" writes it in the C locale with `precision` significant digits.
// A precision below 1 gives one digit, as "%.*g" does with 0; a precision above
// kMaxSignificantDigits is taken as that maximum, so the text always fits the read limits
// of the profile file (a longer text would lose its exponent when read back).
std::string FormatG(double value, int precision);

// The value as "%d" writes it.
std::string FormatInt(long long value);

// The floating-point number at the start of the text, as "%lf" reads it: leading white
// space, optional sign, decimal or exponent notation (also hexadecimal, "inf" and "nan").
// A text that does not begin with a number gives 0; a number too large gives +-infinity.
double ParseLeadingDouble(std::string_view text);

// The decimal integer at the start of the text, as "%d" reads it: leading white space,
// optional sign, digits. No digits gives 0; a number beyond the int range gives the
// nearest limit.
int ParseLeadingInt(std::string_view text);

} // namespace morvik
