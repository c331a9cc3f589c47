// Part program documents: New, Open, Save, Save As, Close with its prompt, New Window, and
// File > Load from an editor window on the simulated card.
#include "WindowsFixture.h"
#include "support/ShownTitle.h"

#include "controller/StringTable.h"

#include "ui/MainFrame.h"
#include "ui/ModalDialogs.h"
#include "ui/Part.h"
#include "ui/PartView.h"

#include <QFileDialog>
#include <QFileInfo>

#include "controller/StringTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QTextBlock>
#include <QTextCursor>

namespace morvik::test {
namespace {

class PartDocuments : public WindowsOnCard {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder.File(name);
        WriteBytes(path, bytes);
        return path;
    }
    static void Type(CPartView& view, const QString& text) {
        QTextCursor cursor = view.textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }
    static QString Q(const std::string& text) { return QString::fromStdString(text); }
    // The lines of a file: one more than its line ends (CR LF, LF, CR).
    static int LineCount(const std::string& bytes) {
        int lines = 1;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            if (bytes[i] == '\r' || bytes[i] == '\n')
                ++lines;
        }
        return lines;
    }
};

TEST_F(PartDocuments, NewDocumentsAreNumberedAndAnyExtensionOpensAsAPartProgram) {
    EXPECT_EQ(documents->New()->Part().Title(), "Part1");
    EXPECT_EQ(documents->New()->Part().Title(), "Part2");

    const std::string path = Write("mill.nc", "O0100\nG00 X1\n");
    dialogs.files.push_back(Q(path));
    CPartView* view = documents->Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->toPlainText(), "O0100\nG00 X1\n");
    EXPECT_EQ(view->Part().Title(), "mill.nc");
    EXPECT_EQ(test::ShownTitle(CPartDocuments::WindowOf(*view)), "mill.nc");
    EXPECT_EQ(CMainFrame::KindOf(CPartDocuments::WindowOf(*view)), DocumentKind::PartProgram);
    EXPECT_FALSE(view->Part().IsModified());
    EXPECT_EQ(dialogs.fileDialogs, QStringList{"open Open | Part Files (*.prt);;All Files (*)"});

    // The same file again, under another name for it: its window is activated, not a second.
    documents->New();
    EXPECT_EQ(documents->OpenFile(Q(folder.File("./mill.nc"))), view);
    EXPECT_EQ(documents->ActiveView(), view);
    EXPECT_EQ(documents->Parts().size(), 4u);
}

TEST_F(PartDocuments, FilesThatCannotBeOpenedOrWrittenShowThePlatformTexts) {
    EXPECT_EQ(documents->OpenFile(Q(folder.File("missing.prt"))), nullptr);
    ASSERT_EQ(dialogs.Texts().size(), 1);
    EXPECT_EQ(dialogs.Texts().at(0).toStdString(), "Failed to open document.");
    EXPECT_TRUE(documents->Parts().empty());

    // A file that cannot be created (its folder is missing; a read-only file is refused the
    // same way, but not to a test running with every right).
    const std::string path = Write("part.prt", "O1\n");
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    Type(*view, "M30\n");
    const std::string nowhere = folder.File("missing/part.prt");
    dialogs.files.push_back(Q(nowhere));
    EXPECT_FALSE(documents->SaveAs(view->Part()));
    EXPECT_EQ(dialogs.Texts().last().toStdString(),
              "Unable to write to " + nowhere + ", it is read-only or opened by someone else.");
    EXPECT_EQ(view->Part().Path(), Q(path)) << "path and title stay";
    EXPECT_EQ(view->Part().Title(), "part.prt");
    EXPECT_EQ(ReadBytes(path), "O1\n");
    EXPECT_TRUE(view->Part().IsModified());
}

