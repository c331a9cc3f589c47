// A party on the command routing path. The application routes a menu command, toolbar button
// or accelerator to the active document window's view first, then its document, that window,
// the main window and last the application; the first party that has a handler takes it.
// Views that handle commands of their own (a part program editor's Cut, Copy and Paste, say)
// implement this interface on their widget; the main window's and the application's handlers
// are rows of the command table.
#pragma once

namespace morvik {

enum class CommandMark { None, Check, Radio };

// What an update rule says about one command: enabled or not, and its mark.
struct CommandState {
    bool enabled = true;
    CommandMark mark = CommandMark::None;
    bool marked = false;

    static CommandState Enabled(bool on) { return CommandState{on, CommandMark::None, false}; }
    static CommandState Check(bool on) { return CommandState{true, CommandMark::Check, on}; }
    static CommandState Radio(bool on) { return CommandState{true, CommandMark::Radio, on}; }
    static CommandState Disabled() { return CommandState{false, CommandMark::None, false}; }

    bool operator==(const CommandState&) const = default;
};

class ICommandTarget {
public:
    virtual ~ICommandTarget() = default;
    // True when this party has a handler for the command.
    virtual bool Handles(int id) const = 0;
    virtual void Execute(int id) = 0;
    // Asked only for commands it handles.
    virtual CommandState Update(int id) const = 0;
};

} // namespace morvik
