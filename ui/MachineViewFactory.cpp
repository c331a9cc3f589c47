#include "ui/MachineViewFactory.h"

#include "machine/Machine.h"
#include "operation/CommandIds.h"
#include "ui/HomingView.h"
#include "ui/MDIPanel.h"
#include "ui/OutputDisplay.h"
#include "ui/StatusDisplay.h"
#include "ui/preview/ToolpathWindow.h"

#include <QString>

#include <algorithm>

namespace morvik {

namespace {

template <class Widget> QWidget* Make() {
    return new Widget;
}

// The program view is named after what it was opened for: the executed blocks or the messages.
const char* ProgramViewTitle() {
    const bool messages = currentMachine != nullptr &&
                          currentMachine->State().programViewKind == ProgramViewKind::Messages;
    return messages ? "Messages - %1" : "Program - %1";
}

const MachineWindowRow kWindows[] = {
    // kind, title, widget, fixed form, title from the content, own document title,
    // and the window's own View menu command: id, text, prompt
    {ViewKind::ProgramView, "Program - %1", Make<COutputDisplay>, false, ProgramViewTitle},
    {ViewKind::HomingView, "Homing - %1", Make<HomingView>, false},
    {ViewKind::MdiPanel, "MDI - %1", Make<CMDIPanel>, true},
    {ViewKind::StatusDisplay, "Status - %1", Make<CStatusDisplay>, false},
    // The preview of the loaded program: the previews plan it and follow the tool. An editor's
    // own preview is theirs alone (PreviewWindows.h).
    {std::nullopt, "%1 - Toolpath", Make<preview::CToolpathWindow>, false, nullptr, true,
     Cmd::ViewToolpath, "Toolp&ath", "View the part program's toolpath"},
};

} // namespace

QString MachineWindowRow::Title(const QString& machineTitle) const {
    return QString::fromUtf8(titleNow != nullptr ? titleNow() : title).arg(machineTitle);
}

std::span<const MachineWindowRow> MachineWindowTable() {
    return kWindows;
}

const MachineWindowRow* FindMachineWindow(ViewKind view) {
    const auto* row = std::find_if(std::begin(kWindows), std::end(kWindows),
                                   [view](const MachineWindowRow& r) { return r.kind == view; });
    return row == std::end(kWindows) ? nullptr : row;
}

const MachineWindowRow* FindWindowCommand(int commandId) {
    const auto* row =
        std::find_if(std::begin(kWindows), std::end(kWindows), [commandId](const auto& r) {
            return commandId != 0 && r.command == commandId;
        });
    return row == std::end(kWindows) ? nullptr : row;
}

QWidget* CreateMachineViewWidget(ViewKind view) {
    const MachineWindowRow* row = FindMachineWindow(view);
    return row != nullptr ? row->create() : nullptr;
}

} // namespace morvik
