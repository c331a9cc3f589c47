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
    int id;
    const char* typed;
    const char* shown;
};

const ClampCase kClamps[] = {
    {Cmd::SetupOffsets, "40", "32"}, {Cmd::SetupOffsets, "0", "1"},
    {Cmd::SetupOffsets, "abc", "1"}, {Cmd::SetupOffsets, "-3", "1"},
    {Cmd::SetupOffsets, "17", "17"}, {Cmd::SetupOffsets, " 5x", "5"},
    {Cmd::SetupTools, "12", "9"},    {Cmd::SetupWorkZero, "7", "6"},
    {Cmd::SetupWorkZero, "3", "3"},
};

TEST_F(DialogOnCard, LeavingTheNumberFieldClampsTheNumberAndRemembersIt) {
    for (const ClampCase& c : kClamps) {
        SCOPED_TRACE(std::to_string(c.id) + ": " + c.typed);
        int current = 0;
        Run(c.id, [&](CSetupForm& form) {
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
        Run(c.id, [&](CSetupForm& form) {
            AsNumbered(form, [&](CNumberedSetupForm& numbered) {
                EXPECT_EQ(numbered.NumberEdit()->text(), c.shown);
            });
        });
    }
}

struct ArrowCase {
    int id;
    int start;
    bool up;
    int expected;
};

const ArrowCase kArrows[] = {
    {Cmd::SetupTools, 9, true, 9},     {Cmd::SetupTools, 8, true, 9},
    {Cmd::SetupTools, 1, false, 1},    {Cmd::SetupTools, 2, false, 1},
    {Cmd::SetupOffsets, 32, true, 32}, {Cmd::SetupOffsets, 31, true, 32},
    {Cmd::SetupWorkZero, 6, true, 6},  {Cmd::SetupWorkZero, 4, false, 3},
};

TEST_F(DialogOnCard, TheArrowsStepOneEntryWithinTheRange) {
    for (const ArrowCase& c : kArrows) {
        SCOPED_TRACE(std::to_string(c.id) + " from " + std::to_string(c.start));
        RememberedNumbers& numbers = SetupRememberedNumbers();
        numbers = RememberedNumbers{c.start, c.start, c.start};
        Run(c.id, [&](CSetupForm& form) {
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
    Run(Cmd::SetupTools, [](CSetupForm& form) {
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
        Run(Cmd::SetupWorkZero, [&](CSetupForm& form) {
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
    Run(Cmd::SetupOffsets, [](CSetupForm& form) {
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
    Run(Cmd::SetupTools, [this](CSetupForm& form) {
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
    Run(Cmd::SetupTools, [this](CSetupForm& form) {
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
    Run(Cmd::SetupOffsets, [](CSetupForm& form) {
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
