// One QApplication for the whole run of a Qt test program (widgets, shell, part windows,
// dialogs, station), offscreen unless the caller chose a platform, with the configuration folder
// (XDG_CONFIG_HOME) in a temporary folder so that nothing a test does can reach the user's
// morvik.ini. Fixtures that check the settings file point XDG_CONFIG_HOME at a folder of their own.
#include "settings/TempFolder.h"

#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        config_ = std::make_unique<morvik::test::TempFolder>();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config_->Path().string()));
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        config_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "morvik_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<morvik::test::TempFolder> config_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