// The extension is added inside the save dialog, so that its question whether to replace an
// existing file is about the name that will be written.
TEST_F(PartDocuments, SaveDialogAddsPrtToANameWithoutExtensionBeforeItAsks) {
    struct Case {
        std::string typed;
        std::string written;
    };
    std::filesystem::create_directory(folder.Path() / "v1.2");
    WriteBytes(folder.File("bracket.prt"), "O1\n"); // the file a typed "bracket" must not hide
    const Case cases[] = {
        {"bracket", "bracket.prt"},
        {"bracket.nc", "bracket.nc"},
        {"v1.2/bracket", "v1.2/bracket.prt"}, // a dot in a folder's name is no extension
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::unique_ptr<QFileDialog> dialog = MakeSaveDialog(
            nullptr, CPartDocuments::kSaveAsTitle, CPartDocuments::kFilters, QString());
        EXPECT_EQ(dialog->defaultSuffix(), "prt");
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->setDirectory(Q(folder.Path().string()));
        dialog->selectFile(Q(folder.File(c.typed)));
        ASSERT_FALSE(dialog->selectedFiles().isEmpty());
        EXPECT_EQ(dialog->selectedFiles().constFirst(), Q(folder.File(c.written)));
    }
    EXPECT_EQ(DefaultSuffixOf("Machine Files (*.mch);;All Files (*)"), "mch");
    EXPECT_EQ(DefaultSuffixOf("All Files (*)"), "");
}

// What the dialog returns is written as it stands: nothing is added after the question.
TEST_F(PartDocuments, SaveAsWritesTheChosenName) {
    CPartView* view = documents->New();
    Type(*view, "O7\nG01 X1 F10\n");
    const std::string chosen = folder.File("bracket.prt");
    dialogs.files.push_back(Q(chosen));
    ASSERT_TRUE(documents->Save(view->Part())) << "an untitled part goes through Save As";
    EXPECT_EQ(ReadBytes(chosen), "O7\nG01 X1 F10\n");
    EXPECT_EQ(view->Part().Path(), Q(chosen));
    EXPECT_EQ(view->Part().Title(), "bracket.prt");
    EXPECT_FALSE(view->Part().IsModified());
    EXPECT_TRUE(dialogs.fileDialogs.last().startsWith("save Save As"));
}

// An edited or new line gets the file's most common line end; the others keep their own.
TEST_F(PartDocuments, EditedLinesTakeTheCommonLineEndOthersKeepTheirs) {
    const std::string path = Write("mixed.prt", "O1\r\nG00 X1\nG01 X2\r\nM30\r\n");
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    QTextCursor cursor(view->document()->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertText(" F10\nG01 Y3"); // line 2 edited, a new line after it
    ASSERT_TRUE(documents->Save(view->Part()));
    EXPECT_EQ(ReadBytes(path), "O1\r\nG00 X1\nG01 X2 F10\r\nG01 Y3\r\nM30\r\n");
}

// A file read as Latin-1 stays Latin-1; a character Latin-1 cannot hold is saved only when the
// operator agrees to UTF-8.
TEST_F(PartDocuments, LatinOneFileChangesEncodingOnlyWhenTheOperatorAgrees) {
    struct Case {
        BoxAnswer answer;
        bool saved;
    };
    const std::string bytes = "O1\n(caf\xe9)\n";
    for (const Case& c :
         {Case{BoxAnswer::No, false}, Case{BoxAnswer::Cancel, false}, Case{BoxAnswer::Yes, true}}) {
        const std::string path = Write("latin.prt", bytes);
        CPartView* view = documents->OpenFile(Q(path));
        ASSERT_NE(view, nullptr);
        Type(*view, QString::fromUtf8("(\xe2\x82\xac)")); // €
        dialogs.boxes.clear();
        dialogs.answers.push_back(c.answer);
        EXPECT_EQ(documents->Save(view->Part()), c.saved);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text,
                  QString(CPartDocuments::kChangeEncodingPrompt).arg("latin.prt"));
        EXPECT_EQ(ReadBytes(path),
                  c.saved ? std::string("O1\n(caf\xc3\xa9)\n(\xe2\x82\xac)") : bytes);
        EXPECT_EQ(view->Part().IsModified(), !c.saved);
        view->Part().SetModified(false);
        ASSERT_TRUE(documents->Close(view->Part()));
    }
    // Latin-1 text that stays Latin-1 is written back as Latin-1 without a question.
    const std::string path = Write("latin.prt", bytes);
    CPartView* view = documents->OpenFile(Q(path));
    Type(*view, QString::fromUtf8("(\xc3\xbc)")); // ü
    dialogs.boxes.clear();
    ASSERT_TRUE(documents->Save(view->Part()));
    EXPECT_TRUE(dialogs.boxes.empty());
    EXPECT_EQ(ReadBytes(path), bytes + "(\xfc)");
}

