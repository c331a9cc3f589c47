#include "ui/GCodeHighlighter.h"

#include "gcode/LineTokens.h"

#include <QColor>
#include <QFont>

#include <string>

namespace morvik {

namespace {

using Span = CGCodeHighlighter::Span;
using Role = CGCodeHighlighter::Role;

Role WordRole(QChar letter) {
    const QChar upper = letter.toUpper();
    if (upper == 'N')
        return Role::BlockNumber;
    if (upper == 'O' || upper == ':')
        return Role::ProgramNumber;
    return Role::Word;
}

// The line as the G-code library reads it: one byte per UTF-16 unit, so that positions stay
// the ones Qt counts; characters beyond ASCII are neither letters nor digits to G-code.
std::string Latin(const QString& line) {
    std::string text(static_cast<std::size_t>(line.size()), '\x01');
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char16_t c = line[i].unicode();
        if (c < 128)
            text[static_cast<std::size_t>(i)] = static_cast<char>(c);
    }
    return text;
}

// A word with its number: the letter and the number as two spans (one span for block and
// program numbers, which read as a whole). ':' is a program number in the first column only.
void AddWord(const std::string& text, const gcode::CToken& token, std::vector<Span>& spans) {
    if (token.value == token.end || (text[token.start] == ':' && token.start != 0))
        return; // a letter without a value stays plain
    const int start = static_cast<int>(token.start);
    const int end = static_cast<int>(token.end);
    const Role role = WordRole(QLatin1Char(text[token.start]));
    if (role != Role::Word) {
        spans.push_back({start, end - start, role});
        return;
    }
    const int value = static_cast<int>(token.value);
    spans.push_back({start, 1, Role::Word});
    spans.push_back({value, end - value, Role::Number});
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
    const std::string text = Latin(line);
    std::vector<Span> spans;
    gcode::CLineTokens tokens(text);
    gcode::CToken token;
    while (tokens.Next(token)) {
        switch (token.kind) {
        case gcode::CTokenKind::Comment:
        case gcode::CTokenKind::LineComment:
            spans.push_back({static_cast<int>(token.start),
                             static_cast<int>(token.end - token.start), Role::Comment});
            break;
        case gcode::CTokenKind::Word:
            AddWord(text, token, spans);
            break;
        case gcode::CTokenKind::Other:
            break;
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
