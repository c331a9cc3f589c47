// The override fields and their arrows on the card: what the operator types is read on Enter
// or when the keyboard focus leaves the field (only when it was edited), shown with "%3.0f"
// and sent to the card; a text that is not a number, a value outside the field's range and Esc
// put the value in force back; a field takes the keyboard only when clicked into; the arrows
// step by one percent from the machine's stored override; the 100 ms ticks never overwrite a
// field.
#include "controller/ControllerCodes.h"
#include "ui/widgets/PanelFixture.h"

#include <QTest>
#include <QToolButton>

#include <functional>

namespace morvik {
namespace {

using test::PanelOnCard;

struct FieldInfo {
    OverrideField field;
    int editId;
    int arrowsId;
    std::int32_t code; // the card command that carries it
    double MachineState::*stored;
};

const FieldInfo kFeed{OverrideField::Feed, control::kFeedOverride, control::kFeedArrows,
                      code::FeedOverride, &MachineState::feedOverride};
const FieldInfo kRapid{OverrideField::Rapid, control::kRapidOverride, control::kRapidArrows,
                       code::RapidOverride, &MachineState::rapidOverride};
const FieldInfo kSpindle{OverrideField::Spindle, control::kSpindleOverride, control::kSpindleArrows,
                         code::SpindleOverride, &MachineState::spindleOverride};

class Overrides : public PanelOnCard {
protected:
    // Types into the field as the operator does and moves the focus on to the Start button's
    // neighbour field, which ends the edit.
    void TypeAndLeave(const FieldInfo& info, const QString& text) {
        QLineEdit* edit = Edit(info.editId);
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus());
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        const int elsewhere = info.editId == control::kFeedOverride ? control::kRapidOverride
                                                                    : control::kFeedOverride;
        Edit(elsewhere)->setFocus();
        ASSERT_FALSE(edit->hasFocus());
    }

    QAbstractButton* Arrow(const FieldInfo& info, const char* which) {
        auto* arrow = Find(info.arrowsId)->findChild<QToolButton*>(which);
        EXPECT_NE(arrow, nullptr);
        return arrow;
    }
};

TEST_F(Overrides, TheFirstFillShowsTheMachinesOverrides) {
    // A new machine starts at 100 %; a second fill after the overrides changed shows them.
    for (const FieldInfo* info : {&kFeed, &kRapid, &kSpindle})
        EXPECT_EQ(Edit(info->editId)->text(), "100");
    machine->SetFeedOverride(0.5);
    machine->SetRapidOverride(0.0);
    machine->SetSpindleOverride(1.25);
    panel->FirstFill();
    EXPECT_EQ(Edit(kFeed.editId)->text(), " 50");
    EXPECT_EQ(Edit(kRapid.editId)->text(), "  0");
    EXPECT_EQ(Edit(kSpindle.editId)->text(), "125");
}

TEST_F(Overrides, TypedValuesWithinTheRangeAreShownAndSentWhenTheFocusLeaves) {
    struct Case {
        const FieldInfo* info;
        const char* typed;
        const char* shown;
        double value;
        const char* sent; // the argument in the card's trace
    };
    const Case cases[] = {
        {&kFeed, "150", "150", 1.5, "1.5"},    {&kRapid, "100", "100", 1.0, "1"},
        {&kSpindle, "150", "150", 1.5, "1.5"}, {&kFeed, "0", "  0", 0.0, "0"},
        {&kRapid, "75", " 75", 0.75, "0.75"},  {&kSpindle, "12.6", " 13", 0.126, "0.126"},
        {&kFeed, "80%", " 80", 0.8, "0.8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " in " + std::to_string(c.info->editId));
        TraceSinceLast();
        TypeAndLeave(*c.info, QString::fromLatin1(c.typed));
        EXPECT_EQ(Edit(c.info->editId)->text(), QString::fromLatin1(c.shown));
        EXPECT_DOUBLE_EQ(machine->State().*(c.info->stored), c.value);
        EXPECT_EQ(Sent(c.info->code), std::vector<std::string>{c.sent});
    }
}

TEST_F(Overrides, NoFieldTakesTheKeyboardUnlessClickedInto) {
    // Tab through the window and keys meant for elsewhere: no field gets them, no override
    // changes. A click puts the keyboard into the field.
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
    for (int i = 0; i < 40; ++i) {
        QWidget* focused = QApplication::focusWidget();
        EXPECT_EQ(qobject_cast<QLineEdit*>(focused), nullptr) << "after " << i << " tabs";
        QTest::keyClick(focused != nullptr ? focused : window.get(), Qt::Key_Tab);
    }
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_5, Qt::Key_A, Qt::Key_0}) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : window.get(), key);
    }
    for (const FieldInfo* info : {&kFeed, &kRapid, &kSpindle}) {
        EXPECT_EQ(Edit(info->editId)->focusPolicy(), Qt::ClickFocus);
        EXPECT_EQ(Edit(info->editId)->text(), "100");
    }
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 1.0);

    QTest::mouseClick(Edit(kFeed.editId), Qt::LeftButton);
    EXPECT_TRUE(Edit(kFeed.editId)->hasFocus());
    // A click on the panel beside the fields takes the keyboard out again.
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(2, panel->height() - 2));
    EXPECT_FALSE(Edit(kFeed.editId)->hasFocus());
}

