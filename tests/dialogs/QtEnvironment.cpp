// One QApplication for the whole run of the dialog tests, offscreen unless the caller chose a
// platform, with the configuration folder in a temporary folder.
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
    char name_[16] = "morvik_dialogs";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<morvik::test::TempFolder> config_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const kQtEnvironment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
