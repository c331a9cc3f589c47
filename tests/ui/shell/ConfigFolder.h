// A fresh XDG configuration folder for one test: XDG_CONFIG_HOME points into it while the
// object lives and back to the previous folder afterwards. XDG_STATE_HOME (where the recovery
// copies go) points to its "state" folder alike, so no test sees another's copies.
#pragma once

#include "settings/TempFolder.h"

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace morvik::test {

class ConfigFolder {
public:
    ConfigFolder() : saved_(qgetenv("XDG_CONFIG_HOME")), savedState_(qgetenv("XDG_STATE_HOME")) {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.Path().string()));
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(folder.File("state")));
    }
    ~ConfigFolder() {
        qputenv("XDG_CONFIG_HOME", saved_);
        qputenv("XDG_STATE_HOME", savedState_);
    }
    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

    // Where the station keeps its settings file below this folder.
    std::string SettingsFile() const { return folder.File("Kelv/Morvik/morvik.ini"); }
    // Where the station keeps its recovery copies below this folder.
    std::string RecoveryFolder() const { return folder.File("state/Kelv/Morvik/recovery"); }

    TempFolder folder;

private:
    QByteArray saved_;
    QByteArray savedState_;
};

} // namespace morvik::test
