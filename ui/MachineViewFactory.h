// The machine document's windows as one table: each row is one window with what its title says
// it is, the widget that shows it and, for a window the operator opens from the View menu, the
// command that opens and closes it. The operator interface (QtOperatorInterface) is the one
// opener of these windows and makes each widget from its row; when a window goes, however it
// goes, the interface tells the machine document. The command table (app/CommandTable.cpp)
// adds each row's command to the View menu, after the commands of its own.
//
// The core opens the windows that carry a ViewKind (machine/ViewKind.h) itself. A window that
// only the operator opens has none: a fifth window is one row here and its widget.
#pragma once

#include "machine/ViewKind.h"

#include <optional>
#include <span>

class QString;
class QWidget;

namespace morvik {

struct MachineWindowRow {
    std::optional<ViewKind> kind; // the core's name for the window, if the core opens it
    // What the window is, as its title says: %1 stands for the machine document's title.
    const char* title;
    QWidget* (*create)();
    // A fixed form (the MDI panel): its window is sized to fit it. Other windows that give no
    // size of their own take half the document area.
    bool fixedForm;
    // The title from the window's content instead (the program view), or null.
    const char* (*titleNow)() = nullptr;
    // The main window's title names the window's own title ("mill.mch - Toolpath"), not only
    // the machine document's.
    bool ownDocumentTitle = false;
    // The window's own View menu item, checked while the window is open: it opens or closes
    // the window. 0: the window has no command (the core opens and closes it).
    int command = 0;
    const char* menuText = nullptr;
    const char* prompt = nullptr;

    QString Title(const QString& machineTitle) const;
};

std::span<const MachineWindowRow> MachineWindowTable();
// The row of a kind, or of a command id; null for one the table does not have.
const MachineWindowRow* FindMachineWindow(ViewKind view);
const MachineWindowRow* FindWindowCommand(int commandId);
// A new widget for the kind, or null for a kind the table does not have.
QWidget* CreateMachineViewWidget(ViewKind view);

} // namespace morvik
