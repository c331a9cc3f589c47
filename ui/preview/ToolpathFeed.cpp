#include "ui/preview/ToolpathFeed.h"

#include "controller/ControllerCodes.h"
#include "machine/Machine.h"

namespace morvik::preview {

void SetProgress(CToolpathFeed& feed, std::uint32_t programStatus, std::int32_t filePosition) {
    feed.doneBefore = 0;
    feed.runningLine = 0;
    if ((programStatus & psw::Finished) != 0) {
        feed.doneBefore = kAllDone;
        return;
    }
    constexpr std::uint32_t kUnderway = psw::Running | psw::Paused | psw::FeedHold;
    if ((programStatus & kUnderway) != 0 && filePosition > 0) {
        feed.doneBefore = static_cast<std::uint32_t>(filePosition);
        feed.runningLine = static_cast<std::uint32_t>(filePosition);
    }
}

CToolpathFeed ReadToolpathFeed(CMachine& machine, std::uint32_t programStatus, bool wantTool) {
    CToolpathFeed feed;
    const MachineState& state = machine.State();
    if (wantTool) {
        const bool current = state.positionReadout == PositionReadout::Current;
        for (int a = 0; a < 3; ++a) {
            Axis& axis = machine.Axes()[a];
            feed.tool[a] = current ? axis.GetPosition() : axis.GetOptimal();
        }
        feed.toolKnown = true;
    }
    if (state.mode == MachineMode::Run && state.partLoaded)
        SetProgress(feed, programStatus, machine.Controller().QueryInt(code::FilePosition));
    return feed;
}

} // namespace morvik::preview
