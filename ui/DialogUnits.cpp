#include "ui/DialogUnits.h"

#include <QFontMetrics>

namespace morvik {

namespace {

// units * base / divisor, rounded half away from zero (the classic MulDiv).
int Scale(int units, int base, int divisor) {
    const long long product = static_cast<long long>(units) * base;
    const long long half = divisor / 2;
    return static_cast<int>(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

} // namespace

DialogUnits::DialogUnits(int baseX, int baseY)
    : baseX_(baseX > 0 ? baseX : 1), baseY_(baseY > 0 ? baseY : 1) {}

DialogUnits DialogUnits::ForFont(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogUnits::X(int units) const {
    return Scale(units, baseX_, 4);
}

int DialogUnits::Y(int units) const {
    return Scale(units, baseY_, 8);
}

QRect DialogUnits::Map(const DluRect& rect) const {
    return QRect(X(rect.x), Y(rect.y), X(rect.width), Y(rect.height));
}

} // namespace morvik
