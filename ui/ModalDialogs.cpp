#include "ui/ModalDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace morvik {

namespace {

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
        const QString path = QFileDialog::getOpenFileName(parent, title, QString(), filter);
        return path.isEmpty() ? std::nullopt : std::optional<QString>(path);
    }

    std::optional<QString> ChooseOpenFileAt(QWidget* parent, const QString& title,
                                            const QString& filter,
                                            FileDialogPlace& place) override {
        QString selected = place.filter;
        const QString path =
            QFileDialog::getOpenFileName(parent, title, place.folder, filter, &selected);
        if (path.isEmpty())
            return std::nullopt;
        place = FileDialogPlace{QFileInfo(path).absolutePath(), selected};
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
    return dialog;
}

IModalDialogs& ModalDialogs() {
    return installed != nullptr ? *installed : qtDialogs;
}

void SetModalDialogs(IModalDialogs* dialogs) {
    installed = dialogs;
}

} // namespace morvik
