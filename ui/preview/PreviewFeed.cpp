#include "ui/preview/PreviewFeed.h"

#include "ui/preview/PreviewWindows.h"
#include "ui/preview/ToolpathFeed.h"

namespace morvik::preview {

PreviewFeed::PreviewFeed(CPreviewWindows& previews) : previews_(previews) {}

PreviewFeed::~PreviewFeed() {
    if (previews_.WantsTool() || previews_.WantsProgress())
        previews_.Tick(CToolpathFeed{});
}

void PreviewFeed::OnSnapshot(const MachineSnapshot& snapshot) {
    const bool tool = previews_.WantsTool();
    if (!tool && !previews_.WantsProgress())
        return;
    previews_.Tick(ToolpathFeedOf(snapshot, tool));
}

} // namespace morvik::preview