// A save that fails names the file that could not be written.
TEST_F(PartDocuments, FailedSaveAsNamesTheChosenPath) {
    const std::string path = Write("ok.prt", "O1\n");
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    const std::string nowhere = folder.File("missing/other.prt");
    dialogs.files.push_back(Q(nowhere));
    dialogs.boxes.clear();
    EXPECT_FALSE(documents->SaveAs(view->Part()));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_TRUE(dialogs.boxes[0].text.contains(Q(nowhere))) << dialogs.boxes[0].text.toStdString();
    EXPECT_EQ(view->Part().Path(), Q(path));
}

// Hostile files through open, one line edited (an "X" typed at its end), save: every byte the
// operator did not touch comes back as it was read. An edited line takes the file's most
// common line end, as EditedLinesTakeTheCommonLineEndOthersKeepTheirs shows.
TEST_F(PartDocuments, EditingOneLineOfAHostileFileKeepsEveryOtherByte) {
    struct Case {
        const char* what;
        std::string bytes;
        int line; // 0-based line edited
        std::string saved;
    };
    using namespace std::string_literals;
    const Case cases[] = {
        {"UTF-8, LF", "O1\nG00 X1\nM30\n", 1, "O1\nG00 X1X\nM30\n"},
        {"CR LF", "O1\r\nG00\r\nM30\r\n", 0, "O1X\r\nG00\r\nM30\r\n"},
        {"lone CR", "O1\rG00\rM30\r", 2, "O1\rG00\rM30X\r"},
        {"mixed ends", "O1\r\nA\nB\rC\r\n", 1, "O1\r\nAX\r\nB\rC\r\n"},
        {"no final line end", "O1\nM30", 0, "O1X\nM30"},
        {"0-byte file", "", 0, "X"},
        {"Latin-1", "O1\n(caf\xe9 \xa0)\nM30", 2, "O1\n(caf\xe9 \xa0)\nM30X"},
        {"invalid UTF-8 read as Latin-1", "O1\n\xc0\x80\xed\xa0\x80\xff\nM30\n", 0,
         "O1X\n\xc0\x80\xed\xa0\x80\xff\nM30\n"},
        {"BOM, UTF-8", "\xEF\xBB\xBFO1\n(\xc3\xa9)\n", 0, "\xEF\xBB\xBFO1X\n(\xc3\xa9)\n"},
        {"BOM, then bytes that are not UTF-8", "\xEF\xBB\xBFO1\n(\xe9)\n", 0,
         "\xEF\xBB\xBFO1X\n(\xe9)\n"},
        {"two BOMs", "\xEF\xBB\xBF\xEF\xBB\xBFO1\nM30\n", 1, "\xEF\xBB\xBF\xEF\xBB\xBFO1\nM30X\n"},
        {"BOM alone", "\xEF\xBB\xBF", 0, "\xEF\xBB\xBFX"},
        {"NUL", "O1\nG00\0X1\nM30\n"s, 0, "O1X\nG00\0X1\nM30\n"s},
        {"U+2028 and U+2029 in an LF file",
         "O1\n(a\xe2\x80\xa8"
         "b)\n(c\xe2\x80\xa9"
         "d)\nM30\n",
         3,
         "O1\n(a\xe2\x80\xa8"
         "b)\n(c\xe2\x80\xa9"
         "d)\nM30X\n"},
        {"U+2029 on the edited line",
         "O1\r\n(c\xe2\x80\xa9"
         "d)\r\n",
         1,
         "O1\r\n(c\xe2\x80\xa9"
         "d)X\r\n"},
        {"non-characters", "O1\n(\xef\xb7\x90\xef\xb7\x91\xef\xbf\xbe\xf4\x8f\xbf\xbf)\nM30\n", 2,
         "O1\n(\xef\xb7\x90\xef\xb7\x91\xef\xbf\xbe\xf4\x8f\xbf\xbf)\nM30X\n"},
        {"U+FDD0 on the edited line", "(\xef\xb7\x90)\n", 0, "(\xef\xb7\x90)X\n"},
        {"a mark inside the text", "O1\n\xef\xbb\xbfM30\n", 0, "O1X\n\xef\xbb\xbfM30\n"},
        {"control characters", "O1\x0b\x0c\x1c\n\x7f\n", 1, "O1\x0b\x0c\x1c\n\x7fX\n"},
    };
    std::filesystem::create_directories(folder.Path() / "hostile");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Write("hostile/part.prt", c.bytes);
        CPartView* view = documents->OpenFile(Q(path));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->document()->blockCount(), LineCount(c.bytes))
            << "one editor line for each line of the file";
        QTextCursor cursor(view->document()->findBlockByNumber(c.line));
        cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.insertText("X");
        ASSERT_TRUE(documents->Save(view->Part()));
        EXPECT_EQ(ReadBytes(path), c.saved);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path() / "hostile"),
                                std::filesystem::directory_iterator()),
                  1)
            << "no file left beside it";
        ASSERT_TRUE(documents->Close(view->Part()));
    }
}

