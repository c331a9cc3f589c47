// The machine document's windows as one table: each kind of ViewKind (machine/ViewKind.h) with
// the widget that shows it. The operator interface (QtOperatorInterface::OpenView) is the one
// opener of these windows and makes each widget from its row; the widgets tell the machine
// document themselves when they are destroyed. A fifth window is one row here and one
// enumerator in ViewKind.
#pragma once

#include "machine/ViewKind.h"

#include <span>

class QWidget;

namespace morvik {

struct MachineWindowRow {
    ViewKind kind;
    QWidget* (*create)();
    // A fixed form (the MDI panel): its window is sized to fit it. Other windows that give no
    // size of their own take half the document area.
    bool fixedForm;
};

std::span<const MachineWindowRow> MachineWindowTable();
// The row of a kind, or null for a kind the table does not have.
const MachineWindowRow* FindMachineWindow(ViewKind view);
// A new widget for the kind, or null for a kind the table does not have.
QWidget* CreateMachineViewWidget(ViewKind view);

} // namespace morvik
