// The part program documents of the station: every CPart with its editor windows in the main
// window's document area. The application calls it for File > New and File > Open, for files
// dropped on the main window or named to be opened, and before the main window closes; the
// editor views call it for the document commands of their window (Close, Save, Save As,
// Window > New Window, File > Load, Print Setup).
//
// Closing the last window of a modified part asks "Save changes to %1?" (Yes saves, and a
// failed or cancelled save keeps the window; No discards; Cancel keeps it). A part lives as
// long as it has a window.
#pragma once

#include "ui/Part.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMdiArea;
class QMdiSubWindow;
class QPrinter;

namespace morvik {

class CPartView;
class MachineOperation;
enum class LoadResult;

class CPartDocuments : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kSaveChangesPrompt = "Save changes to %1?";
    static constexpr const char* kOpenTitle = "Open";
    static constexpr const char* kSaveAsTitle = "Save As";
    // Asked before a file read as Latin-1 is written as UTF-8 (Yes) or left unsaved.
    static constexpr const char* kChangeEncodingPrompt =
        "%1 was read in the Latin-1 encoding, which cannot hold every character it now "
        "contains.\nSave it in the UTF-8 encoding instead?";
    // The open and save dialogs' filters, in Qt's form ("All Files (*.*)" matches every file).
    static constexpr const char* kFilters = "Part Files (*.prt);;All Files (*)";

    // The machine's operations when there is a machine document, else null; asked at each
    // File > Load.
    using OperationSource = std::function<MachineOperation*()>;

    // Windows open in area; dialogs and boxes are owned by dialogParent (the main window).
    explicit CPartDocuments(QMdiArea& area, QWidget* dialogParent = nullptr);
    ~CPartDocuments() override;
    CPartDocuments(const CPartDocuments&) = delete;
    CPartDocuments& operator=(const CPartDocuments&) = delete;

    void SetOperationSource(OperationSource source) { operation_ = std::move(source); }

    // ---- Application commands ----
    // File > New: an empty, untitled part program "PartN" in a new window.
    CPartView* New();
    // File > Open: the open dialog, then OpenFile. Null when cancelled or not opened.
    CPartView* Open();
    // Opens path as a part program whatever its extension. A file that is open already has
    // its window activated instead. A file that cannot be read shows "Failed to open
    // document." and gives null.
    CPartView* OpenFile(const QString& path);
    // A recovery copy's text in a new window, modified, with the recorded path (empty: an
    // untitled part, under its recorded title when that is a free "PartN", else the next
    // one), read in the recorded encoding (CPart::Recovery; empty: as a file is read). Null
    // when the text does not fit the editor.
    CPartView* Restore(const QByteArray& bytes, const QString& path,
                       const QString& encoding = QString(),
                       const QString& recordedTitle = QString());
    // Before the main window closes: each modified part is offered for saving; false when the
    // operator cancelled (nothing has been closed then).
    bool SaveAllModified();
    // Every part program window closed without asking.
    void CloseAll();

    // ---- Document commands (from the active editor view) ----
    // To the part's path, or through Save As while it has none. True when written.
    bool Save(CPart& part);
    // The save dialog (suggesting the path, or the title with ".prt"); a name typed without an
    // extension gets ".prt" inside the dialog, so its replace question covers the final name.
    // False when cancelled or not written (path and title unchanged).
    bool SaveAs(CPart& part);
    // Offers a modified part for saving, then closes all its windows; false when kept.
    bool Close(CPart& part);
    // "Save changes to %1?" for a modified part; true when the part may be closed.
    bool SaveModified(CPart& part);
    // Window > New Window: another editor window on the same text.
    CPartView* NewWindow(CPartView& view);
    // File > Load from an editor window: the editor's lines (each cut to 128 characters) sent
    // to the card with the part's path as the part path; the file on disk is not read and the
    // modified flag stays as it is. Nothing without a machine document.
    std::optional<LoadResult> Load(CPartView& view);
    // File > Print Setup: the page setup of the printer every part is printed on.
    void PrintSetup();
    QPrinter& Printer();

    // The command-table forms of the above, as CPartView dispatches them.
    void CloseCommand(CPartView& view);
    void SaveCommand(CPartView& view);
    void SaveAsCommand(CPartView& view);
    void NewWindowCommand(CPartView& view);
    void LoadCommand(CPartView& view);
    void PrintSetupCommand(CPartView& view);

    // ---- Queries ----
    std::vector<CPart*> Parts() const;
    std::vector<CPartView*> Views(const CPart& part) const;
    // The active window's editor view, or null when the active window is not a part program's.
    CPartView* ActiveView() const;
    static QMdiSubWindow* WindowOf(const CPartView& view);

signals:
    // A part's title changed or a window came or went; the main window's title may follow.
    void WindowsChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int UntitledNumber(const QString& title);
    QString RestoredTitle(const QString& path, const QString& recorded);
    // The views are live: each is forgotten when it is destroyed.
    struct Entry {
        std::unique_ptr<CPart> part;
        std::vector<CPartView*> views;
    };

    CPart& Adopt(std::unique_ptr<CPart> part);
    CPartView* AddWindow(CPart& part);
    void Forget(const CPartView* view);
    void Retitle(const CPart& part);
    Entry* EntryOf(const CPart& part);
    const Entry* EntryOf(const CPart& part) const;
    CPartView* Find(const QString& path) const;
    void Report(const QString& text) const;
    // Asks before a Latin-1 file changes encoding; reports a failure.
    bool WriteTo(CPart& part, const QString& path);

    QMdiArea& area_;
    QWidget* dialogParent_;
    OperationSource operation_;
    std::vector<Entry> entries_;
    std::unique_ptr<QPrinter> printer_;
    int untitledCount_ = 0;
    bool closingQuietly_ = false;
};

} // namespace morvik
