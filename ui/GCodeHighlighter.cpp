#include "ui/GCodeHighlighter.h"

#include <QColor>
#include <QFont>

namespace morvik {

namespace {

using Span = CGCodeHighlighter::Span;
using Role = CGCodeHighlighter::Role;

bool IsNumberChar(QChar c) {
    return c.isDigit() || c == '.' || c == '-' || c == '+';
}

// Skips blanks between an address letter and its value ("X 1.5" is one word on the card).
int SkipBlanks(const QString& line, int at) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    return at;
}

// A comment from at: "(...)" up to its closing bracket or the line's end, ';' to the end.
int CommentEnd(const QString& line, int at) {
    if (line[at] == ';')
        return static_cast<int>(line.size());
    const int close = static_cast<int>(line.indexOf(')', at));
    return close < 0 ? static_cast<int>(line.size()) : close + 1;
}

Role WordRole(QChar letter) {
    const QChar upper = letter.toUpper();
    if (upper == 'N')
        return Role::BlockNumber;
    if (upper == 'O' || upper == ':')
        return Role::ProgramNumber;
    return Role::Word;
}

// An address letter at at, followed by its number: the letter and the number as two spans
// (one span for block and program numbers, which read as a whole). Returns the end.
int ScanWord(const QString& line, int at, std::vector<Span>& spans) {
    const Role role = WordRole(line[at]);
    const int valueStart = SkipBlanks(line, at + 1);
    int end = valueStart;
    while (end < line.size() && IsNumberChar(line[end]))
        ++end;
    if (end == valueStart) { // a letter without a value: plain text
        return at + 1;
    }
    if (role != Role::Word) {
        spans.push_back({at, end - at, role});
        return end;
    }
    spans.push_back({at, 1, Role::Word});
    spans.push_back({valueStart, end - valueStart, Role::Number});
    return end;
}

} // namespace

CGCodeHighlighter::CGCodeHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    formats_[static_cast<int>(Role::Word)].setForeground(QColor(0x1f, 0x4e, 0xa8));
    formats_[static_cast<int>(Role::Word)].setFontWeight(QFont::Bold);
    formats_[static_cast<int>(Role::Number)].setForeground(QColor(0x0a, 0x7a, 0x3a));
    formats_[static_cast<int>(Role::Comment)].setForeground(QColor(0x80, 0x80, 0x80));
    formats_[static_cast<int>(Role::Comment)].setFontItalic(true);
    formats_[static_cast<int>(Role::BlockNumber)].setForeground(QColor(0x9a, 0x5b, 0x00));
    formats_[static_cast<int>(Role::ProgramNumber)].setForeground(QColor(0xa0, 0x10, 0x60));
    formats_[static_cast<int>(Role::ProgramNumber)].setFontWeight(QFont::Bold);
}

std::vector<Span> CGCodeHighlighter::Scan(const QString& line) {
    std::vector<Span> spans;
    int at = 0;
    while (at < line.size()) {
        const QChar c = line[at];
        if (c == '(' || c == ';') {
            const int end = CommentEnd(line, at);
            spans.push_back({at, end - at, Role::Comment});
            at = end;
        } else if ((c.isLetter() && c.unicode() < 128) || (c == ':' && at == 0)) {
            at = ScanWord(line, at, spans);
        } else {
            ++at;
        }
    }
    return spans;
}

const QTextCharFormat& CGCodeHighlighter::Format(Role role) const {
    return formats_[static_cast<int>(role)];
}

void CGCodeHighlighter::highlightBlock(const QString& text) {
    for (const Span& span : Scan(text))
        setFormat(span.start, span.length, Format(span.role));
}

} // namespace morvik
