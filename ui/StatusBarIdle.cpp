#include "ui/StatusBarIdle.h"

#include "operation/MachineSnapshot.h"
#include "ui/MainFrame.h"

namespace morvik {

StatusBarIdle::StatusBarIdle(CMainFrame& frame) : frame_(&frame) {}

StatusBarIdle::~StatusBarIdle() {
    if (frame_ != nullptr)
        frame_->SetIdleMessage(QString::fromLatin1(CMainFrame::kReady));
}

void StatusBarIdle::OnSnapshot(const MachineSnapshot& snapshot) {
    const char* text = snapshot.homed ? CMainFrame::kReady : snapshot.homing ? kHoming : kNotHomed;
    if (frame_ != nullptr)
        frame_->SetIdleMessage(QString::fromLatin1(text));
}

} // namespace morvik
