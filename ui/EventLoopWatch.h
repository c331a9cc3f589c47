// Whether the station's code runs inside an event loop nested in its main loop. The 100 ms
// tick keeps running in every nested loop Qt runs (a QDialog::exec, a message box, a file or
// print dialog, a menu, a drag), and from there it must start or continue no motion; the tick
// asks here (through the operator interface's InNestedLoop) instead of relying on whoever
// opens a window to say so, so a window added later is covered without anyone remembering to.
//
// Three questions, each covering what the others may miss:
//   - an application-modal widget or window is up (QApplication::activeModalWidget,
//     QGuiApplication::modalWindow): every QDialog::exec and QMessageBox, a widget-based file
//     or print dialog, and a modal window shown without a loop of its own;
//   - a popup is up (QApplication::activePopupWidget): a menu opened with popup() runs no
//     loop of its own, a combo box's list, a tool tip that takes the mouse;
//   - the event loop runs deeper than the main loop (QThread::loopLevel, which every
//     QEventLoop::exec raises by one): QMenu::exec, QDrag::exec, a native file dialog that
//     has no QWidget of its own, a bare QEventLoop anyone runs. This catches any nested loop,
//     whatever it shows.
// The main loop's level is told once, just before QApplication::exec (SetMainLoopLevel);
// until then it is 0, so every loop run before the main one (start-up's own questions) counts
// as nested, and code called without a loop at all (tests calling the tick) does not.
#pragma once

namespace morvik {

class EventLoopWatch {
public:
    // The level QApplication::exec will run at: the caller's level plus one.
    static void MainLoopAboutToRun();
    static void SetMainLoopLevel(int level);
    static int MainLoopLevel();
    // True while a modal window or popup is up or the loop runs deeper than the main loop.
    static bool Nested();
};

} // namespace morvik
