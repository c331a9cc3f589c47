#include "app/TickObservers.h"

#include "app/StationTelemetry.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "ui/ControlPanel.h"
#include "ui/MdiLineFeed.h"
#include "ui/ModifiedMark.h"
#include "ui/QtOperatorInterface.h"
#include "ui/StatusBarIdle.h"
#include "ui/preview/PreviewFeed.h"

namespace morvik {

TickObservers::TickObservers(const Station& station)
    : events_(station.operation.Events()), telemetry_(station.telemetry) {
    Wire(station);
}

// In the order they hear each event. Before all of them, MachineOperation has attached its
// own two: MachineInfo (it makes the information strip's texts and announces them, OnInfoTexts)
// and MdiSession (the MDI block's feedback lines and its history).
void TickObservers::Wire(const Station& s) {
    // The control panel: lamps and readouts from each snapshot, the information strip's texts.
    Attach(s.panel);
    // The MDI command line, while its panel is open: modes in force, enabled state, session.
    Own<MdiLineFeed>(s.operation, [&ui = s.ui] { return ui.View(ViewKind::MdiPanel); });
    // The toolpath previews: the tool's position and the running line of the loaded program.
    Own<preview::PreviewFeed>(s.previews);
    // The status bar's idle message: "Ready" once the machine is homed.
    Own<StatusBarIdle>(s.frame);
    // The machine windows' titles: the mark of the document's unsaved changes.
    Own<ModifiedMark>(s.machine, s.ui);
    // The shop's broker: the snapshot as state, the events as events (while telemetry is on).
    s.telemetry.Attach(s.machine, s.operation);
}

void TickObservers::Attach(MachineObserver& observer) {
    events_.Attach(observer);
    attached_.push_back(&observer);
}

TickObservers::~TickObservers() {
    telemetry_.Detach();
    for (MachineObserver* observer : attached_)
        events_.Detach(*observer);
}

} // namespace morvik
