// The MDI command line's blocks on the simulated card, through MachineOperation as the panel
// reaches it: a block moves the axis and enters the history (kept in a file beside the machine
// file), a refused block sends the card nothing, errors and replies land under the command
// line, and back in Run mode Start runs the part program - sent again - never the block.
#include "operation/OperationFixture.h"

#include "operation/MdiSession.h"

#include <algorithm>
#include <filesystem>

namespace morvik::test {
namespace {

class MdiOnCard : public OperationOnCard {
protected:
    // The machine file is copied into the test's folder: its history file is written beside it.
    void SetUp() override {
        OperationOnCard::SetUp();
        machinePath = folder.File("xyz.mch");
        std::filesystem::copy_file(OperationData("xyz.mch"), machinePath);
        ReopenFrom(machinePath);
    }

    // A new operation on the machine opened from path, as the station opens a machine file.
    void ReopenFrom(const std::string& path) {
        op.reset();
        ASSERT_TRUE(machine->OnOpenDocument(path));
        op = std::make_unique<MachineOperation>(*machine, joystick);
        Forget();
    }

    void EnterMdi() {
        HomeMachine();
        op->SelectMdi();
        ASSERT_EQ(machine->State().Mode(), MachineMode::Mdi);
        Forget();
    }

    // Ticks until the last feedback line is text, at most limit ticks.
    bool TickUntilSaid(const std::string& text, int limit) {
        for (int i = 0; i < limit; ++i) {
            if (Said(text))
                return true;
            Ticks(1);
        }
        return Said(text);
    }
    bool Said(const std::string& text) const {
        const auto& lines = op->Mdi().Feedback();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }

    // The text lines the station sent on the ASCII channel since the last call (program text
    // included), e.g. "O9999\n".
    std::vector<std::string> AsciiSent() {
        std::vector<std::string> sent;
        for (const std::string& line : TraceSinceLast()) {
            if (!line.starts_with("dornputs("))
                continue;
            const std::size_t open = line.find('"');
            sent.push_back(line.substr(open + 1, line.rfind('"') - open - 1));
        }
        return sent;
    }

    double X() { return machine->AxisX().GetOptimal(); }
    double Y() { return machine->AxisY().GetOptimal(); }

