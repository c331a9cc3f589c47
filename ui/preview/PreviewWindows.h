// The toolpath preview windows of the station, made and kept by the application:
//   - the machine's preview: the loaded part program (the text the card holds), planned again
//     whenever a program is loaded, with the tool's cross and the part already run, and the
//     program's text beside the drawing with the running line marked;
//   - an editor's preview: the text of a part program window, planned again after a short
//     pause in typing, before anything is sent to the card; a refused block chosen in its list
//     puts the editor's cursor on that line.
// View > Toolpath opens or closes the preview that belongs to the active window: an editor's
// when a part program window or an editor's preview is active (this object takes the command
// then, as a party on the routing path), else the machine's, which is a machine window of the
// window table (ui/MachineViewFactory.h): the operator interface opens and closes it, and hands
// it here (Adopt) to be planned and fed. On each tick the main window
// hands the preview a feed (ToolpathFeed.h); part program windows that hold the loaded text
// (CLoadedTextMatch: wherever it came from, and not once edited) mark the running line from
// it, and their previews draw the part already run. Paths start where the tool stands, in the
// card's modes (the work zero and the power-on modes while the tick has not told them); the loaded
// program is planned again when either changed before its run began.
#pragma once

#include "ui/CommandTarget.h"
#include "ui/preview/PreviewSetup.h"
#include "ui/preview/ToolpathFeed.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QTimer;

namespace morvik {

class CMachine;
class CPart;
class CPartDocuments;

namespace preview {

class CLoadedTextMatch;
class CToolpathPlanner;
class CToolpathWindow;

class CPreviewWindows : public QObject, public ICommandTarget {
    Q_OBJECT

public:
    // How long typing must pause before an editor's preview follows it.
    static constexpr int kEditPauseMs = 400;
    static constexpr const char* kTitleSuffix = " - Toolpath";

    CPreviewWindows(QMdiArea& area, CPartDocuments& parts, QObject* parent = nullptr);
    ~CPreviewWindows() override;

    // The machine document, or null while there is none; asked whenever one is needed.
    void SetMachineSource(std::function<CMachine*()> source) { machine_ = std::move(source); }

    // ---- View > Toolpath ----
    // The command while an editor's window or its preview is active.
    bool Handles(int id) const override;
    void Execute(int id) override;
    CommandState Update(int id) const override;
    // A window the operator interface opened: when it shows a toolpath, it is the machine's
    // preview, planned and fed from now on.
    void Adopt(QMdiSubWindow& window);
    void ToggleEditorPreview(CPart& part);
    CToolpathWindow* MachinePreview() const;
    CToolpathWindow* EditorPreview(const CPart& part) const;
    void CloseAll();

    // ---- The tick ----
    // Whether the tick needs to read the tool (a preview is open) or the progress (a preview
    // or a window holding the loaded text is open).
    bool WantsTool() const;
    bool WantsProgress() const;
    void Tick(const CToolpathFeed& feed);

    // Edits still waiting for their pause are planned now (the pause has passed; tests).
    void FlushEdits();
    // Joins every planning thread and delivers what they planned (tests).
    void WaitForPlans();

private:
    struct Editor {
        QPointer<CPart> part;
        QPointer<QMdiSubWindow> window;
        QMdiSubWindow* raw = nullptr;
        CToolpathWindow* widget = nullptr;
        std::unique_ptr<CToolpathPlanner> planner;
        QTimer* pause = nullptr;
    };

    QMdiSubWindow* AddWindow(CToolpathWindow* widget, const QString& title);
    // The window's caption and the document title the main window's caption takes from it.
    static void Title(QMdiSubWindow& window, const QString& title);
    void PlanMachineProgram(bool setupChanged = false);
    void PlanEditor(Editor& editor);
    void ShowLine(const CPart& part, std::uint32_t line);
    void MarkRunningLine(std::uint32_t line);
    // The text the card holds, or null while nothing is loaded.
    std::shared_ptr<const std::string> LoadedText() const;
    // Whether part's window holds the loaded text.
    bool Holds(CPart& part) const;
    Editor* EditorOf(const CPart& part) const;
    Editor* EditorOfWindow(const QMdiSubWindow* window) const;
    CPart* ActivePart() const;
    void Forget(QObject* window);
    CPreviewSetup SetupNow() const;

    QMdiArea& area_;
    CPartDocuments& parts_;
    std::function<CMachine*()> machine_;
    CLoadedTextMatch* loadedMatch_; // a child
    QPointer<QMdiSubWindow> machineWindow_;
    CToolpathWindow* machineWidget_ = nullptr;
    std::unique_ptr<CToolpathPlanner> machinePlanner_;
    QMdiSubWindow* machineRaw_ = nullptr; // to recognise the window as it is destroyed
    // The loaded text last planned (null: none was loaded); empty until the window's first look.
    std::optional<std::shared_ptr<const std::string>> plannedText_;
    // Where the plan of the loaded text started: the tool and the card's modes.
    struct StartKey {
        std::optional<std::array<double, 3>> tool;
        std::optional<CardModes> modes;
    };
    StartKey plannedStart_;
    std::optional<std::array<double, 3>> previousTool_; // the tool on the tick before
    // The machine's setup the plans were made with: a change (Set work zero, a tool length,
    // a soft limit) plans every preview again.
    std::optional<CPreviewSetup> plannedSetup_;
    bool SetupChanged();
    void ShowHomeViews();
    std::vector<std::unique_ptr<Editor>> editors_;
    CToolpathFeed lastFeed_;
};

} // namespace preview
} // namespace morvik
