// The part program editor on its own: the character limit, Find and Replace, the edit
// commands' states, printing, the lines File > Load takes, and the G-code colouring.
#include "ui/PartView.h"
#include "settings/TempFolder.h"
#include "ui/GCodeHighlighter.h"
#include "ui/Part.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace morvik::test {
namespace {

class Editor : public testing::Test {
protected:
    CPart part{"Part1"};
    CPartView view{part, nullptr};
};

TEST_F(Editor, HoldsAtMostTheLimitWhetherTypedOrPasted) {
    view.setPlainText(QString(CPart::kMaxCharacters - 3, 'G'));
    view.moveCursor(QTextCursor::End);
    QApplication::clipboard()->setText("X12345");
    view.paste();
    EXPECT_EQ(view.toPlainText().size(), CPart::kMaxCharacters);
    EXPECT_TRUE(view.toPlainText().endsWith("GX12"));

    QTest::keyClicks(&view, "Y");
    EXPECT_EQ(view.toPlainText().size(), CPart::kMaxCharacters) << "a full editor takes no key";

    // Over a selection there is room again.
    QTextCursor cursor = view.textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
    view.setTextCursor(cursor);
    QTest::keyClicks(&view, "Z9");
    EXPECT_TRUE(view.toPlainText().endsWith("GXZ9"));
}

TEST_F(Editor, LinesAreTheEditorsLinesWhole) {
    // Nothing is cut: a line longer than the card takes goes to the load whole, whose check
    // refuses it with the line named, instead of a block that lost its last words.
    const std::string lostWords = "G1 X10 Y10" + std::string(120, ' ') + "Z-5 F50";
    struct Case {
        QString text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"O1", {"O1"}},
        {"O1\r\nG00 X1\n", {"O1", "G00 X1", ""}},
        {QString(200, 'A') + "\nM30", {std::string(200, 'A'), "M30"}},
        {QString(128, 'B'), {std::string(128, 'B')}},
        {"O2\n" + QString::fromStdString(lostWords), {"O2", lostWords}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        view.setPlainText(c.text);
        EXPECT_EQ(view.Lines(), c.lines);
        EXPECT_EQ(view.LineCount(), static_cast<int>(c.lines.size()));
    }
    view.setPlainText("G01 X1.5\n" + QString(300, 'C'));
    EXPECT_EQ(view.Line(0), "G01 X1.5");
    EXPECT_EQ(view.Line(1), std::string(300, 'C')) << "one line at a time, whole too";
}

TEST_F(Editor, FindFindNextAndReplaceWorkOnTheText) {
    view.setPlainText("G01 X1\nG01 X2\ng01 X3\n");
    view.moveCursor(QTextCursor::Start);
    FindRequest find{"G01", "G00", true, false, true};
    ASSERT_TRUE(view.FindNext(find));
    EXPECT_EQ(view.textCursor().selectionStart(), 0);
    view.Execute(Cmd::FindNext); // repeats the last request
    EXPECT_EQ(view.textCursor().selectionStart(), 7);
    view.Execute(Cmd::FindNext); // wraps round, case kept
    EXPECT_EQ(view.textCursor().selectionStart(), 0);

    EXPECT_TRUE(view.ReplaceNext(find));
    EXPECT_EQ(view.toPlainText(), "G00 X1\nG01 X2\ng01 X3\n");
    find.matchCase = false;
    EXPECT_EQ(view.ReplaceAll(find), 2);
    EXPECT_EQ(view.toPlainText(), "G00 X1\nG00 X2\nG00 X3\n");
    view.Execute(Cmd::Undo);
    EXPECT_EQ(view.toPlainText(), "G00 X1\nG01 X2\ng01 X3\n") << "Replace All is one undo step";
    EXPECT_FALSE(view.FindNext(FindRequest{"Z9", ""}));
}

// The Find box opens with the remembered text selected, says in itself when a search found
// nothing, and its labels show their mnemonics, not an ampersand.
TEST_F(Editor, TheFindBoxSaysNotFoundAndOpensWithTheRememberedTextSelected) {
    view.setPlainText("G01 X1\nG01 X2\n");
    ASSERT_TRUE(view.FindNext(FindRequest{"X2", ""}));
    view.moveCursor(QTextCursor::Start); // no selection: the remembered text seeds the box
    view.ShowFindDialog(false);
    QDialog* box = view.FindDialog();
    ASSERT_NE(box, nullptr);
    auto* what = box->findChild<QLineEdit*>("what");
    auto* status = box->findChild<QLabel*>("status");
    ASSERT_NE(what, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(what->text(), "X2");
    EXPECT_EQ(what->selectedText(), "X2") << "typing replaces it";
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        if (label->text().contains('&')) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString() << " shows its '&'";
        }
    }

