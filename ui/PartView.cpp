#include "ui/PartView.h"

#include "ui/GCodeHighlighter.h"
#include "ui/Part.h"
#include "ui/PartDocuments.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace morvik {

// The non-modal Find and Replace box of an editor window; it only collects the request and
// asks the view to act, so everything it does is the view's FindNext/ReplaceNext/ReplaceAll.
// A search that finds nothing says so on the box's own status line (a beep alone is easily
// missed, or not heard at all on a shop floor). It opens with the remembered text selected,
// so typing replaces it and Enter searches for it again.
class CFindDialog : public QDialog {
public:
    CFindDialog(CPartView& view, bool replace) : QDialog(&view), view_(view) {
        setWindowTitle(replace ? "Replace" : "Find");
        setAttribute(Qt::WA_DeleteOnClose);
        what_->setObjectName("what");
        status_->setObjectName("status");
        auto* grid = new QGridLayout(this);
        AddLabeled(grid, 0, "Fi&nd what:", what_);
        if (replace) {
            AddLabeled(grid, 1, "Re&place with:", with_);
        } else {
            with_->hide();
            grid->addWidget(up_, 1, 0);
            grid->addWidget(down_, 1, 1);
            down_->setChecked(true);
        }
        grid->addWidget(wholeWord_, 2, 0, 1, 2);
        grid->addWidget(matchCase_, 3, 0, 1, 2);
        grid->addWidget(status_, 4, 0, 1, 3);
        AddButton(grid, 0, "&Find Next", [this] { Report(view_.FindNext(Request())); });
        if (replace) {
            AddButton(grid, 1, "&Replace", [this] { Report(view_.ReplaceNext(Request())); });
            AddButton(grid, 2, "Replace &All", [this] { ReportReplaced(); });
        }
        AddButton(grid, 3, "Cancel", [this] { close(); });
        what_->setText(view.LastFind().what);
        what_->selectAll();
        matchCase_->setChecked(view.LastFind().matchCase);
        wholeWord_->setChecked(view.LastFind().wholeWord);
    }

private:
    // A label whose mnemonic moves the focus to its field (and so shows no "&").
    void AddLabeled(QGridLayout* grid, int row, const char* text, QLineEdit* field) {
        auto* label = new QLabel(text);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
    }
    template <typename Action>
    void AddButton(QGridLayout* grid, int row, const char* text, Action action) {
        auto* button = new QPushButton(text);
        grid->addWidget(button, row, 2);
        connect(button, &QPushButton::clicked, this, action);
    }
    FindRequest Request() const {
        return FindRequest{what_->text(), with_->text(), matchCase_->isChecked(),
                           wholeWord_->isChecked(), !up_->isChecked()};
    }
    QString NotFound() const { return QString("\"%1\" not found").arg(what_->text()); }
    void Report(bool found) {
        status_->setText(found || what_->text().isEmpty() ? QString() : NotFound());
    }
    void ReportReplaced() {
        const int count = view_.ReplaceAll(Request());
        if (count == 0)
            Report(false);
        else
            status_->setText(QString("%1 replaced").arg(count));
    }

    CPartView& view_;
    QLineEdit* what_ = new QLineEdit;
    QLineEdit* with_ = new QLineEdit;
    QLabel* status_ = new QLabel;
    QCheckBox* matchCase_ = new QCheckBox("Match &case");
    QCheckBox* wholeWord_ = new QCheckBox("Match &whole word only");
    QRadioButton* up_ = new QRadioButton("&Up");
    QRadioButton* down_ = new QRadioButton("&Down");
};

