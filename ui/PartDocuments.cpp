#include "ui/PartDocuments.h"

#include "controller/StringTable.h"
#include "operation/MachineOperation.h"
#include "ui/MainFrame.h"
#include "ui/ModalDialogs.h"
#include "ui/PartView.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrinter>

#include <algorithm>

namespace morvik {

namespace {

// Two names for the same file compare equal once both are resolved.
QString Canonical(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

CPartDocuments::CPartDocuments(QMdiArea& area, QWidget* dialogParent)
    : area_(area), dialogParent_(dialogParent) {}

CPartDocuments::~CPartDocuments() {
    // The windows may outlive this object (the area goes later): they must not call back.
    for (Entry& entry : entries_) {
        for (CPartView* view : entry.views) {
            view->disconnect(this);
            if (QMdiSubWindow* window = WindowOf(*view))
                window->removeEventFilter(this);
            delete WindowOf(*view);
        }
    }
}

CPartView* CPartDocuments::New() {
    const QString title = QString(CPart::kDocumentName) + QString::number(++untitledCount_);
    return AddWindow(Adopt(std::make_unique<CPart>(title)));
}

CPartView* CPartDocuments::Open() {
    const auto path = ModalDialogs().ChooseOpenFile(dialogParent_, kOpenTitle, kFilters);
    return path ? OpenFile(*path) : nullptr;
}

CPartView* CPartDocuments::OpenFile(const QString& path) {
    if (CPartView* open = Find(path)) {
        area_.setActiveSubWindow(WindowOf(*open));
        return open;
    }
    auto part = std::make_unique<CPart>(QString());
    QString error;
    if (!part->Open(path, &error)) {
        Report(error);
        return nullptr;
    }
    return AddWindow(Adopt(std::move(part)));
}

// The number of an untitled part's name ("Part7": 7), 0 for any other name.
int CPartDocuments::UntitledNumber(const QString& title) {
    const QString prefix(CPart::kDocumentName);
    if (!title.startsWith(prefix))
        return 0;
    bool ok = false;
    const int number = title.mid(prefix.size()).toInt(&ok);
    return ok && number > 0 && QString::number(number) == title.mid(prefix.size()) ? number : 0;
}

// An untitled part comes back under the name it had, unless a window here has that name
// already, and later new parts are numbered after it; a part with a file is named after its
// file and takes no number.
QString CPartDocuments::RestoredTitle(const QString& path, const QString& recorded) {
    if (!path.isEmpty())
        return QString();
    const int number = UntitledNumber(recorded);
    const bool taken = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.part->Path().isEmpty() && entry.part->Title() == recorded;
    });
    if (number == 0 || taken)
        return QString(CPart::kDocumentName) + QString::number(++untitledCount_);
    untitledCount_ = std::max(untitledCount_, number);
    return recorded;
}

CPartView* CPartDocuments::Restore(const QByteArray& bytes, const QString& path,
                                   const QString& encoding, const QString& recordedTitle) {
    const QString title = RestoredTitle(path, recordedTitle);
    auto part = std::make_unique<CPart>(title);
    if (!part->Restore(bytes, path, title, encoding))
        return nullptr;
    return AddWindow(Adopt(std::move(part)));
}

CPartView* CPartDocuments::Find(const QString& path) const {
    const QString wanted = Canonical(path);
    for (const Entry& entry : entries_) {
        if (!entry.part->Path().isEmpty() && Canonical(entry.part->Path()) == wanted &&
            !entry.views.empty())
            return entry.views.front();
    }
    return nullptr;
}

CPart& CPartDocuments::Adopt(std::unique_ptr<CPart> owned) {
    CPart& part = *owned;
    entries_.push_back(Entry{std::move(owned), {}});
    connect(&part, &CPart::TitleChanged, this, [this, &part] { Retitle(part); });
    connect(&part, &CPart::ModifiedChanged, this, [this, &part] { Retitle(part); });
    return part;
}

CPartView* CPartDocuments::AddWindow(CPart& part) {
    auto* view = new CPartView(part, this);
    QMdiSubWindow* window = area_.addSubWindow(view);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    EntryOf(part)->views.push_back(view);
    // By the time destroyed() is sent the view is a bare QObject: the pointer is only compared.
    connect(view, &QObject::destroyed, this, [this, view] { Forget(view); });
    Retitle(part);
    window->show();
    area_.setActiveSubWindow(window);
    view->setFocus();
    return view;
}

// A window's view is gone: the part forgets it, and a part without windows is closed.
void CPartDocuments::Forget(const CPartView* view) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        auto& views = it->views;
        const auto gone = std::find(views.begin(), views.end(), view);
        if (gone == views.end())
            continue;
        views.erase(gone);
        if (views.empty())
            entries_.erase(it);
        else
            Retitle(*it->part);
        break;
    }
    emit WindowsChanged();
}

// "Part1" with one window; "Part1:1", "Part1:2" with several.
void CPartDocuments::Retitle(const CPart& part) {
    const Entry* entry = EntryOf(part);
    if (entry == nullptr)
        return;
    const bool numbered = entry->views.size() > 1;
    int number = 0;
    for (const CPartView* view : entry->views) {
        QMdiSubWindow* window = WindowOf(*view);
        if (window == nullptr)
            continue;
        ++number;
        CMainFrame::SetDocument(window, DocumentKind::PartProgram, part.Title());
        // Unsaved changes show as the desktop shows them: "Part1*".
        window->setWindowTitle(
            (numbered ? part.Title() + ":" + QString::number(number) : part.Title()) + "[*]");
        window->setWindowModified(part.IsModified());
    }
    emit WindowsChanged();
}

