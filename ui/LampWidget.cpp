#include "ui/LampWidget.h"

#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

namespace morvik {

namespace {

const QColor kUnlit(58, 62, 60);

} // namespace

LampWidget::LampWidget(const QString& caption, QColor litColour, QWidget* parent)
    : QWidget(parent), caption_(caption), lit_(litColour) {}

void LampWidget::setChecked(bool on) {
    if (on == on_)
        return;
    on_ = on;
    update();
}

void LampWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal diameter = std::max(4, std::min(height(), width()) - 2);
    const QRectF lamp(1, (height() - diameter) / 2.0, diameter, diameter);
    const QColor base = on_ ? lit_ : kUnlit;
    QRadialGradient glow(lamp.center() - QPointF(diameter / 5, diameter / 5), diameter / 1.4);
    glow.setColorAt(0, on_ ? base.lighter(170) : base.lighter(130));
    glow.setColorAt(1, on_ ? base : base.darker(140));
    painter.setPen(QPen(QColor(30, 30, 30), 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(lamp);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const int textLeft = static_cast<int>(lamp.right()) + 4;
    painter.drawText(QRect(textLeft, 0, width() - textLeft, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, caption_);
}

} // namespace morvik
