// The texts of the control panel's information strip, as MachineInfo makes them and announces
// them to the observers (MachineObserver::OnInfoTexts).
#pragma once

#include <string>

namespace morvik {

enum class HomedLamp { NotHomed, Homing, Homed };

struct MachineInfoTexts {
    HomedLamp homed = HomedLamp::NotHomed;
    std::string homedText; // "Not homed", "Homing", "Homed"
    std::string message;
    std::string progress;    // "Line 12 of 40  0:01:05"
    std::string spindle;     // "S 1200 CW  actual +1180.0"
    std::string coordinates; // "Machine" or "Work G54"
    std::string mode;        // "Run mode", with "Dry run" and "Block skip" while they are on

    bool operator==(const MachineInfoTexts&) const = default;
};

} // namespace morvik
