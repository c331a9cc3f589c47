// A stored choice of unit: a row index of one of the unit tables, written to the profile
// file as the row's long name ("INCH", "MINUTE"). CDimUnit (DimUnit.h) chooses from the
// length and angle table, CPerUnit (PerUnit.h) from the time table. The setup dialogs pick
// units by long name.
#pragma once

#include "settings/RegisterableItem.h"
#include "settings/UnitTables.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvik {

template <UnitTable Table> class CUnitSelector : public CRegisterableItem {
public:
    CUnitSelector() = default;
    CUnitSelector(std::int32_t unit, const char* section, const char* key)
        : unit_(unit), section_(section), key_(key) {}

    void EraseSection(CProfileFile& file) const override;
    bool Write(CProfileFile& file) const override;
    // An absent or empty key leaves the unit as it was; any other text goes to SetByLongName.
    void Read(const CProfileFile& file) override;

    void Init(std::int32_t unit, const char* section, const char* key);

    std::int32_t Get() const { return unit_; }
    void Set(std::int32_t unit) { unit_ = unit; }
    const char* Section() const { return section_; }
    const char* Key() const { return key_; }

    std::string LongName() const;
    std::string ShortName() const;

    // Takes the first row (from 1) whose long name occurs anywhere in the text, or row 0
    // when none does; returns where the name begins in the text.
    std::optional<std::size_t> SetByLongName(std::string_view text);

    static constexpr std::size_t kReadLimit = 79;

private:
    std::int32_t unit_ = 0;
    const char* section_ = nullptr;
    const char* key_ = nullptr;
};

extern template class CUnitSelector<UnitTable::Length>;
extern template class CUnitSelector<UnitTable::Time>;

} // namespace morvik
