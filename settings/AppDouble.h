// A floating setting, stored as "%.*g" with the owner's precision (significant digits) in
// the C locale. A missing key reads as 0 whatever the object held; a value that is not finite
// ("nan", "inf", "1e999" in a hand-edited file) reads as the initial value (the one Init or
// the constructor gave), so it never reaches the controller files or the arithmetic.
#pragma once

#include "settings/RegisterableItem.h"

namespace morvik {

class CAppDouble : public CRegisterableItemWithPrecision {
public:
    CAppDouble() = default;
    CAppDouble(double value, const char* section, const char* key)
        : value_(value), initial_(value), section_(section), key_(key) {}

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
    double initial_ = 0.0;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