// What the card is sent from an editor line is the line's bytes as the file holds them.
TEST_F(PartDocuments, TheCardGetsALinesCharactersAsTheFileHoldsThem) {
    const std::string path = Write("marks.prt", "(a\xe2\x80\xa8"
                                                "b)\n(c\xe2\x80\xa9"
                                                "d\xef\xb7\x90)\n");
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->document()->blockCount(), 3);
    EXPECT_EQ(view->Part().EncodedLine(view->document()->findBlockByNumber(0).text()),
              "(a\xe2\x80\xa8"
              "b)");
    EXPECT_EQ(view->Part().EncodedLine(view->document()->findBlockByNumber(1).text()),
              "(c\xe2\x80\xa9"
              "d\xef\xb7\x90)");
    EXPECT_EQ(view->Part().PlainText().toUtf8().toStdString(), "(a\xe2\x80\xa8"
                                                               "b)\n(c\xe2\x80\xa9"
                                                               "d\xef\xb7\x90)\n");
}

// A FIFO would block the window, /dev/zero fill memory: neither is read, and the operator is
// told which path was refused. Nor is one replaced by a save.
TEST_F(PartDocuments, PathsThatAreNoRegularFileAreRefusedWithThePathNamed) {
    const std::string fifo = folder.File("pipe.prt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.Path() / "folder.prt");
    const QString refused = Q(MessageText(msg::NotARegularFile));
    for (const std::string& path : {fifo, std::string("/dev/zero"), folder.File("folder.prt")}) {
        SCOPED_TRACE(path);
        dialogs.boxes.clear();
        EXPECT_EQ(documents->OpenFile(Q(path)), nullptr);
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        EXPECT_EQ(dialogs.boxes[0].text, refused + "\n" + Q(path));
    }
    EXPECT_TRUE(documents->Parts().empty());
    CPartView* view = documents->New();
    Type(*view, "O1\n");
    dialogs.files.push_back(Q(fifo));
    dialogs.boxes.clear();
    EXPECT_FALSE(documents->SaveAs(view->Part()));
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, refused + "\n" + Q(fifo));
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// A save replaces the file through a new one beside it: the old one's mode and group stay.
TEST_F(PartDocuments, SavingKeepsTheFilesModeAndGroup) {
    const std::string path = Write("shared.prt", "O1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // A group other than the process's own where there is one to give (root may give any).
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const gid_t group = ::getuid() == 0 ? gid_t(12345) : before.st_gid;
    ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), group), 0);
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    Type(*view, "M30\n");
    ASSERT_TRUE(documents->Save(view->Part()));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(ReadBytes(path), "O1\nM30\n");
}