bool CPartDocuments::Save(CPart& part) {
    if (part.Path().isEmpty())
        return SaveAs(part);
    return WriteTo(part, part.Path());
}

bool CPartDocuments::WriteTo(CPart& part, const QString& path) {
    if (part.NeedsEncodingChange()) {
        const QString question = QString(kChangeEncodingPrompt).arg(part.Title());
        if (ModalDialogs().AskYesNoCancel(dialogParent_, kMessageCaption, question) !=
            BoxAnswer::Yes)
            return false;
        part.ChangeEncodingToUtf8();
    }
    QString error;
    if (part.SaveTo(path, &error))
        return true;
    Report(error);
    return false;
}

bool CPartDocuments::SaveAs(CPart& part) {
    const QString suggested =
        part.Path().isEmpty() ? part.Title() + CPart::kExtension : part.Path();
    const auto chosen =
        ModalDialogs().ChooseSaveFile(dialogParent_, kSaveAsTitle, kFilters, suggested);
    // The dialog has added ".prt" to a name typed without an extension (MakeSaveDialog), so
    // that it asked about replacing the file that is written here.
    if (!chosen)
        return false;
    return WriteTo(part, *chosen);
}

bool CPartDocuments::SaveModified(CPart& part) {
    if (!part.IsModified())
        return true;
    const QString prompt = QString(kSaveChangesPrompt).arg(part.Title());
    switch (ModalDialogs().AskYesNoCancel(dialogParent_, kMessageCaption, prompt)) {
    case BoxAnswer::Yes:
        return Save(part);
    case BoxAnswer::No:
        return true;
    case BoxAnswer::Cancel:
        break;
    }
    return false;
}

bool CPartDocuments::Close(CPart& part) {
    if (!SaveModified(part))
        return false;
    // Each window goes on its own; the part (and its entry) goes with the last.
    const std::vector<CPartView*> views = EntryOf(part)->views;
    closingQuietly_ = true;
    for (CPartView* view : views)
        delete WindowOf(*view);
    closingQuietly_ = false;
    return true;
}

bool CPartDocuments::SaveAllModified() {
    for (CPart* part : Parts()) {
        if (!SaveModified(*part))
            return false;
    }
    return true;
}

void CPartDocuments::CloseAll() {
    closingQuietly_ = true;
    while (!entries_.empty()) {
        delete WindowOf(*entries_.back().views.back());
    }
    closingQuietly_ = false;
}

CPartView* CPartDocuments::NewWindow(CPartView& view) {
    return AddWindow(view.Part());
}

std::optional<LoadResult> CPartDocuments::Load(CPartView& view) {
    MachineOperation* operation = operation_ ? operation_() : nullptr;
    if (operation == nullptr)
        return std::nullopt;
    return operation->LoadFromLines(view.Lines(), view.Part().Path().toStdString());
}

QPrinter& CPartDocuments::Printer() {
    if (printer_ == nullptr)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

void CPartDocuments::PrintSetup() {
    QPageSetupDialog dialog(&Printer(), dialogParent_);
    dialog.exec();
}

void CPartDocuments::CloseCommand(CPartView& view) {
    Close(view.Part());
}
void CPartDocuments::SaveCommand(CPartView& view) {
    Save(view.Part());
}
void CPartDocuments::SaveAsCommand(CPartView& view) {
    SaveAs(view.Part());
}
void CPartDocuments::NewWindowCommand(CPartView& view) {
    NewWindow(view);
}
void CPartDocuments::LoadCommand(CPartView& view) {
    Load(view);
}
void CPartDocuments::PrintSetupCommand(CPartView&) {
    PrintSetup();
}

// The operator closes a window with its close box: the last window of a modified part asks.
bool CPartDocuments::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close || closingQuietly_)
        return false;
    auto* window = qobject_cast<QMdiSubWindow*>(watched);
    auto* view = window != nullptr ? qobject_cast<CPartView*>(window->widget()) : nullptr;
    if (view == nullptr || Views(view->Part()).size() > 1 || SaveModified(view->Part()))
        return false;
    event->ignore();
    return true;
}

std::vector<CPart*> CPartDocuments::Parts() const {
    std::vector<CPart*> parts;
    for (const Entry& entry : entries_)
        parts.push_back(entry.part.get());
    return parts;
}

std::vector<CPartView*> CPartDocuments::Views(const CPart& part) const {
    const Entry* entry = EntryOf(part);
    return entry != nullptr ? entry->views : std::vector<CPartView*>{};
}

CPartView* CPartDocuments::ActiveView() const {
    QMdiSubWindow* window = area_.activeSubWindow();
    return window != nullptr ? qobject_cast<CPartView*>(window->widget()) : nullptr;
}

QMdiSubWindow* CPartDocuments::WindowOf(const CPartView& view) {
    return qobject_cast<QMdiSubWindow*>(view.parentWidget());
}

CPartDocuments::Entry* CPartDocuments::EntryOf(const CPart& part) {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&part](const Entry& entry) { return entry.part.get() == &part; });
    return it == entries_.end() ? nullptr : &*it;
}

const CPartDocuments::Entry* CPartDocuments::EntryOf(const CPart& part) const {
    return const_cast<CPartDocuments*>(this)->EntryOf(part);
}

void CPartDocuments::Report(const QString& text) const {
    ModalDialogs().Inform(dialogParent_, kMessageCaption, text, BoxIcon::Warning);
}

} // namespace morvik
