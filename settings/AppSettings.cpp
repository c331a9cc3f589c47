#include "settings/AppSettings.h"

#include "settings/NumberText.h"
#include "settings/ProfileFile.h"

namespace morvik {

namespace {
constexpr const char* kWindowSection = "Main Window";
constexpr const char* kControllerSection = "Controller";
constexpr const char* kControllerKey = "ControllerID";

struct PlacementKey {
    const char* key;
    int Rect::*field;
    int defaultValue;
};

constexpr PlacementKey kPlacementKeys[] = {
    {"XPos", &Rect::x, 0},
    {"YPos", &Rect::y, 0},
    {"Width", &Rect::width, 800},
    {"Height", &Rect::height, 600},
};
} // namespace

Rect AppSettings::RestoreWindowPlacement() {
    const CProfileFile file(path_);
    Rect placement;
    for (const PlacementKey& entry : kPlacementKeys) {
        placement.*entry.field = file.GetInt(kWindowSection, entry.key, entry.defaultValue);
    }
    controllerId_ = static_cast<std::int16_t>(file.GetInt(kControllerSection, kControllerKey, 0));
    return placement;
}

bool AppSettings::SaveWindowPlacement(std::optional<Rect> outerRectIfShownNotMinimised) const {
    CProfileFile file(path_);
    if (outerRectIfShownNotMinimised) {
        for (const PlacementKey& entry : kPlacementKeys) {
            file.WriteString(kWindowSection, entry.key,
                             FormatInt(*outerRectIfShownNotMinimised.*entry.field));
        }
    }
    file.WriteString(kControllerSection, kControllerKey, FormatInt(controllerId_));
    return file.Save();
}

} // namespace morvik
