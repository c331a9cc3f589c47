// What a command handler or update rule of the command table reaches: the application, the
// main window, and the machine's operation and document while a machine document is open.
#pragma once

namespace morvik {

class CMachine;
class CMainFrame;
class MachineOperation;
class MorvikApp;

struct CommandContext {
    MorvikApp& app;
    CMainFrame& frame;
    MachineOperation* operation; // null while there is no machine document
    CMachine* machine;           // likewise
    int command = 0;             // the command run or asked about (a window's own command)
};

} // namespace morvik
