// A window's title as the operator reads it: Qt's "[*]" placeholder drawn as "*" while the
// window is marked modified, and left out otherwise.
#pragma once

#include <QString>
#include <QWidget>

namespace morvik::test {

inline QString ShownTitle(const QWidget* widget) {
    QString title = widget->windowTitle();
    title.replace(QStringLiteral("[*]"), widget->isWindowModified() ? QStringLiteral("*") : "");
    return title;
}
inline QString ShownTitle(const QWidget& widget) {
    return ShownTitle(&widget);
}

} // namespace morvik::test
