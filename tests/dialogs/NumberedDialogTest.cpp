// The three numbered dialogs: the number field's clamp on leaving it, the arrows, the numbers
// remembered between openings, and edits kept in the dialog's copy while switching entries
// and applied only by OK.
#include "DialogFixture.h"

#include <QToolButton>

namespace morvik::test {
namespace {

// Acts on the numbered dialog of the command.
void AsNumbered(CSetupForm& form, const std::function<void(CNumberedSetupForm&)>& act) {
    auto* numbered = qobject_cast<CNumberedSetupForm*>(&form);
    ASSERT_NE(numbered, nullptr);
    act(*numbered);
}

struct ClampCase {
    SetupRunner dialog;
    const char* typed;
    const char* shown;
};

const ClampCase kClamps[] = {
    {RunSetupDialog<CSetupOffsetsDlg>, "40", "32"}, {RunSetupDialog<CSetupOffsetsDlg>, "0", "1"},
    {RunSetupDialog<CSetupOffsetsDlg>, "abc", "1"}, {RunSetupDialog<CSetupOffsetsDlg>, "-3", "1"},
    {RunSetupDialog<CSetupOffsetsDlg>, "17", "17"}, {RunSetupDialog<CSetupOffsetsDlg>, " 5x", "5"},
    {RunSetupDialog<CSetupToolDlg>, "12", "9"},     {RunSetupDialog<CSetupWorkCoorDlg>, "7", "6"},
    {RunSetupDialog<CSetupWorkCoorDlg>, "3", "3"},
};

TEST_F(DialogOnCard, LeavingTheNumberFieldClampsTheNumberAndRemembersIt) {
    for (const ClampCase& c : kClamps) {
        SCOPED_TRACE("case " + std::to_string(&c - kClamps) + ": " + c.typed);
        int current = 0;
        Run(c.dialog, [&](CSetupForm& form) {
            AsNumbered(form, [&](CNumberedSetupForm& numbered) {
                numbered.NumberEdit()->setText(c.typed);
                LeaveNumberField(numbered);
                EXPECT_EQ(numbered.NumberEdit()->text(), c.shown);
                current = numbered.Current();
            });
            form.reject();
        });
        EXPECT_EQ(QString::number(current), c.shown);
        // The next opening starts there, even after Cancel.
        Run(c.dialog, [&](CSetupForm& form) {
            AsNumbered(form, [&](CNumberedSetupForm& numbered) {
                EXPECT_EQ(numbered.NumberEdit()->text(), c.shown);
            });
        });
    }
}

struct ArrowCase {
    SetupRunner dialog;
    int start;
    bool up;
    int expected;
};

const ArrowCase kArrows[] = {
    {RunSetupDialog<CSetupToolDlg>, 9, true, 9},
    {RunSetupDialog<CSetupToolDlg>, 8, true, 9},
    {RunSetupDialog<CSetupToolDlg>, 1, false, 1},
    {RunSetupDialog<CSetupToolDlg>, 2, false, 1},
    {RunSetupDialog<CSetupOffsetsDlg>, 32, true, 32},
    {RunSetupDialog<CSetupOffsetsDlg>, 31, true, 32},
    {RunSetupDialog<CSetupWorkCoorDlg>, 6, true, 6},
    {RunSetupDialog<CSetupWorkCoorDlg>, 4, false, 3},
};

TEST_F(DialogOnCard, TheArrowsStepOneEntryWithinTheRange) {
    for (const ArrowCase& c : kArrows) {
        SCOPED_TRACE("case " + std::to_string(&c - kArrows) + " from " + std::to_string(c.start));
        RememberedNumbers& numbers = SetupRememberedNumbers();
        numbers = RememberedNumbers{c.start, c.start, c.start};
        Run(c.dialog, [&](CSetupForm& form) {
            AsNumbered(form, [&](CNumberedSetupForm& numbered) {
                (c.up ? numbered.UpArrow() : numbered.DownArrow())->click();
                EXPECT_EQ(numbered.Current(), c.expected);
                EXPECT_EQ(numbered.NumberEdit()->text(), QString::number(c.expected));
            });
        });
    }
}

TEST_F(DialogOnCard, ToolFieldsFollowTheArrows) {
    machine->Tools()[8].SetDescription("tool nine");
    machine->Tools()[7].SetDescription("tool eight");
    SetupRememberedNumbers().tool = 8;
    Run(RunSetupDialog<CSetupToolDlg>, [](CSetupForm& form) {
        AsNumbered(form, [&](CNumberedSetupForm& numbered) {
            EXPECT_EQ(Text(form, "Description"), "tool eight");
            numbered.UpArrow()->click();
            EXPECT_EQ(Text(form, "Description"), "tool nine");
            numbered.UpArrow()->click();
            EXPECT_EQ(Text(form, "Description"), "tool nine");
        });
    });
}

// Work coordinate 2 edited, then 3 shown and edited, then 2 again: the copy kept both edits.
void EditWorkCoordinates23(CSetupForm& form) {
    AsNumbered(form, [&](CNumberedSetupForm& numbered) {
        numbered.NumberEdit()->setText("2");
        DialogOnCard::LeaveNumberField(numbered);
        DialogOnCard::Type(form, "X", "1.25 in");
        numbered.NumberEdit()->setText("3");
        DialogOnCard::LeaveNumberField(numbered);
        EXPECT_EQ(DialogOnCard::Text(form, "X"), "0 in");
        DialogOnCard::Type(form, "Y", "-2 mm");
        numbered.UpArrow()->click(); // 4
        numbered.DownArrow()->click();
        EXPECT_EQ(DialogOnCard::Text(form, "Y"), "-2 mm");
        numbered.NumberEdit()->setText("2");
        DialogOnCard::LeaveNumberField(numbered);
        EXPECT_EQ(DialogOnCard::Text(form, "X"), "1.25 in");
    });
}

TEST_F(DialogOnCard, WorkCoordinateEditsAreKeptAcrossSwitchesAndAppliedOnlyByOk) {
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        Run(RunSetupDialog<CSetupWorkCoorDlg>, [&](CSetupForm& form) {
            EditWorkCoordinates23(form);
            EXPECT_EQ(machine->WorkCoords()[1].X().Format(9), "0 in"); // not before OK
            if (ok)
                form.accept();
            else
                form.reject();
        });
        EXPECT_EQ(machine->WorkCoords()[1].X().Format(9), ok ? "1.25 in" : "0 in");
        EXPECT_EQ(machine->WorkCoords()[2].Y().Format(9), ok ? "-2 mm" : "0 in");
        EXPECT_EQ(Downloads(), ok ? kWorkCoordDownload : kNoDownload);
        EXPECT_EQ(machine->IsModified(), ok);
    }
}

TEST_F(DialogOnCard, OkTakesANumberTypedWithoutLeavingTheFieldAfterStoringTheShownEntry) {
    Run(RunSetupDialog<CSetupOffsetsDlg>, [](CSetupForm& form) {
        AsNumbered(form, [&](CNumberedSetupForm& numbered) {
            DialogOnCard::Type(form, "D Geometry", "0.5 in");
            numbered.NumberEdit()->setText("40");
            form.accept();
        });
    });
    EXPECT_EQ(machine->OffsetTables()[0].Geometry(1).Format(9), "0.5 in");
    EXPECT_EQ(machine->OffsetTables()[0].Geometry(32).Format(9), "0 in");
    EXPECT_EQ(SetupRememberedNumbers().toolOffset, 32);
    EXPECT_EQ(Downloads(), kToolDownload);
}

TEST_F(DialogOnCard, AnEntryThatFailsItsCheckIsNotLeft) {
    Run(RunSetupDialog<CSetupToolDlg>, [this](CSetupForm& form) {
        AsNumbered(form, [&](CNumberedSetupForm& numbered) {
            Type(form, "Wear Factor", "much");
            numbered.UpArrow()->click();
            EXPECT_EQ(numbered.Current(), 1);
            numbered.NumberEdit()->setText("4");
            LeaveNumberField(numbered);
            EXPECT_EQ(numbered.Current(), 1);
            EXPECT_EQ(shownMessages, QStringList({"Enter a number.", "Enter a number."}));
            EXPECT_EQ(form.focusWidget(), form.Control("Wear Factor"));
        });
    });
    EXPECT_EQ(SetupRememberedNumbers().tool, 1);
}

TEST_F(DialogOnCard, ATooLongToolNumberIsRefusedOnOk) {
    Run(RunSetupDialog<CSetupToolDlg>, [this](CSetupForm& form) {
        AsNumbered(form, [&](CNumberedSetupForm& numbered) {
            numbered.NumberEdit()->setText("0004");
            form.accept();
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(shownMessages, QStringList{"Enter no more than 3 characters."});
        });
    });
    EXPECT_EQ(Downloads(), kNoDownload);
}

TEST_F(DialogOnCard, OffsetRowsEditTheirOwnTables) {
    SetupRememberedNumbers().toolOffset = 7;
    Run(RunSetupDialog<CSetupOffsetsDlg>, [](CSetupForm& form) {
        DialogOnCard::Type(form, "D Geometry", "1 in");
        DialogOnCard::Type(form, "D Wear Factor", "0.5");
        DialogOnCard::Type(form, "H Geometry", "2 mm");
        DialogOnCard::Type(form, "H Wear Factor", "1e-3");
        form.accept();
    });
    const auto& tables = machine->OffsetTables();
    EXPECT_EQ(tables[0].Geometry(7).Format(9), "1 in");
    EXPECT_EQ(tables[0].WearFactor(7), 0.5);
    EXPECT_EQ(tables[1].Geometry(7).Format(9), "2 mm");
    EXPECT_EQ(tables[1].WearFactor(7), 1e-3);
    EXPECT_EQ(tables[0].Geometry(0).Format(9), "0 in"); // entry 0 untouched
}

} // namespace
} // namespace morvik::test
