#include "app/CommandTable.h"

#include "app/CommandHandlers.h"
#include "dialogs/SetupAxisDialogs.h"
#include "dialogs/SetupComponentDialogs.h"
#include "dialogs/SetupMachineDialogs.h"
#include "dialogs/SetupNumberedDialogs.h"
#include "operation/CommandIds.h"
#include "ui/MachineViewFactory.h"

#include <algorithm>
#include <iterator>
#include <vector>

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
    {Cmd::Load, "&Load...", "&Load", nullptr, MPC, "Load the active part program", O::MainFrame,
     cmd::Load, nullptr},
    {Cmd::Restart, "&Restart", nullptr, nullptr, MPC, "Restart the loaded part program",
     O::Application, cmd::Restart, nullptr},
    {Cmd::New, "&New\tCtrl+N", nullptr, nullptr, MPC, "Create a new part program", O::Application,
     cmd::NewPart, nullptr},
    {Cmd::Open, "&Open...\tCtrl+O", nullptr, nullptr, MPC, "Open an existing part program",
     O::Application, cmd::OpenPart, nullptr},
    {Cmd::Close, "&Close", nullptr, nullptr, P, "Close the active part program", O::Document,
     nullptr, nullptr},
    {Cmd::Save, "&Save\tCtrl+S", nullptr, nullptr, P, "Save the active part progran", O::Document,
     nullptr, nullptr},
    {Cmd::SaveAs, "Save &As...", nullptr, nullptr, P,
     "Save the active part program with a new name", O::Document, nullptr, nullptr},
    {Cmd::Print, "&Print...\tCtrl+P", nullptr, nullptr, P, "Print the active part program", O::View,
     nullptr, nullptr},
    {Cmd::PrintPreview, "Print Pre&view", nullptr, nullptr, P, "Display full pages", O::View,
     nullptr, nullptr},
    {Cmd::PrintSetup, "Print Se&tup...", nullptr, nullptr, P,
     "Change the printer and printing options", O::Application, cmd::PrintSetup, nullptr},
    {Cmd::Exit, "E&xit", nullptr, nullptr, MPC, "Quit the application; prompts to save documents",
     O::MainFrame, cmd::Exit, nullptr},
    {Cmd::Undo, "&Undo\tCtrl+Z", nullptr, nullptr, MPC, "Undo the last action", O::View, nullptr,
     nullptr},
    {Cmd::Cut, "Cu&t\tCtrl+X", nullptr, nullptr, MPC,
     "Cut the selection and put it on the Clipboard", O::View, nullptr, nullptr},
    {Cmd::Copy, "&Copy\tCtrl+C", nullptr, nullptr, MPC,
     "Copy the selection and put it on the Clipboard", O::View, nullptr, nullptr},
    {Cmd::Paste, "&Paste\tCtrl+V", nullptr, nullptr, MPC, "Insert Clipboard contents", O::View,
     nullptr, nullptr},
    {Cmd::Find, "&Find", nullptr, nullptr, MPC, "Find the specified text", O::View, nullptr,
     nullptr},
    {Cmd::FindNext, "Find &Next", nullptr, nullptr, MPC, "Repeat the last action", O::View, nullptr,
     nullptr},
    {Cmd::Replace, "&Replace", nullptr, nullptr, MPC, "Replace specific text with different text",
     O::View, nullptr, nullptr},
    {Cmd::ToggleToolBar, "&Toolbar", nullptr, nullptr, MPC, "Show or hide the toolbar",
     O::MainFrame, cmd::ToggleToolBar, cmd::ToolBarState},
    {Cmd::ToggleStatusBar, "&Status Bar", nullptr, nullptr, MPC, "Show or hide the status bar",
     O::MainFrame, cmd::ToggleStatusBar, cmd::StatusBarState},
    {Cmd::CurrentPosition, "&Current Position", nullptr, nullptr, MPC,
     "Show current position in readouts", O::Application, cmd::SelectReadout<R_::Current>,
     cmd::ReadoutState<R_::Current>},
    {Cmd::OptimalPosition, "&Optimal Position", nullptr, nullptr, MPC,
     "Show optimal position in readouts", O::Application, cmd::SelectReadout<R_::Optimal>,
     cmd::ReadoutState<R_::Optimal>},
    {Cmd::WorkCoordinates, "&Work Coordinates", nullptr, nullptr, MPC,
     "Show work coordinates in readouts (machine coordinates when unchecked)", O::Application,
     cmd::WorkCoordinates, cmd::WorkCoordinatesState},
    {Cmd::MachineStatus, "&Machine Status", nullptr, nullptr, MPC, "View part program status",
     O::Application, cmd::MachineStatus, cmd::MachineStatusState},
    {Cmd::ViewProgram, "&Program", nullptr, nullptr, MPC, "View part program", O::Application,
     cmd::ViewProgram, cmd::ViewProgramState},
    {Cmd::ViewMessages, "M&essages", nullptr, nullptr, MPC, "View part program messages",
     O::Application, cmd::ViewMessages, cmd::ViewMessagesState},
    {Cmd::SetupGeneral, "&General", nullptr, nullptr, MPC, "Setup general options", O::Application,
     cmd::Setup<CSetupGeneral>, cmd::SetupState},
    {Cmd::SetupMachineAxes, "&Machine Axes", nullptr, nullptr, MPC, "Setup machine axes",
     O::Application, cmd::Setup<CSetupAxes>, cmd::SetupState},
    {Cmd::SetupSpindle, "Sp&indle", nullptr, nullptr, MPC, "Setup machine spindle", O::Application,
     cmd::Setup<CSetupSpindleDlg>, cmd::SetupState},
    {Cmd::SetupCutter, "&Cutter", nullptr, nullptr, MPC, "Setup machine cutter", O::Application,
     cmd::Setup<CSetupCutterDlg>, cmd::SetupState},
    {Cmd::SetupMachineZero, "Machine &Zero", nullptr, nullptr, MPC, "Setup machine coordinates",
     O::Application, cmd::Setup<CSetupMachineCoorDlg>, cmd::SetupState},
    {Cmd::SetupProgramZero, "&Program Zero", nullptr, nullptr, MPC, "Setup part program zero",
     O::Application, cmd::Setup<CSetupProgramCoorDlg>, cmd::SetupState},
    {Cmd::SetupFeedRate, "&Feed Rate", nullptr, nullptr, MPC, "Setup feed rate", O::Application,
     cmd::Setup<CSetupFeedDlg>, cmd::SetupState},
    {Cmd::SetupRapidRates, "&Rapid Rates", nullptr, nullptr, MPC, "Setup rapid rate",
     O::Application, cmd::Setup<CSetupRapidDlg>, cmd::SetupState},
    {Cmd::SetupLimits, "&Limits", nullptr, nullptr, MPC, "Setup motion limits", O::Application,
     cmd::Setup<CSetupLimitDlg>, cmd::SetupState},
    {Cmd::SetupWorkZero, "&Work Zero", nullptr, nullptr, MPC, "Setup work coordinates",
     O::Application, cmd::Setup<CSetupWorkCoorDlg>, cmd::SetupState},
    {Cmd::SetupTools, "&Tools", nullptr, nullptr, MPC, "Setup tools", O::Application,
     cmd::Setup<CSetupToolDlg>, cmd::SetupState},
    {Cmd::SetupOffsets, "Offs&ets", nullptr, nullptr, MPC, "Setup tool offsets", O::Application,
     cmd::Setup<CSetupOffsetsDlg>, cmd::SetupState},
    {Cmd::SetupJogging, "&Jogging", nullptr, nullptr, MPC, "Setup jogging options", O::Application,
     cmd::Setup<CSetupJoggingDlg>, cmd::SetupState},
    {Cmd::SetupHoming, "&Homing", nullptr, nullptr, MPC, "Setup homing options", O::Application,
     cmd::Setup<CSetupHomingDlg>, cmd::SetupState},
    {Cmd::SetupExtControls, "E&xt. Controls", nullptr, nullptr, MPC, "Setup external controls",
     O::Application, cmd::Setup<CSetupExtControlsDlg>, cmd::SetupState},
    {Cmd::SetupSave, "&Save\tCtrl+S", nullptr, "&Save", MPC,
     "Save setup information in machine file", O::Application, cmd::SetupSave, cmd::SetupState},
    {Cmd::SetupSaveAs, "Save &As...", nullptr, nullptr, MPC, "Save setup information in new file",
     O::Application, cmd::SetupSaveAs, cmd::SetupState},
    // Another machine file in place of the current machine, as start-up opens one.
    {Cmd::SetupOpen, "&Open...", nullptr, nullptr, MPC, "Open a machine file", O::Application,
     cmd::SetupOpen, nullptr},
    {Cmd::CalibrateJoystick, "&Joystick", nullptr, nullptr, MPC, "Calibrate Joystick",
     O::Application, cmd::CalibrateJoystick, cmd::CalibrateState},
    {Cmd::ModeRun, "&Run", nullptr, nullptr, MPC, "Select Run mode", O::Application,
     cmd::SelectMode<M_::Run>, cmd::ModeState<M_::Run>},
    {Cmd::ModeMdi, "&MDI", nullptr, nullptr, MPC, "Select Manual Data Input mode", O::Application,
     cmd::SelectMode<M_::Mdi>, cmd::ModeState<M_::Mdi>},
    {Cmd::ModeJog, "&Jog", nullptr, nullptr, MPC, "Select Jog mode", O::Application,
     cmd::SelectMode<M_::Jog>, cmd::ModeState<M_::Jog>},
    {Cmd::ModeHome, "&Home", nullptr, nullptr, MPC, "Perform homing operation", O::Application,
     cmd::SelectMode<M_::Home>, cmd::ModeState<M_::Home>},
    {Cmd::BlockSkip, "Block &Skip", nullptr, nullptr, MPC, "", O::Application, cmd::BlockSkip,
     cmd::BlockSkipState},
    {Cmd::DryRun, "&Dryrun", nullptr, nullptr, MPC, "Enable/Disable Dryrun", O::Application,
     cmd::DryRun, cmd::DryRunState},
    {Cmd::Cascade, "&Cascade", nullptr, nullptr, MPC, "Arrange windows so they overlap",
     O::MainFrame, cmd::Cascade, nullptr},
    {Cmd::Tile, "&Tile", nullptr, nullptr, MPC, "Arrange windows as non-overlapping tiles",
     O::MainFrame, cmd::Tile, nullptr},
    {Cmd::ArrangeIcons, "&Arrange Icons", nullptr, nullptr, MPC,
     "Arrange icons at the bottom of the window", O::MainFrame, cmd::ArrangeIcons, nullptr},
    {Cmd::NewWindow, "&New Window", nullptr, nullptr, P,
     "Open another window for the active document", O::MainFrame, nullptr, nullptr},
    {Cmd::About, "&About Morvik...", nullptr, nullptr, MPC,
     "Display program information, version number and copyright", O::Application, cmd::About,
     nullptr},
    // The accelerators' next and previous pane: no window of the station has panes.
    {Cmd::NextPane, "", nullptr, nullptr, 0, "", O::ChildWindow, nullptr, nullptr},
    {Cmd::PreviousPane, "", nullptr, nullptr, 0, "", O::ChildWindow, nullptr, nullptr},
};

