// A tool offset table: 33 entries (0 to 32) of geometry offset, wear offset and wear factor,
// tagged by a letter. The machine document holds two, 'D' and 'H'. Each part has a section of
// its own in the machine file (for 'D': DGEOMETRYOFFSETTABLE, DWEAROFFSETTABLE,
// DWEARFACTORTABLE) with the keys "00" to "32"; the table goes into the tool data file (.TOL).
#pragma once

#include "machine/UnitSystem.h"
#include "settings/AppDouble.h"
#include "settings/Dimension.h"

#include <array>
#include <ostream>

namespace morvik {

// Section names for the letters 'A' to 'Z'; null for any other character.
const char* GeometryOffsetSection(char letter);
const char* WearOffsetSection(char letter);
const char* WearFactorSection(char letter);
// Key of an entry: "00" to "32"; null outside 0..32.
const char* OffsetEntryKey(int entry);

class OffsetTable {
public:
    static constexpr int kEntryCount = 33;

    explicit OffsetTable(char letter = 'D');
    virtual ~OffsetTable() = default;
    OffsetTable(const OffsetTable&) = default;
    OffsetTable& operator=(const OffsetTable&) = default;

    // Binds every entry to the sections of letter ('A'..'Z'; another character binds none)
    // and sets all offsets to 0 in unit 0 and all factors to 0.
    void Init(char letter);
    // A new machine's table: every offset 0 in, every factor 0.
    void Reset();
    // Erases and writes the geometry section (33 keys in entry order), then the wear
    // section, then the wear factor section. False when any write was refused.
    bool Save(CProfileFile& file, int precision) const;
    // Reads entry by entry: geometry offset, wear offset, wear factor.
    void Load(const CProfileFile& file);
    // Appends the 172-line table block to a tool data stream (ConfigStream.h).
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const;

    char Letter() const { return letter_; }
    int Index() const { return letter_ - 'A'; }

    // Entries 0..32 (std::out_of_range otherwise).
    CDimension& Geometry(int entry) { return geometry_.at(entry); }
    const CDimension& Geometry(int entry) const { return geometry_.at(entry); }
    CDimension& Wear(int entry) { return wear_.at(entry); }
    const CDimension& Wear(int entry) const { return wear_.at(entry); }
    double WearFactor(int entry) const { return factors_.at(entry).Get(); }
    void SetWearFactor(int entry, double factor) { factors_.at(entry).Set(factor); }

private:
    using Offsets = std::array<CDimension, kEntryCount>;
    static void WriteOffsets(std::ostream& out, const Offsets& offsets,
                             const UnitSystem (&systems)[2]);

    Offsets geometry_;
    Offsets wear_;
    std::array<CAppDouble, kEntryCount> factors_;
    char letter_ = 'D';
};

} // namespace morvik
