// How a part program's text falls into lines, one rule for every reader (the load that sends
// it to the card, the previews, the line counts the operator sees): a line ends at LF, CR or
// CR LF; a Ctrl-Z ends the text, as on the desktop the files come from; a final line end does
// not start another line ("G0 X1\n" is one line).
#pragma once

#include <cstddef>
#include <string_view>

namespace morvik::gcode {

inline constexpr char kEndOfTextChar = '\x1a';

class CTextLines {
public:
    explicit CTextLines(std::string_view text) : text_(text) {}

    // The next line, without its line end; false once the text is over.
    bool Next(std::string_view& line) {
        const std::size_t size = text_.size();
        if (pos_ >= size)
            return false;
        std::size_t end = pos_;
        while (end < size && !Ends(text_[end]))
            ++end;
        line = text_.substr(pos_, end - pos_);
        if (end == size) { // the last line, without a line end
            pos_ = size;
            return true;
        }
        if (text_[end] == kEndOfTextChar) { // a line cut by it still counts; none after it
            pos_ = size;
            return !line.empty();
        }
        pos_ = end + (text_[end] == '\r' && end + 1 < size && text_[end + 1] == '\n' ? 2 : 1);
        return true;
    }

private:
    static bool Ends(char c) { return c == '\n' || c == '\r' || c == kEndOfTextChar; }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace morvik::gcode
