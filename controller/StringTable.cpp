#include "controller/StringTable.h"

#include <map>

namespace morvik {

std::string MessageText(int id) {
    static const std::map<int, const char*> table = {
        {msg::PressStartToHome, "Press START button to home machine..."},
        {msg::HomingMachine, "Homing Machine..."},
        {msg::MustBeInRunToLoad, "Machine must be in RUN mode to load a file"},
        {msg::UnableToOpenFile, "Unable to open file. Part not loaded"},
        {msg::NoProgramNumber,
         "No program number or sequence number found in file. Part not loaded"},
        {msg::MustBeInRunToRestart, "Machine must be in RUN mode to restart a file"},
        {msg::NoPartLoaded, "No part program is loaded"},
        {msg::MustRestart, "Part program must be restarted"},
        {msg::MustHomeBeforeRun, "Machine must be Homed before selecting Run mode"},
        {msg::MustHomeBeforeMdi, "Machine must be Homed before selecting MDI mode"},
        {msg::JoystickDriverMissing, "The joystick driver is not present"},
        {msg::JoystickIdInvalid, "The specified joystick device ID is invalid"},
        {msg::JoystickNotConnected, "The specified joystick is not connected to the system"},
        {msg::JoystickCenter, "Center joystick and click OK"},
        {msg::JoystickUpperLeft, "Move joystick to upper left, click OK"},
        {msg::JoystickLowerRight, "Move joystick to lower right"},
        {msg::UnableToOpenAscii,
         "Unable to open motion controller in ASCII mode\r\n(make sure Enable Multi Interface "
         "option is checked in KELVAPI setup dialog)"},
        {msg::UnableToOpenBinary, "Unable to open motion controller in binary mode"},
        {msg::CardNotAnswering,
         "The motion controller is not answering. The operation was abandoned; check the "
         "card and its connection, then try again."},
        {msg::ControllerFileNotWritten,
         "A controller file could not be written. The motion controller keeps its previous "
         "settings; check that the folder is writable and has free space."},
        {msg::JogStopNotConfirmed,
         "The motion controller did not confirm that the jogged axes stopped: an axis may still "
         "be moving. The machine stays in Jog mode; check the machine, then select the mode "
         "again."},
        {msg::AbortRunningProgramToLoad,
         "A part program is running. Abort it and load the new one?"},
        {msg::ProgramLineTooLong,
         "A line of the part program is longer than the motion controller can take. Part not "
         "loaded; shorten the line and load again."},
        {msg::ProgramLineHasNul,
         "A line of the part program holds a NUL character, which the motion controller cannot "
         "take. Part not loaded; remove the character and load again."},
        {msg::ClosingStopsRunningProgram,
         "A part program is running. Closing the station aborts it and stops the machine. "
         "Close anyway?"},
        {msg::JoystickNoPermission,
         "The joystick is present but this user may not read it. Add the user to the group "
         "that owns the joystick device (usually \"input\": sudo usermod -aG input USER), log "
         "in again and retry."},
        {msg::NoMachineDescription,
         "This file holds no machine description. Open it as a new machine, whose setup is "
         "saved to this file from now on?"},
        {msg::RestartStopsRunningProgram,
         "A part program is running. Restart aborts it and runs it again from its first line. "
         "Restart anyway?"},
        {msg::OpeningStopsRunningProgram,
         "A part program is running. Opening another machine aborts it and stops the machine. "
         "Open anyway?"},
        {msg::JogStopNotConfirmedOnClose,
         "The motion controller did not confirm that the jogged axes stopped: an axis may still "
         "be moving. The machine was not closed; check the machine, then try again."},
        {msg::NotARegularFile,
         "This is a folder, a device or a pipe, not a file. It was not opened:"},
        {msg::JogRateIsZero,
         "The maximum jog rate is 0, so nothing can be jogged. Set it in Setup > Jogging."},
        {msg::StoppedByOperator, "Stopped: every axis stopped and any running program aborted."},
        {msg::JogMouseHoldLimit,
         "Jog stopped after 5 seconds: this display cannot confirm that the mouse button is "
         "still held. Press the button again to jog on."},
        {msg::JogKeyRepeatsStopped,
         "Jog stopped: the key stopped repeating without a release. Press it again to jog on."},
        {msg::MachineHomed, "Machine homed"},
        {msg::SoftLimitReached, "Soft limit reached on axis"},
        {msg::AxisErrorOn, "Axis error on axis"},
        {msg::ProgramStopped, "Program stopped:"},
        {msg::MachineStopped, "Machine stopped:"},
        {msg::ModesLeftInForce, "Modes still in force from before:"},
        {msg::WorkZeroToolLength, "Work zero Z set less the tool length in force:"},
        {msg::WorkZeroToolLengthUnknown,
         "Work zero Z not set: the card does not tell the tool length in force"},
        {msg::MdiBlockNotSent, "Block not sent:"},
        {msg::MdiNeedsMdiMode, "Machine must be in MDI mode to send a block"},
        {msg::MdiStationBusy, "The station is busy. Block not sent"},
        {msg::MdiBlockStillRunning, "A block is still running. Block not sent"},
        {msg::MdiBlockDone, "Block done"},
        {msg::MdiBlockFailed, "Block stopped with an error:"},
        {msg::MdiBlockNotSelected, "The motion controller did not select the block. Block not run"},
        {msg::MdiHistoryNotSaved, "The MDI history could not be saved:"},
        {msg::MdiCardNotAnswering, "The motion controller is not answering. Block abandoned"},
    };
    auto it = table.find(id);
    return it == table.end() ? std::string() : std::string(it->second);
}

} // namespace morvik
