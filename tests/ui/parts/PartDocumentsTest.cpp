// Part program documents: New, Open, Save, Save As, Close with its prompt, New Window, and
// File > Load from an editor window on the simulated card.
#include "StationFixture.h"

#include "ui/MainFrame.h"
#include "ui/Part.h"
#include "ui/PartView.h"

#include <QFileInfo>

#include <QTextCursor>

namespace morvik::test {
namespace {

class PartDocuments : public StationOnCard {
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
    EXPECT_EQ(CPartDocuments::WindowOf(*view)->windowTitle(), "mill.nc");
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

TEST_F(PartDocuments, SaveAsAddsPrtToANameWithoutExtensionOnly) {
    struct Case {
        std::string typed;
        std::string written;
    };
    std::filesystem::create_directory(folder.Path() / "v1.2");
    const Case cases[] = {
        {"bracket", "bracket.prt"},
        {"bracket.nc", "bracket.nc"},
        {"v1.2/bracket", "v1.2/bracket.prt"}, // a dot in a folder's name is no extension
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CPartView* view = documents->New();
        Type(*view, "O7\nG01 X1 F10\n");
        dialogs.files.push_back(Q(folder.File(c.typed)));
        ASSERT_TRUE(documents->Save(view->Part())) << "an untitled part goes through Save As";
        EXPECT_EQ(ReadBytes(folder.File(c.written)), "O7\nG01 X1 F10\n");
        EXPECT_EQ(view->Part().Path(), Q(folder.File(c.written)));
        EXPECT_EQ(view->Part().Title(), QFileInfo(Q(c.written)).fileName());
        EXPECT_FALSE(view->Part().IsModified());
        EXPECT_TRUE(dialogs.fileDialogs.last().startsWith("save Save As"));
    }
}

TEST_F(PartDocuments, OpenThenSaveKeepsTheFileByteForByte) {
    const std::string samples[] = {
        "%\r\nO0012\r\nG00 X1\r\n",          // CR LF throughout
        "O1\nG01 X1\n(no line end)",         // LF, last line open
        "O2\n(\xe9paisseur \xa0 caf\xe9)\n", // Latin-1 bytes, a no-break space among them
        "O3\n(\xc3\xa9paisseur UTF-8)\n",    // UTF-8
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
    EXPECT_EQ(CPartDocuments::WindowOf(*first)->windowTitle(), "Part1:1");
    EXPECT_EQ(CPartDocuments::WindowOf(*second)->windowTitle(), "Part1:2");
    Type(*second, "O9\n");
    EXPECT_EQ(first->toPlainText(), "O9\n");
    EXPECT_EQ(first->Lines(), (std::vector<std::string>{"O9", ""}));

    CPartDocuments::WindowOf(*second)->close();
    RunDeferredDeletes();
    EXPECT_TRUE(dialogs.boxes.empty()) << "another window still shows the part";
    EXPECT_EQ(CPartDocuments::WindowOf(*first)->windowTitle(), "Part1");
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
    view->setPlainText("O0034\nN10 (" + QString(200, 'X') + ")\nM30");
    view->Part().SetModified(true);
    CardCommands();

    ASSERT_TRUE(view->Handles(Cmd::Load));
    view->Execute(Cmd::Load);

    const std::string cut = "N10 (" + std::string(123, 'X'); // 128 characters
    const std::vector<std::string> expected = {"LOF\\r", "O0034\\n", cut + "\\n",
                                               "M30\\n", "\\x1a",    "RUF-34\\r"};
    EXPECT_EQ(CardCommands(), expected);
    EXPECT_EQ(ReadBytes(path), onDisk);
    EXPECT_TRUE(view->Part().IsModified()) << "Load does not save";
    EXPECT_EQ(machine->State().partPath, path);
    EXPECT_EQ(machine->State().programNumber, 34);
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