TEST_F(Overrides, EnterAppliesWhatWasTypedEscNonNumbersAndOutOfRangePutTheValueInForceBack) {
    QLineEdit* feed = Edit(kFeed.editId);
    struct Step {
        const char* what;
        std::function<void()> act;
        const char* shown;
        double stored;
        std::vector<std::string> sent;
    };
    const auto type = [feed](const char* text) {
        feed->selectAll();
        QTest::keyClicks(feed, text);
    };
    const Step steps[] = {
        {"click in, type 80, Enter",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             type("80");
             QTest::keyClick(feed, Qt::Key_Return);
         },
         " 80",
         0.8,
         {"0.8"}},
        {"leave without another edit", [&] { Edit(kRapid.editId)->setFocus(); }, " 80", 0.8, {}},
        {"look in and leave again",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             Edit(kRapid.editId)->setFocus();
         },
         " 80",
         0.8,
         {}},
        {"type 55, Esc, leave",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             type("55");
             QTest::keyClick(feed, Qt::Key_Escape);
             Edit(kRapid.editId)->setFocus();
         },
         " 80",
         0.8,
         {}},
        {"letters, leave",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             type("fast");
             Edit(kRapid.editId)->setFocus();
         },
         " 80",
         0.8,
         {}},
        {"minus five, leave",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             type("-5");
             Edit(kRapid.editId)->setFocus();
         },
         " 80",
         0.8,
         {}},
        {"200, Enter",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             type("200");
             QTest::keyClick(feed, Qt::Key_Return);
         },
         " 80",
         0.8,
         {}},
        {"nothing, Enter",
         [&] {
             QTest::mouseClick(feed, Qt::LeftButton);
             feed->selectAll();
             QTest::keyClick(feed, Qt::Key_Backspace);
             QTest::keyClick(feed, Qt::Key_Enter);
         },
         " 80",
         0.8,
         {}},
        {"keypad 120, keypad Enter",
         [&] {
             type("120");
             QTest::keyClick(feed, Qt::Key_Enter, Qt::KeypadModifier);
         },
         "120",
         1.2,
         {"1.2"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        TraceSinceLast();
        step.act();
        EXPECT_EQ(feed->text(), QString::fromLatin1(step.shown));
        EXPECT_DOUBLE_EQ(machine->State().feedOverride, step.stored);
        EXPECT_EQ(Sent(kFeed.code), step.sent);
    }
}

TEST_F(Overrides, EachArrowClickStepsOnePercentWithinTheLimits) {
    struct Case {
        const FieldInfo* info;
        double start;
        const char* arrow;
        int clicks;
        const char* shown;
    };
    const Case cases[] = {
        {&kFeed, 1.0, "up", 1, "101"},      {&kFeed, 1.0, "up", 3, "103"},
        {&kFeed, 1.49, "up", 3, "150"},     {&kRapid, 0.99, "up", 2, "100"},
        {&kSpindle, 0.5, "down", 2, " 48"}, {&kRapid, 0.01, "down", 3, "  0"},
        {&kSpindle, 1.5, "up", 1, "150"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.arrow) + " x" + std::to_string(c.clicks) + " on " +
                     std::to_string(c.info->arrowsId));
        op->SetOverride(c.info->field, c.start);
        for (int i = 0; i < c.clicks; ++i)
            QTest::mouseClick(Arrow(*c.info, c.arrow), Qt::LeftButton);
        EXPECT_EQ(Edit(c.info->editId)->text(), QString::fromLatin1(c.shown));
        EXPECT_NEAR(machine->State().*(c.info->stored), QString(c.shown).toDouble() / 100, 1e-9);
    }
}

TEST_F(Overrides, TicksNeverOverwriteAFieldBeingTypedIn) {
    QLineEdit* feed = Edit(kFeed.editId);
    feed->setFocus();
    feed->selectAll();
    QTest::keyClicks(feed, "12");
    // Another field's override changes under the ticks: the ticks leave every field alone.
    machine->SetRapidOverride(0.4);
    Ticks(5);
    EXPECT_EQ(feed->text(), "12");
    EXPECT_EQ(Edit(kRapid.editId)->text(), "100");
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 1.0) << "nothing is sent while typing";
    // A push outside the ticks (after a command) refreshes the other fields only.
    panel->PushToWidgets();
    EXPECT_EQ(feed->text(), "12");
    EXPECT_EQ(Edit(kRapid.editId)->text(), " 40");

    // Leaving the field applies what was typed.
    feed->clearFocus();
    EXPECT_EQ(feed->text(), " 12");
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 0.12);
}

TEST_F(Overrides, AnArrowClickFinishesTheTypingFirst) {
    QLineEdit* feed = Edit(kFeed.editId);
    feed->setFocus();
    feed->selectAll();
    QTest::keyClicks(feed, "40");
    // Clicking an arrow takes the focus, as clicking a control does: the typed 40 % is taken,
    // then the arrow steps from it.
    QAbstractButton* up = Arrow(kFeed, "up");
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(feed->text(), " 41");
    EXPECT_DOUBLE_EQ(machine->State().feedOverride, 0.41);
}

} // namespace
} // namespace morvik
