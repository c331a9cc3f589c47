// The machine file: what a save writes and in which order, what a load reads and fixes up,
// and that a save that cannot be done says so and leaves the file as it was.
#include "machine/document/MachineFixture.h"

#include <sys/stat.h>

namespace morvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

std::vector<std::string> SectionsOf(const std::string& text) {
    std::vector<std::string> sections;
    for (const std::string& line : test::Lines(text))
        if (line.rfind('[', 0) == 0)
            sections.push_back(line);
    return sections;
}

// What stands at a path: a folder, nothing, or the file's bytes.
std::string Snapshot(const std::string& path) {
    if (std::filesystem::is_directory(path))
        return "<folder>";
    if (!std::filesystem::exists(path))
        return "<nothing>";
    return ReadBytes(path);
}

class MachineFile : public test::MachineOnFakeCard {
protected:
    std::string File(const std::string& name) const { return cwd.folder.File(name); }
};

TEST_F(MachineFile, NewMachineIsSavedSectionBySectionInTheSaveOrder) {
    machine->ResetSetup();
    ASSERT_TRUE(machine->WriteSetup(File("new.mch")));
    EXPECT_EQ(ReadBytes(File("new.mch")), test::Golden("Machine1.mch"));
}

TEST_F(MachineFile, OpenSaveOpenKeepsEverySetting) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    ASSERT_TRUE(machine->WriteSetup(File("first.mch")));

    CMachine again(fake.Table(), clock, ui);
    again.SetDateSource(test::FixedDate);
    ASSERT_TRUE(again.Connect());
    ASSERT_TRUE(again.OnOpenDocument(File("first.mch")));
    ASSERT_TRUE(again.WriteSetup(File("second.mch")));

    EXPECT_EQ(ReadBytes(File("second.mch")), ReadBytes(File("first.mch")));
    // What the card is told is unchanged by the trip through the saved file.
    again.SetTitle("mill.mch");
    EXPECT_EQ(test::ControllerText(again, ControllerFile::Configuration), test::Golden("mill.CFG"));
    EXPECT_EQ(test::ControllerText(again, ControllerFile::WorkCoordinates),
              test::Golden("mill.WRK"));
    EXPECT_EQ(test::ControllerText(again, ControllerFile::ToolData), test::Golden("mill.TOL"));
    EXPECT_EQ(again.Jogging().joystickYInvert.Get(), 1);
    EXPECT_EQ(again.Homing().homingMacro.Get(), 20);
    EXPECT_EQ(again.ExternalControls().fholdIndicatorChannel.Get(), 19);
    EXPECT_EQ(again.Tools()[0].Description(), "10 mm end mill");
}

TEST_F(MachineFile, SaveErasesForeignKeysKeepsForeignSectionsAndWritesInSaveOrder) {
    WriteBytes(File("old.mch"), "; kept comment\n"
                                "[CUSTOM]\nNOTE=keep me\n"
                                "[XAXIS]\nOLDKEY=1\nSCALE=5 counts/in\n"
                                "[FEED]\nFOO=bar\nFEEDRATE=3 in/min\n"
                                "[GENERAL]\nVERSION=2\nMACHINETYPE=1\n");
    ASSERT_TRUE(machine->OnOpenDocument(File("old.mch")));
    ASSERT_TRUE(machine->WriteSetup(File("old.mch")));
    const std::string text = ReadBytes(File("old.mch"));

    std::vector<std::string> expected = {"[CUSTOM]", "[GENERAL]",          "[JOGGING]",
                                         "[HOMING]", "[EXTERNALCONTROLS]", "[FEED]"};
    for (const char* axis : {"X", "Y", "Z", "U", "V", "W"})
        expected.push_back(std::string("[") + axis + "AXIS]");
    expected.insert(expected.end(), {"[SPINDLE]", "[CUTTER]"});
    for (int i = 1; i <= 6; ++i)
        expected.push_back("[WORKCOOR" + std::to_string(i) + "]");
    for (int i = 1; i <= 9; ++i)
        expected.push_back("[TOOL" + std::to_string(i) + "]");
    for (const char* letter : {"D", "H"})
        for (const char* part : {"GEOMETRYOFFSETTABLE]", "WEAROFFSETTABLE]", "WEARFACTORTABLE]"})
            expected.push_back(std::string("[") + letter + part);
    EXPECT_EQ(SectionsOf(text), expected);

    EXPECT_EQ(text.rfind("; kept comment\n[CUSTOM]\nNOTE=keep me\n", 0), 0u) << text;
    for (const char* foreign : {"OLDKEY", "FOO", "VERSION"})
        EXPECT_EQ(text.find(foreign), std::string::npos) << foreign;
    EXPECT_NE(text.find("[GENERAL]\nMACHINETYPE=1\n"), std::string::npos);
    EXPECT_NE(text.find("\nSCALE=5 counts/in\n"), std::string::npos);
    EXPECT_NE(text.find("\nFEEDRATE=3 in/min\n"), std::string::npos);
}

