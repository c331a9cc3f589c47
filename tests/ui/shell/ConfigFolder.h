// A fresh XDG configuration folder for one test: XDG_CONFIG_HOME points into it while the
// object lives and back to the previous folder afterwards.
#pragma once

#include "settings/TempFolder.h"

#include <QByteArray>
#include <QtGlobal>

#include <string>

namespace morvik::test {

class ConfigFolder {
public:
    ConfigFolder() : saved_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(folder.Path().string()));
    }
    ~ConfigFolder() { qputenv("XDG_CONFIG_HOME", saved_); }
    ConfigFolder(const ConfigFolder&) = delete;
    ConfigFolder& operator=(const ConfigFolder&) = delete;

    // Where the station keeps its settings file below this folder.
    std::string SettingsFile() const { return folder.File("Kelv/Morvik/morvik.ini"); }

    TempFolder folder;

private:
    QByteArray saved_;
};

} // namespace morvik::test
