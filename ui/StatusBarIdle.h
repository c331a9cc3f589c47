// The status bar's idle message follows the machine: "Ready" only once it is homed, so that
// an operator who reads the status bar is not told a machine is ready that would refuse Run.
#pragma once

#include "operation/MachineObserver.h"

#include <QPointer>

namespace morvik {

class CMainFrame;

class StatusBarIdle : public MachineObserver {
public:
    static constexpr const char* kNotHomed = "Not homed: press Start in Home mode";
    static constexpr const char* kHoming = "Homing";

    explicit StatusBarIdle(CMainFrame& frame);
    // The machine goes: the station itself is idle again.
    ~StatusBarIdle() override;

    void OnSnapshot(const MachineSnapshot& snapshot) override;

private:
    QPointer<CMainFrame> frame_; // the window may go first, as the station closes
};

} // namespace morvik
