// The machine document's conversation with the card, on the recording fake library: opening
// the connection, new and open with their downloads, aborting a started program first,
// reporting a controller file that cannot be written, options, and closing.
#include "machine/document/MachineFixture.h"

#include "controller/StringTable.h"

#include <map>

namespace morvik {
namespace {

using Calls = std::vector<std::string>;

const Calls kResetCommands = {
    "dorncmdex(B, 0, 440, 1, 4)", "dorncmdex(B, 0, 441, 1, 4)", "dorncmdex(B, 0, 442, 1, 4)",
    "dorncmdex(B, 0, 425, 0, 2)", "dorncmdex(B, 0, 421, 0, 2)",
};
const Calls kOptionsOff = {
    "dorncmdex(B, 0, 490, -1, 2)",
    "dorncmdex(B, 0, 491, -1, 2)",
    "dorncmdex(B, 0, 494, -1, 2)",
    "dorncmdex(B, 0, 495, -1, 2)",
};

Calls Downloads(std::initializer_list<int> numbers) {
    const std::map<int, std::string> read = {{100, "RCF"}, {101, "RWF"}, {102, "RTF"}};
    Calls calls;
    for (int n : numbers) {
        calls.push_back("dornputs(A, \"LO" + std::to_string(n) + "\\r\")");
        calls.push_back("dornputs(A, \"\\x1a\")");
        calls.push_back("dornputs(A, \"" + read.at(n) + std::to_string(n) + "\\r\")");
        calls.push_back("dorngets(A, 80)");
    }
    return calls;
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

using Document = test::MachineOnFakeCard;

TEST_F(Document, ConnectOpensTheCardSendsTheOpeningCommandsAndSwitchesOptionsOff) {
    CMachine fresh(fake.Table(), clock, ui);
    EXPECT_EQ(currentMachine, &fresh);
    EXPECT_EQ(CurrentController(), &fresh.Controller());
    fake.ClearCalls();
    ASSERT_TRUE(fresh.Connect());
    EXPECT_EQ(fake.CallsOf("KelvOpen"),
              (Calls{"KelvOpen(0, 0x8002, 0)", "KelvOpen(0, 0x8001, 0)"}));
    EXPECT_EQ(Protocol(),
              Join({{"dornputs(A, \"PC0,EF\\r\")", "dornputs(A, \"FO\\r\")"}, kOptionsOff}));
}

TEST_F(Document, ConnectReportsACardThatCannotBeOpened) {
    struct Case {
        const char* what;
        KELVHANDLE binary, ascii;
        int message;
    };
    const Case cases[] = {
        {"binary refused", -1, 0x11, msg::UnableToOpenBinary},
        {"ASCII refused", 0x12, -1, msg::UnableToOpenAscii},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.binaryHandle = c.binary;
        fake.asciiHandle = c.ascii;
        ui.messages.clear();
        CMachine refused(fake.Table(), clock, ui);
        fake.ClearCalls();
        EXPECT_FALSE(refused.Connect());
        EXPECT_EQ(ui.messages, std::vector<int>{c.message});
        EXPECT_TRUE(fake.CallsOf("dornputs").empty());
    }
}

TEST_F(Document, NewAndOpenResetThenDownloadConfigurationWorkCoordinatesAndToolData) {
    struct Case {
        const char* what;
        std::string machineFile; // empty: a new machine
        const char* files[3];
    };
    const Case cases[] = {
        {"new", "", {"Machine1.CFG", "Machine1.WRK", "Machine1.TOL"}},
        {"open", test::GoldenPath("mill.mch"), {"mill.CFG", "mill.WRK", "mill.TOL"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.ClearCalls();
        machine->SetModifiedFlag(true);
        ASSERT_TRUE(c.machineFile.empty() ? machine->OnNewDocument()
                                          : machine->OnOpenDocument(c.machineFile));
        EXPECT_EQ(Protocol(), Join({kResetCommands, Downloads({100, 101, 102})}));
        EXPECT_FALSE(machine->IsModified());
        // Each file went to the card whole, between its load and read commands.
        const std::string numbers[] = {"100", "101", "102"};
        const std::string reads[] = {"RCF", "RWF", "RTF"};
        for (int i = 0; i < 3; ++i)
            EXPECT_NE(fake.sentText.find("LO" + numbers[i] + "\r" +
                                         test::ReadBytes(cwd.folder.File(c.files[i])) + "\x1a" +
                                         reads[i] + numbers[i] + "\r"),
                      std::string::npos)
                << c.files[i];
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(machine->GetTitle(), "mill.mch");
    EXPECT_EQ(machine->GetPathName(), test::GoldenPath("mill.mch"));
    EXPECT_EQ(machine->RecentFiles().Files().front(), test::GoldenPath("mill.mch"));
}

TEST_F(Document, OpeningAFileThatCannotBeOpenedFailsWithoutPathOrDownloads) {
    std::filesystem::create_directory(cwd.folder.File("folder.mch"));
    for (const char* name : {"absent.mch", "folder.mch"}) {
        SCOPED_TRACE(name);
        fake.ClearCalls();
        machine->SetModifiedFlag(true);
        EXPECT_FALSE(machine->OnOpenDocument(cwd.folder.File(name)));
        EXPECT_EQ(Protocol(), kResetCommands);
        EXPECT_EQ(machine->GetPathName(), "");
        EXPECT_EQ(machine->GetTitle(), "Machine1");
        EXPECT_TRUE(machine->RecentFiles().Files().empty());
        EXPECT_EQ(cwd.folder.EntryCount(), 1u) << "no controller file written";
        // The settings were read as absent before the check: SETUPPRECISION fixed up to 9.
        EXPECT_EQ(machine->SetupPrecision(), 9);
    }
}

TEST_F(Document, AStartedProgramIsAbortedBeforeEachDownload) {
    struct Case {
        bool (CMachine::*download)();
        int number;
    };
    const Case cases[] = {
        {&CMachine::DownloadConfiguration, 100},
        {&CMachine::DownloadWorkCoordinates, 101},
        {&CMachine::DownloadToolData, 102},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        fake.ClearCalls();
        fake.binaryBusyPolls = 3;
        machine->State().programStarted = true;
        machine->State().partLoaded = true;
        EXPECT_TRUE((machine.get()->*c.download)());
        EXPECT_EQ(Protocol(), Join({{"dorncmdex(B, 0, 401, 0, 2)"}, Downloads({c.number})}));
        EXPECT_GE(fake.CountOf("dornrdy"), 4) << "the card was polled until ready";
        EXPECT_FALSE(machine->State().programStarted);
        EXPECT_TRUE(machine->State().partLoaded) << "Restart can run the part again";

        fake.ClearCalls();
        EXPECT_TRUE((machine.get()->*c.download)());
        EXPECT_EQ(Protocol(), Downloads({c.number})) << "no abort when nothing was started";
    }
}

TEST_F(Document, ACardThatDoesNotAnswerTheAbortStopsTheDownloadsWithOneMessage) {
    fake.binaryNeverReady = true;
    machine->State().programStarted = true;
    EXPECT_FALSE(machine->DownloadAll());
    EXPECT_EQ(Protocol(), Calls{"dorncmdex(B, 0, 401, 0, 2)"});
    EXPECT_EQ(ui.messages, std::vector<int>{msg::CardNotAnswering});
    EXPECT_TRUE(machine->State().programStarted);
}

TEST_F(Document, AControllerFileThatCannotBeWrittenIsReportedAndNotDownloaded) {
    const std::string title = cwd.folder.File("missing/mill.mch");
    machine->SetTitle(title);
    EXPECT_FALSE(machine->DownloadAll());
    EXPECT_TRUE(Protocol().empty());
    const std::string cut = cwd.folder.File("missing/mill");
    EXPECT_EQ(ui.calls, (Calls{"message 34203: " + cut + ".CFG", "message 34203: " + cut + ".WRK",
                               "message 34203: " + cut + ".TOL"}));
    EXPECT_EQ(ui.waitDepth, 0);
}

TEST_F(Document, OnlyTheConfigurationShowsTheWaitCursor) {
    struct Case {
        bool (CMachine::*download)();
        int shown;
    };
    const Case cases[] = {
        {&CMachine::DownloadConfiguration, 1},
        {&CMachine::DownloadWorkCoordinates, 0},
        {&CMachine::DownloadToolData, 0},
    };
    for (const Case& c : cases) {
        ui.waitCursorShown = 0;
        EXPECT_TRUE((machine.get()->*c.download)());
        EXPECT_EQ(ui.waitCursorShown, c.shown);
        EXPECT_EQ(ui.waitDepth, 0);
    }
}

TEST_F(Document, ShutdownRunsTheClosingSequenceOnceInOrder) {
    for (bool started : {true, false}) {
        SCOPED_TRACE(started ? "program started" : "no program");
        CMachine closing(fake.Table(), clock, ui);
        ASSERT_TRUE(closing.Connect());
        closing.State().programStarted = started;
        fake.ClearCalls();

        closing.Shutdown();

        Calls expected = started ? Calls{"dorncmdex(B, 0, 401, 0, 2)"} : Calls{};
        expected = Join({expected,
                         kOptionsOff,
                         {"dorncmdex(B, 0, 494, 1, 2)", "dornputs(A, \"PC62,EN\\r\")",
                          "dorngets(A, 80)", "KelvClose(B)", "KelvClose(A)"}});
        EXPECT_EQ(Protocol(), expected);
        EXPECT_FALSE(closing.State().programStarted);
        EXPECT_FALSE(closing.Controller().IsOpen());
        EXPECT_EQ(currentMachine, nullptr);

        fake.ClearCalls();
        closing.Shutdown();
        EXPECT_TRUE(fake.calls.empty()) << "a second close sends nothing";
    }
}

TEST_F(Document, DestroyingTheDocumentClosesTheCardAndClearsTheCurrentMachine) {
    machine.reset();
    EXPECT_EQ(fake.CountOf("KelvClose"), 2);
    EXPECT_EQ(fake.CallsOf("dornputs").back(), "dornputs(A, \"PC62,EN\\r\")");
    EXPECT_EQ(currentMachine, nullptr);
    EXPECT_EQ(CurrentController(), nullptr);

    // A document whose card never opened has nothing to close.
    fake.ClearCalls();
    { CMachine unopened(fake.Table(), clock, ui); }
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Document, OverridesAndProgramOptionsAreKeptAndSent) {
    struct Case {
        void (*apply)(CMachine&);
        bool (*holds)(const MachineState&);
        const char* sent;
    };
    const Case cases[] = {
        {[](CMachine& m) { m.SetFeedOverride(0.5); },
         [](const MachineState& s) { return s.feedOverride == 0.5; },
         "dorncmdex(B, 0, 440, 0.5, 4)"},
        {[](CMachine& m) { m.SetRapidOverride(0.25); },
         [](const MachineState& s) { return s.rapidOverride == 0.25; },
         "dorncmdex(B, 0, 441, 0.25, 4)"},
        {[](CMachine& m) { m.SetSpindleOverride(1.2); },
         [](const MachineState& s) { return s.spindleOverride == 1.2; },
         "dorncmdex(B, 0, 442, 1.2, 4)"},
        {[](CMachine& m) { m.SetBlockSkip(true); },
         [](const MachineState& s) { return s.blockSkipOn; }, "dorncmdex(B, 0, 424, 0, 2)"},
        {[](CMachine& m) { m.SetDryRun(true); }, [](const MachineState& s) { return s.dryRunOn; },
         "dorncmdex(B, 0, 420, 0, 2)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        fake.ClearCalls();
        c.apply(*machine);
        EXPECT_TRUE(c.holds(machine->State()));
        EXPECT_EQ(Protocol(), Calls{c.sent});
    }
    // A new machine: 100 % and both options off again.
    machine->ResetSetup();
    const MachineState& s = machine->State();
    EXPECT_EQ(s.feedOverride, 1.0);
    EXPECT_EQ(s.rapidOverride, 1.0);
    EXPECT_EQ(s.spindleOverride, 1.0);
    EXPECT_FALSE(s.blockSkipOn);
    EXPECT_FALSE(s.dryRunOn);
}

TEST_F(Document, AClosedProgramViewTakesTheOutputOptionsWithIt) {
    struct Case {
        ViewKind view;
        Calls sent;
    };
    const Case cases[] = {
        {ViewKind::ProgramView, kOptionsOff},
        {ViewKind::HomingView, {}},
        {ViewKind::MdiPanel, {}},
        {ViewKind::StatusDisplay, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::RecordingOperator::Name(c.view));
        machine->State().views.Remember(c.view);
        fake.ClearCalls();
        machine->OnViewDestroyed(c.view);
        EXPECT_FALSE(machine->State().views.Has(c.view));
        EXPECT_EQ(Protocol(), c.sent);
    }
}

} // namespace
} // namespace morvik
