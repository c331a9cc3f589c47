#include "ui/ReadoutWidget.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace morvik {

namespace {

const QColor kFace(12, 18, 14);
const QColor kBezel(70, 78, 72);
const QColor kDigits(120, 255, 140);

// The size the advances are compared at: large enough that rounding cannot hide a difference.
constexpr int kProbePixels = 32;

QFont BoldProbe(const QString& family) {
    QFont font(family);
    font.setBold(true);
    font.setPixelSize(kProbePixels);
    return font;
}

// The families in the order they are tried: the system's fixed font first, the fixed-pitch
// ones next, then the rest; each once.
QStringList CandidateFamilies() {
    QStringList candidates{QFontDatabase::systemFont(QFontDatabase::FixedFont).family()};
    QStringList others;
    for (const QString& family : QFontDatabase::families()) {
        if (candidates.contains(family) || others.contains(family))
            continue;
        if (QFontDatabase::isFixedPitch(family))
            candidates << family;
        else
            others << family;
    }
    return candidates + others;
}

} // namespace

bool ReadoutWidget::EvenAdvance(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString characters = QString::fromLatin1(kReadoutCharacters);
    const qreal advance = metrics.horizontalAdvance(characters.front());
    for (const QChar c : characters) {
        if (qAbs(metrics.horizontalAdvance(c) - advance) > 0.01)
            return false;
    }
    return advance > 0;
}

QString ReadoutWidget::DigitFamily() {
    static const QString family = [] {
        for (const QString& candidate : CandidateFamilies()) {
            if (EvenAdvance(BoldProbe(candidate)))
                return candidate;
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

ReadoutWidget::ReadoutWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReadoutWidget::setText(const QString& text) {
    if (text == text_)
        return;
    text_ = text;
    update();
}

QFont ReadoutWidget::DigitFont() const {
    const int columns = std::max<int>(kMinimumColumns, static_cast<int>(text_.size()));
    if (columns != fittedColumns_ || size() != fittedSize_) {
        digitFont_ = FitDigitFont(columns);
        fittedColumns_ = columns;
        fittedSize_ = size();
    }
    return digitFont_;
}

QFont ReadoutWidget::FitDigitFont(int columns) const {
    QFont font(DigitFamily());
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    const int width = std::max(1, this->width() - 2 * kPadding);
    int pixels = std::max(6, height() - 2 * kPadding);
    // The largest size whose digits fit both ways; run only when the size or columns change.
    for (; pixels > 6; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        if (metrics.horizontalAdvance(QString(columns, QLatin1Char('0'))) <= width &&
            metrics.height() <= height())
            break;
    }
    font.setPixelSize(pixels);
    return font;
}

void ReadoutWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(kBezel, 1.0));
    painter.setBrush(kFace);
    painter.drawRoundedRect(face, 3, 3);
    painter.setFont(DigitFont());
    painter.setPen(kDigits);
    painter.drawText(rect().adjusted(kPadding, 0, -kPadding, 0), Qt::AlignRight | Qt::AlignVCenter,
                     text_);
}

} // namespace morvik
