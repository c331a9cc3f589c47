// Machine files edited by hand or not machine files at all: values outside their tables, huge
// precisions, control characters, files without any machine section. None may hang the
// station, reach the card as an empty or broken line, or open silently as an all-zero machine.
// Also here: what a save or a configuration download that fails leaves behind.
#include "machine/document/MachineFixture.h"

#include "controller/StringTable.h"
#include "machine/MachineTables.h"

#include <algorithm>
#include <sys/stat.h>

namespace morvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class HostileFile : public test::MachineOnFakeCard {
protected:
    std::string File(const std::string& name) const { return cwd.folder.File(name); }

    std::string Cfg() { return test::ControllerText(*machine, ControllerFile::Configuration); }
    bool CfgHasLine(const std::string& line) {
        const std::vector<std::string> lines = test::Lines(Cfg());
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

// A value that is not finite reads as the initial one (as a value outside its table does),
// so neither "nan" nor "inf" ever reaches a controller file or the card's arithmetic.
TEST_F(HostileFile, ValuesThatAreNotFiniteReadAsTheInitialOnes) {
    WriteBytes(File("m.mch"), "[FEED]\nFEEDRATE=nan in/min\nFEEDACCEL=inf in/sec/sec\n"
                              "FEEDDECEL=-1e999 in/sec/sec\nMAXFEEDRATE=200 in/min\n"
                              "MAXANGLE=NAN deg\n"
                              "[XAXIS]\nCTRLRAXISNUM=1\nSCALE=1e308 counts/in\n"
                              "MACHINEOFFSET=-inf in\nLOWERLIMIT=1e400 mm\nUPPERLIMIT=24 in\n"
                              "[TOOL1]\nF=nan\n"
                              "[JOGGING]\nJOYSTICKXCENTER=inf\nJOYSTICKXUPPER=nan\n"
                              "JOYSTICKXLOWER=-1e999\nJOYSTICKYCENTER=100\n");
    ASSERT_TRUE(machine->OnOpenDocument(File("m.mch")));
    const FeedSettings& feed = machine->Feed();
    EXPECT_EQ(feed.feedRate.Value(), 0.0);
    EXPECT_EQ(feed.feedAccel.Value(), 0.0);
    EXPECT_EQ(feed.feedDecel.Value(), 0.0);
    EXPECT_EQ(feed.maxFeedRate.Value(), 200.0) << "a finite neighbour is read as it stands";
    EXPECT_EQ(feed.maxAngle.Value(), 10.0);
    EXPECT_EQ(feed.maxAngle.Unit(), unit::Degree);
    const Axis& x = machine->Axes()[0];
    EXPECT_EQ(x.Scale().Value(), 1.0) << "1e308 counts/in overflows counts per metre";
    EXPECT_EQ(x.Scale().Unit(), unit::Inch);
    EXPECT_EQ(x.MachineOffset().Value(), 0.0);
    EXPECT_EQ(x.LowerLimit().Value(), 0.0);
    EXPECT_EQ(x.UpperLimit().Value(), 24.0);
    EXPECT_EQ(machine->Tools()[0].WearFactor(), 0.0);
    const JoggingSettings& jog = machine->Jogging();
    EXPECT_EQ(jog.joystickXCenter.Get(), JoggingSettings::kRestingCenter);
    EXPECT_EQ(jog.joystickXUpper.Get(), JoggingSettings::kUpperExtreme);
    EXPECT_EQ(jog.joystickXLower.Get(), 0.0);
    EXPECT_EQ(jog.joystickYCenter.Get(), 100.0);
    for (ControllerFile file : kControllerFileOrder) {
        std::string text = test::ControllerText(*machine, file);
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        EXPECT_EQ(text.find("inf"), std::string::npos) << text;
    }
}

// A FIFO would block the window until someone writes to it, /dev/zero fill memory, a folder
// read as an empty machine: each is refused before it is read, with the path named.
TEST_F(HostileFile, PathsThatAreNoRegularFileAreRefusedWithThePathNamed) {
    const std::string fifo = File("pipe.mch");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(File("folder.mch"));
    for (const std::string& path : {fifo, std::string("/dev/zero"), File("folder.mch")}) {
        SCOPED_TRACE(path);
        ui.calls.clear();
        EXPECT_FALSE(machine->OnOpenDocument(path));
        EXPECT_TRUE(machine->OpenReported());
        EXPECT_EQ(ui.calls, std::vector<std::string>{
                                "message " + std::to_string(msg::NotARegularFile) + ": " + path});
        EXPECT_EQ(machine->GetPathName(), "");
    }
    // Nor is one ever replaced by a plain file.
    EXPECT_FALSE(machine->WriteSetup(fifo, CMachine::SaveMode::Replace));
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// Every value is read back inside its table, and the controller file, the readouts' unit
// system and a save all agree on it.
TEST_F(HostileFile, ValuesOutsideTheirTablesAreFixedUpOnReading) {
    struct Case {
        const char* general;
        int machineType, programStyle, defaultUnits;
        const char* typeLine;
        const char* unitsLine;
    };
    const Case cases[] = {
        {"MACHINETYPE=7\nPROGRAMSTYLE=5\nDEFAULTUNITS=2\n", 0, 0, 0, "MACHINETYPE=VMILL",
         "ENGLISH"},
        {"MACHINETYPE=-1\nPROGRAMSTYLE=-2147483648\nDEFAULTUNITS=-3\n", 0, 0, 0,
         "MACHINETYPE=VMILL", "ENGLISH"},
        {"MACHINETYPE=99999999999\nPROGRAMSTYLE=1\nDEFAULTUNITS=1\n", 0, 1, 1, "MACHINETYPE=VMILL",
         "METRIC"},
        {"MACHINETYPE=2\nPROGRAMSTYLE=2\nDEFAULTUNITS=1\n", 2, 0, 1, "MACHINETYPE=LATHE", "METRIC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.general);
        WriteBytes(File("m.mch"), std::string("[GENERAL]\n") + c.general);
        ASSERT_TRUE(machine->OnOpenDocument(File("m.mch")));
        const GeneralSettings& g = machine->General();
        EXPECT_EQ(g.machineType.Get(), c.machineType);
        EXPECT_EQ(g.programStyle.Get(), c.programStyle);
        EXPECT_EQ(g.defaultUnits.Get(), c.defaultUnits);
        EXPECT_TRUE(CfgHasLine(c.typeLine));
        EXPECT_TRUE(CfgHasLine(std::string("PROGRAMCOMP=") +
                               ChoiceKeyword(kProgramStyles, c.programStyle)));
        EXPECT_EQ(test::Lines(Cfg()).back(), c.unitsLine) << "the default units specifier";
        EXPECT_STREQ(machine->DefaultUnitSystem().name, c.unitsLine) << "the readouts' units";
        ASSERT_TRUE(machine->WriteSetup(File("m.mch")));
        EXPECT_NE(ReadBytes(File("m.mch")).find("DEFAULTUNITS=" + std::to_string(c.defaultUnits)),
                  std::string::npos);
    }
}

// The controller files take at most 17 significant digits, as the machine file does: a huge
// precision writes exactly what 17 writes (and does not pad every number to gigabytes).
TEST_F(HostileFile, HugePrecisionWritesTheControllerFilesAsSeventeenDigits) {
    const std::string body = "[FEED]\nFEEDRATE=12.3456789012345678 in/min\n"
                             "[XAXIS]\nCTRLRAXISNUM=1\nSCALE=2000 counts/in\n"
                             "LOWERLIMIT=-0.1 in\n";
    std::string expected[3];
    WriteBytes(File("m.mch"), "[GENERAL]\nSETUPPRECISION=17\n" + body);
    ASSERT_TRUE(machine->OnOpenDocument(File("m.mch")));
    for (ControllerFile f : kControllerFileOrder)
        expected[static_cast<int>(f)] = test::ControllerText(*machine, f);
    EXPECT_NE(expected[0].find("XLOWLIMIT=-0.099999999999999992\n"), std::string::npos)
        << expected[0];

    for (const char* precision : {"2147483647", "100000000", "18"}) {
        SCOPED_TRACE(precision);
        WriteBytes(File("m.mch"),
                   std::string("[GENERAL]\nSETUPPRECISION=") + precision + "\n" + body);
        ASSERT_TRUE(machine->OnOpenDocument(File("m.mch")));
        for (ControllerFile f : kControllerFileOrder)
            EXPECT_EQ(test::ControllerText(*machine, f), expected[static_cast<int>(f)]);
    }
}

// A Linux file name may hold a line break; every line of a controller file reaches the card
// as a line of its own, so the title must stay inside the header comment.
TEST_F(HostileFile, ControlCharactersInTheTitleNeverLeaveTheHeaderComment) {
    struct Case {
        std::string title;
        std::string header;
    };
    const Case cases[] = {
        {"mill\nRCF100.mch", ";mill?RCF100 Configuration file"},
        {"a\rb\tc\x7f"
         "d.mch",
         ";a?b?c?d Configuration file"},
        {"fr\xC3\xA4se.mch", ";fr\xC3\xA4se Configuration file"}, // UTF-8 stays as it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        machine->SetTitle(c.title);
        const std::string text = Cfg();
        EXPECT_EQ(text.substr(0, text.find('\n')), c.header);
        EXPECT_EQ(test::Lines(text)[1].rfind("; generated: ", 0), 0u);
    }
}

// An empty file, a part program or a text file is not a machine: the operator is told which
// file it is and chooses whether it becomes a new machine saved to that path.
TEST_F(HostileFile, FileWithoutAnyMachineSectionIsOpenedOnlyWhenTheOperatorSaysSo) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty file", ""},
        {"part program", "%\nO1000\nG21 G90\nG01 X10 F100\nM30\n%\n"},
        {"text with a foreign section", "[Desktop Entry]\nName=x\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = File("x.prt");
        WriteBytes(path, c.bytes);
        std::filesystem::remove(File("x.CFG"));
        ui.calls.clear();
        fake.ClearCalls();

        EXPECT_FALSE(machine->OnOpenDocument(path)) << "declined";
        EXPECT_TRUE(machine->OpenDeclined());
        EXPECT_EQ(ui.calls,
                  std::vector<std::string>{"question " + std::to_string(msg::NoMachineDescription) +
                                           ": " + path});
        for (const std::string& call : Protocol())
            EXPECT_EQ(call.find("RCF"), std::string::npos) << "nothing downloaded: " << call;
        EXPECT_FALSE(std::filesystem::exists(File("x.CFG")));

        ui.yesNoAnswers.push_back(true);
        ASSERT_TRUE(machine->OnOpenDocument(path));
        EXPECT_FALSE(machine->OpenDeclined());
        EXPECT_EQ(machine->GetPathName(), path);
        EXPECT_EQ(ReadBytes(path), c.bytes) << "opening writes nothing";
        // A new machine's setup, not an all-zero one.
        EXPECT_EQ(machine->Jogging().joystickDeadband.Get(), JoggingSettings::kInitialDeadband);
        EXPECT_EQ(machine->General().partPrgmMetricDimUnits.Get(), unit::Millimeter);
        EXPECT_EQ(machine->SetupPrecision(), kDefaultSetupPrecision);
        EXPECT_TRUE(std::filesystem::exists(File("x.CFG")));
    }
}

TEST_F(HostileFile, NewMachineMeansMillimetresPerMinuteInMetricUnits) {
    ASSERT_TRUE(machine->OnNewDocument());
    const GeneralSettings& g = machine->General();
    EXPECT_EQ(g.partPrgmMetricDimUnits.Get(), unit::Millimeter);
    EXPECT_EQ(g.partPrgmMetricPerUnits.Get(), timeunit::Minute);
    EXPECT_EQ(g.partPrgmEnglishDimUnits.Get(), unit::Inch);
    EXPECT_EQ(g.partPrgmEnglishPerUnits.Get(), timeunit::Minute);

    // A file that names its units keeps them.
    WriteBytes(File("m.mch"), "[GENERAL]\nPARTPRGMMETRICDIMUNITS=METER\n"
                              "PARTPRGMMETRICPERUNITS=SECOND\n");
    ASSERT_TRUE(machine->OnOpenDocument(File("m.mch")));
    EXPECT_EQ(g.partPrgmMetricDimUnits.Get(), unit::Meter);
    EXPECT_EQ(g.partPrgmMetricPerUnits.Get(), timeunit::Second);
}

// A value the file cannot take (here a description with a line break) fails the save, and the
// file on disk keeps every key it had, that one included.
TEST_F(HostileFile, RefusedWriteLeavesTheMachineFileUntouched) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    std::filesystem::copy_file(test::GoldenPath("mill.mch"), File("mill.mch"));
    const std::string before = ReadBytes(File("mill.mch"));
    machine->Tools()[0].SetDescription("end mill\nTOOLX=9");

    EXPECT_FALSE(machine->OnSaveDocument(File("mill.mch")));
    EXPECT_EQ(ReadBytes(File("mill.mch")), before);
    EXPECT_EQ(machine->LastSavePath(), File("mill.mch"));
}

// The readouts follow the scale the card has: a configuration file that could not be written
// leaves the display formats as they were.
TEST_F(HostileFile, DisplayFormatsChangeOnlyWhenTheConfigurationIsWritten) {
    ASSERT_TRUE(machine->OnOpenDocument(test::GoldenPath("mill.mch")));
    const std::string x = machine->AxisX().DisplayFormat();
    const std::string cutter = machine->GetCutter().DisplayFormat();
    machine->AxisX().Scale().Set(unit::Millimeter, 1.0e6);
    machine->GetCutter().Scale().Set(unit::Revolution, 1.0e6);
    std::filesystem::remove(File("mill.CFG"));
    std::filesystem::create_directory(File("mill.CFG")); // no file can be written there
    ui.calls.clear();

    EXPECT_FALSE(machine->DownloadConfiguration());
    EXPECT_EQ(ui.messages, std::vector<int>{msg::ControllerFileNotWritten});
    EXPECT_EQ(machine->AxisX().DisplayFormat(), x);
    EXPECT_EQ(machine->GetCutter().DisplayFormat(), cutter);

    std::filesystem::remove(File("mill.CFG"));
    EXPECT_TRUE(machine->DownloadConfiguration());
    EXPECT_NE(machine->AxisX().DisplayFormat(), x);
}

} // namespace
} // namespace morvik
