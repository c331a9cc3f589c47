// Start-up with a library missing: the only thing the operator sees is the version message
// captioned "Morvik", start-up ends at once and no window stays open. This program does not
// link the card library, so the start-up function finds exactly the libraries the test puts in
// an otherwise empty folder (and none on the system's library path).
#include "app/MorvikApp.h"
#include "settings/TempFolder.h"
#include "ui/shell/ConfigFolder.h"
#include "ui/shell/RecordingDialogs.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace morvik {
namespace {

TEST(LibraryCheck, AMissingLibraryEndsStartUpWithTheVersionMessage) {
    struct Case {
        std::vector<const char*> librariesPresent;
        const char* secondLine;
        bool controllerLoaded;
    };
    const Case cases[] = {
        {{}, "or later of the Kelv API!", false},
        {{"libkelvdlg32.so"}, "or later of the Kelv API!", false},
        {{"libkelvapi32.so"}, "or later of the Kelv Dialogs!", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.secondLine);
        test::ConfigFolder config;
        test::TempFolder folder;
        for (const char* library : c.librariesPresent)
            std::filesystem::copy_file(std::string(MORVIK_BIN_DIR) + "/" + library,
                                       folder.File(library));
        test::RecordingDialogs dialogs;
        StartupOptions options;
        options.libraryFolder = folder.Path().string();
        MorvikApp app(options);

        EXPECT_FALSE(app.InitInstance());
        ASSERT_EQ(dialogs.boxes.size(), 1u);
        const auto& box = dialogs.boxes[0];
        EXPECT_EQ(box.caption, "Morvik");
        EXPECT_EQ(box.icon, BoxIcon::Critical);
        EXPECT_FALSE(box.hadParent);
        const QStringList lines = box.text.split('\n');
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].endsWith("version 400")) << lines[0].toStdString();
        EXPECT_EQ(lines[1], c.secondLine);

        EXPECT_EQ(app.Libraries().ControllerLoaded(), c.controllerLoaded);
        EXPECT_FALSE(app.Libraries().DialogLoaded());
        EXPECT_EQ(app.MainFrame(), nullptr);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
        EXPECT_FALSE(std::filesystem::exists(config.SettingsFile())) << "no window was made";
    }
}

} // namespace
} // namespace morvik
