// A part program planned for the preview: the toolpath, the blocks the planner refused (with
// their lines), and the check against the machine's soft limits, all made in one pass over the
// text by the same planner the card runs. PlanToolpath is plain C++ and may run on any thread;
// the caller's cancel flag stops it early (a newer request has made the result useless).
#pragma once

#include "gcode/Planner.h"
#include "ui/preview/ToolpathModel.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvik::preview {

// The soft-limit box: an axis has limits where its upper limit lies above its lower one.
struct CSoftLimits {
    std::array<bool, gcode::kAxes> set{};
    std::array<double, gcode::kAxes> lower{};
    std::array<double, gcode::kAxes> upper{};

    bool Any() const;
    // The first axis (X first) whose limits `p` lies outside, or -1.
    int AxisOutside(const std::array<double, gcode::kAxes>& p) const;
};

// Everything the preview needs of the machine, copied so that planning needs no machine.
struct CPreviewSetup {
    gcode::CPlannerSetup planner;
    gcode::CAxes start{}; // where the path begins (the tool, when it is known)
    // The modal state the path begins with (the card's, when it is known), else the planner's
    // power-on state.
    std::optional<gcode::CModalState> modal;
    CSoftLimits limits;       // in the planner's output frame, as the card's positions are
    gcode::CAxes workZero{};  // the origin of G54 in the output frame
    std::string unitSymbol;   // the machine's default length unit, "in" or "mm"
    bool blockDelete = false; // '/' blocks are skipped, as the card skips them
    bool lathe = false;       // the machine is a lathe: the preview opens in its own view
};

struct CPlanError {
    std::uint32_t line = 0;
    std::string text;
};

// Where the path first leaves the soft-limit box.
struct CLimitExcursion {
    std::uint32_t line = 0; // 0: the path stays inside
    int axis = -1;          // 0 X .. 5 W
    double value = 0;       // where it goes
    double limit = 0;       // the limit it passes
};

struct CToolpathPlan {
    static constexpr std::size_t kMaxErrorsListed = 1000;

    CToolpathModel model;
    std::vector<CPlanError> errors; // the first kMaxErrorsListed refused blocks, by line
    std::size_t errorCount = 0;     // all of them
    CLimitExcursion excursion;
    std::size_t piecesOutside = 0;
    std::uint32_t lines = 0; // lines read
    bool ended = false;      // M2 or M30 was reached
    bool cancelled = false;
    CPreviewSetup setup;
};

// "line 12 leaves the soft limits on Z", or empty when it stays inside.
std::string ExcursionText(const CLimitExcursion& excursion);

// Plans text line by line; a refused block is listed and planning goes on with the next line
// (the card would stop there, but the operator wants to see every fault at once). Planning
// ends at M2 or M30, at the end of the text, or when *cancel turns true.
CToolpathPlan PlanToolpath(std::string_view text, const CPreviewSetup& setup,
                           const std::atomic<bool>* cancel = nullptr);

} // namespace morvik::preview
