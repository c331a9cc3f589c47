// A value with a length unit and a time unit: CSpeed ("200 in/min") and CAcceleration
// ("10 in/sec/sec"). As CQuantity, with every unit a pair (length index, time index); the
// last conversion is kept for the pair it was asked for.
#pragma once

#include "settings/RegisterableItem.h"
#include "settings/UnitTables.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

struct RateUnits {
    std::int32_t length = 0;
    std::int32_t time = 0;
};

// The units of a rate text. The length unit is the first length symbol (by table row)
// that occurs before the first "/" (0 without a slash), so the "in" of "min" or the "m" of
// "msec" is never taken for it; the time unit is the first time symbol found after the
// slash (after the first character when the text holds no length symbol at all; anywhere
// when it holds one but no slash). With rpm (a speed), "rpm" (any case, a word of its own)
// is rev/min.
RateUnits ParseRateUnits(std::string_view text, bool rpm = false);

// Traits provide: static double ToBase(double value, int length, int time), static double
// FromBase(double base, int length, int time), static std::string UnitText(int length,
// int time) (what follows the number and a blank).
template <class Traits> class CRateQuantity : public CRegisterableItemWithPrecision {
public:
    CRateQuantity() = default;
    CRateQuantity(std::int32_t lengthUnit, std::int32_t timeUnit, double value, const char* section,
                  const char* key) {
        Init(lengthUnit, timeUnit, value, section, key);
    }

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file, int precision) const override;
    // An absent or empty key leaves the quantity as it was; any other text goes to Parse.
    void Read(const CProfileFile& file) override;

    void Init(std::int32_t lengthUnit, std::int32_t timeUnit, double value, const char* section,
              const char* key);
    void Set(std::int32_t lengthUnit, std::int32_t timeUnit, double value);
    void Parse(std::string_view text);

    double Value() const { return value_; }
    std::int32_t LengthUnit() const { return lengthUnit_; }
    std::int32_t TimeUnit() const { return timeUnit_; }
    double BaseValue() const { return base_; }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    // The quantity in the given units; unit 0 (undefined) converts with factor 1.
    double ValueIn(std::int32_t lengthUnit, std::int32_t timeUnit) const;
    // In the given units, or as entered when either unit is 0.
    std::string FormatIn(std::int32_t lengthUnit, std::int32_t timeUnit, int precision) const;
    std::string Format(int precision) const { return FormatIn(0, 0, precision); }

    static constexpr std::size_t kReadLimit = 79;

private:
    double value_ = 0.0;
    std::int32_t lengthUnit_ = 0;
    std::int32_t timeUnit_ = 0;
    double base_ = 0.0;
    mutable double cachedValue_ = 0.0;
    mutable std::int32_t cachedLengthUnit_ = 0; // 0 and 0: nothing cached
    mutable std::int32_t cachedTimeUnit_ = 0;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

} // namespace morvik
