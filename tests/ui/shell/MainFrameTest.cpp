// The main window on its own: where the settings file lies, the placement it restores and saves,
// the bars (the control panel fixed on the left, the status bar's panes and "Ready"), the
// timer's tick and the close handler.
#include "ui/MainFrame.h"
#include "settings/ProfileFile.h"
#include "settings/TempFolder.h"
#include "support/ShownTitle.h"
#include "ui/ControlPanel.h"
#include "ui/KeyLocks.h"
#include "ui/shell/ConfigFolder.h"

#include <QCoreApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace morvik {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFile, LiesInKelvMorvikBelowTheConfigFolderWhichIsCreated) {
    test::TempFolder base;
    const std::string path = CMainFrame::SettingsFilePath(QString::fromStdString(base.File("")));
    EXPECT_EQ(path, base.File("Kelv/Morvik/morvik.ini"));
    EXPECT_TRUE(fs::is_directory(base.File("Kelv/Morvik")));
}

TEST(SettingsFile, IsWritableWhenTheConfigFolderItselfIsMissing) {
    // A new account: XDG_CONFIG_HOME names a folder that does not exist yet.
    test::TempFolder base;
    const std::string config = base.File("home/.config");
    const std::string path = CMainFrame::SettingsFilePath(QString::fromStdString(config));
    EXPECT_EQ(path, config + "/Kelv/Morvik/morvik.ini");
    ASSERT_TRUE(fs::is_directory(config + "/Kelv/Morvik"));
    test::WriteBytes(path, "[Controller]\nControllerID=0\n");
    EXPECT_TRUE(fs::exists(path));
}

TEST(SettingsFile, FallsBackToTheBareNameOrIgnoresFoldersThatCannotBeMade) {
    EXPECT_EQ(CMainFrame::SettingsFilePath(QString()), "morvik.ini");

    // "Kelv" is a file: the folders cannot be made, the path is still formed and nothing breaks.
    test::TempFolder base;
    test::WriteBytes(base.File("Kelv"), "not a folder");
    EXPECT_EQ(CMainFrame::SettingsFilePath(QString::fromStdString(base.File(""))),
              base.File("Kelv/Morvik/morvik.ini"));
    EXPECT_FALSE(fs::exists(base.File("Kelv/Morvik")));
}

TEST(SettingsFile, FollowsXdgConfigHome) {
    test::ConfigFolder config;
    EXPECT_EQ(CMainFrame::SettingsFilePath(), config.SettingsFile());
}

TEST(KeyLocks, ReadTheKeyboardLightsAndCountMissingOnesAsOff) {
    test::TempFolder leds;
    const auto light = [&](const std::string& name, const char* brightness) {
        fs::create_directories(leds.File(name));
        test::WriteBytes(leds.File(name + "/brightness"), brightness);
    };
    light("input3::capslock", "1\n");
    light("input3::numlock", "0\n");
    light("input7::numlock", "0\n");
    light("input3::scrolllock", "");
    EXPECT_TRUE(KeyLockOn(KeyLock::Caps, leds.File("")));
    EXPECT_FALSE(KeyLockOn(KeyLock::Num, leds.File("")));
    EXPECT_FALSE(KeyLockOn(KeyLock::Scroll, leds.File("")));
    EXPECT_FALSE(KeyLockOn(KeyLock::Caps, leds.File("no-such-folder")));
}

class Frame : public testing::Test {
protected:
    std::unique_ptr<CMainFrame> MakeFrame() {
        auto frame = std::make_unique<CMainFrame>();
        EXPECT_TRUE(frame->Create());
        return frame;
    }
    std::string Key(const char* section, const char* key) const {
        return CProfileFile(config.SettingsFile()).GetString(section, key, "<none>", 256);
    }

    test::ConfigFolder config;
};

TEST_F(Frame, WithoutASavedPlacementOpensAtTheTopLeftAt800By600) {
    auto frame = MakeFrame();
    EXPECT_EQ(frame->pos(), QPoint(0, 0));
    EXPECT_EQ(frame->size(), QSize(800, 600));
    EXPECT_EQ(frame->Settings().Path(), config.SettingsFile());
    EXPECT_EQ(test::ShownTitle(frame.get()), "Morvik Program");
}

TEST_F(Frame, RestoresThePlacementAndSavesItAsItIsDestroyed) {
    fs::create_directories(config.folder.File("Kelv/Morvik"));
    test::WriteBytes(config.SettingsFile(), "[Main Window]\nXPos=40\nYPos=30\nWidth=640\n"
                                            "Height=480\n[Controller]\nControllerID=7\n");
    auto frame = MakeFrame();
    EXPECT_EQ(frame->pos(), QPoint(40, 30));
    EXPECT_EQ(frame->size(), QSize(640, 480));
    EXPECT_EQ(frame->Settings().ControllerId(), 7);

    frame->show();
    frame->move(50, 60);
    // No lower than the panel lets the window be, whatever the fonts.
    const int height = std::max(650, frame->minimumSizeHint().height());
    frame->resize(700, height);
    frame.reset();
    EXPECT_EQ(Key("Main Window", "XPos"), "50");
    EXPECT_EQ(Key("Main Window", "YPos"), "60");
    EXPECT_EQ(Key("Main Window", "Width"), "700");
    EXPECT_EQ(Key("Main Window", "Height"), std::to_string(height));
    EXPECT_EQ(Key("Controller", "ControllerID"), "7");
}

