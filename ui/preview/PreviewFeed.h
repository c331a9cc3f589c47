// The toolpath previews' observer of the machine: each snapshot moves the tool in the open
// previews and marks the running line in the windows of the loaded file (CPreviewWindows::Tick),
// when any of them is open to want it. The station wires it with the other observers; once it
// goes (the machine document closes) the previews are fed once more with nothing, so no tool
// or running line of that machine stays shown.
#pragma once

#include "operation/MachineObserver.h"

namespace morvik::preview {

class CPreviewWindows;

class PreviewFeed : public MachineObserver {
public:
    explicit PreviewFeed(CPreviewWindows& previews);
    ~PreviewFeed() override;
    PreviewFeed(const PreviewFeed&) = delete;
    PreviewFeed& operator=(const PreviewFeed&) = delete;

    void OnSnapshot(const MachineSnapshot& snapshot) override;

private:
    CPreviewWindows& previews_;
};

} // namespace morvik::preview
