// Routing of commands and the one update pass.
//
// The router builds the main window's three menu sets (M, P, C), the toolbar and the
// accelerators from the command table, and sends every menu item, toolbar button and key to
// Execute. A command goes along the routing path (the active view first, the application
// last; see ui/CommandTarget.h) to the first party that handles it. UpdateActions is the one
// place that decides enablement and marks: a command nobody on the path handles is disabled,
// the others take their update rule.
#pragma once

#include "app/CommandTable.h"
#include "ui/CommandTarget.h"

#include <QObject>

#include <functional>
#include <map>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace morvik {

class CMainFrame;
struct CommandContext;

// The rows of the command table that one party handles, as a party on the routing path.
class TableTarget : public ICommandTarget {
public:
    TableTarget(CommandOwner owner, std::function<CommandContext()> context);

    bool Handles(int id) const override;
    void Execute(int id) override;
    CommandState Update(int id) const override;

private:
    const CommandSpec* Row(int id) const;

    CommandOwner owner_;
    std::function<CommandContext()> context_;
};

class CommandRouter : public QObject {
    Q_OBJECT

public:
    // path() gives the parties in routing order for the window that is active now.
    CommandRouter(CMainFrame& frame, std::function<std::vector<ICommandTarget*>()> path);

    // Menus, toolbar buttons and accelerators on the frame; the main menu is shown.
    void Install();

    // The first party on the path with a handler for id; null when there is none.
    ICommandTarget* Route(int id) const;
    // Disabled when nobody handles the command; else its update rule.
    CommandState State(int id) const;
    // Runs the command if someone handles it and it is enabled; false otherwise. Then the
    // after-command hook runs (the application's update pass).
    bool Execute(int id);
    void SetAfterCommand(std::function<void()> hook) { afterCommand_ = std::move(hook); }

    // The menu set shown in the menu bar: Main with no document window, else the window's.
    void SetMenuKind(MenuKind kind);
    MenuKind CurrentMenuKind() const { return menuKind_; }

    // The update pass over every menu item and toolbar button.
    void UpdateActions();

    // Every menu item and toolbar button of a command (empty when none).
    const std::vector<QAction*>& ActionsOf(int id) const;
    // The menu item of a command in one menu set, or null.
    QAction* MenuAction(MenuKind kind, int id) const;
    // The pop-up menus of one menu set, in order.
    const std::vector<QMenu*>& Menus(MenuKind kind) const;

private:
    void BuildMenus(MenuKind kind);
    QAction* NewAction(int id, const QString& text, QObject* parent);
    void BuildToolBar();
    void BuildAccelerators();
    void Apply(QAction* action, const CommandState& state);

    CMainFrame& frame_;
    std::function<std::vector<ICommandTarget*>()> path_;
    std::function<void()> afterCommand_;
    MenuKind menuKind_ = MenuKind::Main;
    std::map<int, std::vector<QAction*>> actions_;
    std::map<MenuKind, std::vector<QMenu*>> menus_;
    std::map<MenuKind, std::map<int, QAction*>> menuActions_;
    std::map<MenuKind, QActionGroup*> radioGroups_;
};

} // namespace morvik
