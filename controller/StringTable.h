// The station's operator messages, by the ids the rest of the code uses. One table, one place.
#pragma once

#include <string>

namespace morvik {

namespace msg {
constexpr int PressStartToHome = 34000;
constexpr int HomingMachine = 34001;
constexpr int MustBeInRunToLoad = 34002;
constexpr int UnableToOpenFile = 34003;
constexpr int NoProgramNumber = 34004;
constexpr int MustBeInRunToRestart = 34005;
constexpr int NoPartLoaded = 34006;
constexpr int MustRestart = 34007;
constexpr int MustHomeBeforeRun = 34008;
constexpr int MustHomeBeforeMdi = 34009;
constexpr int JoystickDriverMissing = 34100;
constexpr int JoystickIdInvalid = 34101;
constexpr int JoystickNotConnected = 34102;
constexpr int JoystickCenter = 34103;
constexpr int JoystickUpperLeft = 34104;
constexpr int JoystickLowerRight = 34105;
constexpr int UnableToOpenAscii = 34200;
constexpr int UnableToOpenBinary = 34201;
// Our own additions after the card's open failures.
constexpr int CardNotAnswering = 34202;
constexpr int ControllerFileNotWritten = 34203;
constexpr int JogStopNotConfirmed = 34204;
constexpr int AbortRunningProgramToLoad = 34205;
constexpr int ProgramLineTooLong = 34206;
constexpr int ProgramLineHasNul = 34207;
constexpr int ClosingStopsRunningProgram = 34208;
constexpr int JoystickNoPermission = 34209;
constexpr int NoMachineDescription = 34210;
constexpr int RestartStopsRunningProgram = 34214;
constexpr int OpeningStopsRunningProgram = 34215;
constexpr int JogStopNotConfirmedOnClose = 34216;
constexpr int NotARegularFile = 34217;
// Jogging and the Stop button, shown in the status bar.
constexpr int JogRateIsZero = 34240;
constexpr int StoppedByOperator = 34241;
// A held jog let go without a release: also on the panel's message line.
constexpr int JogMouseHoldLimit = 34246;
constexpr int JogKeyRepeatsStopped = 34247;
// The control panel's homing lamp and message line.
constexpr int MachineHomed = 34250;
constexpr int SoftLimitReached = 34251;
constexpr int AxisErrorOn = 34252;
constexpr int ProgramStopped = 34253;
constexpr int MachineStopped = 34256;
// The card's modal state: the message line at Start and at touch-off.
constexpr int ModesLeftInForce = 34260;
constexpr int WorkZeroToolLength = 34261;
constexpr int WorkZeroToolLengthUnknown = 34262;
// The MDI command line: what is said under it.
constexpr int MdiBlockNotSent = 34230;
constexpr int MdiNeedsMdiMode = 34231;
constexpr int MdiStationBusy = 34232;
constexpr int MdiBlockStillRunning = 34233;
constexpr int MdiBlockDone = 34234;
constexpr int MdiBlockFailed = 34235;
constexpr int MdiBlockNotSelected = 34236;
constexpr int MdiHistoryNotSaved = 34237;
constexpr int MdiCardNotAnswering = 34238;
} // namespace msg

// The caption of every operator message box.
inline constexpr const char* kMessageCaption = "Morvik Windows Application";

// The text of a message id; an unknown id gives an empty string.
std::string MessageText(int id);

} // namespace morvik
