#include "ui/EventLoopWatch.h"

#include <QApplication>
#include <QThread>

namespace morvik {

namespace {
int mainLoopLevel = 0;
} // namespace

void EventLoopWatch::MainLoopAboutToRun() {
    SetMainLoopLevel(QThread::currentThread()->loopLevel() + 1);
}

void EventLoopWatch::SetMainLoopLevel(int level) {
    mainLoopLevel = level;
}

int EventLoopWatch::MainLoopLevel() {
    return mainLoopLevel;
}

bool EventLoopWatch::Nested() {
    if (QApplication::activeModalWidget() != nullptr || QGuiApplication::modalWindow() != nullptr ||
        QApplication::activePopupWidget() != nullptr)
        return true;
    return QThread::currentThread()->loopLevel() > mainLoopLevel;
}

} // namespace morvik
