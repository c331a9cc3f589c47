#include "ui/QtOperatorInterface.h"

#include "controller/StringTable.h"
#include "machine/Machine.h"
#include "ui/HomingView.h"
#include "ui/MachineViewFactory.h"
#include "ui/MainFrame.h"
#include "ui/ModalDialogs.h"
#include "ui/StatusDisplay.h"
#include "ui/TextView.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

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
    ModalDialogs().Inform(&frame_, kMessageCaption, BoxText(id, detail), BoxIcon::Warning);
}

bool QtOperatorInterface::AskYesNo(int id, const std::string& detail) {
    // The framework's box has Cancel too; only Yes agrees.
    return ModalDialogs().AskYesNoCancel(&frame_, kMessageCaption, BoxText(id, detail)) ==
           BoxAnswer::Yes;
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
    const auto path = ModalDialogs().ChooseOpenFile(&frame_, QString::fromStdString(title),
                                                    FilterString(filters));
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

QWidget* QtOperatorInterface::CreateView(ViewKind view) {
    switch (view) {
    case ViewKind::HomingView:
        return new HomingView;
    case ViewKind::StatusDisplay:
        return new CStatusDisplay;
    case ViewKind::ProgramView:
    case ViewKind::MdiPanel:
        return CreateMachineViewWidget(view);
    }
    return nullptr;
}

bool QtOperatorInterface::OpenView(ViewKind view) {
    if (ViewWindow(view) != nullptr)
        return true;
    QWidget* widget = CreateView(view);
    if (widget == nullptr)
        return false;
    QMdiSubWindow* window = frame_.MdiArea()->addSubWindow(widget);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setObjectName(QString("view%1").arg(static_cast<int>(view)));
    if (view == ViewKind::MdiPanel) {
        window->adjustSize(); // a fixed form: the window fits it
    } else if (!widget->sizeHint().isValid()) {
        const QSize area = frame_.MdiArea()->size();
        window->resize(std::max(area.width() / 2, 320), std::max(area.height() / 2, 200));
    }
    windows_[view] = OpenWindow{
        window, QObject::connect(window, &QObject::destroyed, [=, this] { Forget(view, window); })};
    openOrder_.push_back(view);
    RetitleViews();
    window->show();
    return true;
}

// The operator closed the window (or the main window is going): forget it. The document has
// been told by the view's own destructor, whichever view it was.
void QtOperatorInterface::Forget(ViewKind view, QMdiSubWindow* window) {
    const auto it = windows_.find(view);
    if (it == windows_.end() || it->second.window != window)
        return;
    windows_.erase(it);
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), view), openOrder_.end());
    RetitleViews();
}

void QtOperatorInterface::Destroy(OpenWindow& open) {
    QObject::disconnect(open.onDestroyed);
    delete open.window.data();
}

void QtOperatorInterface::CloseView(ViewKind view) {
    const auto it = windows_.find(view);
    if (it == windows_.end())
        return;
    OpenWindow open = it->second;
    windows_.erase(it);
    openOrder_.erase(std::remove(openOrder_.begin(), openOrder_.end(), view), openOrder_.end());
    Destroy(open);
    RetitleViews();
}

void QtOperatorInterface::CloseAllViews() {
    while (!openOrder_.empty()) {
        const ViewKind view = openOrder_.back();
        OpenWindow open = windows_[view];
        // Closed as the operator would close it, so the document hears of each.
        Forget(view, open.window.data());
        Destroy(open);
    }
}

void QtOperatorInterface::ClearView(ViewKind view) {
    if (CTextView* text = TextView(view))
        text->Clear();
}

void QtOperatorInterface::AppendToView(ViewKind view, const std::string& text) {
    if (CTextView* target = TextView(view))
        target->Append(text);
}

QMdiSubWindow* QtOperatorInterface::ViewWindow(ViewKind view) const {
    const auto it = windows_.find(view);
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
    const bool numbered = openOrder_.size() > 1;
    int number = 0;
    for (ViewKind view : openOrder_) {
        QMdiSubWindow* window = ViewWindow(view);
        if (window == nullptr)
            continue;
        ++number;
        CMainFrame::SetDocument(window, DocumentKind::Machine, title);
        window->setWindowTitle(numbered ? title + ":" + QString::number(number) : title);
    }
    frame_.UpdateTitle();
}

} // namespace morvik
