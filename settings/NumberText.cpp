#include "settings/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

namespace morvik {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Leading white space and an optional sign, as the scanf conversions skip them.
struct SignedStart {
    bool negative = false;
    std::string_view rest;
};

SignedStart SkipSpaceAndSign(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    SignedStart start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        start.negative = text[i] == '-';
        ++i;
    }
    start.rest = text.substr(i);
    return start;
}

bool IsHexPrefix(std::string_view s) {
    return s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
}

// The power of ten of the leading digit of a decimal number text (its exponent included),
// to tell an overflow from an underflow when the number is out of the double's range.
long long DecimalMagnitude(std::string_view number) {
    const std::size_t ePos = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, ePos);
    long long exponent = 0;
    if (ePos != std::string_view::npos) {
        const std::string_view e = number.substr(ePos + 1);
        const bool negative = !e.empty() && e[0] == '-';
        const std::size_t skip = (!e.empty() && (e[0] == '-' || e[0] == '+')) ? 1 : 0;
        auto [p, ec] = std::from_chars(e.data() + skip, e.data() + e.size(), exponent);
        if (ec == std::errc::result_out_of_range) {
            exponent = LLONG_MAX / 2;
        }
        exponent = negative ? -exponent : exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    const long long lead = first < point
                               ? static_cast<long long>(point - first) - 1
                               : static_cast<long long>(point) - static_cast<long long>(first);
    return lead + exponent;
}

double OutOfRange(std::string_view number, bool hex) {
    // A hexadecimal number can only underflow through a negative binary exponent.
    const bool huge = hex ? number.find("p-") == std::string_view::npos &&
                                number.find("P-") == std::string_view::npos
                          : DecimalMagnitude(number) > 0;
    return huge ? std::numeric_limits<double>::infinity() : 0.0;
}

} // namespace

std::string FormatG(double value, int precision) {
    precision = std::clamp(precision, 1, kMaxSignificantDigits);
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::general, precision);
    return std::string(buffer.data(), result.ptr);
}

std::string FormatInt(long long value) {
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

double ParseLeadingDouble(std::string_view text) {
    const SignedStart start = SkipSpaceAndSign(text);
    std::string_view s = start.rest;
    if (s.empty() || s[0] == '+' || s[0] == '-') {
        return 0.0;
    }
    const bool hex = IsHexPrefix(s);
    if (hex) {
        s.remove_prefix(2);
    }
    double value = 0.0;
    const auto format = hex ? std::chars_format::hex : std::chars_format::general;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, format);
    if (ec == std::errc::result_out_of_range) {
        value = OutOfRange(std::string_view(s.data(), ptr - s.data()), hex);
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return start.negative ? -value : value;
}

int ParseLeadingInt(std::string_view text) {
    const SignedStart start = SkipSpaceAndSign(text);
    const std::string_view s = start.rest;
    std::size_t digits = 0;
    while (digits < s.size() && IsDigit(s[digits])) {
        ++digits;
    }
    long long magnitude = 0;
    for (std::size_t i = 0; i < digits && magnitude <= INT_MAX + 1LL; ++i) {
        magnitude = magnitude * 10 + (s[i] - '0');
    }
    const long long value = start.negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace morvik
