#include "settings/Utf8Text.h"

namespace morvik {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of text, or 1 for a byte that does not
// begin one (a stray continuation byte, a Latin-1 letter, a truncated sequence).
std::size_t SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length > text.size())
        return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[i])))
            return 1;
    }
    return length;
}

} // namespace

std::size_t Utf8PrefixBytes(std::string_view text, std::size_t maxChars) {
    std::size_t bytes = 0;
    for (std::size_t chars = 0; chars < maxChars && bytes < text.size(); ++chars)
        bytes += SequenceLength(text.substr(bytes));
    return bytes;
}

std::size_t Utf8Characters(std::string_view text) {
    std::size_t chars = 0;
    for (std::size_t bytes = 0; bytes < text.size(); ++chars)
        bytes += SequenceLength(text.substr(bytes));
    return chars;
}

} // namespace morvik
