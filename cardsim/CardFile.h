// The common shape of the three controller files the card reads (configuration, work
// coordinates, tool data): comment lines starting with ';', unit-system lines "ENGLISH" and
// "METRIC", header words and "KEY=value" lines. The readers in CardConfig, CardWorkTools go
// through the lines this splitter gives them and report the first bad line by number.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

constexpr int kCardEnglish = 0;
constexpr int kCardMetric = 1;
constexpr int kCardUnitSystems = 2;

struct CCardFileLine {
    int number = 0;    // 1-based line number in the file
    std::string key;   // upper case; the whole line when there is no '='
    std::string value; // text after '=', trimmed
    bool hasValue = false;
    std::string text; // the line as it stood (trimmed), for error replies
};

// Blank lines and comments are left out.
std::vector<CCardFileLine> SplitCardFile(std::string_view text);

// A value of a controller file: a finite number of at most 1e12 in size (anything larger
// is a broken file, not a machine).
std::optional<double> CardFileNumber(std::string_view text);

// 0 for "ENGLISH", 1 for "METRIC", -1 for anything else.
int CardUnitSystemOf(const CCardFileLine& line);

// Outcome of reading a controller file; the message is the card's reply line without "\r".
struct CCardReadResult {
    bool ok = false;
    std::string message;
};

// A reply naming the bad line: "?ERR <what> <n> line <k>: <why>: <text>".
CCardReadResult CardFileError(std::string_view what, int fileNumber, const CCardFileLine& line,
                              std::string_view why);

} // namespace morvik
