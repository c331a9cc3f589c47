// Colours a part program as the machinist reads it: block numbers (N...) and program numbers
// (O..., ":..."), address words (a letter with its value: G01, X1.5, F60), the numbers inside
// them, and comments, both "(...)" and everything after ';'. A comment left open at the end of
// a line ends with the line, as it does on the card. The lexical rules are the G-code
// library's (gcode/LineTokens.h), the ones the card reads blocks by. CPartView installs one on
// its document.
#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <vector>

namespace morvik {

class CGCodeHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    enum class Role { Word, Number, Comment, BlockNumber, ProgramNumber };

    // One coloured stretch of a line: start, length (in UTF-16 units, as Qt counts) and role.
    struct Span {
        int start;
        int length;
        Role role;
        bool operator==(const Span&) const = default;
    };

    explicit CGCodeHighlighter(QTextDocument* document);

    // The stretches of one line, left to right; what is not covered stays plain. Free of any
    // document, so the rules can be checked line by line.
    static std::vector<Span> Scan(const QString& line);
    const QTextCharFormat& Format(Role role) const;

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat formats_[5];
};

} // namespace morvik
