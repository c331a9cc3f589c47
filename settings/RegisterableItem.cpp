#include "settings/RegisterableItem.h"

namespace morvik::registerable {

void EraseSection(CProfileFile& file, const char* section) {
    if (section) {
        file.EraseSection(section);
    }
}

bool WriteText(CProfileFile& file, const char* section, const char* key, std::string_view text) {
    return section && key && file.WriteString(section, key, text);
}

std::string ReadText(const CProfileFile& file, const char* section, const char* key,
                     std::string_view defaultText, std::size_t limit) {
    if (!section || !key) {
        return std::string(defaultText.substr(0, limit));
    }
    return file.GetString(section, key, defaultText, limit + 1);
}

} // namespace morvik::registerable
