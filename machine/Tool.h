// One of the machine's nine tools, numbered 1 to 9, in section "TOOL1" ... "TOOL9" of the
// machine file. Its lengths, radius and wear go into the tool data file (.TOL) once per unit
// system; the description stays in the machine file.
#pragma once

#include "machine/UnitSystem.h"
#include "settings/AppDouble.h"
#include "settings/AppInt.h"
#include "settings/AppString.h"
#include "settings/Dimension.h"

#include <cstdint>
#include <ostream>
#include <string>

namespace morvik {

class Tool {
public:
    static constexpr int kToolCount = 9;

    explicit Tool(int number = 1);
    virtual ~Tool() = default;
    Tool(const Tool&) = default;
    Tool& operator=(const Tool&) = default;

    // Binds every setting to the section of number (1..9; another number binds none) and
    // sets all values to 0 (lengths in unit 0), the description empty.
    void Init(int number);
    // A new machine's tool: X, Y, Z, R, W 0 in; wear factor and orientation 0; no description.
    void Reset();
    // Erases the section, then writes DESCRIPTION, X, Y, Z, R, W, F, Q. False when any write
    // was refused (a description with a line break, for instance).
    bool Save(CProfileFile& file, int precision) const;
    void Load(const CProfileFile& file);
    // Appends the tool block to a tool data stream (ConfigStream.h).
    void WriteConfigBlock(std::ostream& out, const UnitSystem (&systems)[2]) const;

    int Number() const { return number_; } // 1..9
    int Index() const { return number_ - 1; }
    const char* Section() const { return description_.Section(); }

    CDimension& X() { return x_; }
    const CDimension& X() const { return x_; }
    CDimension& Y() { return y_; }
    const CDimension& Y() const { return y_; }
    CDimension& Z() { return z_; }
    const CDimension& Z() const { return z_; }
    CDimension& Radius() { return r_; }
    const CDimension& Radius() const { return r_; }
    CDimension& Wear() { return w_; }
    const CDimension& Wear() const { return w_; }
    double WearFactor() const { return f_.Get(); }
    void SetWearFactor(double factor) { f_.Set(factor); }
    std::int32_t Orientation() const { return q_.Get(); }
    void SetOrientation(std::int32_t orientation) { q_.Set(orientation); }
    const std::string& Description() const { return description_.Get(); }
    void SetDescription(std::string text) { description_.Set(std::move(text)); }

private:
    CDimension x_;
    CDimension y_;
    CDimension z_;
    CDimension r_;
    CDimension w_;
    CAppDouble f_;
    CAppInt q_;
    CAppString description_;
    int number_ = 1;
};

} // namespace morvik
