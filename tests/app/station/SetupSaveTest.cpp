// Setup > Save, Save As and Calibrate > Joystick from the station's own menus: the machine file
// written, the document's path following the chosen file, the controller files named after
// it, and the joystick prompts in the station's boxes.
#include "app/station/StationFixture.h"

#include "controller/StringTable.h"
#include "settings/UnitTables.h"

#include <filesystem>
#include <iterator>

namespace morvik {
namespace {

class SetupSave : public test::StationOnCard {
protected:
    void SetUp() override {
        StationOnCard::SetUp();
        machinePath = work.File("mill.mch");
        std::filesystem::copy_file(std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/mill.mch",
                                   machinePath);
        ASSERT_TRUE(Start(machinePath));
        dialogs.boxes.clear();
    }

    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string machinePath;
};

TEST_F(SetupSave, SaveWritesTheEditedValuesToTheMachineFile) {
    Machine().Feed().maxFeedRate.Set(unit::Inch, timeunit::Minute, 90.0);
    Machine().SetModifiedFlag();
    ASSERT_TRUE(Commands().Execute(Cmd::SetupSave));
    EXPECT_FALSE(Machine().IsModified());
    EXPECT_NE(ReadFile(machinePath).find("MAXFEEDRATE=90 in/min"), std::string::npos);
    EXPECT_TRUE(dialogs.fileDialogs.isEmpty()); // no file dialog: the document has a path
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SetupSave, SaveAsMovesTheDocumentAndItsControllerFilesToTheChosenPath) {
    std::filesystem::create_directory(work.File("cnc.old"));
    const std::string chosen = work.File("cnc.old/shop mill.mch");
    dialogs.files.push_back(QString::fromStdString(chosen));
    Machine().SetModifiedFlag();
    ASSERT_TRUE(Commands().Execute(Cmd::SetupSaveAs));
    ASSERT_EQ(dialogs.fileDialogs.size(), 1);
    EXPECT_TRUE(dialogs.fileDialogs[0].startsWith("save Save Setup As"));
    EXPECT_EQ(Machine().GetPathName(), chosen);
    EXPECT_FALSE(Machine().IsModified());
    EXPECT_NE(ReadFile(chosen).find("[GENERAL]"), std::string::npos);

    Machine().DownloadConfiguration();
    EXPECT_TRUE(std::filesystem::exists(work.File("cnc.old/shop mill.CFG")));
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SetupSave, CancelledSaveAsLeavesTheDocumentAsItWasAndReportsNothing) {
    const std::string title = Machine().GetTitle();
    Machine().SetModifiedFlag();
    ASSERT_TRUE(Commands().Execute(Cmd::SetupSaveAs)); // no answer queued: the operator cancels
    EXPECT_EQ(Machine().GetPathName(), machinePath);
    EXPECT_EQ(Machine().GetTitle(), title);
    EXPECT_TRUE(Machine().IsModified());
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(SetupSave, CalibrateJoystickRunsTheCalibrationPrompts) {
    Machine().Jogging().usePcJoystick.Set(1);
    ASSERT_TRUE(Commands().Execute(Cmd::CalibrateJoystick));
    std::vector<QString> texts;
    for (const auto& box : dialogs.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(texts,
              (std::vector<QString>{QString::fromStdString(MessageText(msg::JoystickCenter)),
                                    QString::fromStdString(MessageText(msg::JoystickUpperLeft)),
                                    QString::fromStdString(MessageText(msg::JoystickLowerRight))}));
}

} // namespace
} // namespace morvik
