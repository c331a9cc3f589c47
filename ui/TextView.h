// A view that shows the newest lines of a text stream: the homing view and the program view
// are text views. Text arrives in pieces (the card's output comes in batches of up to 128
// characters); only a carriage return ends a line, so a line may be completed over several
// appends, and a line feed or any other character stays part of the line's text. The newest
// 32 lines are kept in a ring; the newest is drawn at the bottom and older lines go upwards.
// A line wider than the view does not vanish at the right edge. The program view scrolls
// horizontally (a scroll bar appears while some line of the ring is wider than the view): a
// block is read whole, as the card ran it. The homing view wraps its lines to its width
// instead: its messages are sentences to read at a glance, never to be scrolled to.
#pragma once

#include <QAbstractScrollArea>

#include <array>
#include <string>
#include <string_view>
#include <vector>

class QFontMetrics;

namespace morvik {

// The 32-line ring behind a text view, free of any widget.
class TextLineRing {
public:
    static constexpr int kLineCount = 32;

    // Every line emptied; the current slot stays where it is.
    void Clear();
    // Text added to the current line; each carriage return moves the current slot one back
    // (0 to 31) and empties it, so it becomes the new, empty current line.
    void Append(std::string_view text);

    int CurrentIndex() const { return current_; }
    const std::string& Slot(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    // The line k rows above the newest one (k = 0: the newest, the current line).
    const std::string& Line(int k) const { return Slot((current_ + k) % kLineCount); }

private:
    std::array<std::string, kLineCount> lines_;
    int current_ = 0;
};

// What a view does with a line wider than itself.
enum class LongLines { Scroll, Wrap };

class CTextView : public QAbstractScrollArea {
public:
    static constexpr int kFallbackLineHeight = 20; // when the font's metrics cannot be had
    static constexpr int kLeftMargin = 3;

    // One line as the view draws it: its text at x = kLeftMargin, its row's top at y.
    struct DrawnLine {
        int y;
        std::string text;
    };

    explicit CTextView(QWidget* parent = nullptr, LongLines longLines = LongLines::Scroll);

    // Called by the machine's text routing (card output, homing prompts, the loaded program's
    // first line); both repaint the whole view.
    void Clear();
    void Append(const std::string& text);

    const TextLineRing& Lines() const { return ring_; }
    // Pixels per row: taken from the font at the first paint and kept; 0 before.
    int LineHeight() const { return lineHeight_; }
    // What a paint of a view of this height draws: the rows that fit (at most 32), bottom row
    // the newest line, an empty line as the blank line text. Fixes the line height on the
    // first call, as the first paint does.
    std::vector<DrawnLine> Layout(int clientHeight);
    // The same for a view clientWidth pixels wide: a wrapping view cuts each line into rows
    // that fit it, the newest row at the bottom; the rows that fit are drawn.
    std::vector<DrawnLine> Layout(int clientHeight, int clientWidth);
    LongLines LongLineMode() const { return longLines_; }
    // A line cut into rows no wider than width pixels: after the last blank that still fits
    // (the blank itself dropped), or inside a word wider than the whole row. A line that fits,
    // and any line when width is not positive, is one row.
    static std::vector<std::string> WrapRows(const std::string& line, const QFontMetrics& metrics,
                                             int width);
    // The width in pixels the widest line of the ring needs, margin included.
    int ContentWidth() const;
    // No preferred size: the window that holds the view decides (half the document area).
    QSize sizeHint() const override { return QSize(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int EnsureLineHeight();
    // The horizontal scroll bar's range follows the widest line and the view's width.
    void UpdateScrollRange();

    // The rows of the lines, newest row first, until rows are found or the ring ends.
    std::vector<std::string> RowsNewestFirst(int rows, int clientWidth) const;

    LongLines longLines_;
    std::string blankLineText_ = " ";
    int lineHeight_ = 0;
    TextLineRing ring_;
};

} // namespace morvik
