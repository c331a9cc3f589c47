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

CTextView::CTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFrameShape(QFrame::NoFrame);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
    bar->setRange(0, std::max(0, ContentWidth() - viewport()->width()));
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

std::vector<CTextView::DrawnLine> CTextView::Layout(int clientHeight) {
    const int lineHeight = EnsureLineHeight();
    const int rows = std::min(clientHeight / lineHeight, TextLineRing::kLineCount);
    std::vector<DrawnLine> drawn;
    for (int k = 0; k < rows; ++k) {
        const std::string& line = ring_.Line(k);
        drawn.push_back({lineHeight * (rows - 1 - k), line.empty() ? blankLineText_ : line});
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
