// A value with one unit: the value as entered, its unit (a row of a unit table) and the same
// quantity in the table's base unit. Consumers ask for it in their own unit with ValueIn;
// the configuration file writers and dialogs ask for the same unit over and over, so the
// last conversion is kept. CDimension, CScale and CPeriod are this template with their
// conversion rules (Traits); a rate with two units is CRateQuantity.
//
// Stored as one key whose text is Format(precision), e.g. "2.5 in"; an absent key leaves
// the quantity as it was. Plain value type: copies share the constant section and key names.
#pragma once

#include "settings/RegisterableItem.h"
#include "settings/UnitTables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

// Traits provide: static double ToBase(double value, int unit), static double FromBase(double
// base, int unit), static std::string UnitText(int unit) (what follows the number and a
// blank), static int ParseUnit(std::string_view text).
template <class Traits> class CQuantity : public CRegisterableItemWithPrecision {
public:
    CQuantity() = default;
    CQuantity(std::int32_t unit, double value, const char* section, const char* key) {
        Init(unit, value, section, key);
    }

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file, int precision) const override;
    // An absent or empty key leaves the quantity as it was; any other text goes to Parse.
    void Read(const CProfileFile& file) override;

    void Init(std::int32_t unit, double value, const char* section, const char* key);
    void Set(std::int32_t unit, double value);
    // Value and unit from a text such as "25.4 mm"; no leading number gives 0, no known
    // unit symbol gives unit 0.
    void Parse(std::string_view text);

    double Value() const { return value_; }
    std::int32_t Unit() const { return unit_; }
    double BaseValue() const { return base_; }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    // The quantity in the given unit; unit 0 (undefined) converts with factor 1.
    double ValueIn(std::int32_t unit) const;
    // "%.*g <unit>" in the given unit, or as entered when unit is 0.
    std::string FormatIn(std::int32_t unit, int precision) const;
    std::string Format(int precision) const { return FormatIn(0, precision); }

    static constexpr std::size_t kReadLimit = 79;

private:
    double value_ = 0.0;
    std::int32_t unit_ = 0;
    double base_ = 0.0;
    mutable double cachedValue_ = 0.0;
    mutable std::int32_t cachedUnit_ = 0; // 0: nothing cached
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
