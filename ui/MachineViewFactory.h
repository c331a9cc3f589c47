// The machine document's program view and MDI panel as document windows. The operator
// interface (QtOperatorInterface::OpenView) calls these for ViewKind::ProgramView and
// ViewKind::MdiPanel; the widgets tell the machine document themselves when they are destroyed.
#pragma once

#include "controller/OperatorInterface.h"

#include <QString>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace morvik {

// A new COutputDisplay for ProgramView, a new CMDIPanel for MdiPanel, null for other kinds.
QWidget* CreateMachineViewWidget(ViewKind view);

// The widget of CreateMachineViewWidget in a new window of area, deleted when closed, marked
// as a machine document window titled title and shown. Null for kinds it does not make.
QMdiSubWindow* OpenMachineViewWindow(QMdiArea& area, ViewKind view, const QString& title);

} // namespace morvik
