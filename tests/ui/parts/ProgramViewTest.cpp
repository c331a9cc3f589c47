// The program view as View > Program and View > Messages open it on the simulated card, its
// close box, and the card's text reaching it over the tick and the idle drain.
#include "WindowsFixture.h"
#include "support/ShownTitle.h"

#include "ui/OutputDisplay.h"

namespace morvik::test {
namespace {

using Calls = std::vector<std::string>;
const Calls kAllOff = {"490 -1", "491 -1", "494 -1", "495 -1"};

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class ProgramView : public WindowsOnCard {};

TEST_F(ProgramView, EachViewCommandOpensTheViewWithItsOptionAndTheCloseBoxSwitchesAllFourOff) {
    struct Case {
        const char* name;
        void (MachineOperation::*command)();
        const char* option;
        bool (MachineOperation::*checked)() const;
    };
    const Case cases[] = {
        {"Program", &MachineOperation::ViewProgram, "494 1", &MachineOperation::ProgramViewChecked},
        {"Messages", &MachineOperation::ViewMessages, "495 1",
         &MachineOperation::MessagesViewChecked},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (op.get()->*c.command)();
        QMdiSubWindow* window = ui->Window(ViewKind::ProgramView);
        ASSERT_NE(window, nullptr);
        EXPECT_NE(dynamic_cast<COutputDisplay*>(window->widget()), nullptr);
        EXPECT_EQ(test::ShownTitle(window), "Machine1");
        EXPECT_EQ(CardCommands(), Join({kAllOff, {c.option}}));
        EXPECT_TRUE((op.get()->*c.checked)());

        window->close(); // the operator's close box
        RunDeferredDeletes();
        EXPECT_EQ(ui->Window(ViewKind::ProgramView), nullptr);
        EXPECT_FALSE(machine->State().views.Has(ViewKind::ProgramView));
        EXPECT_FALSE((op.get()->*c.checked)());
        EXPECT_EQ(CardCommands(), kAllOff);
    }
    // Opened again after the close box, it starts with its option on again.
    op->ViewProgram();
    EXPECT_EQ(CardCommands(), Join({kAllOff, {"494 1"}}));
}

TEST_F(ProgramView, TheSameCommandAgainClosesTheWindowAndTheOtherKindKeepsIt) {
    op->ViewProgram();
    QPointer<QMdiSubWindow> window = ui->Window(ViewKind::ProgramView);
    op->ViewMessages();
    EXPECT_EQ(ui->Window(ViewKind::ProgramView), window.data()) << "one view for both kinds";
    CardCommands();

    op->ViewMessages();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(machine->State().views.Has(ViewKind::ProgramView));
    // The view's destruction switches the options off, once.
    EXPECT_EQ(CardCommands(), kAllOff);
}

TEST_F(ProgramView, CardTextLongerThanOneBatchArrivesWholeAndInOrder) {
    HomeMachine();
    op->SelectRun();
    op->ViewProgram();
    const std::string first = "O100 (" + std::string(90, 'A') + ")";
    const std::vector<std::string> program = {first, "(" + std::string(100, 'B') + ")",
                                              "(" + std::string(100, 'C') + ")", "M30"};
    ASSERT_EQ(op->LoadFromLines(program, "editor.prt"), LoadResult::Started);
    CTextView* view = ui->TextView(ViewKind::ProgramView);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Lines().Line(1), first) << "the loaded program's first line stands alone";
    EXPECT_EQ(view->Lines().Line(0), "");

    op->Start();
    clock->Advance(1000); // the card runs the comment blocks and queues their echo
    op->StatusTick();
    EXPECT_TRUE(op->ControllerTextPending());
    int idlePasses = 0;
    while (op->IdleDrain() && idlePasses < 100)
        ++idlePasses;
    EXPECT_GE(idlePasses, 2) << "more than one batch of 128 characters";
    EXPECT_FALSE(op->ControllerTextPending());

    // Newest at the bottom: the empty current line, then the echoed blocks upwards.
    std::vector<std::string> shown;
    for (int k = 4; k >= 1; --k)
        shown.push_back(view->Lines().Line(k));
    EXPECT_EQ(shown, program);
}

} // namespace
} // namespace morvik::test