TEST_F(MachineFile, SetupPrecisionOfZeroOrLessIsUsedAndSavedAsNine) {
    struct Case {
        const char* line; // the GENERAL line, or "" for none
        int precision;
    };
    const Case cases[] = {
        {"SETUPPRECISION=0\n", 9}, {"SETUPPRECISION=-3\n", 9}, {"", 9},
        {"SETUPPRECISION=x\n", 9}, {"SETUPPRECISION=4\n", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        WriteBytes(File("p.mch"),
                   std::string("[GENERAL]\n") + c.line + "[FEED]\nFEEDRATE=12.3456789012 in/min\n");
        ASSERT_TRUE(machine->OnOpenDocument(File("p.mch")));
        EXPECT_EQ(machine->SetupPrecision(), c.precision);
        ASSERT_TRUE(machine->WriteSetup(File("p.mch")));
        const std::string text = ReadBytes(File("p.mch"));
        EXPECT_NE(text.find("SETUPPRECISION=" + std::to_string(c.precision) + "\n"),
                  std::string::npos);
        EXPECT_NE(
            text.find(c.precision == 9 ? "FEEDRATE=12.3456789 in/min" : "FEEDRATE=12.35 in/min"),
            std::string::npos)
            << text;
    }
}

TEST_F(MachineFile, PrecisionSetBelowOneIsSavedAsNineNotAsOneDigit) {
    machine->ResetSetup();
    machine->General().setupPrecision.Set(0);
    machine->Feed().feedRate.Set(unit::Inch, timeunit::Minute, 12.3456789);
    ASSERT_TRUE(machine->WriteSetup(File("z.mch")));
    const std::string text = ReadBytes(File("z.mch"));
    EXPECT_NE(text.find("SETUPPRECISION=9\n"), std::string::npos);
    EXPECT_NE(text.find("FEEDRATE=12.3456789 in/min\n"), std::string::npos);
}

TEST_F(MachineFile, JoystickCentresAndUpperExtremesAreRestoredWhenAbsentOrZero) {
    struct Case {
        const char* what;
        const char* jogging;
        double xCenter, xUpper, xLower, yCenter, yUpper, yLower;
        int deadband, usePcJoystick;
    };
    const Case cases[] = {
        {"no JOGGING section", "", 32767, 65535, 0, 32767, 65535, 0, 0, 0},
        {"zeros",
         "[JOGGING]\nJOYSTICKXCENTER=0\nJOYSTICKXUPPER=0\nJOYSTICKYCENTER=0\n"
         "JOYSTICKYUPPER=0\nJOYSTICKXLOWER=0\nJOYSTICKDEADBAND=0\n",
         32767, 65535, 0, 32767, 65535, 0, 0, 0},
        {"calibrated",
         "[JOGGING]\nUSEPCJOYSTICK=1\nJOYSTICKDEADBAND=7\nJOYSTICKXCENTER=30000\n"
         "JOYSTICKXUPPER=60000\nJOYSTICKXLOWER=100\nJOYSTICKYCENTER=31000\n"
         "JOYSTICKYUPPER=61000\nJOYSTICKYLOWER=200\n",
         30000, 60000, 100, 31000, 61000, 200, 7, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(File("j.mch"), std::string("[GENERAL]\nMACHINETYPE=0\n") + c.jogging);
        ASSERT_TRUE(machine->OnOpenDocument(File("j.mch")));
        const JoggingSettings& j = machine->Jogging();
        EXPECT_EQ(j.joystickXCenter.Get(), c.xCenter);
        EXPECT_EQ(j.joystickXUpper.Get(), c.xUpper);
        EXPECT_EQ(j.joystickXLower.Get(), c.xLower);
        EXPECT_EQ(j.joystickYCenter.Get(), c.yCenter);
        EXPECT_EQ(j.joystickYUpper.Get(), c.yUpper);
        EXPECT_EQ(j.joystickYLower.Get(), c.yLower);
        EXPECT_EQ(j.joystickDeadband.Get(), c.deadband);
        EXPECT_EQ(j.usePcJoystick.Get(), c.usePcJoystick);
    }
}

TEST_F(MachineFile, OpeningResetsTheComponentsBeforeReading) {
    // X and Y on the card, the rest not, unless the file says otherwise.
    WriteBytes(File("a.mch"),
               "[ZAXIS]\nCTRLRAXISNUM=3\nSCALE=2000 counts/in\n[SPINDLE]\nCTRLRAXISNUM=4\n");
    ASSERT_TRUE(machine->OnOpenDocument(File("a.mch")));
    WriteBytes(File("b.mch"), "[GENERAL]\nMACHINETYPE=2\n");
    ASSERT_TRUE(machine->OnOpenDocument(File("b.mch")));
    // Absent integer keys read as 0 (so X and Y are off the card too); quantities keep the
    // new machine's values.
    std::vector<std::int32_t> axes;
    for (const Axis& axis : machine->Axes())
        axes.push_back(axis.ControllerAxis());
    EXPECT_EQ(axes, std::vector<std::int32_t>(6, 0));
    EXPECT_EQ(machine->GetSpindle().ControllerAxis(), 0);
    EXPECT_EQ(machine->AxisZ().Scale().Format(9), "1 counts/in");

    machine->ResetSetup();
    axes.clear();
    for (const Axis& axis : machine->Axes())
        axes.push_back(axis.ControllerAxis());
    EXPECT_EQ(axes, (std::vector<std::int32_t>{1, 2, 0, 0, 0, 0}));
}

TEST_F(MachineFile, SaveThatCannotBeDoneFailsAndLeavesTheFileAsItWas) {
    struct Case {
        const char* what;
        std::string path;
        bool readOnly;
    };
    WriteBytes(File("locked.mch"), "[GENERAL]\nMACHINETYPE=2\n");
    std::filesystem::create_directory(File("folder.mch"));
    const Case cases[] = {
        {"folder that does not exist", File("missing/mill.mch"), false},
        {"read-only file", File("locked.mch"), true},
        {"a folder in the file's place", File("folder.mch"), false},
    };
    machine->ResetSetup();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.readOnly) {
            ASSERT_EQ(::chmod(c.path.c_str(), 0444), 0);
        }
        const std::string before = Snapshot(c.path);
        const std::size_t entries = cwd.folder.EntryCount();
        EXPECT_FALSE(machine->WriteSetup(c.path));
        EXPECT_FALSE(machine->OnSaveDocument(c.path));
        EXPECT_EQ(Snapshot(c.path), before);
        EXPECT_EQ(cwd.folder.EntryCount(), entries) << "no temporary file may be left behind";
    }
}

