// The application's own settings in the settings file (morvik.ini): the main window's
// placement and the controller identifier. The main frame owns the record; it restores the
// placement once its window exists and saves it as the window is destroyed. The Qt window
// calls these with plain rectangles, so this stays free of any window system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace morvik {

// A window's outer rectangle in screen coordinates.
struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

class AppSettings {
public:
    AppSettings() = default;
    explicit AppSettings(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    void SetPath(std::string path) { path_ = std::move(path); }
    std::int16_t ControllerId() const { return controllerId_; }
    void SetControllerId(std::int16_t id) { controllerId_ = id; }

    // Reads "XPos", "YPos", "Width", "Height" of "Main Window" (0, 0, 800, 600 when absent)
    // and keeps "ControllerID" of "Controller" (0 when absent) as the controller identifier.
    // The window is placed at the returned rectangle as it stands, on a screen or not.
    Rect RestoreWindowPlacement();

    // Writes the rectangle to "Main Window" when the window was shown and not minimised
    // (pass nothing otherwise: the previous placement stays), then in every case the
    // controller identifier. Other keys of the file stay. True when the file was saved.
    bool SaveWindowPlacement(std::optional<Rect> outerRectIfShownNotMinimised) const;

private:
    std::string path_;
    std::int16_t controllerId_ = 0;
};

} // namespace morvik
