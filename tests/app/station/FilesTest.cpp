// The station's own files and the files the desktop hands it: part programs named on the
// command line or by the desktop entry open in an editor window, a file that is no machine
// opens as one only when the operator says so, unsaved work survives a signal or a logout as
// recovery copies offered at the next start, and a failed Save As names its file.
#include "app/station/StationFixture.h"
#include "operation/CommandIds.h"

#include "app/RecoveryStore.h"
#include "controller/StringTable.h"
#include "ui/PartDocuments.h"
#include "ui/PartView.h"

#include <QMdiArea>
#include <QPlainTextEdit>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace morvik {
namespace {

using test::StationOnCard;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

class StationFiles : public StationOnCard {
protected:
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const std::string path = work.File(name);
        test::WriteBytes(path, bytes);
        return path;
    }
    CPartView* ActiveEditor() {
        QMdiSubWindow* window = Frame().ActiveWindow();
        return window != nullptr ? dynamic_cast<CPartView*>(window->widget()) : nullptr;
    }
    std::vector<RecoveryCopy> Copies() const {
        return RecoveryStore(config.RecoveryFolder()).Pending();
    }
};

TEST(CommandLine, TheDesktopEntryHandsMachineFilesAndPartProgramsToTheirPlaces) {
    struct Case {
        QStringList arguments;
        std::string machineFile;
        std::string partProgram;
    };
    const Case cases[] = {
        {{"morvik", "/home/op/my", "mill.mch"}, "/home/op/my mill.mch", ""},
        {{"morvik", "--desktop-open", "/home/op/mill.MCH"}, "/home/op/mill.MCH", ""},
        {{"morvik", "--desktop-open", "/home/op/bracket.nc"}, "", "/home/op/bracket.nc"},
        {{"morvik", "--desktop-open", "/home/op/notes"}, "", "/home/op/notes"},
        {{"morvik", "--desktop-open"}, "", ""}, // from the menu, no file: a new machine
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        StartupOptions options;
        ReadCommandLine(c.arguments, options);
        EXPECT_EQ(options.commandLine, c.machineFile);
        EXPECT_EQ(options.partProgram, c.partProgram);
    }
    for (const char* name : {"a.prt", "a.NGC", "a.nc", "a.tap", "a.gcode"})
        EXPECT_TRUE(HasPartProgramExtension(name)) << name;
    for (const char* name : {"a.mch", "a", "prt", "a.prt.bak", "nc.d/a"})
        EXPECT_FALSE(HasPartProgramExtension(name)) << name;
}

// "Open with" of a G-code file used to make it the machine file, and a later Setup > Save
// wrote machine sections into the program.
TEST_F(StationFiles, APartProgramOnTheCommandLineOpensInAnEditorBesideANewMachine) {
    const std::string program = "O0100\nG21 G90\nG01 X10 F100\nM30\n";
    for (const std::string& name : {std::string("bracket.nc"), std::string("bracket.prt")}) {
        SCOPED_TRACE(name);
        const std::string path = WriteFile(name, program);
        ASSERT_TRUE(Start(path));
        EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join(" | ").toStdString();
        ASSERT_NE(app->Machine(), nullptr);
        EXPECT_EQ(Machine().GetTitle(), "Machine1");
        EXPECT_EQ(Machine().GetPathName(), "");
        ASSERT_NE(ActiveEditor(), nullptr);
        EXPECT_EQ(ActiveEditor()->toPlainText(), Q(program));
        EXPECT_EQ(ActiveEditor()->Part().Path(), Q(path));
        EXPECT_EQ(test::ReadBytes(path), program);
    }
}

TEST_F(StationFiles, AFileThatIsNoMachineIsOpenedAsOneOnlyWhenTheOperatorSaysSo) {
    const std::string path = WriteFile("notes.txt", "shopping list\n");
    dialogs.answers = {BoxAnswer::No};
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(dialogs.Texts(),
              QStringList{Q(MessageText(msg::NoMachineDescription)) + "\n" + Q(path)})
        << "asked once, and no failure box after the answer";
    EXPECT_EQ(app->Machine(), nullptr);

    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::Yes};
    ASSERT_TRUE(Start(path));
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    ASSERT_NE(app->Machine(), nullptr);
    EXPECT_EQ(Machine().GetPathName(), path);
    EXPECT_EQ(test::ReadBytes(path), "shopping list\n");
}

