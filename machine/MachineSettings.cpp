#include "machine/MachineSettings.h"

#include "machine/MachineTables.h"
#include "settings/UnitTables.h"

namespace morvik {

void SettingRef::EraseSection(CProfileFile& file) const {
    if (plain_)
        plain_->EraseSection(file);
    else
        precise_->EraseSection(file);
}

bool SettingRef::Write(CProfileFile& file, int precision) const {
    return plain_ ? plain_->Write(file) : precise_->Write(file, precision);
}

void SettingRef::Read(const CProfileFile& file) const {
    if (plain_)
        plain_->Read(file);
    else
        precise_->Read(file);
}

bool SaveSection(CProfileFile& file, std::span<const SettingRef> items, int precision) {
    if (items.empty())
        return true;
    items.front().EraseSection(file);
    bool written = true;
    for (const SettingRef& item : items)
        written = item.Write(file, precision) && written;
    return written;
}

void LoadSection(const CProfileFile& file, std::span<const SettingRef> items) {
    for (const SettingRef& item : items)
        item.Read(file);
}

// ---- GENERAL ------------------------------------------------------------------------------

void GeneralSettings::Bind() {
    const char* s = "GENERAL";
    machineType.Init(0, s, "MACHINETYPE");
    programStyle.Init(0, s, "PROGRAMSTYLE");
    defaultUnits.Init(kEnglishUnits, s, "DEFAULTUNITS");
    setupPrecision.Init(kDefaultSetupPrecision, s, "SETUPPRECISION");
    partPrgmEnglishDimUnits.Init(unit::Inch, s, "PARTPRGMENGLISHDIMUNITS");
    partPrgmEnglishPerUnits.Init(timeunit::Minute, s, "PARTPRGMENGLISHPERUNITS");
    // A G21 program means millimetres (per minute for feeds): a new machine's metric units
    // must say so, or its programs would move a thousand times too far.
    partPrgmMetricDimUnits.Init(unit::Millimeter, s, "PARTPRGMMETRICDIMUNITS");
    partPrgmMetricPerUnits.Init(timeunit::Minute, s, "PARTPRGMMETRICPERUNITS");
}

std::array<SettingRef, 8> GeneralSettings::Items() {
    return {machineType,
            programStyle,
            defaultUnits,
            setupPrecision,
            partPrgmEnglishDimUnits,
            partPrgmEnglishPerUnits,
            partPrgmMetricDimUnits,
            partPrgmMetricPerUnits};
}

namespace {

// An index outside its table becomes the setting's initial value, row 0 of every table.
void KeepInTable(CAppInt& setting, std::size_t rows) {
    const std::int32_t index = setting.Get();
    if (index < 0 || static_cast<std::size_t>(index) >= rows)
        setting.Set(0);
}

} // namespace

void GeneralSettings::FixUp() {
    if (setupPrecision.Get() <= 0)
        setupPrecision.Set(kDefaultSetupPrecision);
    KeepInTable(machineType, std::size(kMachineTypes));
    KeepInTable(programStyle, std::size(kProgramStyles));
    KeepInTable(defaultUnits, std::size(kDefaultUnits));
}

int GeneralSettings::DefaultSystem() const {
    return defaultUnits.Get() == kMetricUnits ? kMetricUnits : kEnglishUnits;
}

UnitSystem GeneralSettings::System(int index) const {
    if (index == kEnglishUnits)
        return {kUnitSystemNames[kEnglishUnits], partPrgmEnglishDimUnits.Get(),
                partPrgmEnglishPerUnits.Get()};
    return {kUnitSystemNames[kMetricUnits], partPrgmMetricDimUnits.Get(),
            partPrgmMetricPerUnits.Get()};
}

// ---- FEED ---------------------------------------------------------------------------------

void FeedSettings::Bind() {
    const char* s = "FEED";
    feedRate.Init(unit::Inch, timeunit::Second, 0.0, s, "FEEDRATE");
    feedAccel.Init(unit::Inch, timeunit::Second, 0.0, s, "FEEDACCEL");
    feedDecel.Init(unit::Inch, timeunit::Second, 0.0, s, "FEEDDECEL");
    maxFeedRate.Init(unit::Inch, timeunit::Second, 0.0, s, "MAXFEEDRATE");
    maxAngle.Init(unit::Degree, 10.0, s, "MAXANGLE");
}

std::array<SettingRef, 5> FeedSettings::Items() {
    return {feedRate, feedAccel, feedDecel, maxFeedRate, maxAngle};
}

// ---- JOGGING ------------------------------------------------------------------------------

void JoggingSettings::Bind() {
    const char* s = "JOGGING";
    maxJogRate.Init(unit::Inch, timeunit::Second, 0.0, s, "MAXJOGRATE");
    jogAccel.Init(unit::Inch, timeunit::Second, 0.0, s, "JOGACCEL");
    jogDecel.Init(unit::Inch, timeunit::Second, 0.0, s, "JOGDECEL");
    usePcJoystick.Init(0, s, "USEPCJOYSTICK");
    joystickDeadband.Init(kInitialDeadband, s, "JOYSTICKDEADBAND");
    joystickXCenter.Init(kRestingCenter, s, "JOYSTICKXCENTER");
    joystickXUpper.Init(kUpperExtreme, s, "JOYSTICKXUPPER");
    joystickXLower.Init(0.0, s, "JOYSTICKXLOWER");
    joystickXInvert.Init(0, s, "JOYSTICKXINVERT");
    joystickYCenter.Init(kRestingCenter, s, "JOYSTICKYCENTER");
    joystickYUpper.Init(kUpperExtreme, s, "JOYSTICKYUPPER");
    joystickYLower.Init(0.0, s, "JOYSTICKYLOWER");
    joystickYInvert.Init(0, s, "JOYSTICKYINVERT");
}

std::array<SettingRef, 13> JoggingSettings::Items() {
    return {maxJogRate,      jogAccel,       jogDecel,       usePcJoystick,   joystickDeadband,
            joystickXCenter, joystickXUpper, joystickXLower, joystickXInvert, joystickYCenter,
            joystickYUpper,  joystickYLower, joystickYInvert};
}

void JoggingSettings::FixUp() {
    auto restore = [](CAppDouble& value, double replacement) {
        if (value.Get() == 0.0)
            value.Set(replacement);
    };
    restore(joystickXCenter, kRestingCenter);
    restore(joystickXUpper, kUpperExtreme);
    restore(joystickYCenter, kRestingCenter);
    restore(joystickYUpper, kUpperExtreme);
}

// ---- HOMING -------------------------------------------------------------------------------

void HomingSettings::Bind() {
    const char* s = "HOMING";
    homingMacro.Init(0, s, "HOMINGMACRO");
    suppressHomingMessages.Init(0, s, "SUPPRESSHOMINGMESSAGES");
}

std::array<SettingRef, 2> HomingSettings::Items() {
    return {homingMacro, suppressHomingMessages};
}

// ---- EXTERNALCONTROLS ---------------------------------------------------------------------

void ExternalControlSettings::Bind() {
    const char* s = "EXTERNALCONTROLS";
    startButtonChannel.Init(0, s, "STARTBUTTONCHANNEL");
    blockButtonChannel.Init(0, s, "BLOCKBUTTONCHANNEL");
    fholdButtonChannel.Init(0, s, "FHOLDBUTTONCHANNEL");
    startIndicatorChannel.Init(0, s, "STARTINDICATORCHANNEL");
    blockIndicatorChannel.Init(0, s, "BLOCKINDICATORCHANNEL");
    fholdIndicatorChannel.Init(0, s, "FHOLDINDICATORCHANNEL");
    estopInputChannel.Init(0, s, "ESTOPINPUTCHANNEL");
    extEstopInputChannel.Init(0, s, "EXTESTOPINPUTCHANNEL");
    driveFaultInputChannel.Init(0, s, "DRIVEFAULTINPUTCHANNEL");
    blockSkipSwitchChannel.Init(0, s, "BLOCKSKIPSWITCHCHANNEL");
    dryRunSwitchChannel.Init(0, s, "DRYRUNSWITCHCHANNEL");
}

std::array<SettingRef, 11> ExternalControlSettings::Items() {
    return {startButtonChannel,     blockButtonChannel,    fholdButtonChannel,
            startIndicatorChannel,  blockIndicatorChannel, fholdIndicatorChannel,
            estopInputChannel,      extEstopInputChannel,  driveFaultInputChannel,
            blockSkipSwitchChannel, dryRunSwitchChannel};
}

} // namespace morvik