TEST_F(PartDocuments, OpenThenSaveKeepsTheFileByteForByte) {
    const std::string samples[] = {
        "%\r\nO0012\r\nG00 X1\r\n",          // CR LF throughout
        "O1\nG01 X1\n(no line end)",         // LF, last line open
        "O2\n(\xe9paisseur \xa0 caf\xe9)\n", // Latin-1 bytes, a no-break space among them
        "O3\n(\xc3\xa9paisseur UTF-8)\n",    // UTF-8
        "\xEF\xBB\xBFO4\r\n(\xc3\xa9)\r\n",  // UTF-8 with a byte-order mark
        "O5\r\nG01 X1\nG01 X2\rM30\r\n",     // each line its own end
        "O6\rG00 X1\rM30\r",                 // CR alone
        "O7\n\r\n\n\r\r\n",                  // empty lines with every end
    };
    for (const std::string& bytes : samples) {
        SCOPED_TRACE(bytes);
        std::filesystem::create_directories(folder.Path() / "round");
        const std::string path = Write("round/round.prt", bytes);
        CPartView* view = documents->OpenFile(Q(path));
        ASSERT_NE(view, nullptr);
        view->Part().SetModified(true);
        ASSERT_TRUE(documents->Save(view->Part()));
        EXPECT_EQ(ReadBytes(path), bytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path() / "round"),
                                std::filesystem::directory_iterator()),
                  1)
            << "no file left beside it";
        ASSERT_TRUE(documents->Close(view->Part()));
    }
}

TEST_F(PartDocuments, ClosingAModifiedPartAsksAndFollowsTheAnswer) {
    struct Case {
        BoxAnswer answer;
        bool closed;
        std::string onDisk;
    };
    const Case cases[] = {
        {BoxAnswer::Yes, true, "O5\nM30\n"},
        {BoxAnswer::No, true, "O5\n"},
        {BoxAnswer::Cancel, false, "O5\n"},
    };
    for (const Case& c : cases) {
        const std::string path = Write("ask.prt", "O5\n");
        CPartView* view = documents->OpenFile(Q(path));
        ASSERT_NE(view, nullptr);
        Type(*view, "M30\n");
        QPointer<QMdiSubWindow> window = CPartDocuments::WindowOf(*view);
        dialogs.answers.push_back(c.answer);
        dialogs.boxes.clear();
        window->close(); // the close box
        RunDeferredDeletes();
        EXPECT_EQ(dialogs.Texts(), QStringList{"Save changes to ask.prt?"});
        EXPECT_EQ(dialogs.boxes.at(0).caption, "Morvik Windows Application");
        EXPECT_EQ(window.isNull(), c.closed);
        EXPECT_EQ(ReadBytes(path), c.onDisk);
        if (!c.closed) {
            view->Part().SetModified(false);
            ASSERT_TRUE(documents->Close(view->Part()));
        }
        EXPECT_TRUE(documents->Parts().empty());
    }
}

TEST_F(PartDocuments, ASecondWindowShowsTheSameTextAndOnlyTheLastOneAsks) {
    CPartView* first = documents->New();
    CPartView* second = documents->NewWindow(*first);
    EXPECT_EQ(test::ShownTitle(CPartDocuments::WindowOf(*first)), "Part1:1");
    EXPECT_EQ(test::ShownTitle(CPartDocuments::WindowOf(*second)), "Part1:2");
    Type(*second, "O9\n");
    EXPECT_EQ(first->toPlainText(), "O9\n");
    EXPECT_EQ(first->Lines(), (std::vector<std::string>{"O9", ""}));
    EXPECT_EQ(test::ShownTitle(CPartDocuments::WindowOf(*first)), "Part1:1*")
        << "both windows mark the changes typed in one";

    CPartDocuments::WindowOf(*second)->close();
    RunDeferredDeletes();
    EXPECT_TRUE(dialogs.boxes.empty()) << "another window still shows the part";
    EXPECT_EQ(test::ShownTitle(CPartDocuments::WindowOf(*first)), "Part1*");
    dialogs.answers.push_back(BoxAnswer::No);
    first->Execute(Cmd::Close);
    EXPECT_EQ(dialogs.Texts(), QStringList{"Save changes to Part1?"});
    EXPECT_TRUE(documents->Parts().empty());
}