    std::string machinePath;
};

TEST_F(MdiOnCard, ABlockMovesTheAxisAndEntersTheHistoryAndItsFile) {
    EnterMdi();
    const double x0 = X();

    ASSERT_EQ(op->SendMdiBlock("  G91 G01 X0.5 F60 "), MdiResult::Sent);
    const std::vector<std::string> trace = TraceSinceLast();
    std::vector<std::string> commands;
    std::vector<std::string> text;
    for (const std::string& line : trace) {
        if (!OnlyReads(line))
            commands.push_back(ShortCall(line));
        else if (line.starts_with("dornputs("))
            text.push_back(ShortCall(line));
    }
    // The card's messages on, then the block as a program of its own, selected and started.
    EXPECT_EQ(commands, (std::vector<std::string>{"495 1", "LOF", "EOT", "RUF-9999", "410 0"}));
    EXPECT_EQ(text, (std::vector<std::string>{"O9999\\n", "G91 G01 X0.5 F60\\n"}));

    ASSERT_TRUE(TickUntilSaid(Text(msg::MdiBlockDone), 100));
    EXPECT_NEAR(X() - x0, 0.5, 1e-6);
    EXPECT_EQ(op->Mdi().Feedback().front(), "> G91 G01 X0.5 F60");
    EXPECT_EQ(op->Mdi().History().Entries(), std::vector<std::string>{"G91 G01 X0.5 F60"});
    EXPECT_EQ(ReadBytes(folder.File("xyz.mdi")), "G91 G01 X0.5 F60\n");
    EXPECT_TRUE(ui.messages.empty());

    // Kept across runs: the machine opened again finds its blocks.
    ASSERT_EQ(op->SendMdiBlock("G91 G01 Y0.25 F60"), MdiResult::Sent);
    ReopenFrom(machinePath);
    EXPECT_EQ(op->Mdi().History().Entries(),
              (std::vector<std::string>{"G91 G01 X0.5 F60", "G91 G01 Y0.25 F60"}));
}

TEST_F(MdiOnCard, ARefusedBlockSendsTheCardNothingAndSaysWhy) {
    EnterMdi();
    struct Case {
        std::string block;
        MdiResult result;
        std::string said; // the last line under the command line; empty: nothing said
    };
    const Case cases[] = {
        {"G41 X1", MdiResult::Refused, "Block not sent: unsupported G-code G41"},
        {"G0 X#1", MdiResult::Refused, "Block not sent: parameter in word X is not supported"},
        {"G0 U1", MdiResult::Refused, "Block not sent: axis U is not fitted"},
        {"G0 X1 (" + std::string(130, 'a') + ")", MdiResult::Refused,
         "Block not sent: the block is longer than 127 characters"},
        {"   ", MdiResult::Empty, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        const std::size_t before = op->Mdi().Feedback().size();
        EXPECT_EQ(op->SendMdiBlock(c.block), c.result);
        // Not even a query: nothing at all reached the card.
        EXPECT_TRUE(TraceSinceLast().empty());
        if (c.said.empty())
            EXPECT_EQ(op->Mdi().Feedback().size(), before);
        else
            EXPECT_EQ(op->Mdi().Feedback().back(), c.said);
    }
    EXPECT_TRUE(op->Mdi().History().Entries().empty());
    EXPECT_FALSE(std::filesystem::exists(folder.File("xyz.mdi")));
    EXPECT_FALSE(machine->State().partReplaced);
}

TEST_F(MdiOnCard, NothingIsSentWhileTheStationIsBusyOrOutsideMdiMode) {
    EnterMdi();
    {
        CardOperation busy(machine->Gate()); // an operation waits on the card
        EXPECT_EQ(op->SendMdiBlock("G0 X1"), MdiResult::Busy);
    }
    EXPECT_EQ(op->Mdi().Feedback().back(), Text(msg::MdiStationBusy));
    op->SelectJog();
    Forget();
    EXPECT_EQ(op->SendMdiBlock("G0 X1"), MdiResult::NotInMdiMode);
    EXPECT_EQ(op->Mdi().Feedback().back(), Text(msg::MdiNeedsMdiMode));
    EXPECT_TRUE(CardCommands().empty());
    EXPECT_TRUE(op->Mdi().History().Entries().empty());
    EXPECT_FALSE(op->IsActionEnabled(PanelAction::MdiBlock));
}

// Under the command line stand the block as typed and the card's reason for its part error,
// once: not the program the card wraps the block in ("O9999", "PART ERROR line 2").
TEST_F(MdiOnCard, ThePartErrorOfEachBlockAndTheCardsReasonStandUnderTheCommandLine) {
    EnterMdi();
    const std::string stopped = Text(msg::MdiBlockFailed) + " ";
    const auto failures = [&] {
        std::vector<std::string> said;
        for (const std::string& line : op->Mdi().Feedback())
            if (line.starts_with(stopped))
                said.push_back(line);
        return said;
    };
    // Beyond the axis's travel: only the card knows its limits.
    ASSERT_EQ(op->SendMdiBlock("G90 G00 X500"), MdiResult::Sent);
    for (int i = 0; i < 20 && failures().empty(); ++i)
        Ticks(1);
    Ticks(3);
    ASSERT_EQ(failures().size(), 1u) << ::testing::PrintToString(op->Mdi().Feedback());
    const std::string reason = failures()[0].substr(stopped.size());
    EXPECT_NE(reason, "part error") << "the card's own reason is shown";
    EXPECT_FALSE(reason.starts_with("PART ERROR"));
    for (const std::string& line : op->Mdi().Feedback()) {
        EXPECT_NE(line, "O9999");
        EXPECT_EQ(line.find("PART ERROR"), std::string::npos) << line;
    }
    EXPECT_EQ(std::count(op->Mdi().Feedback().begin(), op->Mdi().Feedback().end(),
                         std::string("> G90 G00 X500")),
              1);
    EXPECT_FALSE(Said(Text(msg::MdiBlockDone)));

    // The next block failing the same way is reported again.
    ASSERT_EQ(op->SendMdiBlock("G90 G00 Y500"), MdiResult::Sent);
    Ticks(5);
    EXPECT_EQ(failures().size(), 2u);
    EXPECT_TRUE(op->Mdi().Feedback().back().starts_with(stopped));
}

TEST_F(MdiOnCard, ABlockStillRunningRefusesTheNextAndLeavingMdiStopsIt) {
    EnterMdi();
    ASSERT_EQ(op->SendMdiBlock("G91 G01 X5 F1"), MdiResult::Sent); // minutes long
    Ticks(3);
    CardCommands();
    EXPECT_EQ(op->SendMdiBlock("G0 Y1"), MdiResult::StillRunning);
    EXPECT_EQ(op->Mdi().Feedback().back(), Text(msg::MdiBlockStillRunning));
    EXPECT_TRUE(CardCommands().empty()); // the status word was only asked
    EXPECT_EQ(op->Mdi().History().Entries(), std::vector<std::string>{"G91 G01 X5 F1"});

    // Jog mode: the block is aborted and the card's messages go off again.
    op->SelectJog();
    const std::vector<std::string> commands = CardCommands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "401 0"), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), "495 -1"), commands.end());
    EXPECT_EQ(machine->State().Mode(), MachineMode::Jog);
    EXPECT_FALSE(machine->State().programStarted);
    const double x = X();
    Ticks(10);
    EXPECT_NEAR(X(), x, 1e-3) << "the block moves no more";
}

