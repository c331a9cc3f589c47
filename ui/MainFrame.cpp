#include "ui/MainFrame.h"

#include "ui/ControlPanel.h"
#include "ui/KeyLocks.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace morvik {

namespace {

constexpr const char* kDocumentTitleProperty = "morvikDocumentTitle";
constexpr const char* kDocumentKindProperty = "morvikDocumentKind";

struct LockPane {
    KeyLock lock;
    const char* text;
};
constexpr LockPane kLockPanes[] = {
    {KeyLock::Caps, "CAP"},
    {KeyLock::Num, "NUM"},
    {KeyLock::Scroll, "SCRL"},
};

} // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(kTitle);
    setAcceptDrops(true);
    timer_.setInterval(kTimerPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &CMainFrame::TimerTick);
    // The lock panes follow the lock keys pressed in any of the station's windows.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    timer_.stop();
    if (created_)
        SavePlacement();
}

bool CMainFrame::Create() {
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setObjectName("mdiArea");
    setCentralWidget(mdiArea_);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::UpdateTitle);

    settings_.SetPath(SettingsFilePath());
    RestorePlacement();
    if (!CreateToolBar() || !CreateStatusBar() || !CreateControlPanel())
        return false;
    created_ = true;
    return true;
}

std::string CMainFrame::SettingsFilePath(const QString& configFolder) {
    if (configFolder.isEmpty())
        return kSettingsFileName;
    QDir folder(configFolder);
    // Made with every missing parent (a new account may have no config folder yet); a failure
    // shows only in the file not being saved later.
    folder.mkpath("Kelv/Morvik");
    return QDir::cleanPath(folder.filePath(QString("Kelv/Morvik/") + kSettingsFileName))
        .toStdString();
}

std::string CMainFrame::SettingsFilePath() {
    return SettingsFilePath(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

void CMainFrame::RestorePlacement() {
    const Rect placement = settings_.RestoreWindowPlacement();
    // The frame's top-left corner and the size of its contents, as they are saved.
    move(placement.x, placement.y);
    resize(placement.width, placement.height);
}

void CMainFrame::SavePlacement() {
    // Nothing of the placement is written while minimised: the last one saved stays.
    std::optional<Rect> placement;
    if (!isMinimized()) {
        // A maximised or full-screen window keeps the placement it returns to.
        const bool normal = !isMaximized() && !isFullScreen();
        const QPoint corner = normal ? pos() : normalGeometry().topLeft();
        const QSize size = normal ? this->size() : normalGeometry().size();
        placement = Rect{corner.x(), corner.y(), size.width(), size.height()};
    }
    settings_.SaveWindowPlacement(placement);
}

bool CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QString("bar%1").arg(kToolBarId));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setAllowedAreas(Qt::TopToolBarArea);
    toolBar_->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    return true;
}

bool CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString("bar%1").arg(kStatusBarId));
    bar->setSizeGripEnabled(true);
    // The message pane shows a highlighted menu item's prompt, and the idle message otherwise.
    connect(bar, &QStatusBar::messageChanged, this, &CMainFrame::ShowIdleMessage);
    for (std::size_t i = 0; i < std::size(kLockPanes); ++i) {
        QLabel* pane = new QLabel(bar);
        pane->setObjectName(QString("pane") + kLockPanes[i].text);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(kLockPanes[i].text) + 8);
        bar->addPermanentWidget(pane);
        lockPanes_[i] = pane;
    }
    bar->showMessage(kReady);
    UpdateKeyIndicators();
    return true;
}

bool CMainFrame::CreateControlPanel() {
    panelBar_ = new QDockWidget(this);
    panelBar_->setObjectName(QString("bar%1").arg(kControlPanelId));
    // Fixed in place: no title bar to drag by, no close button, no floating.
    panelBar_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    panelBar_->setAllowedAreas(Qt::LeftDockWidgetArea);
    panelBar_->setTitleBarWidget(new QWidget(panelBar_));
    panelBar_->toggleViewAction()->setVisible(false);
    panel_ = new ControlPanel(panelBar_);
    panelBar_->setWidget(panel_);
    addDockWidget(Qt::LeftDockWidgetArea, panelBar_);
    return true;
}

void CMainFrame::ShowIdleMessage(const QString& message) {
    if (message.isEmpty())
        statusBar()->showMessage(idleMessage_);
}

void CMainFrame::SetIdleMessage(const QString& text) {
    if (text == idleMessage_)
        return;
    const bool idle = statusBar()->currentMessage() == idleMessage_;
    idleMessage_ = text;
    if (idle)
        statusBar()->showMessage(idleMessage_);
}

void CMainFrame::StartPeriodicWork() {
    panel_->FirstFill();
    timer_.start();
}

void CMainFrame::TimerTick() {
    if (tick_)
        tick_();
}

void CMainFrame::ToggleToolBar() {
    toolBar_->setVisible(!ToolBarShown());
}

void CMainFrame::ToggleStatusBar() {
    statusBar()->setVisible(!StatusBarShown());
}

bool CMainFrame::ToolBarShown() const {
    return !toolBar_->isHidden();
}

bool CMainFrame::StatusBarShown() const {
    return !statusBar()->isHidden();
}

void CMainFrame::Cascade() {
    mdiArea_->cascadeSubWindows();
}

void CMainFrame::Tile() {
    mdiArea_->tileSubWindows();
}

void CMainFrame::ArrangeIcons() {
    int x = 0;
    const int bottom = mdiArea_->viewport()->height();
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        window->move(x, bottom - window->height());
        x += window->width();
    }
}

void CMainFrame::SetDocument(QMdiSubWindow* window, DocumentKind kind, const QString& title) {
    window->setProperty(kDocumentKindProperty, static_cast<int>(kind));
    window->setProperty(kDocumentTitleProperty, title);
}

DocumentKind CMainFrame::KindOf(const QMdiSubWindow* window) {
    return static_cast<DocumentKind>(window->property(kDocumentKindProperty).toInt());
}

QMdiSubWindow* CMainFrame::ActiveWindow() const {
    return mdiArea_ != nullptr ? mdiArea_->activeSubWindow() : nullptr;
}

QString CMainFrame::DocumentTitle(const QMdiSubWindow* window) {
    return window->property(kDocumentTitleProperty).toString();
}

void CMainFrame::UpdateTitle() {
    QMdiSubWindow* active = ActiveWindow();
    QString title = kTitle;
    if (active != nullptr)
        title += " - " + DocumentTitle(active) + "[*]";
    setWindowTitle(title);
    // The active document's mark of unsaved changes, as its own window shows it.
    setWindowModified(active != nullptr && active->isWindowModified());
}

void CMainFrame::UpdateKeyIndicators() {
    for (std::size_t i = 0; i < std::size(kLockPanes); ++i) {
        if (lockPanes_[i] != nullptr)
            lockPanes_[i]->setText(KeyLockOn(kLockPanes[i].lock) ? kLockPanes[i].text : "");
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateKeyIndicators();
    } else if (event->type() == QEvent::WindowActivate && watched == this) {
        UpdateKeyIndicators(); // a lock may have changed while another program had the keys
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (canClose_ && !canClose_()) {
        event->ignore();
        return;
    }
    timer_.stop();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile() && drop_)
            drop_(url.toLocalFile());
    }
    event->acceptProposedAction();
}

} // namespace morvik
