#include "settings/AppSettings.h"

#include "settings/TempFolder.h"

#include <gtest/gtest.h>

namespace morvik {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class AppSettingsTest : public ::testing::Test {
protected:
    test::TempFolder folder_;
    std::string path_ = folder_.File("morvik.ini");
};

TEST_F(AppSettingsTest, WithoutASettingsFileTheWindowOpensAtDefaults) {
    AppSettings settings(path_);
    settings.SetControllerId(5);
    EXPECT_EQ(settings.RestoreWindowPlacement(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(settings.ControllerId(), 0);
}

TEST_F(AppSettingsTest, RestoreReadsPlacementAndControllerAsStored) {
    WriteBytes(path_, "[Main Window]\r\nXPos=-20\r\nYPos=30\r\nWidth=1024\r\n"
                      "[Controller]\r\nControllerID=3\r\n");
    AppSettings settings(path_);
    EXPECT_EQ(settings.RestoreWindowPlacement(), (Rect{-20, 30, 1024, 600}));
    EXPECT_EQ(settings.ControllerId(), 3);
}

TEST_F(AppSettingsTest, SaveWritesPlacementAndControllerKeepingOtherKeys) {
    WriteBytes(path_, "[Main Window]\nXPos=1\nMaximized=1\n[Other]\nA=b\n");
    AppSettings settings(path_);
    settings.SetControllerId(-2);
    EXPECT_TRUE(settings.SaveWindowPlacement(Rect{10, 20, 640, 480}));
    EXPECT_EQ(ReadBytes(path_), "[Main Window]\nXPos=10\nMaximized=1\nYPos=20\nWidth=640\n"
                                "Height=480\n[Other]\nA=b\n[Controller]\nControllerID=-2\n");
    AppSettings again(path_);
    EXPECT_EQ(again.RestoreWindowPlacement(), (Rect{10, 20, 640, 480}));
    EXPECT_EQ(again.ControllerId(), -2);
}

TEST_F(AppSettingsTest, MinimisedAtExitChangesOnlyTheControllerId) {
    const std::string before =
        "[Main Window]\nXPos=5\nYPos=6\nWidth=700\nHeight=500\n[Controller]\nControllerID=1\n";
    WriteBytes(path_, before);
    AppSettings settings(path_);
    settings.RestoreWindowPlacement();
    settings.SetControllerId(4);
    EXPECT_TRUE(settings.SaveWindowPlacement(std::nullopt));
    EXPECT_EQ(
        ReadBytes(path_),
        "[Main Window]\nXPos=5\nYPos=6\nWidth=700\nHeight=500\n[Controller]\nControllerID=4\n");
}

TEST_F(AppSettingsTest, SaveReportsAFileThatCannotBeWritten) {
    AppSettings settings(folder_.File("missing-folder/morvik.ini"));
    EXPECT_FALSE(settings.SaveWindowPlacement(Rect{0, 0, 800, 600}));
}

} // namespace
} // namespace morvik
