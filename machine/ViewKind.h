// The windows the machine document opens and refers to; the user interface owns them and makes
// each from one row of its window table (ui/MachineViewFactory.cpp). A window the core opens
// itself is one enumerator here, before kViewKindCount, and one row there; a window only the
// operator opens, from its own View menu command, is a row there alone.
#pragma once

#include <cstddef>

namespace morvik {

enum class ViewKind { ProgramView, HomingView, MdiPanel, StatusDisplay };
inline constexpr std::size_t kViewKindCount = 4;

// The kind's place in a table of kViewKindCount entries; kViewKindCount for a value outside.
constexpr std::size_t ViewSlot(ViewKind view) {
    const auto slot = static_cast<std::size_t>(view);
    return slot < kViewKindCount ? slot : kViewKindCount;
}

} // namespace morvik