TEST_F(MdiOnCard, BackInRunModeStartRunsThePartProgramSentAgainNeverTheBlock) {
    HomeMachine();
    op->SelectRun();
    const std::vector<std::string> part = {"O77", "G91 G00 X0.5", "M30"};
    ASSERT_EQ(op->LoadFromLines(part, "part.prt"), LoadResult::Started);
    op->SelectMdi();
    ASSERT_EQ(op->SendMdiBlock("G91 G00 Y0.25"), MdiResult::Sent);
    ASSERT_TRUE(TickUntilSaid(Text(msg::MdiBlockDone), 100));
    EXPECT_TRUE(machine->State().partReplaced);
    EXPECT_EQ(op->Snapshot().lastLine, 0) << "the block's end is not the part program's";

    op->SelectRun();
    Ticks(1);
    const double x0 = X();
    const double y0 = Y();
    AsciiSent();
    op->Start();
    // The part program's text again, selected by its own number, then cycle start.
    EXPECT_EQ(AsciiSent(), (std::vector<std::string>{"LOF\\r", "O77\\n", "G91 G00 X0.5\\n",
                                                     "M30\\n", "\\x1a", "RUF-77\\r"}));
    EXPECT_FALSE(machine->State().partReplaced);
    for (int i = 0; i < 100 && (op->Snapshot().programStatus.value_or(0) & psw::Finished) == 0; ++i)
        Ticks(1);
    ASSERT_NE(op->Snapshot().programStatus.value_or(0) & psw::Finished, 0u);
    EXPECT_NEAR(X() - x0, 0.5, 1e-6);
    EXPECT_NEAR(Y(), y0, 1e-6) << "the MDI block did not run again";
    EXPECT_TRUE(ui.messages.empty());

    // Nothing replaced since: Restart sends no text, as before.
    AsciiSent();
    ASSERT_EQ(op->Restart(), LoadResult::Started);
    EXPECT_EQ(AsciiSent(), std::vector<std::string>{"RUF-77\\r"});
}

TEST_F(MdiOnCard, RestartAfterMdiSendsThePartProgramAgainToo) {
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O12", "G91 G00 X0.1", "M30"}, "part.prt"), LoadResult::Started);
    op->SelectMdi();
    ASSERT_EQ(op->SendMdiBlock("M5"), MdiResult::Sent);
    op->SelectRun();
    AsciiSent();
    ASSERT_EQ(op->Restart(), LoadResult::Started);
    const std::vector<std::string> sent = AsciiSent();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "LOF\\r");
    EXPECT_EQ(sent.back(), "RUF-12\\r");
}

} // namespace
} // namespace morvik::test