    QPushButton* findNext = nullptr;
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == "&Find Next")
            findNext = button;
    ASSERT_NE(findNext, nullptr);
    what->setText("Z9");
    findNext->click();
    EXPECT_EQ(status->text(), "\"Z9\" not found");
    what->setText("G01");
    findNext->click();
    EXPECT_EQ(status->text(), "");
    EXPECT_EQ(view.textCursor().selectedText(), "G01");
    box->close();
}

TEST_F(Editor, TheEditCommandsFollowTheEditorsState) {
    view.setPlainText("");
    part.Text().clearUndoRedoStacks();
    QApplication::clipboard()->setText("X1");
    struct Step {
        const char* name;
        std::function<void()> act;
        bool undo, cut, find, findNext;
    };
    const Step steps[] = {
        {"empty", [] {}, false, false, false, false},
        {"typed", [&] { QTest::keyClicks(&view, "G01 X1"); }, true, false, true, false},
        {"selected", [&] { view.selectAll(); }, true, true, true, false},
        {"searched",
         [&] {
             view.FindNext(FindRequest{"X1", ""});
         },
         true, true, true, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(view.Update(Cmd::Undo).enabled, step.undo);
        EXPECT_EQ(view.Update(Cmd::Cut).enabled, step.cut);
        EXPECT_EQ(view.Update(Cmd::Copy).enabled, step.cut);
        EXPECT_EQ(view.Update(Cmd::Find).enabled, step.find);
        EXPECT_EQ(view.Update(Cmd::Replace).enabled, step.find);
        EXPECT_EQ(view.Update(Cmd::FindNext).enabled, step.findNext);
        EXPECT_TRUE(view.Update(Cmd::Paste).enabled);
    }
    for (int id : {Cmd::New, Cmd::Open, Cmd::ModeRun})
        EXPECT_FALSE(view.Handles(id)) << id << " is not the editor's";
}

TEST_F(Editor, PrintsThePagesOfALongProgram) {
    TempFolder folder;
    QString text;
    for (int n = 1; n <= 300; ++n)
        text += QString("N%1 G01 X%2 F60\n").arg(n * 10).arg(n);
    view.setPlainText(text);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(folder.File("part.pdf")));
    view.PrintTo(printer);
    const std::string pdf = ReadBytes(folder.File("part.pdf"));
    ASSERT_TRUE(pdf.starts_with("%PDF"));
    EXPECT_NE(pdf.find("/Count "), std::string::npos);
    EXPECT_EQ(pdf.find("/Count 1\n"), std::string::npos) << "more than one page";
}

TEST(GCodeHighlighter, ColoursWordsNumbersCommentsAndBlockNumbers) {
    using R = CGCodeHighlighter::Role;
    using S = CGCodeHighlighter::Span;
    struct Case {
        QString line;
        std::vector<S> spans;
    };
    const Case cases[] = {
        {"N10 G01 X-1.5",
         {{0, 3, R::BlockNumber},
          {4, 1, R::Word},
          {5, 2, R::Number},
          {8, 1, R::Word},
          {9, 4, R::Number}}},
        {"O1000 (PART A)", {{0, 5, R::ProgramNumber}, {6, 8, R::Comment}}},
        {":200", {{0, 4, R::ProgramNumber}}},
        {"G00 ; rapid (x)", {{0, 1, R::Word}, {1, 2, R::Number}, {4, 11, R::Comment}}},
        {"(open comment G01", {{0, 17, R::Comment}}},
        {"%", {}},
        {"x 2", {{0, 1, R::Word}, {2, 1, R::Number}}},
        {"MSG", {}}, // letters without values are plain
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(CGCodeHighlighter::Scan(c.line), c.spans);
    }
}

} // namespace
} // namespace morvik::test
