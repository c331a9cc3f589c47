// The station's command ids by name, for the shell (app/, ui/, dialogs/) and its tests; the
// core itself never dispatches on them. The numbers are the ones the menus, the toolbar, the
// accelerators and the part program windows have always sent; code and tests say Cmd::Load,
// never 32771. The ids convert to int where a command travels (the router, ICommandTarget).
//
// A new command is one line here (a number not yet used) and one row of the command table
// (app/CommandTable.cpp). A machine window's own View menu command is named in the window's
// row instead (ui/MachineViewFactory.cpp).
#pragma once

namespace morvik {

namespace Cmd {
enum Id : int {
    // File
    Load = 32771,
    Restart = 32795,
    New = 57600,
    Open = 57601,
    Close = 57602,
    Save = 57603,
    SaveAs = 57604,
    PrintSetup = 57606,
    Print = 57607,
    PrintPreview = 57609,
    Exit = 57665,
    // Edit
    Copy = 57634,
    Cut = 57635,
    Find = 57636,
    Paste = 57637,
    FindNext = 57640,
    Replace = 57641,
    Undo = 57643,
    // View
    ToggleToolBar = 59392,
    ToggleStatusBar = 59393,
    CurrentPosition = 32800,
    OptimalPosition = 32784,
    MachineStatus = 32793,
    ViewProgram = 32804,
    ViewMessages = 32801,
    ViewToolpath = 32812,
    WorkCoordinates = 32850, // the readouts in work instead of machine coordinates
    // Setup
    SetupMachineAxes = 32772,
    SetupGeneral = 32774,
    SetupFeedRate = 32775,
    SetupRapidRates = 32776,
    SetupLimits = 32777,
    SetupMachineZero = 32788,
    SetupWorkZero = 32789,
    SetupTools = 32790,
    SetupSpindle = 32791,
    SetupCutter = 32792,
    SetupSave = 32796,
    SetupSaveAs = 32797,
    SetupJogging = 32805,
    SetupHoming = 32806,
    SetupProgramZero = 32807,
    SetupExtControls = 32809,
    SetupOffsets = 32810,
    SetupOpen = 32811,
    // Calibrate
    CalibrateJoystick = 32808,
    // Mode
    ModeRun = 32780,
    ModeMdi = 32781,
    ModeJog = 32782,
    ModeHome = 32802,
    // Options
    BlockSkip = 32799,
    DryRun = 32803,
    // Window
    NewWindow = 57648,
    ArrangeIcons = 57649,
    Cascade = 57650,
    Tile = 57651,
    // Help
    About = 57664,
    // The accelerators' next and previous pane
    NextPane = 57680,
    PreviousPane = 57681,
};
} // namespace Cmd

} // namespace morvik