constexpr MenuEntry kFile[] = {
    {Cmd::Load, MPC},
    {Cmd::Restart, MPC},
    {0, MPC},
    {Cmd::New, MPC},
    {Cmd::Open, MPC},
    {0, MPC},
    {Cmd::Close, P},
    {Cmd::Save, P},
    {Cmd::SaveAs, P},
    {0, P},
    {Cmd::Print, P},
    {Cmd::PrintPreview, P},
    {Cmd::PrintSetup, P},
    {Cmd::Exit, MPC},
};
// In every menu set, so that the menu bar does not shift under the pointer as an editor comes
// and goes; without an editor nobody handles its items and they are greyed.
constexpr MenuEntry kEdit[] = {
    {Cmd::Undo, MPC},    {0, MPC}, {Cmd::Cut, MPC},  {Cmd::Copy, MPC},
    {Cmd::Paste, MPC},   {0, MPC}, {Cmd::Find, MPC}, {Cmd::FindNext, MPC},
    {Cmd::Replace, MPC},
};
constexpr MenuEntry kView[] = {
    {Cmd::ToggleToolBar, MPC},
    {Cmd::ToggleStatusBar, MPC},
    {0, MPC},
    {Cmd::CurrentPosition, MPC},
    {Cmd::OptimalPosition, MPC},
    {Cmd::WorkCoordinates, MPC},
    {0, MPC},
    {Cmd::MachineStatus, MPC},
    {0, MPC},
    {Cmd::ViewProgram, MPC},
    {Cmd::ViewMessages, MPC},
    {0, MPC},
    // then the machine windows' own commands (their rows in ui/MachineViewFactory.cpp)
};
constexpr MenuEntry kSetup[] = {
    {Cmd::SetupGeneral, MPC},     {Cmd::SetupMachineAxes, MPC},
    {Cmd::SetupSpindle, MPC},     {Cmd::SetupCutter, MPC},
    {Cmd::SetupMachineZero, MPC}, {Cmd::SetupProgramZero, MPC},
    {Cmd::SetupFeedRate, MPC},    {Cmd::SetupRapidRates, MPC},
    {Cmd::SetupLimits, MPC},      {Cmd::SetupWorkZero, MPC},
    {Cmd::SetupTools, MPC},       {Cmd::SetupOffsets, MPC},
    {Cmd::SetupJogging, MPC},     {Cmd::SetupHoming, MPC},
    {Cmd::SetupExtControls, MPC}, {0, MPC},
    {Cmd::SetupOpen, MPC},        {Cmd::SetupSave, MPC},
    {Cmd::SetupSaveAs, MPC},
};
constexpr MenuEntry kCalibrate[] = {{Cmd::CalibrateJoystick, MPC}};
constexpr MenuEntry kMode[] = {
    {Cmd::ModeRun, MPC}, {Cmd::ModeMdi, MPC}, {Cmd::ModeJog, MPC}, {Cmd::ModeHome, MPC}};
