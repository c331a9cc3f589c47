// Every setup dialog on the card: its caption, OK storing the edit and downloading the
// controller file the card needs (or none), Cancel storing and downloading nothing; the
// validation messages that keep a dialog open; the General dialog's unknown combo text.
#include "DialogFixture.h"

namespace morvik::test {
namespace {

struct DialogCase {
    SetupRunner dialog;
    const char* caption;
    const char* label;
    const char* typed;
    std::vector<std::string> downloads; // after OK
    std::string (*stored)(CMachine&);   // the edited value as the machine holds it
    const char* expected;               // ... after OK
};

std::string Str(int value) {
    return std::to_string(value);
}

const DialogCase kDialogs[] = {
    {RunSetupDialog<CSetupGeneral>, "General", "Program Style", "Fanuc", kConfigurationDownload,
     [](CMachine& m) { return Str(m.General().programStyle.Get()); }, "0"},
    {RunSetupDialog<CSetupAxes>, "Machine Axis Setup", "Z Controller Axis", "5",
     kConfigurationDownload, [](CMachine& m) { return Str(m.AxisZ().ControllerAxis()); }, "5"},
    {RunSetupDialog<CSetupSpindleDlg>, "Spindle Setup", "Direction", "REVERSE",
     kConfigurationDownload, [](CMachine& m) { return Str(m.GetSpindle().Polarity()); }, "-1"},
    {RunSetupDialog<CSetupCutterDlg>, "Cutter Setup", "Raise Macro", "1001", kConfigurationDownload,
     [](CMachine& m) { return Str(m.GetCutter().RaiseMacro()); }, "1001"},
    {RunSetupDialog<CSetupMachineCoorDlg>, "Machine Coordinates Setup", "X Machine Offset",
     "2.5 in", kConfigurationDownload,
     [](CMachine& m) { return m.AxisX().MachineOffset().Format(9); }, "2.5 in"},
    {RunSetupDialog<CSetupProgramCoorDlg>, "Program Coordinates Setup", "Y Program Offset",
     "-1.25 mm", kConfigurationDownload,
     [](CMachine& m) { return m.AxisY().ProgramOffset().Format(9); }, "-1.25 mm"},
    {RunSetupDialog<CSetupFeedDlg>, "Feed Setup", "Default Feed Rate", "30 in/min",
     kConfigurationDownload, [](CMachine& m) { return m.Feed().feedRate.Format(9); }, "30 in/min"},
    {RunSetupDialog<CSetupRapidDlg>, "Rapid Setup", "Z Rapid Deceleration", "5 in/sec/sec",
     kConfigurationDownload, [](CMachine& m) { return m.AxisZ().RapidDecel().Format(9); },
     "5 in/sec/sec"},
    {RunSetupDialog<CSetupLimitDlg>, "Limits Setup", "X Upper Limit", "50 in",
     kConfigurationDownload, [](CMachine& m) { return m.AxisX().UpperLimit().Format(9); }, "50 in"},
    {RunSetupDialog<CSetupWorkCoorDlg>, "Work Coordinates Setup", "Z", "0.75 in",
     kWorkCoordDownload, [](CMachine& m) { return m.WorkCoords()[0].Z().Format(9); }, "0.75 in"},
    {RunSetupDialog<CSetupToolDlg>, "Tool Setup", "Description", "3/8 end mill", kToolDownload,
     [](CMachine& m) { return m.Tools()[0].Description(); }, "3/8 end mill"},
    {RunSetupDialog<CSetupOffsetsDlg>, "Tool Offsets Setup", "H Wear", "0.01 in", kToolDownload,
     [](CMachine& m) { return m.OffsetTables()[1].Wear(1).Format(9); }, "0.01 in"},
    {RunSetupDialog<CSetupJoggingDlg>, "Jogging Setup", "Joystick Deadband", "25", kNoDownload,
     [](CMachine& m) { return Str(m.Jogging().joystickDeadband.Get()); }, "25"},
    {RunSetupDialog<CSetupHomingDlg>, "Homing Setup", "Homing Macro Number", "1000", kNoDownload,
     [](CMachine& m) { return Str(m.Homing().homingMacro.Get()); }, "1000"},
    {RunSetupDialog<CSetupExtControlsDlg>, "Setup External Controls", "Dryrun Switch", "16",
     kConfigurationDownload,
     [](CMachine& m) { return Str(m.ExternalControls().dryRunSwitchChannel.Get()); }, "16"},
};

TEST_F(DialogOnCard, OkStoresTheEditDownloadsItsFileAndMarksTheMachineModified) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(c.caption);
        machine->SetModifiedFlag(false);
        QString caption;
        Run(c.dialog, [&](CSetupForm& form) {
            caption = form.windowTitle();
            Type(form, c.label, c.typed);
            form.accept();
            EXPECT_FALSE(form.isVisible());
        });
        EXPECT_EQ(caption.toStdString(), c.caption);
        EXPECT_EQ(c.stored(*machine), c.expected);
        EXPECT_EQ(Downloads(), c.downloads);
        EXPECT_TRUE(machine->IsModified());
        EXPECT_EQ(Shown(c.dialog, c.label).toStdString(), c.typed); // the next opening shows it
        EXPECT_TRUE(shownMessages.isEmpty()) << shownMessages.join('|').toStdString();
    }
}

