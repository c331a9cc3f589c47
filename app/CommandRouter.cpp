#include "app/CommandRouter.h"

#include "app/CommandContext.h"
#include "ui/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

namespace morvik {

namespace {

const std::vector<QAction*> kNoActions;

// A menu text as a button shows it: without the key after the tab and without the '&'.
QString ButtonText(const char* menuText) {
    QString text = QString::fromUtf8(menuText);
    text = text.left(text.indexOf('\t'));
    return text.remove('&');
}

constexpr MenuKind kMenuKinds[] = {MenuKind::Main, MenuKind::PartProgram, MenuKind::Machine};

} // namespace

// ---- TableTarget ----

TableTarget::TableTarget(CommandOwner owner, std::function<CommandContext()> context)
    : owner_(owner), context_(std::move(context)) {}

const CommandSpec* TableTarget::Row(int id) const {
    const CommandSpec* spec = FindCommand(id);
    return spec != nullptr && spec->owner == owner_ && spec->handler != nullptr ? spec : nullptr;
}

bool TableTarget::Handles(int id) const {
    return Row(id) != nullptr;
}

void TableTarget::Execute(int id) {
    if (const CommandSpec* spec = Row(id)) {
        CommandContext context = context_();
        context.command = id;
        spec->handler(context);
    }
}

CommandState TableTarget::Update(int id) const {
    const CommandSpec* spec = Row(id);
    if (spec == nullptr || spec->update == nullptr)
        return CommandState{};
    CommandContext context = context_();
    context.command = id;
    return spec->update(context);
}

// ---- CommandRouter ----

CommandRouter::CommandRouter(CMainFrame& frame, std::function<std::vector<ICommandTarget*>()> path)
    : QObject(&frame), frame_(frame), path_(std::move(path)) {}

void CommandRouter::Install() {
    for (MenuKind kind : kMenuKinds)
        BuildMenus(kind);
    BuildToolBar();
    BuildAccelerators();
    SetMenuKind(MenuKind::Main);
}

QAction* CommandRouter::NewAction(int id, const QString& text, QObject* parent) {
    QAction* action = new QAction(text, parent);
    action->setObjectName(QString("cmd%1").arg(id));
    connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    actions_[id].push_back(action);
    return action;
}

void CommandRouter::BuildMenus(MenuKind kind) {
    const unsigned bit = MenuBit(kind);
    radioGroups_[kind] = new QActionGroup(this);
    radioGroups_[kind]->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const PopupSpec& popup : MenuLayout()) {
        if ((popup.menus & bit) == 0)
            continue;
        QMenu* menu = new QMenu(QString::fromUtf8(popup.title), &frame_);
        // Menus about to open show the state of this moment.
        connect(menu, &QMenu::aboutToShow, this, &CommandRouter::UpdateActions);
        for (const MenuEntry& entry : popup.entries) {
            if ((entry.menus & bit) == 0)
                continue;
            if (entry.id == 0) {
                menu->addSeparator();
                continue;
            }
            const CommandSpec* spec = FindCommand(entry.id);
            QAction* action = NewAction(entry.id, QString::fromUtf8(spec->TextIn(kind)), menu);
            action->setStatusTip(QString::fromUtf8(spec->prompt));
            menu->addAction(action);
            menuActions_[kind][entry.id] = action;
        }
        menus_[kind].push_back(menu);
    }
}

void CommandRouter::BuildToolBar() {
    QToolBar* bar = frame_.ToolBar();
    for (int id : ToolBarSlots()) {
        if (id == 0) {
            bar->addSeparator();
            continue;
        }
        const CommandSpec* spec = FindCommand(id);
        QAction* action = NewAction(id, ButtonText(spec->text), bar);
        action->setIcon(QIcon::fromTheme(ToolBarIconName(id)));
        bar->addAction(action);
    }
}

void CommandRouter::BuildAccelerators() {
    for (const Accelerator& key : Accelerators()) {
        QShortcut* shortcut = new QShortcut(QKeySequence(QString::fromUtf8(key.keys)), &frame_);
        const int id = key.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { Execute(id); });
    }
}

void CommandRouter::SetMenuKind(MenuKind kind) {
    menuKind_ = kind;
    QMenuBar* bar = frame_.menuBar();
    bar->clear();
    for (QMenu* menu : menus_[kind])
        bar->addMenu(menu);
}

ICommandTarget* CommandRouter::Route(int id) const {
    for (ICommandTarget* target : path_()) {
        if (target != nullptr && target->Handles(id))
            return target;
    }
    return nullptr;
}

CommandState CommandRouter::State(int id) const {
    ICommandTarget* target = Route(id);
    return target == nullptr ? CommandState::Disabled() : target->Update(id);
}

bool CommandRouter::Execute(int id) {
    ICommandTarget* target = Route(id);
    const bool run = target != nullptr && target->Update(id).enabled;
    if (run)
        target->Execute(id);
    // Also after a refused command: a checkable item may have toggled its own mark.
    if (afterCommand_)
        afterCommand_();
    return run;
}

void CommandRouter::Apply(QAction* action, const CommandState& state) {
    action->setEnabled(state.enabled);
    action->setCheckable(state.mark != CommandMark::None);
    action->setChecked(state.marked);
}

void CommandRouter::UpdateActions() {
    for (auto& [id, actions] : actions_) {
        const CommandState state = State(id);
        for (QAction* action : actions)
            Apply(action, state);
        if (state.mark != CommandMark::Radio)
            continue;
        // A radio mark is drawn as such for items in an exclusive group.
        for (MenuKind kind : kMenuKinds) {
            if (QAction* item = MenuAction(kind, id); item != nullptr && !item->actionGroup())
                item->setActionGroup(radioGroups_[kind]);
        }
    }
}

const std::vector<QAction*>& CommandRouter::ActionsOf(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? kNoActions : it->second;
}

QAction* CommandRouter::MenuAction(MenuKind kind, int id) const {
    const auto set = menuActions_.find(kind);
    if (set == menuActions_.end())
        return nullptr;
    const auto it = set->second.find(id);
    return it == set->second.end() ? nullptr : it->second;
}

const std::vector<QMenu*>& CommandRouter::Menus(MenuKind kind) const {
    static const std::vector<QMenu*> none;
    const auto it = menus_.find(kind);
    return it == menus_.end() ? none : it->second;
}

} // namespace morvik
