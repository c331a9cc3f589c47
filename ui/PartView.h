// The editor window of a part program (CPart): a plain-text editor holding at most 1,048,575
// characters, with Undo, Cut, Copy, Paste, Find, Find Next and Replace, printing in the
// editor's font, and the part program commands of its window's menu. Every view of one part
// shows and edits the part's one text, so a second window (Window > New Window) is a second
// look at the same program.
//
// The view is the first party on the command routing path while its window is active
// (ui/CommandTarget.h): it handles the edit and print commands itself and hands the document
// commands (Close, Save, Save As, New Window, Load) to the CPartDocuments that made it.
#pragma once

#include "operation/CommandIds.h"
#include "ui/CommandTarget.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>

#include <string>
#include <vector>

class QDialog;
class QPrinter;

namespace morvik {

class CPart;
class CPartDocuments;
class CGCodeHighlighter;
class CFindDialog;

// What Find, Find Next and Replace look for; kept by the view so Find Next repeats it.
struct FindRequest {
    QString what;
    QString replaceWith;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

class CPartView : public QPlainTextEdit, public ICommandTarget {
    Q_OBJECT

public:
    // documents may be null (a view on its own, as tests and the benchmark make one).
    CPartView(CPart& part, CPartDocuments* documents, QWidget* parent = nullptr);
    ~CPartView() override;

    CPart& Part() const { return part_; }

    // The editor's lines for File > Load, in order and whole; none when the editor is empty.
    // Nothing is cut here: a line longer than the card takes must reach the load's check, which
    // refuses it with the line named, instead of a block that silently lost its last words.
    std::vector<std::string> Lines() const;
    // The same one at a time (0-based).
    int LineCount() const;
    std::string Line(int n) const;

    // The line the card is executing (1-based), shown with a tinted background while this
    // window's file is the loaded program; 0 marks none. The toolpath preview sets it.
    void SetRunningLine(int line);
    int RunningLine() const { return runningLine_; }

    // ---- Find and Replace ----
    // Selects the next match from the cursor (wrapping round once); false when there is none.
    bool FindNext(const FindRequest& request);
    // Replaces the selection when it is a match, then finds the next one.
    bool ReplaceNext(const FindRequest& request);
    // Every match replaced as one undo step; the number replaced.
    int ReplaceAll(const FindRequest& request);
    const FindRequest& LastFind() const { return lastFind_; }

    // The non-modal Find and Replace boxes (Edit > Find, Edit > Replace), seeded with the
    // selection.
    void ShowFindDialog(bool replace);
    // The open Find or Replace box, or null.
    QDialog* FindDialog() const;

    // ---- Printing ----
    // The text page by page in the editor's font.
    void PrintTo(QPrinter& printer);
    // File > Print and File > Print Preview: the platform's dialogs on the shared printer.
    void Print();
    void PrintPreview();

    // ---- Commands of the part program window ----
    bool Handles(int id) const override;
    void Execute(int id) override;
    CommandState Update(int id) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int Room() const;
    QTextDocument::FindFlags Flags(const FindRequest& request) const;

    CPart& part_;
    CPartDocuments* documents_;
    QPointer<CFindDialog> findDialog_;
    FindRequest lastFind_;
    int runningLine_ = 0;
};

} // namespace morvik