// A Save As that fails reports the file the operator chose, not the document's previous one.
TEST_F(StationFiles, AFailedSaveAsNamesTheChosenFile) {
    ASSERT_TRUE(Start());
    const std::string chosen = work.File("missing/lathe.mch");
    dialogs.files = {Q(chosen)};
    EXPECT_FALSE(app->SaveMachine(MorvikApp::SaveKind::SaveAs));
    ASSERT_FALSE(dialogs.boxes.empty());
    EXPECT_EQ(dialogs.boxes.back().text, "Failed to save document.\n" + Q(chosen));
    EXPECT_EQ(Machine().GetPathName(), "");
}

// SIGTERM, SIGINT and SIGHUP: every modified document is written aside before the card is
// shut down, and the next start offers each back.
TEST_F(StationFiles, ASignalKeepsUnsavedWorkAsRecoveryCopiesOfferedAtTheNextStart) {
    const std::string mill = work.File("mill.mch");
    std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                               mill);
    const std::string onDisk = "O1\r\nG00 X1\r\n";
    const std::string part = WriteFile("bracket.prt", onDisk);
    ASSERT_TRUE(Start(mill));
    const std::string machineBefore = test::ReadBytes(mill);
    Machine().Feed().feedRate.Set(unit::Millimeter, timeunit::Minute, 321.0);
    Machine().SetModifiedFlag();
    CPartView* edited = app->Parts().OpenFile(Q(part));
    ASSERT_NE(edited, nullptr);
    edited->moveCursor(QTextCursor::End);
    edited->insertPlainText("M30\n");
    ASSERT_TRUE(Commands().Execute(Cmd::New)); // an untitled part, also edited
    ActiveEditor()->insertPlainText("G00 Y2");
    app->Parts().New(); // an empty one: nothing to keep

    app->RequestTerminate();
    EXPECT_TRUE(dialogs.boxes.empty()) << "no prompt";
    EXPECT_TRUE(TraceHas("PC62,EN")) << "the card is still shut down in order";
    std::vector<RecoveryCopy> copies = Copies();
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[0].path, part);
    EXPECT_EQ(copies[0].bytes, "O1\r\nG00 X1\r\nM30\r\n");
    EXPECT_EQ(copies[1].title, "Part1");
    EXPECT_EQ(copies[1].bytes, "G00 Y2");
    EXPECT_EQ(copies[2].kind, RecoveryCopy::Kind::Machine);
    EXPECT_EQ(copies[2].path, mill);
    EXPECT_NE(copies[2].bytes.find("FEEDRATE=321 mm/min"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(mill), machineBefore) << "the files themselves are not touched";
    EXPECT_EQ(test::ReadBytes(part), onDisk);

    // Next start: Yes restores, No removes, Cancel keeps for the start after.
    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::Yes, BoxAnswer::Cancel, BoxAnswer::Yes};
    ASSERT_TRUE(Start(mill));
    EXPECT_EQ(dialogs.Texts(), (QStringList{"Recover unsaved changes from " + Q(part) + "?",
                                            "Recover unsaved changes from Part1?",
                                            "Recover unsaved changes from " + Q(mill) + "?"}));
    CPartView* restored = nullptr;
    for (CPart* p : app->Parts().Parts())
        if (p->Path() == Q(part))
            restored = app->Parts().Views(*p).front();
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->toPlainText(), "O1\nG00 X1\nM30\n");
    EXPECT_TRUE(restored->Part().IsModified());
    EXPECT_EQ(Machine().Feed().feedRate.Value(), 321.0);
    EXPECT_TRUE(Machine().IsModified());
    EXPECT_EQ(Machine().GetPathName(), mill);
    copies = Copies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].title, "Part1");

    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::No};
    ASSERT_TRUE(Start(mill));
    EXPECT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(Copies().empty());
}

// An untitled part comes back under its own name, even when a part with a file was restored
// before it, and the next new part is numbered after it.
TEST_F(StationFiles, ARecoveredUntitledPartKeepsItsName) {
    const std::string part = work.File("a.prt");
    std::ofstream(part) << "O1\n";
    ASSERT_TRUE(Start());
    CPartView* edited = app->Parts().OpenFile(Q(part));
    ASSERT_NE(edited, nullptr);
    edited->insertPlainText("G00 X1\n");
    ASSERT_TRUE(Commands().Execute(Cmd::New));
    ActiveEditor()->insertPlainText("G00 Y2");
    app->RequestTerminate();
    ASSERT_EQ(Copies().size(), 2u);

    dialogs.answers = {BoxAnswer::Yes, BoxAnswer::Yes};
    ASSERT_TRUE(Start());
    QStringList untitled;
    for (CPart* p : app->Parts().Parts())
        if (p->Path().isEmpty())
            untitled << p->Title();
    EXPECT_EQ(untitled, QStringList{"Part1"});
    EXPECT_EQ(app->Parts().New()->Part().Title(), "Part2");
}

