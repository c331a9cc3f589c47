#include "ui/KeyLocks.h"

#include <filesystem>
#include <fstream>

namespace morvik {

namespace {

const char* LightName(KeyLock lock) {
    switch (lock) {
    case KeyLock::Caps:
        return "::capslock";
    case KeyLock::Num:
        return "::numlock";
    case KeyLock::Scroll:
        return "::scrolllock";
    }
    return "";
}

bool Lit(const std::filesystem::path& light) {
    std::ifstream in(light / "brightness");
    int brightness = 0;
    return (in >> brightness) && brightness > 0;
}

} // namespace

bool KeyLockOn(KeyLock lock, const std::string& ledsFolder) {
    std::error_code ec;
    std::filesystem::directory_iterator it(ledsFolder, ec);
    if (ec)
        return false;
    const std::string suffix = LightName(lock);
    for (const auto& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(suffix) && Lit(entry.path()))
            return true;
    }
    return false;
}

} // namespace morvik
