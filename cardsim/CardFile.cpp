#include "cardsim/CardFile.h"

#include "cardsim/CardNumber.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace morvik {

namespace {

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

CCardFileLine MakeLine(int number, std::string_view text) {
    CCardFileLine line;
    line.number = number;
    line.text = std::string(text);
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        line.key = Upper(text);
        return line;
    }
    line.key = Upper(TrimCardText(text.substr(0, eq)));
    line.value = std::string(TrimCardText(text.substr(eq + 1)));
    line.hasValue = true;
    return line;
}

} // namespace

std::vector<CCardFileLine> SplitCardFile(std::string_view text) {
    std::vector<CCardFileLine> lines;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        const auto trimmed = TrimCardText(raw);
        if (trimmed.empty() || trimmed.front() == ';') {
            continue;
        }
        lines.push_back(MakeLine(number, trimmed));
    }
    return lines;
}

std::optional<double> CardFileNumber(std::string_view text) {
    const auto value = ParseCardDouble(text);
    if (!value || std::fabs(*value) > 1e12) {
        return std::nullopt;
    }
    return value;
}

int CardUnitSystemOf(const CCardFileLine& line) {
    if (line.hasValue) {
        return -1;
    }
    if (line.key == "ENGLISH") {
        return kCardEnglish;
    }
    if (line.key == "METRIC") {
        return kCardMetric;
    }
    return -1;
}

CCardReadResult CardFileError(std::string_view what, int fileNumber, const CCardFileLine& line,
                              std::string_view why) {
    std::string message = "?ERR ";
    message += what;
    message += ' ' + std::to_string(fileNumber) + " line " + std::to_string(line.number) + ": ";
    message += why;
    message += ": ";
    // The reply is one line: a control character from the file must not end it early.
    for (const char c : line.text.substr(0, 60)) {
        message += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    }
    return {false, message};
}

} // namespace morvik
