#include "ui/PanelTemplate.h"

namespace morvik {

namespace {

using K = PanelItemKind;

constexpr PanelItem kItems[] = {
    {1162, "X", K::AxisButton, {2, 3, 22, 20}},
    {1062, "", K::Readout, {26, 3, 98, 20}},
    {1163, "Y", K::AxisButton, {2, 27, 22, 20}},
    {1063, "", K::Readout, {26, 27, 98, 20}},
    {1164, "Z", K::AxisButton, {2, 51, 22, 20}},
    {1064, "", K::Readout, {26, 51, 98, 20}},
    {1165, "S", K::AxisButton, {2, 75, 22, 20}},
    {1065, "", K::Readout, {26, 75, 98, 20}},
    {0, "Status", K::GroupBox, {2, 98, 50, 71}},
    {1147, "Ready", K::Lamp, {6, 108, 43, 10}},
    {1145, "Running", K::Lamp, {6, 118, 43, 10}},
    {1146, "Paused", K::Lamp, {6, 128, 43, 10}},
    {1152, "F. Hold", K::Lamp, {6, 138, 43, 10}},
    {1148, "Finished", K::Lamp, {6, 148, 43, 10}},
    {1153, "Error", K::Lamp, {6, 158, 43, 10}},
    {0, "Override", K::GroupBox, {54, 98, 70, 71}},
    {0, "Feed", K::RightLabel, {55, 113, 22, 8}},
    {1078, "", K::Arrows, {78, 111, 14, 12}},
    {1075, "", K::OverrideEdit, {92, 111, 21, 12}},
    {0, "%", K::Label, {114, 113, 8, 8}},
    {0, "Rapid", K::RightLabel, {55, 133, 22, 8}},
    {1077, "", K::Arrows, {78, 131, 14, 12}},
    {1074, "", K::OverrideEdit, {92, 131, 21, 12}},
    {0, "%", K::Label, {114, 133, 8, 8}},
    {0, "Spin", K::RightLabel, {55, 153, 22, 8}},
    {1079, "", K::Arrows, {78, 151, 14, 12}},
    {1076, "", K::OverrideEdit, {92, 151, 21, 12}},
    {0, "%", K::Label, {114, 153, 8, 8}},
    {0, "Spindle", K::GroupBox, {2, 170, 40, 86}},
    {1161, "CW", K::PushButton, {10, 179, 24, 24}},
    {1159, "CCW", K::PushButton, {10, 203, 24, 24}},
    {1160, "Stop", K::PushButton, {10, 227, 24, 24}},
    {0, "Jog", K::GroupBox, {44, 170, 80, 86}},
    {1009, "Z+", K::ActionButton, {48, 187, 22, 24}},
    {1010, "Z-", K::ActionButton, {48, 217, 22, 24}},
    {1007, "Y+", K::ActionButton, {84, 177, 22, 24}},
    {1006, "X-", K::ActionButton, {72, 202, 22, 24}},
    {1005, "X+", K::ActionButton, {98, 202, 22, 24}},
    {1008, "Y-", K::ActionButton, {84, 227, 22, 24}},
    {1180, "Cut", K::CheckButton, {52, 244, 28, 8}},
    {0, "Run", K::GroupBox, {2, 257, 122, 50}},
    {1000, "Start", K::ActionButton, {5, 266, 36, 36}},
    {1002, "Blk/Blk", K::ActionButton, {45, 266, 36, 36}},
    {1004, "F. Hold", K::ActionButton, {85, 266, 36, 36}},
    {1321, "", K::Choice, {2, 310, 60, 12}},
    {1322, "", K::Choice, {64, 310, 60, 12}},
    {1320, "Stop", K::ActionButton, {2, 325, 122, 22}},
};

} // namespace

std::span<const PanelItem> PanelItems() {
    return kItems;
}

} // namespace morvik