TEST_F(Frame, ClosingWhileMinimisedKeepsThePreviousPlacement) {
    fs::create_directories(config.folder.File("Kelv/Morvik"));
    test::WriteBytes(config.SettingsFile(), "[Main Window]\nXPos=40\nYPos=30\nWidth=640\n"
                                            "Height=480\n");
    auto frame = MakeFrame();
    frame->show();
    frame->resize(300, 200);
    frame->showMinimized();
    ASSERT_TRUE(frame->isMinimized());
    frame.reset();
    EXPECT_EQ(Key("Main Window", "Width"), "640");
    EXPECT_EQ(Key("Main Window", "Height"), "480");
    EXPECT_EQ(Key("Controller", "ControllerID"), "0") << "the identifier is written always";
}

TEST_F(Frame, ControlPanelIsFixedAlongTheLeftEdgeAndTheBarsStayInPlace) {
    auto frame = MakeFrame();
    QDockWidget* bar = frame->PanelBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->widget(), frame->Panel());
    EXPECT_EQ(bar->features(), QDockWidget::NoDockWidgetFeatures) << "not movable, not closable";
    EXPECT_EQ(frame->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    EXPECT_EQ(bar->objectName(), "bar5432");
    EXPECT_FALSE(frame->ToolBar()->isMovable());
    EXPECT_FALSE(frame->ToolBar()->isFloatable());
    EXPECT_EQ(frame->ToolBar()->objectName(), "bar59392");
    EXPECT_EQ(frame->statusBar()->objectName(), "bar59393");

    frame->ToggleToolBar();
    frame->ToggleStatusBar();
    EXPECT_FALSE(frame->ToolBarShown());
    EXPECT_FALSE(frame->StatusBarShown());
    frame->ToggleToolBar();
    EXPECT_TRUE(frame->ToolBarShown());
}

TEST_F(Frame, StatusBarShowsPromptsAndReadyOtherwiseBesideTheLockPanes) {
    auto frame = MakeFrame();
    QStatusBar* bar = frame->statusBar();
    EXPECT_EQ(bar->currentMessage(), "Ready");

    QStatusTipEvent prompt("Select Run mode");
    QCoreApplication::sendEvent(frame.get(), &prompt);
    EXPECT_EQ(bar->currentMessage(), "Select Run mode");
    QStatusTipEvent gone{QString()};
    QCoreApplication::sendEvent(frame.get(), &gone);
    EXPECT_EQ(bar->currentMessage(), "Ready");

    for (const char* pane : {"paneCAP", "paneNUM", "paneSCRL"})
        EXPECT_NE(bar->findChild<QLabel*>(pane), nullptr) << pane;
}

TEST_F(Frame, EveryTimerTickRunsTheHandlerOnceAndTheTimerRunsEvery100Ms) {
    auto frame = MakeFrame();
    int ticks = 0;
    frame->SetTickHandler([&ticks] { ++ticks; });
    frame->StartPeriodicWork();
    EXPECT_TRUE(frame->PeriodicTimer().isActive());
    EXPECT_EQ(frame->PeriodicTimer().interval(), 100);
    frame->TimerTick();
    frame->TimerTick();
    EXPECT_EQ(ticks, 2);
    frame->PeriodicTimer().stop();
}

TEST_F(Frame, CloseHandlerDecidesWhetherTheWindowCloses) {
    auto frame = MakeFrame();
    frame->show();
    bool allow = false;
    frame->SetCloseHandler([&allow] { return allow; });
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    allow = true;
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(Frame, TitleNamesTheActiveDocument) {
    auto frame = MakeFrame();
    frame->show();
    QMdiSubWindow* window = frame->MdiArea()->addSubWindow(new QWidget);
    CMainFrame::SetDocument(window, DocumentKind::Machine, "mill.mch");
    window->show();
    frame->MdiArea()->setActiveSubWindow(window);
    EXPECT_EQ(test::ShownTitle(frame.get()), "Morvik Program - mill.mch");
    EXPECT_EQ(CMainFrame::KindOf(window), DocumentKind::Machine);
    delete window;
    frame->UpdateTitle();
    EXPECT_EQ(test::ShownTitle(frame.get()), "Morvik Program");
}

} // namespace
} // namespace morvik