TEST_F(DialogOnCard, CancelChangesNothingAndDownloadsNothing) {
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(c.caption);
        const std::string before = c.stored(*machine);
        Run(c.dialog, [&](CSetupForm& form) {
            Type(form, c.label, c.typed);
            form.reject();
        });
        EXPECT_EQ(c.stored(*machine), before);
        EXPECT_EQ(Downloads(), kNoDownload);
        EXPECT_FALSE(machine->IsModified());
    }
}

TEST_F(DialogOnCard, OkWithoutAnEditKeepsEveryValue) {
    // Quantities travel as text with the setup precision; an untouched dialog stores what it
    // showed, so the machine file written afterwards is the same.
    const std::string savedBefore = folder.File("before.mch");
    const std::string savedAfter = folder.File("after.mch");
    ASSERT_TRUE(machine->WriteSetup(savedBefore));
    for (const DialogCase& c : kDialogs)
        Run(c.dialog, [](CSetupForm& form) { form.accept(); });
    ASSERT_TRUE(machine->WriteSetup(savedAfter));
    EXPECT_EQ(ReadBytes(savedAfter), ReadBytes(savedBefore));
}

struct RefusedCase {
    SetupRunner dialog;
    const char* label;
    QString typed;
    const char* message;
};

const RefusedCase kRefused[] = {
    {RunSetupDialog<CSetupExtControlsDlg>, "Start Button", "17",
     "Enter an integer between 0 and 16."},
    {RunSetupDialog<CSetupExtControlsDlg>, "Dryrun Switch", "-1",
     "Enter an integer between 0 and 16."},
    {RunSetupDialog<CSetupAxes>, "X Slave Axis", "9", "Enter an integer between 0 and 8."},
    {RunSetupDialog<CSetupAxes>, "X Controller Axis", "two", "Enter an integer."},
    {RunSetupDialog<CSetupSpindleDlg>, "Controller Axis", "7", "Enter an integer between 0 and 6."},
    {RunSetupDialog<CSetupCutterDlg>, "Lower M-code", "", "Enter an integer."},
    {RunSetupDialog<CSetupJoggingDlg>, "Joystick Deadband", "101",
     "Enter an integer between 0 and 100."},
    {RunSetupDialog<CSetupHomingDlg>, "Homing Macro Number", "1100",
     "Enter an integer between 0 and 1099."},
    {RunSetupDialog<CSetupToolDlg>, "Wear Factor", "half", "Enter a number."},
    {RunSetupDialog<CSetupToolDlg>, "Orientation", "1.5", "Enter an integer."},
    {RunSetupDialog<CSetupOffsetsDlg>, "D Wear Factor", "0,5", "Enter a number."},
    {RunSetupDialog<CSetupToolDlg>, "Description", QString(120, 'x'),
     "Enter no more than 119 characters."},
    {RunSetupDialog<CSetupGeneral>, "Machine Type", QString(41, 'M'),
     "Enter no more than 40 characters."},
    {RunSetupDialog<CSetupGeneral>, "Default Units", "METRICAL",
     ""}, // 8 characters: accepted (names no choice)
    {RunSetupDialog<CSetupGeneral>, "Default Units", "METRICALS",
     "Enter no more than 8 characters."},
};

