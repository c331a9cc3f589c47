#include "ui/preview/PreviewWindows.h"

#include "machine/Machine.h"
#include "operation/CommandIds.h"
#include "ui/MainFrame.h"
#include "ui/Part.h"
#include "ui/PartDocuments.h"
#include "ui/PartView.h"
#include "ui/preview/LoadedTextMatch.h"
#include "ui/preview/ToolpathPlanner.h"
#include "ui/preview/ToolpathWindow.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace morvik::preview {

namespace {

using ToolAt = std::optional<std::array<double, 3>>;

ToolAt ToolOf(const CToolpathFeed& feed) {
    return feed.toolKnown ? ToolAt(feed.tool) : std::nullopt;
}

// Positions this close (in the card's length unit) are one place: an encoder count of jitter
// or a creeping tool does not plan the loaded program again.
constexpr double kSamePlace = 0.01;

bool NearTools(const ToolAt& a, const ToolAt& b) {
    if (a.has_value() != b.has_value())
        return false;
    if (!a)
        return true;
    for (std::size_t i = 0; i < a->size(); ++i) {
        if (std::abs((*a)[i] - (*b)[i]) > kSamePlace)
            return false;
    }
    return true;
}

} // namespace

CPreviewWindows::CPreviewWindows(QMdiArea& area, CPartDocuments& parts, QObject* parent)
    : QObject(parent), area_(area), parts_(parts), loadedMatch_(new CLoadedTextMatch(this)) {}

CPreviewWindows::~CPreviewWindows() {
    CloseAll();
}

// ---- View > Toolpath ----

bool CPreviewWindows::Handles(int id) const {
    return id == Cmd::ViewToolpath &&
           (EditorOfWindow(area_.activeSubWindow()) != nullptr || ActivePart() != nullptr);
}

void CPreviewWindows::Execute(int id) {
    if (!Handles(id))
        return;
    if (Editor* editor = EditorOfWindow(area_.activeSubWindow()))
        delete editor->window.data();
    else
        ToggleEditorPreview(*ActivePart());
}

CommandState CPreviewWindows::Update(int) const {
    if (EditorOfWindow(area_.activeSubWindow()) != nullptr)
        return CommandState::Check(true);
    const CPart* part = ActivePart();
    return CommandState::Check(part != nullptr && EditorOf(*part) != nullptr);
}

CPart* CPreviewWindows::ActivePart() const {
    QMdiSubWindow* active = area_.activeSubWindow();
    auto* view = active != nullptr ? qobject_cast<CPartView*>(active->widget()) : nullptr;
    return view != nullptr ? &view->Part() : nullptr;
}

void CPreviewWindows::Adopt(QMdiSubWindow& window) {
    auto* widget = qobject_cast<CToolpathWindow*>(window.widget());
    if (widget == nullptr || machineWindow_ != nullptr)
        return;
    machineWidget_ = widget;
    machinePlanner_ = std::make_unique<CToolpathPlanner>();
    connect(machinePlanner_.get(), &CToolpathPlanner::Planned, machineWidget_,
            &CToolpathWindow::ShowPlan);
    machineWindow_ = &window;
    machineRaw_ = &window;
    connect(&window, &QObject::destroyed, this, &CPreviewWindows::Forget);
    plannedText_.reset();
    PlanMachineProgram();
    Tick(lastFeed_);
}

void CPreviewWindows::ToggleEditorPreview(CPart& part) {
    if (Editor* open = EditorOf(part)) {
        delete open->window.data();
        return;
    }
    auto editor = std::make_unique<Editor>();
    Editor& e = *editor;
    e.part = &part;
    e.widget = new CToolpathWindow;
    e.planner = std::make_unique<CToolpathPlanner>();
    e.pause = new QTimer(e.widget);
    e.pause->setSingleShot(true);
    e.pause->setInterval(kEditPauseMs);
    connect(e.planner.get(), &CToolpathPlanner::Planned, e.widget, &CToolpathWindow::ShowPlan);
    connect(e.pause, &QTimer::timeout, this, [this, &e] { PlanEditor(e); });
    connect(&part.Text(), &QTextDocument::contentsChanged, e.pause, qOverload<>(&QTimer::start));
    connect(e.widget, &CToolpathWindow::LineChosen, this, [this, &e](std::uint32_t line) {
        if (e.part != nullptr)
            ShowLine(*e.part, line);
    });
    connect(&part, &QObject::destroyed, e.widget, [&e] { delete e.window.data(); });
    e.window = AddWindow(e.widget, part.Title() + kTitleSuffix);
    e.raw = e.window.data();
    // Save As gives the part a new name: its preview is named after it, not after the old one.
    connect(&part, &CPart::TitleChanged, e.widget, [&e] {
        if (e.part != nullptr && e.window != nullptr)
            Title(*e.window, e.part->Title() + kTitleSuffix);
    });
    editors_.push_back(std::move(editor));
    PlanEditor(e);
}