constexpr MenuEntry kOptions[] = {{Cmd::BlockSkip, MPC}, {Cmd::DryRun, MPC}};
constexpr MenuEntry kWindow[] = {
    {Cmd::NewWindow, P}, {Cmd::Cascade, MPC}, {Cmd::Tile, MPC}, {Cmd::ArrangeIcons, MPC}};
constexpr MenuEntry kHelp[] = {{Cmd::About, MPC}};

constexpr PopupSpec kMenus[] = {
    {"&File", MPC, kFile},       {"&Edit", MPC, kEdit},           {"&View", MPC, kView},
    {"&Setup", MPC, kSetup},     {"&Calibrate", MPC, kCalibrate}, {"&Mode", MPC, kMode},
    {"&Options", MPC, kOptions}, {"&Window", MPC, kWindow},       {"&Help", MPC, kHelp},
};

constexpr Accelerator kAccelerators[] = {
    {"Ctrl+N", Cmd::New},    {"Ctrl+O", Cmd::Open},           {"Ctrl+S", Cmd::Save},
    {"Ctrl+P", Cmd::Print},  {"Ctrl+Z", Cmd::Undo},           {"Alt+Backspace", Cmd::Undo},
    {"Ctrl+X", Cmd::Cut},    {"Shift+Del", Cmd::Cut},         {"Ctrl+C", Cmd::Copy},
    {"Ctrl+Ins", Cmd::Copy}, {"Ctrl+V", Cmd::Paste},          {"Shift+Ins", Cmd::Paste},
    {"F6", Cmd::NextPane},   {"Shift+F6", Cmd::PreviousPane},
};

