// The station's one top-level window: the document windows in a multiple-document area, the
// toolbar along the top, the status bar along the bottom and the control panel fixed along
// the left edge. It finds the settings file (morvik.ini), restores its placement from it and
// saves it again as it is destroyed, and owns the 100 ms timer that drives the periodic work.
//
// The application (MorvikApp) creates it, fills its menus and toolbar from the command table,
// tells it what a tick does (SetTickHandler) and what closing means (SetCloseHandler), and
// starts the periodic work once the window is shown. The frame itself knows nothing of the
// machine.
#pragma once

#include "settings/AppSettings.h"

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QToolBar;

namespace morvik {

class ControlPanel;

// The two kinds of document a document window can show.
enum class DocumentKind { Machine, PartProgram };

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kTimerId = 100;
    static constexpr int kTimerPeriodMs = 100;
    // The bars keep the numbers of the commands that show and hide them.
    static constexpr int kToolBarId = 59392;
    static constexpr int kStatusBarId = 59393;
    static constexpr int kControlPanelId = 5432;
    static constexpr const char* kTitle = "Morvik Program";
    static constexpr const char* kReady = "Ready";
    static constexpr const char* kSettingsFileName = "morvik.ini";

    explicit CMainFrame(QWidget* parent = nullptr);
    // Saves the placement (not while minimised; the controller identifier always).
    ~CMainFrame() override;

    // Window creation: settings file, placement, toolbar, status bar, control panel, in that
    // order. False when one of the bars could not be made; the application then gives up.
    bool Create();

    // What the status bar's message pane shows while no menu prompt stands: "Ready" until
    // told otherwise (the tick says whether the machine is).
    void SetIdleMessage(const QString& text);

    // The settings file under configFolder (the XDG config folder): configFolder/Kelv/Morvik/
    // morvik.ini, creating both folders (failures ignored). An empty configFolder gives the
    // bare name, which then lies in the current folder.
    static std::string SettingsFilePath(const QString& configFolder);
    // The same under the user's XDG config folder (XDG_CONFIG_HOME, else ~/.config).
    static std::string SettingsFilePath();

    AppSettings& Settings() { return settings_; }
    QMdiArea* MdiArea() const { return mdiArea_; }
    QToolBar* ToolBar() const { return toolBar_; }
    ControlPanel* Panel() const { return panel_; }
    QDockWidget* PanelBar() const { return panelBar_; }

    // What every tick of the timer does (the application runs the status cycle and refreshes
    // the panel); what closing the window means (the application asks about unsaved documents
    // and closes them; false keeps the window open).
    void SetTickHandler(std::function<void()> handler) { tick_ = std::move(handler); }
    void SetCloseHandler(std::function<bool()> handler) { canClose_ = std::move(handler); }
    // Files dropped on the window, each as a local path.
    void SetDropHandler(std::function<void(const QString&)> handler) { drop_ = std::move(handler); }

    // Called by start-up once the window is shown: the panel's first fill, then the timer.
    void StartPeriodicWork();
    // One tick, whatever timer fired it; tests call it directly instead of waiting.
    void TimerTick();
    QTimer& PeriodicTimer() { return timer_; }

    // ---- The main window's own commands ----
    void ToggleToolBar();
    void ToggleStatusBar();
    bool ToolBarShown() const;
    bool StatusBarShown() const;
    void Cascade();
    void Tile();
    // Minimised document windows in a row along the bottom of the document area.
    void ArrangeIcons();

    // Which document a document window shows and its title (set by whoever opens the window);
    // the main window's title follows the active one, the menus its kind.
    static void SetDocument(QMdiSubWindow* window, DocumentKind kind, const QString& title);
    static QString DocumentTitle(const QMdiSubWindow* window);
    static DocumentKind KindOf(const QMdiSubWindow* window);
    // The active document window, or null.
    QMdiSubWindow* ActiveWindow() const;
    void UpdateTitle();

    // The status bar's key lock panes; they show their text while the lock is on.
    void UpdateKeyIndicators();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString idleMessage_ = kReady;
    bool CreateToolBar();
    bool CreateStatusBar();
    bool CreateControlPanel();
    void RestorePlacement();
    void SavePlacement();
    void ShowIdleMessage(const QString& message);

    AppSettings settings_;
    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QDockWidget* panelBar_ = nullptr;
    ControlPanel* panel_ = nullptr;
    QLabel* lockPanes_[3] = {};
    QTimer timer_;
    std::function<void()> tick_;
    std::function<bool()> canClose_;
    std::function<void(const QString&)> drop_;
    bool created_ = false;
};

} // namespace morvik