CToolpathWindow* CPreviewWindows::MachinePreview() const {
    return machineWindow_ != nullptr ? machineWidget_ : nullptr;
}

CToolpathWindow* CPreviewWindows::EditorPreview(const CPart& part) const {
    Editor* editor = EditorOf(part);
    return editor != nullptr ? editor->widget : nullptr;
}

void CPreviewWindows::CloseAll() {
    delete machineWindow_.data();
    while (!editors_.empty()) {
        QMdiSubWindow* window = editors_.back()->window.data();
        if (window == nullptr) {
            editors_.pop_back();
            continue;
        }
        delete window; // Forget drops the entry
    }
    MarkRunningLine(0);
}

// An editor's preview window, a part program document of its own.
QMdiSubWindow* CPreviewWindows::AddWindow(CToolpathWindow* widget, const QString& title) {
    QMdiSubWindow* window = area_.addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    Title(*window, title);
    connect(window, &QObject::destroyed, this, &CPreviewWindows::Forget);
    window->show();
    return window;
}

void CPreviewWindows::Title(QMdiSubWindow& window, const QString& title) {
    CMainFrame::SetDocument(&window, DocumentKind::PartProgram, title);
    window.setWindowTitle(title);
}

void CPreviewWindows::Forget(QObject* window) {
    if (window == machineRaw_) {
        machineRaw_ = nullptr;
        machineWidget_ = nullptr;
        machinePlanner_.reset(); // cancels and joins a plan still running
        plannedText_.reset();
        return;
    }
    const auto it = std::find_if(editors_.begin(), editors_.end(),
                                 [window](const auto& e) { return e->raw == window; });
    if (it != editors_.end()) {
        (*it)->planner->CancelAll();
        editors_.erase(it);
    }
}

// ---- Planning ----

CPreviewSetup CPreviewWindows::SetupNow() const {
    CMachine* machine = machine_ ? machine_() : nullptr;
    CPreviewSetup setup = machine != nullptr ? PreviewSetupOf(*machine) : CPreviewSetup{};
    StartAtTheMachine(setup, lastFeed_);
    return setup;
}

// Plans the loaded text when it is not the one planned last, or the machine's setup changed.
void CPreviewWindows::PlanMachineProgram(bool setupChanged) {
    if (machineWidget_ == nullptr)
        return;
    CMachine* machine = machine_ ? machine_() : nullptr;
    std::shared_ptr<const std::string> text;
    if (machine != nullptr && machine->State().partLoaded)
        text = machine->State().partText;
    // The same text is planned again when the card's modes changed, or the tool came to rest
    // somewhere else, before the run began (an MDI block, a jog): the next run starts from
    // there. A tool on its way is not followed, which would plan a large program on every tick.
    const StartKey start{ToolOf(lastFeed_), lastFeed_.modes};
    const bool atRest = NearTools(start.tool, previousTool_);
    const bool moved = start.modes != plannedStart_.modes ||
                       (atRest && !NearTools(start.tool, plannedStart_.tool));
    const bool sameStart = !moved || lastFeed_.doneBefore != 0;
    if (plannedText_.has_value() && *plannedText_ == text && (text == nullptr || sameStart) &&
        !setupChanged)
        return;
    plannedText_ = text;
    plannedStart_ = start;
    machineWidget_->ShowProgramText(text);
    if (text == nullptr) {
        machinePlanner_->CancelAll();
        machineWidget_->ShowNothing(CToolpathWindow::kNoProgram);
        return;
    }
    machineWidget_->ShowPlanning();
    machinePlanner_->Request(text, SetupNow());
}

void CPreviewWindows::PlanEditor(Editor& editor) {
    if (editor.part == nullptr)
        return;
    auto text = std::make_shared<const std::string>(editor.part->PlainText().toStdString());
    editor.widget->ShowPlanning();
    editor.planner->Request(std::move(text), SetupNow());
}

void CPreviewWindows::FlushEdits() {
    for (const auto& editor : editors_) {
        if (editor->pause->isActive()) {
            editor->pause->stop();
            PlanEditor(*editor);
        }
    }
}

void CPreviewWindows::WaitForPlans() {
    if (machinePlanner_ != nullptr)
        machinePlanner_->WaitForIdle();
    for (const auto& editor : editors_)
        editor->planner->WaitForIdle();
    QCoreApplication::sendPostedEvents();
}