// The desktop logs out: the station asks as File > Exit does, and a Cancel cancels the logout;
// a session that may not ask gets recovery copies instead.
TEST_F(StationFiles, LogoutAsksAsExitDoesOrKeepsRecoveryCopies) {
    ASSERT_TRUE(Start());
    Machine().SetModifiedFlag();
    dialogs.answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(app->CommitData(true));
    EXPECT_EQ(dialogs.Texts(), QStringList{"Save changes to Machine1?"});
    EXPECT_TRUE(Copies().empty());

    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::No};
    EXPECT_TRUE(app->CommitData(true));
    EXPECT_EQ(dialogs.boxes.size(), 1u);

    dialogs.boxes.clear();
    EXPECT_TRUE(app->CommitData(false));
    EXPECT_TRUE(dialogs.boxes.empty());
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].title, "Machine1");

    // The session then ends the station with a signal: still one copy of the machine.
    app->RequestTerminate();
    ASSERT_EQ(Copies().size(), 1u);
}

// A logout that did not happen leaves no copy behind once the operator closes the station.
TEST_F(StationFiles, ClosingNormallyRemovesTheCopiesOfThisRun) {
    ASSERT_TRUE(Start());
    Machine().SetModifiedFlag();
    EXPECT_TRUE(app->CommitData(false));
    ASSERT_EQ(Copies().size(), 1u);
    dialogs.answers = {BoxAnswer::No};
    EXPECT_TRUE(Frame().close());
    EXPECT_TRUE(Copies().empty());
}

// Save As onto an existing file the operator agreed to replace leaves the machine alone in it
// (a G-code file chosen by mistake keeps none of its program); Save onto the machine's own
// file keeps what others wrote in it.
TEST_F(StationFiles, SaveAsReplacesTheChosenFileAndSaveKeepsTheOwnFilesOtherLines) {
    ASSERT_TRUE(Start());
    const std::string program = "O0100\nG21 G90\n[MISTAKE]\nG01 X10 F100\nM30\n";
    const std::string gcode = WriteFile("bracket.nc", program);
    dialogs.files = {Q(gcode)};
    ASSERT_TRUE(app->SaveMachine(MorvikApp::SaveKind::SaveAs));
    const std::string saved = test::ReadBytes(gcode);
    for (const char* line : {"O0100", "G21 G90", "[MISTAKE]", "G01 X10 F100", "M30"})
        EXPECT_EQ(saved.find(line), std::string::npos) << line;
    EXPECT_EQ(saved.rfind("[GENERAL]\n", 0), 0u) << saved;
    const std::string out = work.File("cfg");
    const std::string command = std::string("'") + MORVIK_BIN_DIR + "/morvik-cfg' '" + gcode +
                                "' '" + (std::filesystem::create_directory(out), out) + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_FALSE(std::filesystem::is_empty(out)) << "its controller files written";

    // The machine's own file: a comment above the sections and another program's section stay
    // (each of the machine's own sections is erased and written anew, its lines with it).
    test::WriteBytes(gcode, "; checked by the foreman\n" + saved + "[OTHERPROGRAM]\nKEY=1\n");
    Machine().SetModifiedFlag();
    ASSERT_TRUE(app->SaveMachine(MorvikApp::SaveKind::Save));
    const std::string resaved = test::ReadBytes(gcode);
    EXPECT_NE(resaved.find("; checked by the foreman"), std::string::npos) << resaved;
    EXPECT_NE(resaved.find("[OTHERPROGRAM]\nKEY=1"), std::string::npos) << resaved;
}

