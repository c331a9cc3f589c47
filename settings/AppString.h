// A text setting, stored unchanged. A missing key reads as the text "0", not as an empty
// string; a longer text than kReadLimit comes back cut. A text with a line break cannot be
// stored (Write returns false): it would add keys or sections to the file.
#pragma once

#include "settings/RegisterableItem.h"

#include <string>

namespace morvik {

class CAppString : public CRegisterableItem {
public:
    CAppString() = default;
    CAppString(std::string value, const char* section, const char* key)
        : value_(std::move(value)), section_(section), key_(key) {}

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file) const override;
    void Read(const CProfileFile& file) override;

    void Init(std::string value, const char* section, const char* key);

    const std::string& Get() const { return value_; }
    void Set(std::string value) { value_ = std::move(value); }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    static constexpr std::size_t kReadLimit = 119;

private:
    std::string value_;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
