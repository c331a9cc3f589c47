#include "ui/TextView.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace morvik {

void TextLineRing::Clear() {
    for (std::string& line : lines_)
        line.clear();
}

void TextLineRing::Append(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\r');
        if (end == std::string_view::npos) {
            lines_[static_cast<std::size_t>(current_)] += text;
            return;
        }
        lines_[static_cast<std::size_t>(current_)] += text.substr(0, end);
        text.remove_prefix(end + 1);
        current_ = (current_ + kLineCount - 1) % kLineCount;
        lines_[static_cast<std::size_t>(current_)].clear();
    }
}

CTextView::CTextView(QWidget* parent, LongLines longLines)
    : QAbstractScrollArea(parent), longLines_(longLines) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(longLines_ == LongLines::Wrap ? Qt::ScrollBarAlwaysOff
                                                               : Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setSingleStep(QFontMetrics(font()).averageCharWidth());
}

void CTextView::Clear() {
    ring_.Clear();
    UpdateScrollRange();
    viewport()->update();
}

void CTextView::Append(const std::string& text) {
    ring_.Append(text);
    UpdateScrollRange();
    viewport()->update();
}

int CTextView::ContentWidth() const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int k = 0; k < TextLineRing::kLineCount; ++k)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(ring_.Line(k))));
    return widest + 2 * kLeftMargin;
}

void CTextView::UpdateScrollRange() {
    QScrollBar* bar = horizontalScrollBar();
    const int beyond = longLines_ == LongLines::Wrap ? 0 : ContentWidth() - viewport()->width();
    bar->setRange(0, std::max(0, beyond));
    bar->setPageStep(viewport()->width());
}

void CTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

int CTextView::EnsureLineHeight() {
    if (lineHeight_ == 0) {
        const int height = QFontMetrics(font()).height();
        lineHeight_ = height > 0 ? height : kFallbackLineHeight;
    }
    return lineHeight_;
}

std::vector<std::string> CTextView::WrapRows(const std::string& line, const QFontMetrics& metrics,
                                             int width) {
    std::vector<std::string> rows;
    QString rest = QString::fromLatin1(line);
    while (width > 0 && rest.size() > 1 && metrics.horizontalAdvance(rest) > width) {
        qsizetype fit = 1; // a row holds at least one character, so every pass shortens rest
        while (fit < rest.size() && metrics.horizontalAdvance(rest.left(fit + 1)) <= width)
            ++fit;
        const qsizetype blank = rest.lastIndexOf(' ', fit);
        const qsizetype cut = blank > 0 ? blank : fit;
        rows.push_back(rest.left(cut).toLatin1().toStdString());
        rest = rest.mid(blank > 0 ? cut + 1 : cut);
    }
    rows.push_back(rest.toLatin1().toStdString());
    return rows;
}

std::vector<std::string> CTextView::RowsNewestFirst(int rows, int clientWidth) const {
    std::vector<std::string> found;
    const QFontMetrics metrics(font());
    const int width = clientWidth - 2 * kLeftMargin;
    for (int k = 0; k < TextLineRing::kLineCount && static_cast<int>(found.size()) < rows; ++k) {
        const std::string& line = ring_.Line(k);
        if (longLines_ != LongLines::Wrap) {
            found.push_back(line);
            continue;
        }
        std::vector<std::string> wrapped = WrapRows(line, metrics, width);
        found.insert(found.end(), wrapped.rbegin(), wrapped.rend());
    }
    if (static_cast<int>(found.size()) > rows)
        found.resize(static_cast<std::size_t>(std::max(rows, 0)));
    return found;
}

std::vector<CTextView::DrawnLine> CTextView::Layout(int clientHeight) {
    return Layout(clientHeight, viewport()->width());
}

std::vector<CTextView::DrawnLine> CTextView::Layout(int clientHeight, int clientWidth) {
    const int lineHeight = EnsureLineHeight();
    const std::vector<std::string> rows = RowsNewestFirst(clientHeight / lineHeight, clientWidth);
    const int shown = static_cast<int>(rows.size());
    std::vector<DrawnLine> drawn;
    for (int k = 0; k < shown; ++k) {
        const std::string& row = rows[static_cast<std::size_t>(k)];
        drawn.push_back({lineHeight * (shown - 1 - k), row.empty() ? blankLineText_ : row});
    }
    return drawn;
}

void CTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.setPen(palette().color(QPalette::Text));
    const int ascent = QFontMetrics(font()).ascent();
    const int left = kLeftMargin - horizontalScrollBar()->value();
    for (const DrawnLine& line : Layout(viewport()->height()))
        painter.drawText(QPoint(left, line.y + ascent), QString::fromLatin1(line.text));
}

} // namespace morvik