// Unsaved work is the operator's alone: each copy readable by its owner only, in a folder
// only the owner can enter.
TEST_F(StationFiles, RecoveryCopiesAreTheOwnersAlone) {
    ASSERT_TRUE(Start());
    Machine().SetModifiedFlag();
    ASSERT_TRUE(Commands().Execute(Cmd::New));
    ActiveEditor()->insertPlainText("G00 Y2");
    const mode_t umask = ::umask(0); // the laxest a user could have set
    EXPECT_EQ(app->WriteRecoveryCopies(), 2);
    ::umask(umask);
    struct stat folder {};
    ASSERT_EQ(::stat(config.RecoveryFolder().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 07777, 0700u);
    for (const RecoveryCopy& copy : Copies()) {
        struct stat file {};
        ASSERT_EQ(::stat(copy.file.c_str(), &file), 0);
        EXPECT_EQ(file.st_mode & 07777, 0600u) << copy.file;
    }
}

// A Latin-1 file that was given a character Latin-1 cannot hold comes back from its recovery
// copy as it was: Latin-1, with the question a save asks still to be asked.
TEST_F(StationFiles, ARecoveredLatinOneFileAsksBeforeItChangesEncoding) {
    const std::string bytes = "O1\n(caf\xe9)\n";
    const std::string part = WriteFile("latin.prt", bytes);
    ASSERT_TRUE(Start());
    CPartView* edited = app->Parts().OpenFile(Q(part));
    ASSERT_NE(edited, nullptr);
    edited->moveCursor(QTextCursor::End);
    edited->insertPlainText(QString::fromUtf8("(\xe2\x82\xac)")); // €
    app->RequestTerminate();

    dialogs.boxes.clear();
    dialogs.answers = {BoxAnswer::Yes, BoxAnswer::No};
    ASSERT_TRUE(Start());
    CPartView* restored = ActiveEditor();
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->toPlainText(), QString::fromUtf8("O1\n(caf\xc3\xa9)\n(\xe2\x82\xac)"));
    EXPECT_FALSE(app->Parts().Save(restored->Part())) << "No: not written as UTF-8";
    EXPECT_EQ(dialogs.Texts().last(),
              QString(CPartDocuments::kChangeEncodingPrompt).arg("latin.prt"));
    EXPECT_EQ(test::ReadBytes(part), bytes);
    // Without the new character it is Latin-1 again, byte for byte.
    restored->moveCursor(QTextCursor::End);
    for (int i = 0; i < 3; ++i)
        restored->textCursor().deletePreviousChar();
    ASSERT_TRUE(app->Parts().Save(restored->Part()));
    EXPECT_EQ(test::ReadBytes(part), bytes);
}

// A FIFO, a device or a folder named as the machine (command line, Setup > Open) or lying in
// the recovery folder is never read: the station starts, says which path it refused, and
// runs on.
TEST_F(StationFiles, PathsThatAreNoRegularFileNeverBlockTheStation) {
    const std::string fifo = work.File("pipe.mch");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const QString refused = Q(MessageText(msg::NotARegularFile));
    for (const std::string& path : {fifo, std::string("/dev/zero"), work.Path().string()}) {
        SCOPED_TRACE(path);
        dialogs.boxes.clear();
        ASSERT_TRUE(Start(path));
        EXPECT_EQ(dialogs.Texts(), QStringList{refused + "\n" + Q(path)});
        EXPECT_EQ(app->Machine(), nullptr);
    }
    ASSERT_TRUE(Start());
    dialogs.boxes.clear();
    EXPECT_FALSE(app->ReplaceMachine(fifo));
    EXPECT_EQ(dialogs.Texts(), QStringList{refused + "\n" + Q(fifo)});

    std::filesystem::create_directories(config.RecoveryFolder());
    const std::string copy = config.RecoveryFolder() + "/000000000001-0000000001-000001.recovery";
    ASSERT_EQ(::mkfifo(copy.c_str(), 0600), 0);
    dialogs.boxes.clear();
    ASSERT_TRUE(Start());
    EXPECT_TRUE(dialogs.boxes.empty()) << dialogs.Texts().join(" | ").toStdString();
}

TEST(RecoveryStore, KeepsPathsWithLineBreaksAndIgnoresForeignFiles) {
    test::TempFolder folder;
    RecoveryStore store(folder.File("a/b/recovery"));
    RecoveryCopy copy{
        RecoveryCopy::Kind::PartProgram, "/tmp/x\nRCF100%0A.prt", "x", "O1\n%\n", {}, {}};
    ASSERT_TRUE(store.Write(copy));
    test::WriteBytes(folder.File("a/b/recovery/notes.recovery"), "not a copy\n");
    test::WriteBytes(folder.File("a/b/recovery/other.txt"), "MORVIK RECOVERY 1\n");
    const std::vector<RecoveryCopy> pending = store.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].path, copy.path);
    EXPECT_EQ(pending[0].bytes, copy.bytes);
    store.Remove(pending[0]);
    EXPECT_TRUE(store.Pending().empty());
}

} // namespace
} // namespace morvik
