// The MDI command line's observer of the machine. The line comes and goes with the MDI panel
// (opened on entering MDI mode, closed on leaving it or by the operator), so the station wires
// this feed once, with the operation, and the feed finds the open line on every event: it
// hands the line the operation and shows it the snapshot and the mode changes. Without a panel
// open it does nothing.
#pragma once

#include "operation/MachineObserver.h"

#include <QPointer>

#include <functional>

class QWidget;

namespace morvik {

class MachineOperation;
class MdiCommandLine;

class MdiLineFeed : public MachineObserver {
public:
    // openPanel: the MDI panel's widget while it is open (CMDIPanel), else null.
    MdiLineFeed(MachineOperation& operation, std::function<QWidget*()> openPanel);
    // The line still open no longer sends to the operation.
    ~MdiLineFeed() override;
    MdiLineFeed(const MdiLineFeed&) = delete;
    MdiLineFeed& operator=(const MdiLineFeed&) = delete;

    void OnSnapshot(const MachineSnapshot& snapshot) override;
    void OnModeChanged(MachineMode from, MachineMode to) override;

private:
    // The open line, given the operation; null while no MDI panel is open.
    MdiCommandLine* Line();

    MachineOperation& operation_;
    std::function<QWidget*()> openPanel_;
    QPointer<MdiCommandLine> bound_;
};

} // namespace morvik
