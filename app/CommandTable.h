// The station's commands as data: one row per command id with its menu text, the menus it
// stands in, its status-bar prompt, who handles it and its update rule. The menus, the
// toolbar, the accelerators and the one update pass are all built from these tables
// (CommandRouter), so a command's enablement is decided in one place.
//
// Menus: M is the main window's own menu (no document window active), P the menu of a part
// program window, C the menu of a machine window (status display, program view, homing view).
//
// Who handles a command, in the order a command is offered to them: the active document
// window's view, its document, that window, the main window, the application. A row's owner
// says which of them has the handler. A row without a handler is handled outside the table by
// the part program window's editor view (CPartView), or by nobody (the panes of F6 and
// Shift+F6); while nobody on the routing path handles it, it is shown disabled.
#pragma once

#include "ui/CommandTarget.h"

#include <span>

namespace morvik {

struct CommandContext;

namespace menus {
inline constexpr unsigned M = 1;
inline constexpr unsigned P = 2;
inline constexpr unsigned C = 4;
inline constexpr unsigned MPC = M | P | C;
inline constexpr unsigned MC = M | C;
} // namespace menus

enum class MenuKind { Main, PartProgram, Machine };
unsigned MenuBit(MenuKind kind);

enum class CommandOwner { View, Document, ChildWindow, MainFrame, Application };

using CommandHandler = void (*)(CommandContext&);
// The state of the command's menu item, toolbar button or control now; null means always
// enabled with no mark.
using UpdateRule = CommandState (*)(CommandContext&);

struct CommandSpec {
    int id;
    const char* text;  // menu text; after a tab, the key shown beside it
    const char* textP; // the text in the part program menu when it differs, else null
    const char* textC; // the text in the machine menu when it differs, else null
    unsigned menus;    // where the item stands (a routed command may stand nowhere)
    const char* prompt;
    CommandOwner owner;
    CommandHandler handler; // null: nobody handles it yet
    UpdateRule update;

    const char* TextIn(MenuKind kind) const;
};

// One item of a pop-up menu: a command id, or 0 for a separator, in the menus given.
struct MenuEntry {
    int id;
    unsigned menus;
};

struct PopupSpec {
    const char* title;
    unsigned menus;
    std::span<const MenuEntry> entries;
};

// A key of the accelerator table and the command it sends (Qt's key text).
struct Accelerator {
    const char* keys;
    int id;
};

std::span<const CommandSpec> CommandTable();
const CommandSpec* FindCommand(int id);
std::span<const PopupSpec> MenuLayout();
std::span<const Accelerator> Accelerators();
// The toolbar's slots from left to right; 0 is a separator.
std::span<const int> ToolBarSlots();
// The standard icon theme name of a toolbar command.
const char* ToolBarIconName(int id);

} // namespace morvik
