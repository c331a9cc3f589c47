#include "ui/MachineViewFactory.h"

#include "ui/MDIPanel.h"
#include "ui/MainFrame.h"
#include "ui/OutputDisplay.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace morvik {

QWidget* CreateMachineViewWidget(ViewKind view) {
    switch (view) {
    case ViewKind::ProgramView:
        return new COutputDisplay;
    case ViewKind::MdiPanel:
        return new CMDIPanel;
    case ViewKind::HomingView:
    case ViewKind::StatusDisplay:
        break;
    }
    return nullptr;
}

QMdiSubWindow* OpenMachineViewWindow(QMdiArea& area, ViewKind view, const QString& title) {
    QWidget* widget = CreateMachineViewWidget(view);
    if (widget == nullptr)
        return nullptr;
    QMdiSubWindow* window = area.addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    CMainFrame::SetDocument(window, DocumentKind::Machine, title);
    window->setWindowTitle(title);
    if (view == ViewKind::MdiPanel) // a fixed form: the window fits it
        window->adjustSize();
    window->show();
    return window;
}

} // namespace morvik
