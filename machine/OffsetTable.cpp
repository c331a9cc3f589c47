#include "machine/OffsetTable.h"

#include "machine/ConfigStream.h"
#include "settings/UnitTables.h"

namespace morvik {

namespace {

constexpr int kLetters = 26;

// One constant name per letter: settings only point at their section names.
#define MORVIK_OFFSET_SECTIONS(suffix)                                                             \
    {                                                                                              \
        "A" suffix, "B" suffix, "C" suffix, "D" suffix, "E" suffix, "F" suffix, "G" suffix,        \
            "H" suffix, "I" suffix, "J" suffix, "K" suffix, "L" suffix, "M" suffix, "N" suffix,    \
            "O" suffix, "P" suffix, "Q" suffix, "R" suffix, "S" suffix, "T" suffix, "U" suffix,    \
            "V" suffix, "W" suffix, "X" suffix, "Y" suffix, "Z" suffix                             \
    }

constexpr const char* kGeometrySections[kLetters] = MORVIK_OFFSET_SECTIONS("GEOMETRYOFFSETTABLE");
constexpr const char* kWearSections[kLetters] = MORVIK_OFFSET_SECTIONS("WEAROFFSETTABLE");
constexpr const char* kFactorSections[kLetters] = MORVIK_OFFSET_SECTIONS("WEARFACTORTABLE");

#undef MORVIK_OFFSET_SECTIONS

constexpr const char* kEntryKeys[OffsetTable::kEntryCount] = {
    "00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20", "21",
    "22", "23", "24", "25", "26", "27", "28", "29", "30", "31", "32"};

const char* SectionFor(const char* const (&sections)[kLetters], char letter) {
    return letter >= 'A' && letter <= 'Z' ? sections[letter - 'A'] : nullptr;
}

} // namespace

const char* GeometryOffsetSection(char letter) {
    return SectionFor(kGeometrySections, letter);
}

const char* WearOffsetSection(char letter) {
    return SectionFor(kWearSections, letter);
}

const char* WearFactorSection(char letter) {
    return SectionFor(kFactorSections, letter);
}

const char* OffsetEntryKey(int entry) {
    return entry >= 0 && entry < OffsetTable::kEntryCount ? kEntryKeys[entry] : nullptr;
}

OffsetTable::OffsetTable(char letter) {
    Init(letter);
}

void OffsetTable::Init(char letter) {
    letter_ = letter;
    for (int i = 0; i < kEntryCount; ++i) {
        geometry_[i].Init(unit::Undefined, 0.0, GeometryOffsetSection(letter), kEntryKeys[i]);
        wear_[i].Init(unit::Undefined, 0.0, WearOffsetSection(letter), kEntryKeys[i]);
        factors_[i].Init(0.0, WearFactorSection(letter), kEntryKeys[i]);
    }
}

void OffsetTable::Reset() {
    for (int i = 0; i < kEntryCount; ++i) {
        geometry_[i].Set(unit::Inch, 0.0);
        wear_[i].Set(unit::Inch, 0.0);
        factors_[i].Set(0.0);
    }
}

bool OffsetTable::Save(CProfileFile& file, int precision) const {
    bool ok = true;
    geometry_[0].EraseSection(file);
    for (const CDimension& offset : geometry_) {
        ok = offset.Write(file, precision) && ok;
    }
    wear_[0].EraseSection(file);
    for (const CDimension& offset : wear_) {
        ok = offset.Write(file, precision) && ok;
    }
    factors_[0].EraseSection(file);
    for (const CAppDouble& factor : factors_) {
        ok = factor.Write(file, precision) && ok;
    }
    return ok;
}

void OffsetTable::Load(const CProfileFile& file) {
    for (int i = 0; i < kEntryCount; ++i) {
        geometry_[i].Read(file);
        wear_[i].Read(file);
        factors_[i].Read(file);
    }
}

void OffsetTable::WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const {
    ConfigStream::Line(out, letter_, "GEOMETRYOFFSETS");
    WriteOffsets(out, geometry_, systems);
    ConfigStream::Line(out, letter_, "WEAROFFSETS");
    WriteOffsets(out, wear_, systems);
    ConfigStream::Line(out, letter_, "WEARFACTORS");
    for (int i = 0; i < kEntryCount; ++i) {
        ConfigStream::Line(out, i, '=', factors_[i].Get());
    }
}

void OffsetTable::WriteOffsets(std::ostream& out, const Offsets& offsets,
                               const UnitSystem (&systems)[2]) {
    for (const UnitSystem& system : systems) {
        ConfigStream::Line(out, system.name);
        for (int i = 0; i < kEntryCount; ++i) {
            ConfigStream::Line(out, i, '=', offsets[i].ValueIn(system.lengthUnit));
        }
    }
}

} // namespace morvik
