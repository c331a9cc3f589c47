#include "ui/QtOperatorInterface.h"

#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "ui/EventLoopWatch.h"
#include "ui/MachineViewFactory.h"
#include "ui/MainFrame.h"
#include "ui/ModalDialogs.h"
#include "ui/TextView.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>

#include <algorithm>

namespace morvik {

namespace {

QString MachineTitle() {
    return currentMachine != nullptr ? QString::fromStdString(currentMachine->GetTitle())
                                     : QString();
}

// The card's strings end lines with "\r\n"; a Qt box wants "\n".
QString BoxText(int id, const std::string& detail) {
    QString text = QString::fromStdString(MessageText(id));
    text.replace("\r\n", "\n");
    if (!detail.empty())
        text += "\n" + QString::fromStdString(detail);
    return text;
}

// The ordinary pointer over a box shown while the wait cursor is up, the wait cursor again
// once the box has gone.
class CursorLifted {
public:
    explicit CursorLifted(bool waiting) : lifted_(waiting) {
        if (lifted_)
            QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~CursorLifted() {
        if (lifted_)
            QGuiApplication::restoreOverrideCursor();
    }
    CursorLifted(const CursorLifted&) = delete;
    CursorLifted& operator=(const CursorLifted&) = delete;

private:
    bool lifted_;
};

} // namespace

QtOperatorInterface::QtOperatorInterface(CMainFrame& frame) : frame_(frame) {}

QtOperatorInterface::~QtOperatorInterface() {
    // The windows outlive this object when the main window goes last: they must not call back.
    for (auto& [view, open] : windows_)
        QObject::disconnect(open.onDestroyed);
    while (waitDepth_ > 0)
        EndWaitCursor();
}

void QtOperatorInterface::ShowMessageBox(int id, const std::string& detail) {
    CursorLifted pointer(waitDepth_ > 0);
    ModalDialogs().Inform(&frame_, kMessageCaption, BoxText(id, detail), BoxIcon::Warning);
}

bool QtOperatorInterface::AskYesNo(int id, const std::string& detail) {
    CursorLifted pointer(waitDepth_ > 0);
    return ModalDialogs().AskYesNo(&frame_, kMessageCaption, BoxText(id, detail));
}

void QtOperatorInterface::BeginWaitCursor() {
    ++waitDepth_;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtOperatorInterface::EndWaitCursor() {
    if (waitDepth_ == 0)
        return;
    --waitDepth_;
    QGuiApplication::restoreOverrideCursor();
}

QString QtOperatorInterface::FilterString(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& filter : filters) {
        QString description = QString::fromStdString(filter.description);
        QString pattern = QString::fromStdString(filter.pattern);
        if (pattern == "*.*") {
            description.replace("(*.*)", "(*)");
            pattern = "*";
        }
        parts << (description.contains('(') ? description : description + " (" + pattern + ")");
    }
    return parts.join(";;");
}

std::optional<std::string>
QtOperatorInterface::ChooseOpenFile(const std::string& title,
                                    const std::vector<FileFilter>& filters) {
    const auto path = ModalDialogs().ChooseOpenFileAt(&frame_, QString::fromStdString(title),
                                                      FilterString(filters), openPlaces_[title]);
    lastDialogCancelled_ = !path.has_value();
    return path ? std::optional<std::string>(path->toStdString()) : std::nullopt;
}

std::optional<std::string>
QtOperatorInterface::ChooseSaveFile(const std::string& title,
                                    const std::vector<FileFilter>& filters,
                                    const std::string& suggestedName) {
    const auto path =
        ModalDialogs().ChooseSaveFile(&frame_, QString::fromStdString(title), FilterString(filters),
                                      QString::fromStdString(suggestedName));
    lastDialogCancelled_ = !path.has_value();
    return path ? std::optional<std::string>(path->toStdString()) : std::nullopt;
}

bool QtOperatorInterface::OpenView(ViewKind view) {
    const MachineWindowRow* row = FindMachineWindow(view);
    return row != nullptr && Open(*row);
}

bool QtOperatorInterface::Open(const MachineWindowRow& row) {
    if (Window(&row) != nullptr)
        return true;
    QWidget* widget = row.create();
    if (widget == nullptr)
        return false;
    QMdiSubWindow* window = frame_.MdiArea()->addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QString("view%1").arg(&row - MachineWindowTable().data()));
    if (row.fixedForm) {
        window->adjustSize(); // the window fits the form
    } else if (!widget->sizeHint().isValid()) {
        const QSize area = frame_.MdiArea()->size();
        // A view that names the width it is read at (the homing view) gets at least that much,
        // as far as the area has room.
        const QMargins frame = window->contentsMargins();
        const int readable = widget->sizeHint().width() + frame.left() + frame.right();
        const int width = std::max({area.width() / 2, 320, std::min(readable, area.width())});
        window->resize(width, std::max(area.height() / 2, 200));
    }
    const MachineWindowRow* key = &row;
    windows_[key] = OpenWindow{window, window,
                               QObject::connect(window, &QObject::destroyed,
                                                [=, this](QObject* gone) { Forget(key, gone); })};
    openOrder_.push_back(key);
    RetitleViews();
    window->show();
    // A window wider or taller than the document area is placed so that its title bar and its
    // left edge stay in view (the area would otherwise centre it beyond its left side).
    if (window->x() < 0 || window->y() < 0)
        window->move(std::max(0, window->x()), std::max(0, window->y()));
    if (opened_)
        opened_(*window);
    return true;
}

void QtOperatorInterface::Forget(const MachineWindowRow* row, const QObject* window) {
    const auto it = windows_.find(row);
    if (it == windows_.end() || it->second.object != window)
        return;
    windows_.erase(it);
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), row), openOrder_.end());
    TellGone(*row);
    RetitleViews();
}

