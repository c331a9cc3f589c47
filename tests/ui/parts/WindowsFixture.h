// The program view, the MDI panel and the part program windows in a document area, on a new
// machine on the simulated card: the card is reached through the loader from the build's bin
// folder, its time follows the station's sleeps and the test's ticks (SimClock), and every
// call the station makes lands in the card's trace. The machine's windows are made by the
// station's factory and owned by the document area, as in the product; boxes and file dialogs
// are recorded and answered from queues, so nothing blocks.
#pragma once

#include "cardsim/KelvSim.h"
#include "machine/Machine.h"
#include "operation/MachineOperation.h"
#include "support/FakeJoystick.h"
#include "support/RecordingOperator.h"
#include "support/SimCardFixture.h"
#include "ui/MachineViewFactory.h"
#include "ui/MainFrame.h"
#include "ui/MdiLineFeed.h"
#include "ui/PartDocuments.h"
#include "ui/TextView.h"
#include "ui/shell/RecordingDialogs.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

// The operator interface with real windows for the program view and the MDI panel; the other
// calls are recorded as the core's tests record them.
class WindowOperator : public RecordingOperator {
public:
    explicit WindowOperator(QMdiArea& area) : area_(area) {}

    bool OpenView(ViewKind view) override {
        RecordingOperator::OpenView(view);
        if (Window(view) != nullptr)
            return true;
        // The widget from the station's window table, in a window of this test's area.
        QWidget* widget = CreateMachineViewWidget(view);
        if (widget == nullptr)
            return false;
        QMdiSubWindow* window = area_.addSubWindow(widget);
        window->setAttribute(Qt::WA_DeleteOnClose);
        CMainFrame::SetDocument(window, DocumentKind::Machine, "Machine1");
        window->setWindowTitle("Machine1");
        if (FindMachineWindow(view)->fixedForm)
            window->adjustSize();
        // The document hears of the window going, however it goes, as from the station's own
        // operator interface.
        QObject::connect(window, &QObject::destroyed, [view] {
            if (currentMachine != nullptr)
                currentMachine->OnViewDestroyed(view);
        });
        window->show();
        windows_[view] = window;
        return true;
    }
    void CloseView(ViewKind view) override {
        RecordingOperator::CloseView(view);
        delete Window(view);
    }
    void ClearView(ViewKind view) override {
        if (auto* text = TextView(view))
            text->Clear();
    }
    void AppendToView(ViewKind view, const std::string& text) override {
        if (auto* target = TextView(view))
            target->Append(text);
    }

    QMdiSubWindow* Window(ViewKind view) const {
        const auto it = windows_.find(view);
        return it == windows_.end() ? nullptr : it->second.data();
    }
    CTextView* TextView(ViewKind view) const {
        QMdiSubWindow* window = Window(view);
        return window != nullptr ? dynamic_cast<CTextView*>(window->widget()) : nullptr;
    }

private:
    QMdiArea& area_;
    std::map<ViewKind, QPointer<QMdiSubWindow>> windows_;
};

class WindowsOnCard : public SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartCard(Trace::On)); // a new machine's files land here
        area = std::make_unique<QMdiArea>();
        area->resize(800, 600);
        area->show();
        ui = std::make_unique<WindowOperator>(*area);
        machine = std::make_unique<CMachine>(loader.Api(), *clock, *ui);
        ASSERT_TRUE(machine->Connect());
        ASSERT_TRUE(machine->OnNewDocument());
        op = std::make_unique<MachineOperation>(*machine, joystick);
        documents = std::make_unique<CPartDocuments>(*area);
        documents->SetOperationSource([this] { return op.get(); });
        // The MDI line follows the tick as the station wires it (app/TickObservers.cpp).
        mdiFeed = std::make_unique<MdiLineFeed>(*op, [this]() -> QWidget* {
            QMdiSubWindow* window = ui->Window(ViewKind::MdiPanel);
            return window != nullptr ? window->widget() : nullptr;
        });
        op->Events().Attach(*mdiFeed);
        TraceSinceLast();
    }
    void TearDown() override {
        documents.reset();
        area.reset(); // the machine hears of its windows going
        op->Events().Detach(*mdiFeed);
        mdiFeed.reset();
        op.reset();
        machine.reset();
        ui.reset();
        SimCardFixture::TearDown();
    }

    void HomeMachine() {
        op->SelectHome();
        op->Start();
        ASSERT_TRUE(machine->State().homed);
    }

    // Deletions the event loop was asked for (a window closed with its close box).
    static void RunDeferredDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // What the station told the card since the last call, in short: binary commands as
    // "code argument" ("494 1"), ASCII text as it was sent; polls and queries left out.
    std::vector<std::string> CardCommands() {
        std::vector<std::string> commands;
        for (const std::string& line : TraceSinceLast()) {
            const std::string args = line.substr(line.find('(') + 1);
            if (line.starts_with("dorncmdex(") && args.find(", 0, 46") == std::string::npos)
                commands.push_back(BinaryCommand(args));
            else if (line.starts_with("dornputs("))
                commands.push_back(
                    args.substr(args.find('"') + 1, args.rfind('"') - args.find('"') - 1));
        }
        return commands;
    }

    std::unique_ptr<QMdiArea> area;
    std::unique_ptr<WindowOperator> ui;
    FakeJoystick joystick;
    std::unique_ptr<MachineOperation> op;
    std::unique_ptr<MdiLineFeed> mdiFeed;
    std::unique_ptr<CPartDocuments> documents;
    RecordingDialogs dialogs;

private:
    // "0x101, 0, 494, 1, 2) = 0" -> "494 1"
    static std::string BinaryCommand(const std::string& args) {
        std::vector<std::string> parts;
        std::size_t from = 0;
        for (std::size_t comma; (comma = args.find(", ", from)) != std::string::npos;
             from = comma + 2)
            parts.push_back(args.substr(from, comma - from));
        return parts.size() >= 4 ? parts[2] + " " + parts[3] : args;
    }
};

} // namespace morvik::test
