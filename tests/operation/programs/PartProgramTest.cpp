// Loading, restarting and stepping part programs against the recording fake card: what reaches
// the card's ASCII channel for each kind of program text, the number the run command carries,
// the refusals, and the bounded waits that abandon a load when the card stops answering.
#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "operation/ProgramView.h"
#include "operation/programs/ProgramFixture.h"

#include <algorithm>
#include <deque>

namespace morvik {
namespace {

using test::ProgramOnFakeCard;

const std::string kEnd = "\x1a";

// ---- The number scan ----------------------------------------------------------------------

TEST(ProgramNumberScan, OnlyTheFirstCharacterDecidesAndTheRestReadsAsAnInteger) {
    struct Case {
        const char* line;
        std::int32_t number;
    };
    const Case cases[] = {
        {"O1000 (PART A)", 1000},
        {"o0012", 12},
        {"N10 G00 X0", 10},
        {"n7", 7},
        {":200", 200},
        {"O-5", -5},
        {"O+42", 42},
        {"O \t 31", 31},
        {"O12ABC", 12},
        {"O2147483647", 2147483647},
        // Nothing readable, or not offered at all.
        {"", 0},
        {"O", 0},
        {"O (no number)", 0},
        {"O0", 0},
        {"%", 0},
        {" O100", 0},
        {"G01 X1", 0},
        {"P100", 0},
        {"O- 5", 0},
        // Numbers the run command cannot carry negated.
        {"O2147483648", 0},
        {"O-2147483648", 0},
        {"O99999999999999999999", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PartProgram::ScanProgramNumber(c.line), c.number) << '"' << c.line << '"';
}

// ---- Loading from a file ------------------------------------------------------------------

struct LoadCase {
    const char* name;
    std::string text;  // file contents
    std::string lines; // what reaches the card between "LOF\r" and the end of text
    std::int32_t number;
    std::string firstLine;
};

std::vector<LoadCase> FileCases() {
    const std::string longest(127, 'A'); // the longest line the card takes from a file
    return {
        {"percent first, number second", "%\nO0012\nG01 X1\n", "%\nO0012\nG01 X1\n", 12, "%"},
        {"blank before the O", " O100\nG01 X1\n", " O100\nG01 X1\n", 0, " O100"},
        {"zero skipped, later N taken", "O0\nG0 X1\nN20 X2\nN30 X3\n",
         "O0\nG0 X1\nN20 X2\nN30 X3\n", 20, "O0"},
        {"last line without LF", "G0 X0\nO77", "G0 X0\nO77\n", 77, "G0 X0"},
        {"negative number", "O-5\nM30\n", "O-5\nM30\n", -5, "O-5"},
        {"CR LF line ends", "O10\r\nG1 X1\r\n", "O10\nG1 X1\n", 10, "O10"},
        {"empty lines kept", "\n\n:9\n", "\n\n:9\n", 9, ""},
        {"127-character line sent whole", "O1\n" + longest + "\nM30\n",
         "O1\n" + longest + "\nM30\n", 1, "O1"},
        // Old files from other systems end their lines with CR alone.
        {"lone CR line ends", "%\rO0055\rG1 X1\r", "%\nO0055\nG1 X1\n", 55, "%"},
        {"mixed line ends", "O7\r\rG0 X1\nG1 X2\r\nM30", "O7\n\nG0 X1\nG1 X2\nM30\n", 7, "O7"},
        {"0x1A ends the text",
         "O3\nG1 X1\x1a"
         "M99\nG0 X5\n",
         "O3\nG1 X1\n", 3, "O3"},
        {"0x1A alone on a line", "O4\n\x1a\nG0 X5\n", "O4\n", 4, "O4"},
        {"empty file", "", "", 0, ""},
    };
}

TEST_F(ProgramOnFakeCard, FileLoadSendsEveryLineAndRunsTheNumberFound) {
    for (const LoadCase& c : FileCases()) {
        SCOPED_TRACE(c.name);
        fake.ClearCalls();
        ui.messages.clear();
        const std::string path = OfferFile(c.text);

        const LoadResult result = program->LoadFromFile();

        const std::string run = c.number ? AsciiCommand("RUF", -c.number) : "";
        EXPECT_EQ(test::FakeKelvApi::Escape(fake.sentText),
                  test::FakeKelvApi::Escape("LOF\r" + c.lines + kEnd + run));
        const MachineState& state = machine->State();
        EXPECT_EQ(result, c.number ? LoadResult::Started : LoadResult::NoNumber);
        EXPECT_EQ(state.partLoaded, c.number != 0);
        EXPECT_EQ(state.programStarted, c.number != 0);
        EXPECT_EQ(state.firstLine, c.firstLine);
        EXPECT_EQ(ui.messages,
                  c.number ? std::vector<int>{} : std::vector<int>{msg::NoProgramNumber});
        if (c.number) {
            EXPECT_EQ(state.programNumber, c.number);
            EXPECT_EQ(state.partPath, path);
            // The preview plans what the card received, cut as it was sent.
            ASSERT_NE(state.partText, nullptr);
            EXPECT_EQ(*state.partText, c.lines);
        } else {
            EXPECT_EQ(state.partText, nullptr);
        }
        EXPECT_EQ(ui.waitDepth, 0);
        machine->State().programStarted = false; // the next case starts from a program not running
    }
}

TEST_F(ProgramOnFakeCard, EditorLoadSendsItsLinesAndRemembersTheDocumentPath) {
    const std::string longest(128, 'B'); // the longest line the card takes from the editor
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::string sent;
        std::int32_t number;
    };
    const Case cases[] = {
        {"program", {"%", "O42", "G1 X1"}, "%\nO42\nG1 X1\n", 42},
        {"128-character line", {"N5", longest, "M30"}, "N5\n" + longest + "\nM30\n", 5},
        {"no lines", {}, "", 0},
        {"0x1A inside a line", {"O6", "G1\x1aX9", "G0 X0"}, "O6\nG1\n", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.ClearCalls();
        ui.messages.clear();
        machine->State().programStarted = false;

        const LoadResult result = program->LoadFromLines(c.lines, "/parts/Part1.prt");

        const std::string run = c.number ? AsciiCommand("RUF", -c.number) : "";
        EXPECT_EQ(test::FakeKelvApi::Escape(fake.sentText),
                  test::FakeKelvApi::Escape("LOF\r" + c.sent + kEnd + run));
        EXPECT_EQ(result, c.number ? LoadResult::Started : LoadResult::NoNumber);
        EXPECT_EQ(machine->State().partLoaded, c.number != 0);
        if (c.number) {
            EXPECT_EQ(machine->State().partPath, "/parts/Part1.prt");
            ASSERT_NE(machine->State().partText, nullptr);
            EXPECT_EQ(*machine->State().partText, c.sent);
        } else {
            EXPECT_EQ(ui.messages, std::vector<int>{msg::NoProgramNumber});
            EXPECT_EQ(machine->State().partText, nullptr);
        }
        EXPECT_TRUE(std::none_of(ui.calls.begin(), ui.calls.end(), [](const std::string& call) {
            return call.starts_with("open dialog");
        }));
    }
}

TEST_F(ProgramOnFakeCard, ALineTheCardCannotTakeWholeRefusesTheLoad) {
    // Nothing is aborted or sent (the card never enters text mode), the old part stays, and
    // the message names the line and its start.
    const std::string b128(128, 'B');
    struct Case {
        const char* name;
        bool fromFile;
        std::string text;               // file contents
        std::vector<std::string> lines; // editor lines
        int message;
        std::string detail;
    };
    const Case cases[] = {
        {"file line of 128",
         true,
         "O1\nG1 X1\n" + std::string(128, 'A') + "\nM30\n",
         {},
         msg::ProgramLineTooLong,
         "Line 3: " + std::string(40, 'A') + "..."},
        {"F word beyond the limit",
         true,
         "O2\nG1 X1 Y1" + std::string(120, ' ') + "F60\n",
         {},
         msg::ProgramLineTooLong,
         "Line 2: G1 X1 Y1" + std::string(32, ' ') + "..."},
        {"lone CR file, one long line counted by CR",
         true,
         "O3\r" + std::string(200, 'C') + "\rM30\r",
         {},
         msg::ProgramLineTooLong,
         "Line 2: " + std::string(40, 'C') + "..."},
        {"NUL inside a line",
         true,
         std::string("O4\nG0 X1\0G0 Z-5\nM30\n", 19),
         {},
         msg::ProgramLineHasNul,
         "Line 2: G0 X1?G0 Z-5"},
        {"editor line of 129",
         false,
         "",
         {"N5", b128 + "B", "M30"},
         msg::ProgramLineTooLong,
         "Line 2: " + std::string(40, 'B') + "..."},
        {"NUL in an editor line",
         false,
         "",
         {"N6", std::string("G1\0X2", 5)},
         msg::ProgramLineHasNul,
         "Line 2: G1?X2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PretendLoaded(12, "%");
        fake.ClearCalls();
        ui.calls.clear();
        if (c.fromFile)
            OfferFile(c.text);

        const LoadResult result =
            c.fromFile ? program->LoadFromFile() : program->LoadFromLines(c.lines, "p.prt");

        EXPECT_EQ(result, LoadResult::LineRefused);
        EXPECT_TRUE(fake.calls.empty()) << fake.calls.front();
        EXPECT_EQ(ui.calls.back(), "message " + std::to_string(c.message) + ": " + c.detail);
        EXPECT_TRUE(machine->State().partLoaded);
        EXPECT_TRUE(machine->State().programStarted);
        EXPECT_EQ(machine->State().programNumber, 12);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST_F(ProgramOnFakeCard, LoadingOverARunningProgramAsksFirst) {
    // The program status word says the program runs (or is held); No changes nothing, Yes
    // aborts it and loads the new one. A program that is only selected is not asked about.
    struct Case {
        const char* name;
        std::int32_t status;
        std::deque<bool> answers;
        bool asked;
        LoadResult result;
    };
    const Case cases[] = {
        {"running, No", psw::Running, {false}, true, LoadResult::Declined},
        {"feed hold, No", psw::FeedHold, {false}, true, LoadResult::Declined},
        {"paused, Yes", psw::Paused, {true}, true, LoadResult::Started},
        {"running, Yes", psw::Running | psw::Ready, {true}, true, LoadResult::Started},
        {"ready only", psw::Ready, {}, false, LoadResult::Started},
        {"finished", psw::Finished, {}, false, LoadResult::Started},
    };
    for (bool fromFile : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (fromFile ? " from a file" : " from the editor"));
            PretendLoaded(12, "%");
            fake.replies[code::ProgramStatus] = c.status;
            fake.ClearCalls();
            ui.calls.clear();
            ui.yesNoAnswers = c.answers;
            if (fromFile)
                OfferFile("O0034\n");

            const LoadResult result =
                fromFile ? program->LoadFromFile() : program->LoadFromLines({"O0034"}, "p.prt");

            EXPECT_EQ(result, c.result);
            const bool asked =
                std::find(ui.calls.begin(), ui.calls.end(),
                          "question " + std::to_string(msg::AbortRunningProgramToLoad)) !=
                ui.calls.end();
            EXPECT_EQ(asked, c.asked);
            const std::vector<int> codes = BinaryCodes();
            const bool aborted =
                std::find(codes.begin(), codes.end(), code::AbortProgram) != codes.end();
            EXPECT_EQ(aborted, c.result == LoadResult::Started);
            if (c.result == LoadResult::Declined) {
                EXPECT_TRUE(fake.sentText.empty());
                EXPECT_EQ(machine->State().programNumber, 12);
                EXPECT_TRUE(machine->State().programStarted);
            } else {
                EXPECT_EQ(machine->State().programNumber, 34);
            }
        }
    }
}

TEST_F(ProgramOnFakeCard, TheCardGetsHalfASecondAndIsDrainedBeforeTheRunCommand) {
    OfferFile("%\nO0012\n");
    machine->State().views.Remember(ViewKind::ProgramView);

    ASSERT_EQ(program->LoadFromFile(), LoadResult::Started);

    const auto at = [&](const std::string& call) {
        const auto it = std::find(fake.calls.begin(), fake.calls.end(), call);
        EXPECT_NE(it, fake.calls.end()) << call;
        return static_cast<std::size_t>(it - fake.calls.begin());
    };
    const std::size_t end = at("dornputs(A, \"\\x1a\")");
    const std::size_t drain = at("dorngets(A, 40)");
    const std::size_t run = at("dornputs(A, \"RUF-12\\r\")");
    EXPECT_LT(end, drain);
    EXPECT_LT(drain, run);
    EXPECT_GE(fake.callTimes[drain] - fake.callTimes[end], PartProgram::kSettleMs);
    // The program view starts over with the first line; the wait cursor covered it all.
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"open dialog File Load", "clear ProgramView",
                                        "append ProgramView: %", "append ProgramView: \r"}));
    EXPECT_EQ(ui.waitCursorShown, 1);
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(ProgramOnFakeCard, OutsideRunModeNothingIsSentAndTheOperatorIsTold) {
    struct Operation {
        const char* name;
        LoadResult (*run)(PartProgram&);
        int message;
    };
    const Operation operations[] = {
        {"file", [](PartProgram& p) { return p.LoadFromFile(); }, msg::MustBeInRunToLoad},
        {"editor", [](PartProgram& p) { return p.LoadFromLines({"O1"}, "a.prt"); },
         msg::MustBeInRunToLoad},
        {"restart", [](PartProgram& p) { return p.Restart(); }, msg::MustBeInRunToRestart},
    };
    for (MachineMode mode :
         {MachineMode::None, MachineMode::Mdi, MachineMode::Jog, MachineMode::Home}) {
        for (const Operation& op : operations) {
            SCOPED_TRACE(std::string(op.name) + " in mode " + std::to_string(int(mode)));
            SetMachineMode(*machine, MachineEvents::None(), mode);
            PretendLoaded(12, "%");
            OfferFile("O1\n");
            ui.calls.clear();
            ui.messages.clear();

            EXPECT_EQ(op.run(*program), LoadResult::NotInRunMode);

            EXPECT_TRUE(fake.calls.empty());
            EXPECT_EQ(ui.calls, std::vector<std::string>{"message " + std::to_string(op.message)});
            ui.fileAnswers.clear();
        }
    }
}

TEST_F(ProgramOnFakeCard, CancellingTheDialogLeavesTheLoadedPartAlone) {
    PretendLoaded(12, "%");
    ui.fileAnswers.push_back(std::nullopt);

    EXPECT_EQ(program->LoadFromFile(), LoadResult::Cancelled);

    EXPECT_TRUE(fake.calls.empty());
    EXPECT_TRUE(machine->State().partLoaded);
    EXPECT_TRUE(machine->State().programStarted);
    EXPECT_EQ(ui.waitCursorShown, 0);
}

TEST_F(ProgramOnFakeCard, AFileThatCannotBeOpenedIsReportedAndThePreviousPartStays) {
    for (const std::string& path : {folder.File("missing.prt"), folder.Path().string()}) {
        SCOPED_TRACE(path);
        PretendLoaded(12, "%");
        ui.fileAnswers.push_back(path);
        ui.messages.clear();

        EXPECT_EQ(program->LoadFromFile(), LoadResult::FileNotOpened);

        EXPECT_TRUE(fake.calls.empty());
        EXPECT_EQ(ui.messages, std::vector<int>{msg::UnableToOpenFile});
        EXPECT_TRUE(machine->State().partLoaded);
        EXPECT_EQ(machine->State().programNumber, 12);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST_F(ProgramOnFakeCard, AStartedProgramIsAbortedBeforeTheNewText) {
    PretendLoaded(12, "%");
    OfferFile("O0034\n");

    ASSERT_EQ(program->LoadFromFile(), LoadResult::Started);

    const auto abort =
        std::find(fake.calls.begin(), fake.calls.end(), "dorncmdex(B, 0, 401, 0, 2)");
    const auto lof = std::find(fake.calls.begin(), fake.calls.end(), "dornputs(A, \"LOF\\r\")");
    ASSERT_NE(abort, fake.calls.end());
    EXPECT_LT(abort, lof);
    EXPECT_EQ(machine->State().programNumber, 34);
    EXPECT_TRUE(machine->State().programStarted);
}

TEST_F(ProgramOnFakeCard, ACardThatStopsAnsweringAbandonsTheLoadAndLeavesTextMode) {
    struct Case {
        const char* name;
        bool asciiNeverReady;
        bool binaryNeverReady;
        std::string sent;       // ASCII text that reached the card
        bool startedAfterwards; // the old program is still marked started
    };
    const Case cases[] = {
        {"not ready after LOF", true, false, "LOF\r" + kEnd, false},
        {"abort never confirmed", false, true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake.asciiNeverReady = c.asciiNeverReady;
        fake.binaryNeverReady = c.binaryNeverReady;
        fake.ClearCalls();
        ui.messages.clear();
        PretendLoaded(12, "%");
        OfferFile("O0034\nG1 X1\n");

        EXPECT_EQ(program->LoadFromFile(), LoadResult::CardNotAnswering);

        EXPECT_EQ(test::FakeKelvApi::Escape(fake.sentText), test::FakeKelvApi::Escape(c.sent));
        EXPECT_EQ(ui.messages, std::vector<int>{msg::CardNotAnswering});
        EXPECT_EQ(machine->State().programStarted, c.startedAfterwards);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

// ---- Restart --------------------------------------------------------------------------------

TEST_F(ProgramOnFakeCard, RestartAbortsAndRunsTheLoadedNumberWithoutSendingItsText) {
    for (bool started : {true, false}) {
        SCOPED_TRACE(started ? "started" : "not started");
        PretendLoaded(12, "%");
        machine->State().programStarted = started;
        machine->State().views.Remember(ViewKind::ProgramView);
        fake.ClearCalls();
        ui.calls.clear();

        EXPECT_EQ(program->Restart(), LoadResult::Started);

        // A started program's status word is read first: one that still runs is asked about.
        const std::vector<int> codes =
            started ? std::vector<int>{code::ProgramStatus, code::AbortProgram}
                    : std::vector<int>{code::AbortProgram};
        EXPECT_EQ(BinaryCodes(), codes);
        EXPECT_EQ(test::FakeKelvApi::Escape(fake.sentText), "\"RUF-12\\r\"");
        EXPECT_TRUE(machine->State().programStarted);
        EXPECT_EQ(ui.calls, (std::vector<std::string>{"clear ProgramView", "append ProgramView: %",
                                                      "append ProgramView: \r"}));
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST_F(ProgramOnFakeCard, RestartWithNothingLoadedIsFileLoad) {
    OfferFile("O55\n");

    EXPECT_EQ(program->Restart(), LoadResult::Started);

    EXPECT_EQ(ui.calls.front(), "open dialog File Load");
    EXPECT_EQ(machine->State().programNumber, 55);
}

TEST_F(ProgramOnFakeCard, RestartIsAbandonedWhenTheAbortIsNeverConfirmed) {
    PretendLoaded(12, "%");
    fake.binaryNeverReady = true;

    EXPECT_EQ(program->Restart(), LoadResult::CardNotAnswering);

    EXPECT_TRUE(fake.sentText.empty());
    EXPECT_EQ(ui.messages, std::vector<int>{msg::CardNotAnswering});
}

TEST_F(ProgramOnFakeCard, RestartOverARunningProgramAsksFirst) {
    // Restart aborts the cut under way and starts over at the program's first line: while the
    // program runs (or is held) the operator is asked; No changes nothing, Yes restarts. A
    // program that is only selected or finished is not asked about.
    struct Case {
        const char* name;
        std::int32_t status;
        std::deque<bool> answers;
        bool asked;
        LoadResult result;
    };
    const Case cases[] = {
        {"running, No", psw::Running, {false}, true, LoadResult::Declined},
        {"feed hold, No", psw::FeedHold, {false}, true, LoadResult::Declined},
        {"paused, No", psw::Paused, {false}, true, LoadResult::Declined},
        {"running, Yes", psw::Running | psw::Ready, {true}, true, LoadResult::Started},
        {"ready only", psw::Ready, {}, false, LoadResult::Started},
        {"finished", psw::Finished, {}, false, LoadResult::Started},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PretendLoaded(12, "%");
        fake.replies[code::ProgramStatus] = c.status;
        fake.ClearCalls();
        ui.calls.clear();
        ui.yesNoAnswers = c.answers;

        EXPECT_EQ(program->Restart(), c.result);

        const bool asked =
            std::find(ui.calls.begin(), ui.calls.end(),
                      "question " + std::to_string(msg::RestartStopsRunningProgram)) !=
            ui.calls.end();
        EXPECT_EQ(asked, c.asked);
        const std::vector<int> codes = BinaryCodes();
        const bool aborted =
            std::find(codes.begin(), codes.end(), code::AbortProgram) != codes.end();
        EXPECT_EQ(aborted, c.result == LoadResult::Started);
        EXPECT_EQ(fake.sentText.empty(), c.result == LoadResult::Declined) << "no RUF after No";
        EXPECT_TRUE(machine->State().programStarted);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

// ---- Cycle commands ---------------------------------------------------------------------

TEST_F(ProgramOnFakeCard, CycleCommandsNeedALoadedPartAndAStartableProgram) {
    struct Case {
        const char* name;
        void (PartProgram::*command)();
        bool loaded;
        std::uint32_t status;
        std::vector<int> codes; // binary commands sent
        std::vector<int> messages;
    };
    const Case cases[] = {
        {"start, nothing loaded",
         &PartProgram::RunStart,
         false,
         psw::Ready,
         {},
         {msg::NoPartLoaded}},
        {"block, nothing loaded",
         &PartProgram::RunBlock,
         false,
         psw::Ready,
         {},
         {msg::NoPartLoaded}},
        {"start, finished",
         &PartProgram::RunStart,
         true,
         psw::Finished,
         {code::ProgramStatus},
         {msg::MustRestart}},
        {"hold, idle",
         &PartProgram::RunFeedHold,
         true,
         0,
         {code::ProgramStatus},
         {msg::MustRestart}},
        {"start, ready",
         &PartProgram::RunStart,
         true,
         psw::Ready,
         {code::ProgramStatus, code::CycleStart},
         {}},
        {"block, running",
         &PartProgram::RunBlock,
         true,
         psw::Running | psw::Absolute,
         {code::ProgramStatus, code::SingleBlock},
         {}},
        {"hold, ready and running",
         &PartProgram::RunFeedHold,
         true,
         psw::Ready | psw::Running,
         {code::ProgramStatus, code::FeedHold},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        machine->State().partLoaded = c.loaded;
        fake.replies[code::ProgramStatus] = c.status;
        fake.ClearCalls();
        ui.messages.clear();

        ((*program).*c.command)();

        EXPECT_EQ(BinaryCodes(), c.codes);
        EXPECT_EQ(ui.messages, c.messages);
    }
}

TEST_F(ProgramOnFakeCard, CycleCommandsDoNothingOutsideRunMode) {
    machine->State().partLoaded = true;
    fake.replies[code::ProgramStatus] = psw::Ready;
    for (MachineMode mode :
         {MachineMode::None, MachineMode::Mdi, MachineMode::Jog, MachineMode::Home}) {
        SetMachineMode(*machine, MachineEvents::None(), mode);
        program->RunStart();
        program->RunBlock();
        program->RunFeedHold();
    }
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// ---- The program view and the card's echo of the first line ---------------------------------

// The program view shows the loaded program's first line from the load on; the card's echo of
// that line, however it is split over pieces of text, is not shown a second time. Anything
// else the card sends first is shown as sent, and the echo is dropped only once.
TEST_F(ProgramOnFakeCard, TheCardsEchoOfTheFirstLineIsNotShownTwice) {
    struct Case {
        const char* name;
        std::string firstLine;
        ProgramViewKind kind;
        std::vector<std::string> pieces;
        std::vector<std::string> shown;
    };
    const std::string first = "O100 (A)";
    const Case cases[] = {
        {"echo then more", first, ProgramViewKind::Program, {"O100 (A)\rN10\r"}, {"N10\r"}},
        {"echo split", first, ProgramViewKind::Program, {"O100 ", "(A", ")\rN10\r"}, {"N10\r"}},
        {"echo alone", first, ProgramViewKind::Program, {"O100 (A)\r", "N10\r"}, {"N10\r"}},
        {"line end of a CR LF file", first + "\r", ProgramViewKind::Program, {"O100 (A)\r"}, {}},
        {"not the echo after all",
         first,
         ProgramViewKind::Program,
         {"O100 (", "B)\r"},
         {"O100 (B)\r"}},
        {"other text first",
         first,
         ProgramViewKind::Program,
         {"PART ERROR\r", "O100 (A)\r"},
         {"PART ERROR\r", "O100 (A)\r"}},
        {"dropped once",
         first,
         ProgramViewKind::Program,
         {"O100 (A)\r", "O100 (A)\r"},
         {"O100 (A)\r"}},
        {"messages are not echoes",
         first,
         ProgramViewKind::Messages,
         {"O100 (A)\r"},
         {"O100 (A)\r"}},
        {"a blank first line is not echoed", " ", ProgramViewKind::Program, {" \r"}, {" \r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PretendLoaded(100, c.firstLine);
        machine->State().views.Remember(ViewKind::ProgramView);
        machine->State().programViewKind = c.kind;
        ASSERT_EQ(program->Restart(), LoadResult::Started);
        ui.calls.clear();

        ProgramView view(*machine);
        for (const std::string& piece : c.pieces)
            view.Route(piece);
        std::vector<std::string> expected;
        for (const std::string& text : c.shown)
            expected.push_back("append ProgramView: " + text);
        EXPECT_EQ(ui.calls, expected);
    }
}

} // namespace
} // namespace morvik