// A window the core opened is forgotten by the document; the program view's takes the card's
// output options with it (CMachine::OnViewDestroyed).
void QtOperatorInterface::TellGone(const MachineWindowRow& row) {
    if (row.kind && currentMachine != nullptr)
        currentMachine->OnViewDestroyed(*row.kind);
}

void QtOperatorInterface::Destroy(OpenWindow& open) {
    QObject::disconnect(open.onDestroyed);
    delete open.window.data();
}

void QtOperatorInterface::CloseView(ViewKind view) {
    if (const MachineWindowRow* row = FindMachineWindow(view))
        Close(*row);
}

void QtOperatorInterface::Close(const MachineWindowRow& row) {
    const auto it = windows_.find(&row);
    if (it == windows_.end())
        return;
    OpenWindow open = it->second;
    windows_.erase(it);
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), &row), openOrder_.end());
    const bool wasActive = open.window != nullptr && frame_.ActiveWindow() == open.window;
    Destroy(open);
    if (wasActive)
        HandOverActivation();
    TellGone(row);
    RetitleViews();
}

// The station closes its own windows as a mode is left (Home, MDI); the operator did not choose
// another window then. Left alone, the document area would activate the next window in its own
// order, an editor among them: the menu bar would change under the operator and the jog keys of
// the mode just selected would type into the part program. The machine window used last takes
// the active place instead, or none does and the main window keeps the keys.
void QtOperatorInterface::HandOverActivation() {
    QMdiArea* area = frame_.MdiArea();
    QMdiSubWindow* next = nullptr;
    for (QMdiSubWindow* window : area->subWindowList(QMdiArea::ActivationHistoryOrder)) {
        if (!window->isMinimized() && CMainFrame::KindOf(window) == DocumentKind::Machine)
            next = window;
    }
    area->setActiveSubWindow(next);
    if (next == nullptr)
        frame_.setFocus();
}

void QtOperatorInterface::CloseAllViews() {
    while (!openOrder_.empty())
        Close(*openOrder_.back());
}

bool QtOperatorInterface::ToggleWindow(int commandId) {
    const MachineWindowRow* row = FindWindowCommand(commandId);
    if (row == nullptr)
        return false;
    if (Window(row) != nullptr)
        Close(*row);
    else
        Open(*row);
    return true;
}

bool QtOperatorInterface::WindowOpen(int commandId) const {
    const MachineWindowRow* row = FindWindowCommand(commandId);
    return row != nullptr && Window(row) != nullptr;
}

void QtOperatorInterface::ClearView(ViewKind view) {
    if (CTextView* text = TextView(view))
        text->Clear();
}

void QtOperatorInterface::AppendToView(ViewKind view, const std::string& text) {
    if (CTextView* target = TextView(view))
        target->Append(text);
}

bool QtOperatorInterface::InNestedLoop() const {
    return EventLoopWatch::Nested();
}

void QtOperatorInterface::ShowStatusText(int id) {
    frame_.statusBar()->showMessage(QString::fromStdString(MessageText(id)));
}

QMdiSubWindow* QtOperatorInterface::ViewWindow(ViewKind view) const {
    return Window(FindMachineWindow(view));
}

QMdiSubWindow* QtOperatorInterface::Window(const MachineWindowRow* row) const {
    const auto it = windows_.find(row);
    return it == windows_.end() ? nullptr : it->second.window.data();
}

QWidget* QtOperatorInterface::View(ViewKind view) const {
    QMdiSubWindow* window = ViewWindow(view);
    return window != nullptr ? window->widget() : nullptr;
}

CTextView* QtOperatorInterface::TextView(ViewKind view) const {
    return dynamic_cast<CTextView*>(View(view));
}

void QtOperatorInterface::RetitleViews() {
    const QString title = MachineTitle();
    for (const MachineWindowRow* row : openOrder_) {
        QMdiSubWindow* window = Window(row);
        if (window == nullptr)
            continue;
        const QString shown = row->Title(title);
        CMainFrame::SetDocument(window, DocumentKind::Machine,
                                row->ownDocumentTitle ? shown : title);
        // The window stands for the machine document: it carries the mark of its changes.
        window->setWindowTitle(shown + "[*]");
        window->setWindowModified(machineModified_);
    }
    frame_.UpdateTitle();
}

void QtOperatorInterface::ShowMachineModified(bool modified) {
    if (modified == machineModified_)
        return;
    machineModified_ = modified;
    for (const auto& [row, open] : windows_) {
        if (open.window != nullptr)
            open.window->setWindowModified(modified);
    }
    frame_.UpdateTitle();
}

} // namespace morvik
