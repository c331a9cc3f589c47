// Modal dialogs for tests: every box is recorded with its caption, text and icon and returns at
// once; questions and file dialogs are answered from queues (Cancel and "cancelled" when empty).
// Installed for the life of the object.
#pragma once

#include "ui/ModalDialogs.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace morvik::test {

class RecordingDialogs : public IModalDialogs {
public:
    struct Box {
        QString caption;
        QString text;
        BoxIcon icon;
        bool hadParent;
        int cursor; // the application's override cursor shape while it was up; -1: none
    };

    RecordingDialogs() { SetModalDialogs(this); }
    ~RecordingDialogs() override { SetModalDialogs(nullptr); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    std::vector<Box> boxes;        // every Inform and AskYesNoCancel, in order
    std::deque<BoxAnswer> answers; // for AskYesNoCancel and AskYesNo
    std::deque<QString> files;     // for both file dialogs; a null QString cancels
    QStringList fileDialogs;       // "open <title>" / "save <title>" with the filter
    // Where each open dialog that keeps its place started, and the filter an answered one
    // reports as the one in use (empty: the one it started with).
    std::vector<FileDialogPlace> openPlaces;
    QString chosenFilter;
    // Run while each box, question or file dialog is "up", as the ticks of the real one run
    // in its nested event loop.
    std::function<void()> whileShown;

    void Inform(QWidget* parent, const QString& caption, const QString& text,
                BoxIcon icon) override {
        boxes.push_back({caption, text, icon, parent != nullptr, Cursor()});
        Shown();
    }
    BoxAnswer AskYesNoCancel(QWidget* parent, const QString& caption,
                             const QString& text) override {
        boxes.push_back({caption, text, BoxIcon::Question, parent != nullptr, Cursor()});
        Shown();
        return Next(answers, BoxAnswer::Cancel);
    }
    // Yes when the next answer is Yes; No otherwise (an empty queue is No).
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override {
        boxes.push_back({caption, text, BoxIcon::Question, parent != nullptr, Cursor()});
        Shown();
        return Next(answers, BoxAnswer::No) == BoxAnswer::Yes;
    }
    std::optional<QString> ChooseOpenFile(QWidget*, const QString& title,
                                          const QString& filter) override {
        fileDialogs << "open " + title + " | " + filter;
        Shown();
        return NextFile();
    }
    std::optional<QString> ChooseOpenFileAt(QWidget* parent, const QString& title,
                                            const QString& filter,
                                            FileDialogPlace& place) override {
        openPlaces.push_back(place);
        const auto answer = ChooseOpenFile(parent, title, filter);
        if (answer)
            place = {QFileInfo(*answer).absolutePath(),
                     chosenFilter.isEmpty() ? place.filter : chosenFilter};
        return answer;
    }
    std::optional<QString> ChooseSaveFile(QWidget*, const QString& title, const QString& filter,
                                          const QString&) override {
        fileDialogs << "save " + title + " | " + filter;
        Shown();
        return NextFile();
    }

    QStringList Texts() const {
        QStringList texts;
        for (const Box& box : boxes)
            texts << box.text;
        return texts;
    }

private:
    void Shown() {
        if (whileShown)
            whileShown();
    }
    static int Cursor() {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor != nullptr ? static_cast<int>(cursor->shape()) : -1;
    }
    std::optional<QString> NextFile() {
        const QString answer = Next(files, QString());
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }
    template <typename T> static T Next(std::deque<T>& queue, T otherwise) {
        if (queue.empty())
            return otherwise;
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

} // namespace morvik::test
