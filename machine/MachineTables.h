// The machine-wide choices that are stored as an index: machine type (MACHINETYPE), program
// style (PROGRAMSTYLE) and default units (DEFAULTUNITS). Each index has a display text, which
// the General setup dialog offers and matches exactly, and a keyword, which the configuration
// file writer emits. The tables are constants: nothing fills or changes them at run time.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace morvik {

struct ChoiceEntry {
    const char* display; // "Mill, Vertical"
    const char* keyword; // "VMILL"
};

inline constexpr ChoiceEntry kMachineTypes[] = {
    {"Mill, Vertical", "VMILL"},
    {"Mill, Horizontal", "HMILL"},
    {"Lathe", "LATHE"},
};
// The MACHINETYPE of a lathe: its joystick, jog pad and preview are turned to Z across, X up.
inline constexpr int kLatheMachineType = 2;

inline constexpr ChoiceEntry kProgramStyles[] = {
    {"Fanuc", "FANUC"},
    {"Amtico", "AMTICO"},
};

// The default units names are their own keywords ("ENGLISH", "METRIC"), as the unit-system
// lines of the controller files.
inline constexpr ChoiceEntry kDefaultUnits[] = {
    {"ENGLISH", "ENGLISH"},
    {"METRIC", "METRIC"},
};

// The keyword of an index. An index outside the table (a machine file edited by hand) has no
// keyword: the empty text, never a neighbouring entry or memory beyond the table.
const char* ChoiceKeyword(std::span<const ChoiceEntry> table, int index);
const char* ChoiceDisplay(std::span<const ChoiceEntry> table, int index);

// The index whose display text equals the text exactly; none when no entry does (the General
// dialog then leaves the setting unchanged).
std::optional<int> ChoiceByDisplay(std::span<const ChoiceEntry> table, std::string_view text);

} // namespace morvik
