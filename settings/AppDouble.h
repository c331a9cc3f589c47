// A floating setting, stored as "%.*g" with the owner's precision (significant digits) in
// the C locale. A missing key reads as 0 whatever the object held.
#pragma once

#include "settings/RegisterableItem.h"

namespace morvik {

class CAppDouble : public CRegisterableItemWithPrecision {
public:
    CAppDouble() = default;
    CAppDouble(double value, const char* section, const char* key)
        : value_(value), section_(section), key_(key) {}

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file, int precision) const override;
    void Read(const CProfileFile& file) override;

    void Init(double value, const char* section, const char* key);

    double Get() const { return value_; }
    void Set(double value) { value_ = value; }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    static constexpr std::size_t kReadLimit = 29;

private:
    double value_ = 0.0;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