TEST_F(DialogOnCard, AFieldThatFailsItsCheckKeepsTheDialogOpenWithTheFocusOnIt) {
    for (const RefusedCase& c : kRefused) {
        SCOPED_TRACE(std::string(c.label) + " = " + c.typed.toStdString());
        shownMessages.clear();
        machine->SetModifiedFlag(false);
        bool stayedOpen = false;
        bool focused = false;
        Run(c.dialog, [&](CSetupForm& form) {
            Type(form, c.label, c.typed);
            form.accept();
            stayedOpen = form.isVisible();
            focused = form.focusWidget() == form.Control(c.label);
        });
        const bool refused = *c.message != '\0';
        EXPECT_EQ(stayedOpen, refused);
        EXPECT_EQ(shownMessages, refused ? QStringList{c.message} : QStringList{});
        if (refused) {
            EXPECT_TRUE(focused);
            EXPECT_EQ(Downloads(), kNoDownload);
            EXPECT_FALSE(machine->IsModified());
        }
        Downloads();
    }
}

TEST_F(DialogOnCard, ARefusedDescriptionIsStoredOnceItFitsTheMachineFile) {
    const QString longest(119, 'd');
    Run(RunSetupDialog<CSetupToolDlg>, [&](CSetupForm& form) {
        Type(form, "Description", longest + "d");
        form.accept();
        Type(form, "Description", longest);
        form.accept();
    });
    EXPECT_EQ(shownMessages, QStringList{"Enter no more than 119 characters."});
    ASSERT_TRUE(machine->SaveCommand());
    machine->ReadSetup(machinePath);
    EXPECT_EQ(machine->Tools()[0].Description(), longest.toStdString());
}

TEST_F(DialogOnCard, GeneralKeepsTheOldChoiceForAnUnknownTextAndStillRewritesTheConfiguration) {
    machine->General().machineType.Set(2);
    Run(RunSetupDialog<CSetupGeneral>, [](CSetupForm& form) {
        EXPECT_EQ(Text(form, "Machine Type"), "Lathe");
        Type(form, "Machine Type", "Mill, Diagonal");
        Type(form, "Program Style", "Fanuc ");
        Type(form, "Default Units", "METRIC");
        form.accept();
    });
    EXPECT_EQ(machine->General().machineType.Get(), 2);
    EXPECT_EQ(machine->General().programStyle.Get(), 1); // "Fanuc " is not "Fanuc"
    EXPECT_EQ(machine->General().defaultUnits.Get(), 1);
    EXPECT_EQ(Downloads(), kConfigurationDownload);
    EXPECT_TRUE(machine->IsModified());
}

TEST_F(DialogOnCard, GeneralSetsThePartProgramUnitsByName) {
    Run(RunSetupDialog<CSetupGeneral>, [](CSetupForm& form) {
        Type(form, "English Dimensions", "1/10000 INCH");
        Type(form, "English Time", "SECOND");
        Type(form, "Metric Dimensions", "1/100 MILLIMETER");
        Type(form, "Metric Time", "MINUTE");
        form.accept();
    });
    const GeneralSettings& general = machine->General();
    EXPECT_EQ(general.partPrgmEnglishDimUnits.Get(), unit::TenThousandthInch);
    EXPECT_EQ(general.partPrgmEnglishPerUnits.Get(), timeunit::Second);
    EXPECT_EQ(general.partPrgmMetricDimUnits.Get(), unit::HundredthMillimeter);
    EXPECT_EQ(general.partPrgmMetricPerUnits.Get(), timeunit::Minute);
}

