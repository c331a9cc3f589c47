// One of the machine's six work coordinate systems, numbered 1 to 6, in section "WORKCOOR1"
// ... "WORKCOOR6" of the machine file, written to the work coordinate file (.WRK) once per
// unit system.
#pragma once

#include "machine/UnitSystem.h"
#include "settings/Dimension.h"

#include <array>
#include <ostream>

namespace morvik {

class WorkCoord {
public:
    static constexpr int kWorkCoordCount = 6;
    static constexpr int kAxisCount = 6; // X, Y, Z, U, V, W
    // The keys, and the letters of the file lines, in order.
    static constexpr const char* kKeys[kAxisCount] = {"X", "Y", "Z", "U", "V", "W"};

    explicit WorkCoord(int number = 1);
    virtual ~WorkCoord() = default;
    WorkCoord(const WorkCoord&) = default;
    WorkCoord& operator=(const WorkCoord&) = default;

    // Binds the six values to the section of number (1..6; another number binds none) and
    // sets them to 0 in unit 0.
    void Init(int number);
    // A new machine's work coordinates: all six 0 in.
    void Reset();
    // Erases the section, then writes X, Y, Z, U, V, W. False when any write was refused.
    bool Save(CProfileFile& file, int precision) const;
    void Load(const CProfileFile& file);
    // Appends the work coordinate block to a work coordinate stream (ConfigStream.h).
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const;

    int Number() const { return number_; } // 1..6
    int Index() const { return number_ - 1; }
    const char* Section() const { return values_[0].Section(); }

    // The value of one axis, 0 (X) to 5 (W).
    CDimension& Value(int axis) { return values_.at(axis); }
    const CDimension& Value(int axis) const { return values_.at(axis); }
    CDimension& X() { return values_[0]; }
    const CDimension& X() const { return values_[0]; }
    CDimension& Y() { return values_[1]; }
    const CDimension& Y() const { return values_[1]; }
    CDimension& Z() { return values_[2]; }
    const CDimension& Z() const { return values_[2]; }
    CDimension& U() { return values_[3]; }
    const CDimension& U() const { return values_[3]; }
    CDimension& V() { return values_[4]; }
    const CDimension& V() const { return values_[4]; }
    CDimension& W() { return values_[5]; }
    const CDimension& W() const { return values_[5]; }

private:
    std::array<CDimension, kAxisCount> values_;
    int number_ = 1;
};

} // namespace morvik
