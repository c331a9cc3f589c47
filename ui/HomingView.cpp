#include "ui/HomingView.h"

#include <QFontMetrics>

namespace morvik {

QSize HomingView::sizeHint() const {
    const int columns = QFontMetrics(font()).averageCharWidth() * kReadableColumns;
    return QSize(columns + 2 * kLeftMargin, -1);
}

} // namespace morvik