TEST_F(MachineFile, SaveCommandSavesToThePathOrAsksForOne) {
    struct Case {
        const char* what;
        bool opened;                       // the document has a path (opened from old.mch)
        std::optional<std::string> answer; // Save As dialog answer, relative to the folder
        bool saved;
        const char* path;  // expected document path afterwards, relative
        const char* title; // expected title, relative ("" for the full path)
    };
    const Case cases[] = {
        {"saved to its path", true, std::nullopt, true, "old.mch", "old.mch"},
        {"no path, cancelled", false, std::nullopt, false, nullptr, "Machine1"},
        {"no path, file chosen", false, "chosen.mch", true, "chosen.mch", ""},
        {"no path, unwritable choice", false, "missing/x.mch", false, nullptr, "Machine1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::RecordingOperator dialogs;
        CMachine doc(fake.Table(), clock, dialogs);
        ASSERT_TRUE(doc.Connect());
        WriteBytes(File("old.mch"), "[GENERAL]\nMACHINETYPE=1\n");
        ASSERT_TRUE(c.opened ? doc.OnOpenDocument(File("old.mch")) : doc.OnNewDocument());
        doc.SetModifiedFlag(true);
        if (c.answer)
            dialogs.fileAnswers.push_back(File(*c.answer));

        EXPECT_EQ(doc.SaveCommand(), c.saved);

        const bool asked = !c.opened;
        EXPECT_EQ(dialogs.calls.size(), asked ? 1u : 0u);
        if (asked) {
            EXPECT_EQ(dialogs.calls[0], "save dialog Save Setup As");
        }
        EXPECT_EQ(doc.IsModified(), !c.saved);
        EXPECT_EQ(doc.GetPathName(), c.path ? File(c.path) : std::string());
        EXPECT_EQ(doc.GetTitle(), *c.title ? std::string(c.title) : File(c.path));
        if (c.saved) {
            EXPECT_NE(ReadBytes(doc.GetPathName()).find("[GENERAL]"), std::string::npos);
        }
    }
}

TEST_F(MachineFile, AfterSaveAsTheControllerFilesFollowTheChosenPath) {
    std::filesystem::create_directory(File("cnc.old"));
    ui.fileAnswers.push_back(File("cnc.old/mill.mch"));
    ASSERT_TRUE(machine->SaveAs());
    EXPECT_EQ(machine->GetTitle(), File("cnc.old/mill.mch"));
    EXPECT_EQ(machine->RecentFiles().Files().front(), File("cnc.old/mill.mch"));

    ASSERT_TRUE(machine->DownloadAll());
    for (const char* name : {"cnc.old/mill.CFG", "cnc.old/mill.WRK", "cnc.old/mill.TOL"})
        EXPECT_TRUE(std::filesystem::is_regular_file(File(name))) << name;
    EXPECT_EQ(test::Lines(ReadBytes(File("cnc.old/mill.CFG")))[0],
              ";" + File("cnc.old/mill") + " Configuration file");
}

} // namespace
} // namespace morvik