// ---- The tick ----

bool CPreviewWindows::WantsTool() const {
    return machineWindow_ != nullptr || !editors_.empty();
}

bool CPreviewWindows::WantsProgress() const {
    if (LoadedText() == nullptr)
        return false;
    if (machineWindow_ != nullptr)
        return true;
    const auto parts = parts_.Parts();
    return std::any_of(parts.begin(), parts.end(), [this](CPart* part) { return Holds(*part); });
}

std::shared_ptr<const std::string> CPreviewWindows::LoadedText() const {
    CMachine* machine = machine_ ? machine_() : nullptr;
    if (machine == nullptr || !machine->State().partLoaded)
        return nullptr;
    return machine->State().partText;
}

bool CPreviewWindows::Holds(CPart& part) const {
    const auto views = parts_.Views(part);
    return !views.empty() && loadedMatch_->Holds(part, *views.front(), LoadedText());
}

// The machine's setup as the previews would copy it now, against the one they were planned
// with; the first look only takes it.
bool CPreviewWindows::SetupChanged() {
    CMachine* machine = machine_ ? machine_() : nullptr;
    if (machine == nullptr || (machineWidget_ == nullptr && editors_.empty())) {
        plannedSetup_.reset(); // the next preview to open plans with what is there then
        return false;
    }
    CPreviewSetup now = PreviewSetupOf(*machine);
    const bool changed = plannedSetup_.has_value() && !SameMachineSetup(*plannedSetup_, now);
    plannedSetup_ = std::move(now);
    return changed;
}

void CPreviewWindows::Tick(const CToolpathFeed& feed) {
    previousTool_ = ToolOf(lastFeed_);
    lastFeed_ = feed;
    const std::optional<std::array<double, 3>> tool = ToolOf(feed);
    const bool setupChanged = SetupChanged();
    ShowHomeViews();
    if (setupChanged) {
        for (const auto& editor : editors_)
            PlanEditor(*editor);
    }
    if (machineWidget_ != nullptr) {
        PlanMachineProgram(setupChanged);
        machineWidget_->View().SetToolPosition(tool);
        machineWidget_->View().SetDoneBefore(feed.doneBefore);
        machineWidget_->SetRunningLine(feed.runningLine);
    }
    for (const auto& editor : editors_) {
        CToolpathView& view = editor->widget->View();
        view.SetToolPosition(tool);
        const bool running = editor->part != nullptr && Holds(*editor->part);
        view.SetDoneBefore(running ? feed.doneBefore : 0);
    }
    MarkRunningLine(feed.runningLine);
}

// Each preview in the view of the machine it belongs to, also before any plan (nothing loaded
// yet, or another machine opened under an open preview).
void CPreviewWindows::ShowHomeViews() {
    if (!plannedSetup_)
        return;
    const CViewKind home = HomeView(plannedSetup_->lathe);
    if (machineWidget_ != nullptr)
        machineWidget_->View().SetHomeView(home);
    for (const auto& editor : editors_)
        editor->widget->View().SetHomeView(home);
}

void CPreviewWindows::MarkRunningLine(std::uint32_t line) {
    for (CPart* part : parts_.Parts()) {
        const bool running = line != 0 && Holds(*part);
        for (CPartView* view : parts_.Views(*part))
            view->SetRunningLine(running ? static_cast<int>(line) : 0);
    }
}

void CPreviewWindows::ShowLine(const CPart& part, std::uint32_t line) {
    const auto views = parts_.Views(part);
    if (views.empty() || line == 0)
        return;
    CPartView* view = views.front();
    const QTextBlock block = view->document()->findBlockByNumber(static_cast<int>(line) - 1);
    if (!block.isValid())
        return;
    view->setTextCursor(QTextCursor(block));
    view->centerCursor();
    if (QMdiSubWindow* window = CPartDocuments::WindowOf(*view))
        area_.setActiveSubWindow(window);
    view->setFocus();
}

CPreviewWindows::Editor* CPreviewWindows::EditorOf(const CPart& part) const {
    for (const auto& editor : editors_) {
        if (editor->part == &part && editor->window != nullptr)
            return editor.get();
    }
    return nullptr;
}

CPreviewWindows::Editor* CPreviewWindows::EditorOfWindow(const QMdiSubWindow* window) const {
    if (window == nullptr)
        return nullptr;
    for (const auto& editor : editors_) {
        if (editor->raw == window)
            return editor.get();
    }
    return nullptr;
}

} // namespace morvik::preview
