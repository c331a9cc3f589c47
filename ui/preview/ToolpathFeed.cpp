#include "ui/preview/ToolpathFeed.h"

#include "controller/ControllerCodes.h"
#include "operation/MachineSnapshot.h"

#include <cstddef>

namespace morvik::preview {

void SetProgress(CToolpathFeed& feed, std::uint32_t programStatus, std::int32_t filePosition) {
    feed.doneBefore = 0;
    feed.runningLine = 0;
    if ((programStatus & psw::Finished) != 0) {
        feed.doneBefore = kAllDone;
        return;
    }
    if ((programStatus & psw::RunUnderWay) != 0 && filePosition > 0) {
        feed.doneBefore = static_cast<std::uint32_t>(filePosition);
        feed.runningLine = static_cast<std::uint32_t>(filePosition);
    }
}

CToolpathFeed ToolpathFeedOf(const MachineSnapshot& snapshot, bool wantTool) {
    CToolpathFeed feed;
    if (wantTool) {
        const SnapshotAxis axes[] = {SnapshotAxis::X, SnapshotAxis::Y, SnapshotAxis::Z};
        for (std::size_t a = 0; a < feed.tool.size(); ++a)
            feed.tool[a] = snapshot.Axis(axes[a]).Shown();
        feed.toolKnown = true;
    }
    feed.modes = snapshot.cardModes;
    // The running line is read while a run is under way, which is all SetProgress looks at.
    if (snapshot.mode == MachineMode::Run && snapshot.partLoaded && snapshot.programStatus)
        SetProgress(feed, *snapshot.programStatus, snapshot.runningLine.value_or(0));
    return feed;
}

} // namespace morvik::preview
