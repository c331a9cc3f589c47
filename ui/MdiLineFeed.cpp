#include "ui/MdiLineFeed.h"

#include "ui/MDIPanel.h"
#include "ui/MdiCommandLine.h"

#include <utility>

namespace morvik {

MdiLineFeed::MdiLineFeed(MachineOperation& operation, std::function<QWidget*()> openPanel)
    : operation_(operation), openPanel_(std::move(openPanel)) {}

MdiLineFeed::~MdiLineFeed() {
    if (bound_ != nullptr)
        bound_->SetOperation(nullptr);
}

MdiCommandLine* MdiLineFeed::Line() {
    auto* panel = dynamic_cast<CMDIPanel*>(openPanel_ ? openPanel_() : nullptr);
    MdiCommandLine* line = panel != nullptr ? panel->CommandLine() : nullptr;
    if (line != nullptr && line != bound_) {
        line->SetOperation(&operation_);
        bound_ = line;
    }
    return line;
}

void MdiLineFeed::OnSnapshot(const MachineSnapshot& snapshot) {
    if (MdiCommandLine* line = Line())
        line->ShowSnapshot(snapshot);
}

void MdiLineFeed::OnModeChanged(MachineMode /*from*/, MachineMode to) {
    if (MdiCommandLine* line = Line())
        line->ModeChanged(to);
}

} // namespace morvik