constexpr int kToolBar[] = {Cmd::New,  Cmd::Open,  Cmd::Save, 0,          Cmd::Cut,
                            Cmd::Copy, Cmd::Paste, 0,         Cmd::Print, Cmd::About};

struct IconName {
    int id;
    const char* name;
};
constexpr IconName kIcons[] = {
    {Cmd::New, "document-new"},     {Cmd::Open, "document-open"}, {Cmd::Save, "document-save"},
    {Cmd::Cut, "edit-cut"},         {Cmd::Copy, "edit-copy"},     {Cmd::Paste, "edit-paste"},
    {Cmd::Print, "document-print"}, {Cmd::About, "help-about"},
};

// The commands of the window table's rows (ui/MachineViewFactory.h): each opens and closes its
// window, and stands at the end of the View menu, in the order of the rows.
std::vector<CommandSpec> WithWindowCommands() {
    std::vector<CommandSpec> all(std::begin(kCommands), std::end(kCommands));
    for (const MachineWindowRow& row : MachineWindowTable()) {
        if (row.command != 0)
            all.push_back({row.command, row.menuText, nullptr, nullptr, MPC, row.prompt,
                           O::Application, cmd::ToggleWindow, cmd::WindowState});
    }
    return all;
}

std::vector<MenuEntry> ViewWithWindowCommands() {
    std::vector<MenuEntry> view(std::begin(kView), std::end(kView));
    for (const MachineWindowRow& row : MachineWindowTable()) {
        if (row.command != 0)
            view.push_back({row.command, MPC});
    }
    return view;
}

const std::vector<CommandSpec>& AllCommands() {
    static const std::vector<CommandSpec> all = WithWindowCommands();
    return all;
}

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
    return AllCommands();
}

const CommandSpec* FindCommand(int id) {
    const std::vector<CommandSpec>& all = AllCommands();
    const auto it = std::find_if(all.begin(), all.end(),
                                 [id](const CommandSpec& spec) { return spec.id == id; });
    return it == all.end() ? nullptr : &*it;
}

std::span<const PopupSpec> MenuLayout() {
    static const std::vector<MenuEntry> view = ViewWithWindowCommands();
    static const std::vector<PopupSpec> menus = [] {
        std::vector<PopupSpec> all(std::begin(kMenus), std::end(kMenus));
        for (PopupSpec& popup : all) {
            if (popup.entries.data() == kView)
                popup.entries = view;
        }
        return all;
    }();
    return menus;
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
