// The machine document's own settings, one plain struct per machine file section (GENERAL,
// FEED, JOGGING, HOMING, EXTERNALCONTROLS), members in the order of their keys. CMachine holds
// one of each and hands them out by reference; a setup dialog may edit a copy and assign it
// back on OK (copies keep their section and key).
//
// Items() lists a section's settings in key order for the load and save walks: a save erases
// the section through its first item and then writes every item; a load reads every item.
#pragma once

#include "machine/UnitSystem.h"
#include "settings/Acceleration.h"
#include "settings/AppDouble.h"
#include "settings/AppInt.h"
#include "settings/DimUnit.h"
#include "settings/Dimension.h"
#include "settings/PerUnit.h"
#include "settings/Speed.h"

#include <array>
#include <span>

namespace morvik {

// One setting of either family, so that a section can be walked as a list.
class SettingRef {
public:
    SettingRef(CRegisterableItem& item) : plain_(&item) {}
    SettingRef(CRegisterableItemWithPrecision& item) : precise_(&item) {}

    void EraseSection(CProfileFile& file) const;
    bool Write(CProfileFile& file, int precision) const;
    void Read(const CProfileFile& file) const;

private:
    CRegisterableItem* plain_ = nullptr;
    CRegisterableItemWithPrecision* precise_ = nullptr;
};

// Erases the section through the first item, then writes every item; false when a write was
// refused (every item is still written).
bool SaveSection(CProfileFile& file, std::span<const SettingRef> items, int precision);
void LoadSection(const CProfileFile& file, std::span<const SettingRef> items);

// The precision a setup precision of 0 or less is replaced by.
inline constexpr int kDefaultSetupPrecision = 9;

struct GeneralSettings {
    CAppInt machineType;    // row of kMachineTypes
    CAppInt programStyle;   // row of kProgramStyles
    CAppInt defaultUnits;   // 0 English, 1 metric
    CAppInt setupPrecision; // significant digits of every floating value written
    CDimUnit partPrgmEnglishDimUnits;
    CPerUnit partPrgmEnglishPerUnits;
    CDimUnit partPrgmMetricDimUnits;
    CPerUnit partPrgmMetricPerUnits;

    void Bind();
    std::array<SettingRef, 8> Items();
    // After reading: a setup precision of 0 or less becomes kDefaultSetupPrecision; a machine
    // type, program style or default units outside its table (a hand-edited file) becomes the
    // initial value, so the controller files, the dialogs and the readouts all see one value.
    void FixUp();
    // The part-program units of system kEnglishUnits or kMetricUnits.
    UnitSystem System(int index) const;
    // The system DEFAULTUNITS selects: kEnglishUnits or kMetricUnits, never anything else.
    int DefaultSystem() const;
};

struct FeedSettings {
    CSpeed feedRate;
    CAcceleration feedAccel;
    CAcceleration feedDecel;
    CSpeed maxFeedRate;
    CDimension maxAngle;

    void Bind();
    std::array<SettingRef, 5> Items();
};

struct JoggingSettings {
    // The dead band of a new machine, in percent of 32767 (the dialog allows 0 to 100).
    static constexpr std::int32_t kInitialDeadband = 10;
    static constexpr double kRestingCenter = 32767;
    static constexpr double kUpperExtreme = 65535;

    CSpeed maxJogRate;
    CAcceleration jogAccel;
    CAcceleration jogDecel;
    CAppInt usePcJoystick;
    CAppInt joystickDeadband;
    CAppDouble joystickXCenter;
    CAppDouble joystickXUpper;
    CAppDouble joystickXLower;
    CAppInt joystickXInvert;
    CAppDouble joystickYCenter;
    CAppDouble joystickYUpper;
    CAppDouble joystickYLower;
    CAppInt joystickYInvert;

    void Bind();
    std::array<SettingRef, 13> Items();
    // A centre of 0 becomes kRestingCenter, an upper extreme of 0 kUpperExtreme (X and Y).
    void FixUp();
};

struct HomingSettings {
    CAppInt homingMacro; // 0: none
    CAppInt suppressHomingMessages;

    void Bind();
    std::array<SettingRef, 2> Items();
};

// Digital channels of the external buttons, lamps, switches and safety inputs; 0: none.
struct ExternalControlSettings {
    CAppInt startButtonChannel;
    CAppInt blockButtonChannel;
    CAppInt fholdButtonChannel;
    CAppInt startIndicatorChannel;
    CAppInt blockIndicatorChannel;
    CAppInt fholdIndicatorChannel;
    CAppInt estopInputChannel;
    CAppInt extEstopInputChannel;
    CAppInt driveFaultInputChannel;
    CAppInt blockSkipSwitchChannel;
    CAppInt dryRunSwitchChannel;

    void Bind();
    std::array<SettingRef, 11> Items();
};

} // namespace morvik
