#include "ui/ModalDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTreeView>

#include <algorithm>

namespace morvik {

namespace {
// Wide and tall enough that the name, size, type and date columns can be read at once.
void ReadableSize(QFileDialog& dialog) {
    constexpr int kWidth = 860;
    constexpr int kHeight = 520;
    dialog.resize(std::max(dialog.width(), kWidth), std::max(dialog.height(), kHeight));
    // Qt's own dialog: the name takes the room left, the other columns what they need.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
}

QMessageBox::Icon QtIcon(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Information:
        return QMessageBox::Information;
    case BoxIcon::Warning:
        return QMessageBox::Warning;
    case BoxIcon::Critical:
        return QMessageBox::Critical;
    case BoxIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class QtModalDialogs : public IModalDialogs {
public:
    void Inform(QWidget* parent, const QString& caption, const QString& text,
                BoxIcon icon) override {
        QMessageBox box(QtIcon(icon), caption, text, QMessageBox::Ok, parent);
        box.exec();
    }

    BoxAnswer AskYesNoCancel(QWidget* parent, const QString& caption,
                             const QString& text) override {
        QMessageBox box(QMessageBox::Question, caption, text,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
        box.setEscapeButton(QMessageBox::Cancel);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return BoxAnswer::Yes;
        case QMessageBox::No:
            return BoxAnswer::No;
        default:
            return BoxAnswer::Cancel;
        }
    }

    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    std::optional<QString> ChooseOpenFile(QWidget* parent, const QString& title,
                                          const QString& filter) override {
        FileDialogPlace place;
        return ChooseOpenFileAt(parent, title, filter, place);
    }

    std::optional<QString> ChooseOpenFileAt(QWidget* parent, const QString& title,
                                            const QString& filter,
                                            FileDialogPlace& place) override {
        QFileDialog dialog(parent, title, place.folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!place.filter.isEmpty())
            dialog.selectNameFilter(place.filter);
        ReadableSize(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = dialog.selectedFiles().constFirst();
        if (path.isEmpty())
            return std::nullopt;
        place = FileDialogPlace{QFileInfo(path).absolutePath(), dialog.selectedNameFilter()};
        return path;
    }

    std::optional<QString> ChooseSaveFile(QWidget* parent, const QString& title,
                                          const QString& filter,
                                          const QString& suggestedName) override {
        const std::unique_ptr<QFileDialog> dialog =
            MakeSaveDialog(parent, title, filter, suggestedName);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = dialog->selectedFiles().constFirst();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }
};

QtModalDialogs qtDialogs;
IModalDialogs* installed = nullptr;

} // namespace

QString DefaultSuffixOf(const QString& filter) {
    static const QRegularExpression firstPattern(QStringLiteral(R"(^[^;(]*\(\*\.([^ ;*)]+)[ )])"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const QString& title,
                                            const QString& filter, const QString& suggestedName) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, suggestedName, filter);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setDefaultSuffix(DefaultSuffixOf(filter));
    if (!suggestedName.isEmpty())
        dialog->selectFile(suggestedName);
    ReadableSize(*dialog);
    return dialog;
}

IModalDialogs& ModalDialogs() {
    return installed != nullptr ? *installed : qtDialogs;
}

void SetModalDialogs(IModalDialogs* dialogs) {
    installed = dialogs;
}

} // namespace morvik