TEST_F(DialogOnCard, SpindleCombosShowNothingForUnknownCodesAndKeepThemForUnknownTexts) {
    machine->GetSpindle().SetMode(7);
    machine->GetSpindle().SetPolarity(1);
    Run(RunSetupDialog<CSetupSpindleDlg>, [](CSetupForm& form) {
        EXPECT_EQ(Text(form, "Motor Type"), "");
        EXPECT_EQ(Text(form, "Direction"), "NORMAL");
        Type(form, "Direction", "BACKWARDS");
        form.accept();
    });
    EXPECT_EQ(machine->GetSpindle().Mode(), 7);
    EXPECT_EQ(machine->GetSpindle().Polarity(), 1);
    Run(RunSetupDialog<CSetupSpindleDlg>, [](CSetupForm& form) {
        Type(form, "Motor Type", "DRIVE");
        form.accept();
    });
    EXPECT_EQ(machine->GetSpindle().Mode(), Spindle::kModeDrive);
}

TEST_F(DialogOnCard, QuantitiesShowTheSetupPrecisionAndTakeKnownUnits) {
    machine->Feed().feedRate.Set(unit::Inch, timeunit::Minute, 1.0 / 3.0);
    machine->General().setupPrecision.Set(4);
    EXPECT_EQ(Shown(RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate"), "0.3333 in/min");
    Run(RunSetupDialog<CSetupFeedDlg>, [](CSetupForm& form) {
        Type(form, "Feed Acceleration", "12.5 mm/sec/sec");
        form.accept();
    });
    EXPECT_TRUE(shownMessages.isEmpty());
    EXPECT_EQ(machine->Feed().feedRate.Value(), 1.0 / 3.0) << "not edited: every digit kept";
    EXPECT_EQ(machine->Feed().feedAccel.Value(), 12.5);
    EXPECT_EQ(machine->Feed().feedAccel.LengthUnit(), unit::Millimeter);
}

// A unit the tables do not know is refused, naming the field and the units that are, with the
// focus on the field; nothing is stored or downloaded. A bare number keeps the field's unit.
TEST_F(DialogOnCard, QuantityWithAnUnknownUnitIsRefusedAndABareNumberKeepsTheUnit) {
    const QString rate = AcceptedUnitsMessage(true, true);
    const QString length = AcceptedUnitsMessage(true, false);
    EXPECT_TRUE(rate.contains("in, ft, yd, um, cmm, dmm, mm, cm, dm, m"));
    EXPECT_TRUE(rate.contains("msec, sec, min, hr, day"));
    EXPECT_FALSE(length.contains("msec"));
    struct Case {
        SetupRunner dialog;
        const char* label;
        QString typed;
        QString message; // empty: accepted
    };
    const Case cases[] = {
        {RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate", "12 furlongs/fortnight", rate},
        {RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate", "fast", rate},
        {RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate", "12 in", rate}, // no time unit
        {RunSetupDialog<CSetupFeedDlg>, "Feed Acceleration", "3 in/fortnight/fortnight", rate},
        {RunSetupDialog<CSetupLimitDlg>, "X Lower Limit", "-2 parsecs", length},
        {RunSetupDialog<CSetupAxes>, "X Axis Scaling", "2000 counts/league", length},
        {RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate", "250", ""},
        {RunSetupDialog<CSetupFeedDlg>, "Default Feed Rate", " 2.5e2 ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " = " + c.typed.toStdString());
        machine->Feed().feedRate.Set(unit::Millimeter, timeunit::Minute, 100.0);
        machine->SetModifiedFlag(false);
        shownMessages.clear();
        bool stayedOpen = false;
        bool focused = false;
        Run(c.dialog, [&](CSetupForm& form) {
            Type(form, c.label, c.typed);
            form.accept();
            stayedOpen = form.isVisible();
            focused = form.focusWidget() == form.Control(c.label);
        });
        const bool refused = !c.message.isEmpty();
        EXPECT_EQ(stayedOpen, refused);
        EXPECT_EQ(shownMessages,
                  refused ? QStringList{c.label + QString(": ") + c.message} : QStringList{});
        if (refused) {
            EXPECT_TRUE(focused);
            EXPECT_EQ(Downloads(), kNoDownload);
            EXPECT_FALSE(machine->IsModified());
            continue;
        }
        const CSpeed& feed = machine->Feed().feedRate;
        EXPECT_EQ(feed.Value(), 250.0);
        EXPECT_EQ(feed.LengthUnit(), unit::Millimeter);
        EXPECT_EQ(feed.TimeUnit(), timeunit::Minute);
        EXPECT_EQ(Downloads(), kConfigurationDownload);
    }
}

// A unit combo whose text names no unit leaves the unit as it was (not undefined, factor 1).
TEST_F(DialogOnCard, UnitComboWithAnUnknownNameKeepsTheUnit) {
    GeneralSettings& general = machine->General();
    general.partPrgmMetricDimUnits.Set(unit::Millimeter);
    general.partPrgmEnglishPerUnits.Set(timeunit::Minute);
    Run(RunSetupDialog<CSetupGeneral>, [](CSetupForm& form) {
        Type(form, "Metric Dimensions", "FURLONG");
        Type(form, "English Time", "");
        Type(form, "Metric Time", "HOUR");
        form.accept();
    });
    EXPECT_TRUE(shownMessages.isEmpty());
    EXPECT_EQ(general.partPrgmMetricDimUnits.Get(), unit::Millimeter);
    EXPECT_EQ(general.partPrgmEnglishPerUnits.Get(), timeunit::Minute);
    EXPECT_EQ(general.partPrgmMetricPerUnits.Get(), timeunit::Hour);
}

// Text limits count characters as the machine file reads them back; a description read from a
// file in another encoding is kept byte for byte when it is not edited.
TEST_F(DialogOnCard, DescriptionsAreLimitedInCharactersAndKeptWhenNotEdited) {
    const QString accented = QString(119, QChar(0x00D8)); // 119 "Ø", 238 bytes of UTF-8
    Run(RunSetupDialog<CSetupToolDlg>, [&](CSetupForm& form) {
        Type(form, "Description", accented);
        form.accept();
    });
    EXPECT_TRUE(shownMessages.isEmpty()) << shownMessages.join('|').toStdString();
    ASSERT_TRUE(machine->SaveCommand());
    machine->ReadSetup(machinePath);
    EXPECT_EQ(machine->Tools()[0].Description(), accented.toStdString()) << "back whole";

    const std::string latin1 = "Fr\xE4ser \xD8 6 mm"; // not UTF-8
    machine->Tools()[0].SetDescription(latin1);
    Run(RunSetupDialog<CSetupToolDlg>, [](CSetupForm& form) {
        Type(form, "X Length", "2 in");
        form.accept();
    });
    EXPECT_EQ(machine->Tools()[0].Description(), latin1);
    ASSERT_TRUE(machine->SaveCommand());
    EXPECT_NE(ReadBytes(machinePath).find("=" + latin1 + "\n"), std::string::npos);
}

TEST_F(DialogOnCard, JoggingOkInJogModeEntersJogModeAgain) {
    op->SelectJog();
    CardCommands();
    Run(RunSetupDialog<CSetupJoggingDlg>, [](CSetupForm& form) {
        Type(form, "Max. Jog Rate", "30 in/min");
        form.accept();
    });
    const std::vector<std::string> afterOk = CardCommands();
    EXPECT_FALSE(afterOk.empty());
    op->SelectJog(); // the same entry, run by the facade itself
    EXPECT_EQ(CardCommands(), afterOk);
    Run(RunSetupDialog<CSetupJoggingDlg>, [](CSetupForm& form) { form.reject(); });
    EXPECT_TRUE(CardCommands().empty());
}

TEST_F(DialogOnCard, HomingOkInHomeModeOpensTheMessageViewWhenNoLongerSuppressed) {
    machine->Homing().suppressHomingMessages.Set(1);
    op->SelectHome();
    ui.calls.clear();
    Run(RunSetupDialog<CSetupHomingDlg>, [](CSetupForm& form) {
        EXPECT_EQ(Text(form, "Suppress Homing Messages"), "1");
        Type(form, "Suppress Homing Messages", "0");
        form.accept();
    });
    EXPECT_EQ(machine->Homing().suppressHomingMessages.Get(), 0);
    EXPECT_EQ(ui.calls, std::vector<std::string>{"open HomingView"});
    EXPECT_TRUE(machine->IsModified());
}

} // namespace
} // namespace morvik::test
