#include "settings/UnitSelector.h"

namespace morvik {

template <UnitTable Table> void CUnitSelector<Table>::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

template <UnitTable Table> bool CUnitSelector<Table>::Write(CProfileFile& file) const {
    return registerable::WriteText(file, section_, key_, LongName());
}

template <UnitTable Table> void CUnitSelector<Table>::Read(const CProfileFile& file) {
    const std::string text = registerable::ReadText(file, section_, key_, "", kReadLimit);
    if (!text.empty()) {
        SetByLongName(text);
    }
}

template <UnitTable Table>
void CUnitSelector<Table>::Init(std::int32_t unit, const char* section, const char* key) {
    unit_ = unit;
    section_ = section;
    key_ = key;
}

template <UnitTable Table> std::string CUnitSelector<Table>::LongName() const {
    return UnitNameOf(Table, UnitName::Long, unit_);
}

template <UnitTable Table> std::string CUnitSelector<Table>::ShortName() const {
    return UnitNameOf(Table, UnitName::Symbol, unit_);
}

template <UnitTable Table>
std::optional<std::size_t> CUnitSelector<Table>::SetByLongName(std::string_view text) {
    const UnitMatch match = FindUnit(Table, UnitName::Long, text);
    unit_ = match.index;
    if (match.index == 0) {
        return std::nullopt;
    }
    return match.position;
}

template class CUnitSelector<UnitTable::Length>;
template class CUnitSelector<UnitTable::Time>;

} // namespace morvik
