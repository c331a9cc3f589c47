#include "app/CommandTable.h"

#include "app/CommandHandlers.h"

#include <algorithm>
#include <iterator>

namespace morvik {

namespace {

using namespace menus;
using O = CommandOwner;
using M_ = MachineMode;
using R_ = PositionReadout;

// The part program window's own commands (Close, Save, Save As, Print, Print Preview, the Edit
// menu, New Window) carry no handler here: the window's editor view (CPartView) handles them,
// and File > Load and Print Setup before the application does, as the first party on the
// routing path. Without an active part program window they are greyed.
constexpr CommandSpec kCommands[] = {
    // id, text, P text, C text, menus, prompt, owner, handler, update rule
    {32771, "&Load...", "&Load", nullptr, MPC, "Load the active part program", O::MainFrame,
     cmd::Load, nullptr},
    {32795, "&Restart", nullptr, nullptr, MPC, "Restart the loaded part program", O::Application,
     cmd::Restart, nullptr},
    {57600, "&New\tCtrl+N", nullptr, nullptr, MPC, "Create a new part program", O::Application,
     cmd::NewPart, nullptr},
    {57601, "&Open...\tCtrl+O", nullptr, nullptr, MPC, "Open an existing part program",
     O::Application, cmd::OpenPart, nullptr},
    {57602, "&Close", nullptr, nullptr, P, "Close the active part program", O::Document, nullptr,
     nullptr},
    {57603, "&Save\tCtrl+S", nullptr, nullptr, P, "Save the active part progran", O::Document,
     nullptr, nullptr},
    {57604, "Save &As...", nullptr, nullptr, P, "Save the active part program with a new name",
     O::Document, nullptr, nullptr},
    {57607, "&Print...\tCtrl+P", nullptr, nullptr, P, "Print the active part program", O::View,
     nullptr, nullptr},
    {57609, "Print Pre&view", nullptr, nullptr, P, "Display full pages", O::View, nullptr, nullptr},
    {57606, "P&rint Setup...", nullptr, nullptr, P, "Change the printer and printing options",
     O::Application, cmd::PrintSetup, nullptr},
    {57665, "E&xit", nullptr, nullptr, MPC, "Quit the application; prompts to save documents",
     O::MainFrame, cmd::Exit, nullptr},
    {57643, "&Undo\tCtrl+Z", nullptr, nullptr, P, "Undo the last action", O::View, nullptr,
     nullptr},
    {57635, "Cu&t\tCtrl+X", nullptr, nullptr, P, "Cut the selection and put it on the Clipboard",
     O::View, nullptr, nullptr},
    {57634, "&Copy\tCtrl+C", nullptr, nullptr, P, "Copy the selection and put it on the Clipboard",
     O::View, nullptr, nullptr},
    {57637, "&Paste\tCtrl+V", nullptr, nullptr, P, "Insert Clipboard contents", O::View, nullptr,
     nullptr},
    {57636, "&Find", nullptr, nullptr, P, "Find the specified text", O::View, nullptr, nullptr},
    {57640, "&Find Next", nullptr, nullptr, P, "Repeat the last action", O::View, nullptr, nullptr},
    {57641, "&Replace", nullptr, nullptr, P, "Replace specific text with different text", O::View,
     nullptr, nullptr},
    {59392, "&Toolbar", nullptr, nullptr, MPC, "Show or hide the toolbar", O::MainFrame,
     cmd::ToggleToolBar, cmd::ToolBarState},
    {59393, "&Status Bar", nullptr, nullptr, MPC, "Show or hide the status bar", O::MainFrame,
     cmd::ToggleStatusBar, cmd::StatusBarState},
    {32800, "&Current Position", nullptr, nullptr, MPC, "Show current position in readouts",
     O::Application, cmd::SelectReadout<R_::Current>, cmd::ReadoutState<R_::Current>},
    {32784, "&Optimal Position", nullptr, nullptr, MPC, "Show optimal position in readouts",
     O::Application, cmd::SelectReadout<R_::Optimal>, cmd::ReadoutState<R_::Optimal>},
    {32793, "&Machine Status", nullptr, nullptr, MPC, "View part program status", O::Application,
     cmd::MachineStatus, cmd::MachineStatusState},
    {32804, "&Program", nullptr, nullptr, MPC, "View part program", O::Application,
     cmd::ViewProgram, cmd::ViewProgramState},
    {32801, "&Messages", nullptr, nullptr, MPC, "View part program messages", O::Application,
     cmd::ViewMessages, cmd::ViewMessagesState},
    // The toolpath preview of the active part program window, or of the loaded program.
    {32811, "&Toolpath", nullptr, nullptr, MPC, "View the part program's toolpath", O::Application,
     cmd::ViewToolpath, cmd::ViewToolpathState},
    {32774, "&General", nullptr, nullptr, MPC, "Setup general options", O::Application,
     cmd::Setup<32774>, nullptr},
    {32772, "&Machine Axes", nullptr, nullptr, MPC, "Setup machine axes", O::Application,
     cmd::Setup<32772>, nullptr},
    {32791, "&Spindle", nullptr, nullptr, MPC, "Setup machine spindle", O::Application,
     cmd::Setup<32791>, nullptr},
    {32792, "&Cutter", nullptr, nullptr, MPC, "Setup machine cutter", O::Application,
     cmd::Setup<32792>, nullptr},
    {32788, "Machine &Zero", nullptr, nullptr, MPC, "Setup machine coordinates", O::Application,
     cmd::Setup<32788>, nullptr},
    {32807, "&Program Zero", nullptr, nullptr, MPC, "Setup part program zero", O::Application,
     cmd::Setup<32807>, nullptr},
    {32775, "&Feed Rate", nullptr, nullptr, MPC, "Setup feed rate", O::Application,
     cmd::Setup<32775>, nullptr},
    {32776, "&Rapid Rates", nullptr, nullptr, MPC, "Setup rapid rate", O::Application,
     cmd::Setup<32776>, nullptr},
    {32777, "&Limits", nullptr, nullptr, MPC, "Setup motion limits", O::Application,
     cmd::Setup<32777>, nullptr},
    {32789, "&Work Zero", nullptr, nullptr, MPC, "Setup work coordinates", O::Application,
     cmd::Setup<32789>, nullptr},
    {32790, "&Tools", nullptr, nullptr, MPC, "Setup tools", O::Application, cmd::Setup<32790>,
     nullptr},
    {32810, "&Offsets", nullptr, nullptr, MPC, "Setup tool offsets", O::Application,
     cmd::Setup<32810>, nullptr},
    {32805, "&Jogging", nullptr, nullptr, MPC, "Setup jogging options", O::Application,
     cmd::Setup<32805>, nullptr},
    {32806, "&Homing", nullptr, nullptr, MPC, "Setup homing options", O::Application,
     cmd::Setup<32806>, nullptr},
    {32809, "&Ext. Controls", nullptr, nullptr, MPC, "Setup external controls", O::Application,
     cmd::Setup<32809>, nullptr},
    {32796, "&Save\tCtrl+S", nullptr, "&Save", MPC, "Save setup information in machine file",
     O::Application, cmd::SetupSave, nullptr},
    {32797, "Save &As...", nullptr, nullptr, MPC, "Save setup information in new file",
     O::Application, cmd::SetupSaveAs, nullptr},
    {32808, "&Joystick", nullptr, nullptr, MPC, "Calibrate Joystick", O::Application,
     cmd::CalibrateJoystick, cmd::CalibrateState},
    {32780, "&Run", nullptr, nullptr, MPC, "Select Run mode", O::Application,
     cmd::SelectMode<M_::Run>, cmd::ModeState<M_::Run>},
    // No menu, toolbar button or control sends MDI; it is routed and updated all the same.
    {32781, "", nullptr, nullptr, 0, "Select Manual Data Input mode", O::Application,
     cmd::SelectMode<M_::Mdi>, cmd::ModeState<M_::Mdi>},
    {32782, "&Jog", nullptr, nullptr, MPC, "Select Jog mode", O::Application,
     cmd::SelectMode<M_::Jog>, cmd::ModeState<M_::Jog>},
    {32802, "&Home", nullptr, nullptr, MPC, "Perform homing operation", O::Application,
     cmd::SelectMode<M_::Home>, cmd::ModeState<M_::Home>},
    {32799, "Block &Skip", nullptr, nullptr, MPC, "", O::Application, cmd::BlockSkip,
     cmd::BlockSkipState},
    {32803, "&Dryrun", nullptr, nullptr, MPC, "Enable/Disable Dryrun", O::Application, cmd::DryRun,
     cmd::DryRunState},
    {57650, "&Cascade", nullptr, nullptr, MPC, "Arrange windows so they overlap", O::MainFrame,
     cmd::Cascade, nullptr},
    {57651, "&Tile", nullptr, nullptr, MPC, "Arrange windows as non-overlapping tiles",
     O::MainFrame, cmd::Tile, nullptr},
    {57649, "&Arrange Icons", nullptr, nullptr, MPC, "Arrange icons at the bottom of the window",
     O::MainFrame, cmd::ArrangeIcons, nullptr},
    {57648, "&New Window", nullptr, nullptr, P, "Open another window for the active document",
     O::MainFrame, nullptr, nullptr},
    {57664, "&About Morvik...", nullptr, nullptr, MPC,
     "Display program information, version number and copyright", O::Application, cmd::About,
     nullptr},
    // The accelerators' next and previous pane: no window of the station has panes.
    {57680, "", nullptr, nullptr, 0, "", O::ChildWindow, nullptr, nullptr},
    {57681, "", nullptr, nullptr, 0, "", O::ChildWindow, nullptr, nullptr},
};

constexpr MenuEntry kFile[] = {
    {32771, MPC}, {32795, MPC}, {0, MPC}, {57600, MPC}, {57601, MPC}, {0, MPC},   {57602, P},
    {57603, P},   {57604, P},   {0, P},   {57607, P},   {57609, P},   {57606, P}, {57665, MPC},
};
constexpr MenuEntry kEdit[] = {
    {57643, P}, {0, P},     {57635, P}, {57634, P}, {57637, P},
    {0, P},     {57636, P}, {57640, P}, {57641, P},
};
constexpr MenuEntry kView[] = {
    {59392, MPC}, {59393, MPC}, {0, MPC},     {32800, MPC}, {32784, MPC}, {0, MPC},
    {32793, MPC}, {0, MPC},     {32804, MPC}, {32801, MPC}, {0, MPC},     {32811, MPC},
};
constexpr MenuEntry kSetup[] = {
    {32774, MPC}, {32772, MPC}, {32791, MPC}, {32792, MPC}, {32788, MPC}, {32807, MPC},
    {32775, MPC}, {32776, MPC}, {32777, MPC}, {32789, MPC}, {32790, MPC}, {32810, MPC},
    {32805, MPC}, {32806, MPC}, {32809, MPC}, {0, MPC},     {32796, MPC}, {32797, MPC},
};
constexpr MenuEntry kCalibrate[] = {{32808, MPC}};
constexpr MenuEntry kMode[] = {{32780, MPC}, {32782, MPC}, {32802, MPC}};
constexpr MenuEntry kOptions[] = {{32799, MPC}, {32803, MPC}};
constexpr MenuEntry kWindow[] = {{57648, P}, {57650, MPC}, {57651, MPC}, {57649, MPC}};
constexpr MenuEntry kHelp[] = {{57664, MPC}};

constexpr PopupSpec kMenus[] = {
    {"&File", MPC, kFile},           {"&Edit", P, kEdit},
    {"&View", MPC, kView},           {"&Setup", MPC, kSetup},
    {"&Calibrate", MPC, kCalibrate}, {"&Mode", MPC, kMode},
    {"&Options", MPC, kOptions},     {"&Window", MPC, kWindow},
    {"&Help", MPC, kHelp},
};

constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", 57600}, {"Ctrl+O", 57601},        {"Ctrl+S", 57603}, {"Ctrl+P", 57607},
    {"Ctrl+Z", 57643}, {"Alt+Backspace", 57643}, {"Ctrl+X", 57635}, {"Shift+Del", 57635},
    {"Ctrl+C", 57634}, {"Ctrl+Ins", 57634},      {"Ctrl+V", 57637}, {"Shift+Ins", 57637},
    {"F6", 57680},     {"Shift+F6", 57681},
};

constexpr int kToolBar[] = {57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664};

struct IconName {
    int id;
    const char* name;
};
constexpr IconName kIcons[] = {
    {57600, "document-new"},   {57601, "document-open"}, {57603, "document-save"},
    {57635, "edit-cut"},       {57634, "edit-copy"},     {57637, "edit-paste"},
    {57607, "document-print"}, {57664, "help-about"},
};

} // namespace

unsigned MenuBit(MenuKind kind) {
    switch (kind) {
    case MenuKind::Main:
        return menus::M;
    case MenuKind::PartProgram:
        return menus::P;
    case MenuKind::Machine:
        return menus::C;
    }
    return 0;
}

const char* CommandSpec::TextIn(MenuKind kind) const {
    if (kind == MenuKind::PartProgram && textP != nullptr)
        return textP;
    if (kind == MenuKind::Machine && textC != nullptr)
        return textC;
    return text;
}

std::span<const CommandSpec> CommandTable() {
    return kCommands;
}

const CommandSpec* FindCommand(int id) {
    const auto it = std::find_if(std::begin(kCommands), std::end(kCommands),
                                 [id](const CommandSpec& spec) { return spec.id == id; });
    return it == std::end(kCommands) ? nullptr : &*it;
}

std::span<const PopupSpec> MenuLayout() {
    return kMenus;
}

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

std::span<const int> ToolBarSlots() {
    return kToolBar;
}

const char* ToolBarIconName(int id) {
    for (const IconName& icon : kIcons) {
        if (icon.id == id)
            return icon.name;
    }
    return "";
}

} // namespace morvik