namespace {

using Handler = void (*)(CPartView&, CPartDocuments*);
using Rule = CommandState (*)(const CPartView&);

CommandState Always(const CPartView&) {
    return CommandState::Enabled(true);
}
CommandState HasSelection(const CPartView& v) {
    return CommandState::Enabled(v.textCursor().hasSelection());
}
CommandState HasText(const CPartView& v) {
    return CommandState::Enabled(!v.document()->isEmpty());
}

// A document command goes to the manager that made the view; a lone view has none.
template <void (CPartDocuments::*Command)(CPartView&)>
void ToDocuments(CPartView& view, CPartDocuments* documents) {
    if (documents != nullptr)
        (documents->*Command)(view);
}

struct CommandRow {
    int id;
    Handler handler;
    Rule rule;
};

const CommandRow kRows[] = {
    {Cmd::Close, ToDocuments<&CPartDocuments::CloseCommand>, Always},
    {Cmd::Save, ToDocuments<&CPartDocuments::SaveCommand>, Always},
    {Cmd::SaveAs, ToDocuments<&CPartDocuments::SaveAsCommand>, Always},
    {Cmd::NewWindow, ToDocuments<&CPartDocuments::NewWindowCommand>, Always},
    {Cmd::Load, ToDocuments<&CPartDocuments::LoadCommand>, Always},
    {Cmd::PrintSetup, ToDocuments<&CPartDocuments::PrintSetupCommand>, Always},
    {Cmd::Print, [](CPartView& v, CPartDocuments*) { v.Print(); }, Always},
    {Cmd::PrintPreview, [](CPartView& v, CPartDocuments*) { v.PrintPreview(); }, Always},
    {Cmd::Undo, [](CPartView& v, CPartDocuments*) { v.undo(); },
     [](const CPartView& v) { return CommandState::Enabled(v.document()->isUndoAvailable()); }},
    {Cmd::Cut, [](CPartView& v, CPartDocuments*) { v.cut(); }, HasSelection},
    {Cmd::Copy, [](CPartView& v, CPartDocuments*) { v.copy(); }, HasSelection},
    {Cmd::Paste, [](CPartView& v, CPartDocuments*) { v.paste(); },
     [](const CPartView& v) { return CommandState::Enabled(v.canPaste()); }},
    {Cmd::Find, [](CPartView& v, CPartDocuments*) { v.ShowFindDialog(false); }, HasText},
    {Cmd::FindNext, [](CPartView& v, CPartDocuments*) { v.FindNext(v.LastFind()); },
     [](const CPartView& v) { return CommandState::Enabled(!v.LastFind().what.isEmpty()); }},
    {Cmd::Replace, [](CPartView& v, CPartDocuments*) { v.ShowFindDialog(true); }, HasText},
};

const CommandRow* Row(int id) {
    const auto it = std::find_if(std::begin(kRows), std::end(kRows),
                                 [id](const CommandRow& row) { return row.id == id; });
    return it == std::end(kRows) ? nullptr : it;
}

} // namespace

CPartView::CPartView(CPart& part, CPartDocuments* documents, QWidget* parent)
    : QPlainTextEdit(parent), part_(part), documents_(documents) {
    setDocument(&part.Text());
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // One colouring per text, however many windows show it.
    if (part.Text().findChild<CGCodeHighlighter*>() == nullptr)
        new CGCodeHighlighter(&part.Text());
}

CPartView::~CPartView() = default;

std::vector<std::string> CPartView::Lines() const {
    std::vector<std::string> lines;
    const int count = LineCount();
    lines.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n)
        lines.push_back(Line(n));
    return lines;
}

int CPartView::LineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

std::string CPartView::Line(int n) const {
    return part_.EncodedLine(document()->findBlockByNumber(n).text());
}

// Characters that may still be typed or pasted over the current selection.
int CPartView::Room() const {
    const int used = document()->characterCount() - 1; // the final block end is not text
    const QTextCursor cursor = textCursor();
    return CPart::kMaxCharacters - used + (cursor.selectionEnd() - cursor.selectionStart());
}

void CPartView::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text[0] >= ' ' || text[0] == '\r' || text[0] == '\t');
    if (inserts && (event->modifiers() & Qt::ControlModifier) == 0 && text.size() > Room()) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool CPartView::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() || QPlainTextEdit::canInsertFromMimeData(source);
}

// Paste and text drops: as much as the limit leaves room for.
void CPartView::insertFromMimeData(const QMimeData* source) {
    QString text = source->text();
    const int room = std::max(Room(), 0);
    if (text.size() > room) {
        QApplication::beep();
        text.truncate(room);
    }
    if (!text.isEmpty() || textCursor().hasSelection())
        textCursor().insertText(text);
}

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

} // namespace

