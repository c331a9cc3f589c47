// The station's modal boxes and file dialogs behind one seam. Every message box, save prompt
// and file dialog of the station goes through ModalDialogs(): the product shows Qt's boxes,
// tests install a recorder with SetModalDialogs so that nothing blocks and every box can be
// checked by its caption and text.
#pragma once

#include <QString>

#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace morvik {

enum class BoxIcon { Information, Warning, Critical, Question };
enum class BoxAnswer { Yes, No, Cancel };

// Where an open-file dialog starts (folder) and which of its filters it shows first; after a
// file was chosen it holds the chosen file's folder and the filter in use, so the next dialog of
// the same kind starts where the operator left the last one.
struct FileDialogPlace {
    QString folder;
    QString filter;
};

class IModalDialogs {
public:
    virtual ~IModalDialogs() = default;

    // A box with one OK button; returns when the operator has clicked it.
    virtual void Inform(QWidget* parent, const QString& caption, const QString& text,
                        BoxIcon icon) = 0;
    // A question with Yes, No and Cancel (closing the box is Cancel).
    virtual BoxAnswer AskYesNoCancel(QWidget* parent, const QString& caption,
                                     const QString& text) = 0;
    // A question with Yes and No (closing the box is No); true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // filter is in Qt's form ("Part Files (*.prt);;All Files (*)"); nullopt when cancelled.
    virtual std::optional<QString> ChooseOpenFile(QWidget* parent, const QString& title,
                                                  const QString& filter) = 0;
    // The same, starting at place and updating it when a file was chosen.
    virtual std::optional<QString> ChooseOpenFileAt(QWidget* parent, const QString& title,
                                                    const QString& filter, FileDialogPlace& place) {
        (void)place;
        return ChooseOpenFile(parent, title, filter);
    }
    virtual std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& title,
                                                  const QString& filter,
                                                  const QString& suggestedName) = 0;
};

// The save dialog Qt's ChooseSaveFile runs. The first filter's extension ("*.prt" gives "prt")
// is its default suffix: a name typed without an extension gets it inside the dialog, so the
// question whether to replace an existing file is asked about the name that will be written.
// Qt's own dialog is used, where the suffix and that question are known to go together.
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& suggestedName);
// "prt" for "Part Files (*.prt);;All Files (*)"; empty when the first filter has no extension.
QString DefaultSuffixOf(const QString& filter);

// The dialogs in use: Qt's own unless a test has installed others.
IModalDialogs& ModalDialogs();
// nullptr puts Qt's own back. The caller keeps the object alive while it is installed.
void SetModalDialogs(IModalDialogs* dialogs);

} // namespace morvik
