// An operator interface for tests: records every call as a line of text and answers file
// dialogs and questions from queues. Like a real modal box, whose nested event loop keeps the
// main window's timer running, a message or question can run code while it is shown
// (whileShown: the test's ticks, say).
#pragma once

#include "machine/OperatorInterface.h"

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace morvik::test {

class RecordingOperator : public IOperatorInterface {
public:
    std::vector<std::string>
        calls;                 // e.g. "message 34008", "open HomingView", "append HomingView: text"
    std::vector<int> messages; // message ids in order
    std::vector<int> statusTexts;                       // status bar notes, by id, in order
    std::deque<std::optional<std::string>> fileAnswers; // answers for the next file dialogs
    std::deque<bool> yesNoAnswers;    // answers for the next questions; No when empty
    std::set<ViewKind> openViews;
    std::set<ViewKind> refuseToOpen;  // views whose window "cannot be created"
    int waitDepth = 0;
    int waitCursorShown = 0;          // how many times the cursor was turned on
    std::function<void()> whileShown; // runs inside every message box and question

    void ShowMessageBox(int id, const std::string& detail) override {
        messages.push_back(id);
        calls.push_back("message " + std::to_string(id) + (detail.empty() ? "" : ": " + detail));
        Shown();
    }
    bool AskYesNo(int id, const std::string& detail) override {
        calls.push_back("question " + std::to_string(id) + (detail.empty() ? "" : ": " + detail));
        Shown();
        if (yesNoAnswers.empty())
            return false;
        const bool yes = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return yes;
    }
    void BeginWaitCursor() override {
        if (waitDepth++ == 0)
            ++waitCursorShown;
    }
    void EndWaitCursor() override { --waitDepth; }
    std::optional<std::string> ChooseOpenFile(const std::string& title,
                                              const std::vector<FileFilter>&) override {
        calls.push_back("open dialog " + title);
        return NextAnswer();
    }
    std::optional<std::string> ChooseSaveFile(const std::string& title,
                                              const std::vector<FileFilter>&,
                                              const std::string&) override {
        calls.push_back("save dialog " + title);
        return NextAnswer();
    }
    bool OpenView(ViewKind v) override {
        calls.push_back("open " + Name(v));
        if (refuseToOpen.count(v))
            return false;
        openViews.insert(v);
        return true;
    }
    void CloseView(ViewKind v) override {
        calls.push_back("close " + Name(v));
        openViews.erase(v);
    }
    void ClearView(ViewKind v) override { calls.push_back("clear " + Name(v)); }
    void ShowStatusText(int id) override {
        statusTexts.push_back(id);
        calls.push_back("status " + std::to_string(id));
    }
    void AppendToView(ViewKind v, const std::string& text) override {
        calls.push_back("append " + Name(v) + ": " + text);
    }

    static std::string Name(ViewKind v) {
        switch (v) {
        case ViewKind::ProgramView:
            return "ProgramView";
        case ViewKind::HomingView:
            return "HomingView";
        case ViewKind::MdiPanel:
            return "MdiPanel";
        case ViewKind::StatusDisplay:
            return "StatusDisplay";
        }
        return "?";
    }

private:
    void Shown() {
        if (whileShown)
            whileShown();
    }
    std::optional<std::string> NextAnswer() {
        if (fileAnswers.empty())
            return std::nullopt;
        auto a = fileAnswers.front();
        fileAnswers.pop_front();
        return a;
    }
};

} // namespace morvik::test