TEST_F(PartDocuments, LoadFromAnEditedWindowSendsTheEditorTextAndLeavesTheFileAlone) {
    HomeMachine();
    op->SelectRun();
    const std::string onDisk = "O0012\nG00 X1\nM30\n";
    const std::string path = Write("bracket.prt", onDisk);
    CPartView* view = documents->OpenFile(Q(path));
    ASSERT_NE(view, nullptr);
    const std::string longest = "N10 (" + std::string(122, 'X') + ")"; // 128 characters
    view->setPlainText("O0034\n" + Q(longest) + "\nM30");
    view->Part().SetModified(true);
    CardCommands();

    ASSERT_TRUE(view->Handles(Cmd::Load));
    view->Execute(Cmd::Load);

    const std::vector<std::string> expected = {"LOF\\r", "O0034\\n", longest + "\\n",
                                               "M30\\n", "\\x1a",    "RUF-34\\r"};
    EXPECT_EQ(CardCommands(), expected) << "the longest line the card takes goes whole";
    EXPECT_EQ(ReadBytes(path), onDisk);
    EXPECT_TRUE(view->Part().IsModified()) << "Load does not save";
    EXPECT_EQ(machine->State().partPath, path);
    EXPECT_EQ(machine->State().programNumber, 34);
}

TEST_F(PartDocuments, AnEditorLineTheCardCannotTakeWholeRefusesTheLoad) {
    // As from a file: nothing reaches the card (no abort, no text mode), the loaded part stays,
    // and the message names the line and its start. A cut line would start a block without
    // its last words (here its Z and F).
    HomeMachine();
    op->SelectRun();
    ASSERT_EQ(op->LoadFromLines({"O0012", "G00 X1", "M30"}, "loaded.prt"), LoadResult::Started);
    struct Case {
        const char* name;
        QString text;
        int message;
        std::string detail;
    };
    const Case cases[] = {
        {"Z and F beyond the limit", "O0034\nG1 X10 Y10" + QString(120, ' ') + "Z-5 F50\nM30",
         msg::ProgramLineTooLong, "Line 2: G1 X10 Y10" + std::string(30, ' ') + "..."},
        {"a comment of 200", "O0035\nN10 (" + QString(200, 'X') + ")\nM30", msg::ProgramLineTooLong,
         "Line 2: N10 (" + std::string(35, 'X') + "..."},
        {"one character over", "O0036\n" + QString(129, 'B'), msg::ProgramLineTooLong,
         "Line 2: " + std::string(40, 'B') + "..."},
        {"a NUL", "O0037\nG0 X1" + QString(QChar(0)) + "G0 Z-5\nM30", msg::ProgramLineHasNul,
         "Line 2: G0 X1?G0 Z-5"},
    };
    CPartView* view = documents->New();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view->setPlainText(c.text);
        CardCommands();
        ui->calls.clear();

        view->Execute(Cmd::Load);

        EXPECT_EQ(CardCommands(), std::vector<std::string>{});
        ASSERT_FALSE(ui->calls.empty());
        EXPECT_EQ(ui->calls.back(), "message " + std::to_string(c.message) + ": " + c.detail);
        EXPECT_EQ(machine->State().partPath, "loaded.prt");
        EXPECT_EQ(machine->State().programNumber, 12);
        EXPECT_TRUE(machine->State().programStarted);
    }
}

TEST_F(PartDocuments, LoadOutsideRunModeIsRefusedAndWithoutAMachineDoesNothing) {
    CPartView* view = documents->New();
    Type(*view, "O1\n");
    EXPECT_EQ(documents->Load(*view), LoadResult::NotInRunMode);
    EXPECT_TRUE(CardCommands().empty());

    documents->SetOperationSource([] { return nullptr; });
    EXPECT_EQ(documents->Load(*view), std::nullopt);
    EXPECT_TRUE(CardCommands().empty());
}

} // namespace
} // namespace morvik::test
