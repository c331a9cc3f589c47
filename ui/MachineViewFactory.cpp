#include "ui/MachineViewFactory.h"

#include "ui/HomingView.h"
#include "ui/MDIPanel.h"
#include "ui/OutputDisplay.h"
#include "ui/StatusDisplay.h"

#include <algorithm>

namespace morvik {

namespace {

template <class Widget> QWidget* Make() {
    return new Widget;
}

constexpr MachineWindowRow kWindows[] = {
    {ViewKind::ProgramView, Make<COutputDisplay>, false},
    {ViewKind::HomingView, Make<HomingView>, false},
    {ViewKind::MdiPanel, Make<CMDIPanel>, true},
    {ViewKind::StatusDisplay, Make<CStatusDisplay>, false},
};
static_assert(std::size(kWindows) == kViewKindCount, "one window row per view kind");

} // namespace

std::span<const MachineWindowRow> MachineWindowTable() {
    return kWindows;
}

const MachineWindowRow* FindMachineWindow(ViewKind view) {
    const auto* row = std::find_if(std::begin(kWindows), std::end(kWindows),
                                   [view](const MachineWindowRow& r) { return r.kind == view; });
    return row == std::end(kWindows) ? nullptr : row;
}

QWidget* CreateMachineViewWidget(ViewKind view) {
    const MachineWindowRow* row = FindMachineWindow(view);
    return row != nullptr ? row->create() : nullptr;
}

} // namespace morvik
