// What the preview follows of the machine on each 100 ms tick: where the tool is (the
// positions the readouts show) and how far the loaded program has run (the card's file
// position, the source line of the block it executes, with the program status word).
// The main window's tick hands one of these to the preview windows (CPreviewWindows::Tick),
// made from the status cycle's snapshot of that tick: the preview asks the card nothing.
#pragma once

#include "controller/CardModes.h"

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

namespace morvik {
struct MachineSnapshot;
}

namespace morvik::preview {

// doneBefore for a program that has run to its end.
inline constexpr std::uint32_t kAllDone = std::numeric_limits<std::uint32_t>::max();

struct CToolpathFeed {
    bool toolKnown = false;
    std::array<double, 3> tool{}; // X, Y, Z in the machine's default units
    // The pieces of lines before this one are drawn as run: 0 while nothing has run,
    // kAllDone once the program has finished.
    std::uint32_t doneBefore = 0;
    // The line the card executes, marked in part program windows of the loaded file; 0: none.
    std::uint32_t runningLine = 0;
    // The card's modal state, when the tick read it: a plan starts from it.
    std::optional<CardModes> modes;
};

// The progress part from the program status word and the file position: running, paused or
// held, the lines before the executing one are done; finished, all are.
void SetProgress(CToolpathFeed& feed, std::uint32_t programStatus, std::int32_t filePosition);

// The feed of one tick: the tool's X, Y and Z as the readouts showed them when wantTool, and
// the progress in Run mode while a program is loaded.
CToolpathFeed ToolpathFeedOf(const MachineSnapshot& snapshot, bool wantTool);

} // namespace morvik::preview
