// An integer setting, stored as "%d". A missing key reads as 0 whatever the object held:
// owners that need another default restore it after reading.
#pragma once

#include "settings/RegisterableItem.h"

#include <cstdint>

namespace morvik {

class CAppInt : public CRegisterableItem {
public:
    CAppInt() = default;
    CAppInt(std::int32_t value, const char* section, const char* key)
        : value_(value), section_(section), key_(key) {}

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file) const override;
    void Read(const CProfileFile& file) override;

    // Binds the object once its owner knows the section (components do this in their constructors).
    void Init(std::int32_t value, const char* section, const char* key);

    std::int32_t Get() const { return value_; }
    void Set(std::int32_t value) { value_ = value; }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    // Longest text taken when reading.
    static constexpr std::size_t kReadLimit = 19;

private:
    std::int32_t value_ = 0;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