// Files dropped on an editor open as part programs, as they do when dropped on the main window;
// dragged text is edited in as usual.
void CPartView::dragEnterEvent(QDragEnterEvent* event) {
    if (documents_ != nullptr && !LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void CPartView::dropEvent(QDropEvent* event) {
    const QStringList files = LocalFiles(event->mimeData());
    if (documents_ == nullptr || files.isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    for (const QString& file : files)
        documents_->OpenFile(file);
}

QTextDocument::FindFlags CPartView::Flags(const FindRequest& request) const {
    QTextDocument::FindFlags flags;
    if (request.matchCase)
        flags |= QTextDocument::FindCaseSensitively;
    if (request.wholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (!request.down)
        flags |= QTextDocument::FindBackward;
    return flags;
}

bool CPartView::FindNext(const FindRequest& request) {
    lastFind_ = request;
    if (request.what.isEmpty())
        return false;
    const QTextDocument::FindFlags flags = Flags(request);
    QTextCursor found = document()->find(request.what, textCursor(), flags);
    if (found.isNull()) { // once round from the other end
        QTextCursor from(document());
        if (!request.down)
            from.movePosition(QTextCursor::End);
        found = document()->find(request.what, from, flags);
    }
    if (found.isNull()) {
        QApplication::beep();
        return false;
    }
    setTextCursor(found);
    return true;
}

bool CPartView::ReplaceNext(const FindRequest& request) {
    QTextCursor cursor = textCursor();
    const Qt::CaseSensitivity cs = request.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool onMatch = cursor.hasSelection() && !request.what.isEmpty() &&
                         cursor.selectedText().compare(request.what, cs) == 0;
    if (onMatch &&
        request.replaceWith.size() - request.what.size() <= Room() - cursor.selectedText().size()) {
        cursor.insertText(request.replaceWith);
        setTextCursor(cursor);
    }
    return FindNext(request);
}

int CPartView::ReplaceAll(const FindRequest& request) {
    lastFind_ = request;
    if (request.what.isEmpty())
        return 0;
    const QTextDocument::FindFlags flags = Flags(request) & ~QTextDocument::FindBackward;
    const int growth = static_cast<int>(request.replaceWith.size() - request.what.size());
    QTextCursor edit(document());
    edit.beginEditBlock();
    int count = 0;
    int used = document()->characterCount() - 1;
    for (QTextCursor found = document()->find(request.what, 0, flags); !found.isNull();
         found = document()->find(request.what, found, flags)) {
        if (used + growth > CPart::kMaxCharacters) {
            QApplication::beep();
            break;
        }
        found.insertText(request.replaceWith);
        used += growth;
        ++count;
    }
    edit.endEditBlock();
    return count;
}

void CPartView::ShowFindDialog(bool replace) {
    if (findDialog_ != nullptr)
        findDialog_->close();
    if (textCursor().hasSelection())
        lastFind_.what = textCursor().selectedText();
    findDialog_ = new CFindDialog(*this, replace);
    findDialog_->show();
}

QDialog* CPartView::FindDialog() const {
    return findDialog_.data();
}

void CPartView::PrintTo(QPrinter& printer) {
    // A copy laid out in the editor's font, so the pages look like the window.
    std::unique_ptr<QTextDocument> copy(document()->clone());
    copy->setDefaultFont(font());
    copy->print(&printer);
}

void CPartView::Print() {
    QPrinter local;
    QPrinter& printer = documents_ != nullptr ? documents_->Printer() : local;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer);
}

void CPartView::PrintPreview() {
    QPrinter local;
    QPrinter& printer = documents_ != nullptr ? documents_->Printer() : local;
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintTo(*target); });
    preview.exec();
}

bool CPartView::Handles(int id) const {
    return Row(id) != nullptr;
}

void CPartView::Execute(int id) {
    if (const CommandRow* row = Row(id))
        row->handler(*this, documents_);
}

CommandState CPartView::Update(int id) const {
    const CommandRow* row = Row(id);
    return row != nullptr ? row->rule(*this) : CommandState::Disabled();
}

void CPartView::SetRunningLine(int line) {
    if (line == runningLine_)
        return;
    runningLine_ = line;
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        QTextEdit::ExtraSelection mark;
        mark.format.setBackground(QColor(255, 236, 150));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.cursor = QTextCursor(block);
        marks.append(mark);
    }
    setExtraSelections(marks);
}

} // namespace morvik
