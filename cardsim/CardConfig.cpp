#include "cardsim/CardConfig.h"

#include "cardsim/CardNumber.h"

#include <cmath>
#include <map>
#include <set>
#include <vector>

namespace morvik {

namespace {

// Keys outside the unit blocks' meaning (they may stand inside one: the axis blocks follow the
// metric feed block) and keys that belong to the current unit system.
const std::vector<std::string> kLetterCommonKeys = {"AXIS", "SLAVE"};
const std::vector<std::string> kLetterSystemKeys = {"SCALE",      "MACHINEOFFSET", "PROGRAMOFFSET",
                                                    "RATECONV",   "RAPIDRATE",     "RAPIDACCEL",
                                                    "RAPIDDECEL", "LOWLIMIT",      "UPLIMIT"};
const std::vector<std::string> kIntKeys = {"ESTOPCHANNEL", "EESTOPCHANNEL",    "DRIVEFAULTCHANNEL",
                                           "SPINDLEAXIS",  "SPINDLEMODE",      "SPINDLEPOLARITY",
                                           "CUTTERAXIS",   "CUTTERRAISEMCODE", "CUTTERLOWERMCODE"};
const std::vector<std::string> kSystemKeys = {
    "FEEDRATE",     "FEEDACCEL",       "FEEDDECEL",       "MAXRATE",        "INCREMENT",
    "SPINDLESCALE", "SPINDLERATECONV", "SPINDLECONSTANT", "SPINDLESPEED",   "SPINDLEACCEL",
    "SPINDLEDECEL", "CUTTERSCALE",     "CUTTEROFFSET",    "CUTTERRATECONV", "CUTTERSPEED",
    "CUTTERACCEL",  "CUTTERDECEL"};
const std::map<std::string, std::set<std::string>> kTextKeys = {
    {"MACHINETYPE", {"VMILL", "HMILL", "LATHE"}}, {"PROGRAMCOMP", {"FANUC", "AMTICO"}}};

struct KeyTables {
    std::set<std::string> ints;
    std::set<std::string> perSystem;
};

const KeyTables& Tables() {
    static const KeyTables tables = [] {
        KeyTables t{{kIntKeys.begin(), kIntKeys.end()}, {kSystemKeys.begin(), kSystemKeys.end()}};
        for (const char letter : std::string_view(kCardAxisLetters)) {
            for (const auto& key : kLetterCommonKeys) {
                t.ints.insert(letter + key);
            }
            for (const auto& key : kLetterSystemKeys) {
                t.perSystem.insert(letter + key);
            }
        }
        return t;
    }();
    return tables;
}

// The file's values as written, before they are turned into card units.
struct RawConfig {
    std::map<std::string, int> ints;
    std::map<std::string, std::string> texts;
    std::array<std::map<std::string, double>, kCardUnitSystems> values;
    int lastSystem = -1;

    int Int(const std::string& key) const {
        const auto it = ints.find(key);
        return it == ints.end() ? 0 : it->second;
    }
    double Value(int system, const std::string& key, double fallback = 0) const {
        const auto it = values[system].find(key);
        return it == values[system].end() ? fallback : it->second;
    }
};

std::string Accept(RawConfig& raw, const CCardFileLine& line) {
    const int system = CardUnitSystemOf(line);
    if (system >= 0) {
        raw.lastSystem = system;
        return {};
    }
    if (!line.hasValue) {
        return "not a setting";
    }
    if (const auto text = kTextKeys.find(line.key); text != kTextKeys.end()) {
        if (text->second.count(line.value) == 0) {
            return "unknown value";
        }
        raw.texts[line.key] = line.value;
        return {};
    }
    if (Tables().ints.count(line.key) != 0) {
        const auto value = ParseCardInt(line.value);
        if (!value) {
            return "bad integer";
        }
        raw.ints[line.key] = *value;
        return {};
    }
    if (Tables().perSystem.count(line.key) == 0) {
        return "unknown key";
    }
    if (raw.lastSystem < 0) {
        return "value outside a unit block";
    }
    const auto value = CardFileNumber(line.value);
    if (!value) {
        return "bad number";
    }
    raw.values[raw.lastSystem][line.key] = *value;
    return {};
}

double PerSecond(double rate, double rateConv) {
    return rate / rateConv;
}
double PerSecondSquared(double accel, double rateConv) {
    return accel / (rateConv * rateConv);
}

double RateConvOr1(double value) {
    return value > 0 ? value : 1.0;
}

CCardAxisConfig LetterAxis(const RawConfig& raw, int system, char letter) {
    const std::string l(1, letter);
    CCardAxisConfig axis;
    axis.letter = letter;
    axis.number = raw.Int(l + "AXIS");
    axis.slave = raw.Int(l + "SLAVE");
    if (axis.number == 0) {
        return axis;
    }
    const double rc = RateConvOr1(raw.Value(system, l + "RATECONV", 1));
    axis.rateConv = rc;
    axis.scale = raw.Value(system, l + "SCALE", 1);
    axis.machineOffset = raw.Value(system, l + "MACHINEOFFSET");
    axis.programOffset = raw.Value(system, l + "PROGRAMOFFSET");
    axis.rapidRate = PerSecond(raw.Value(system, l + "RAPIDRATE"), rc);
    axis.rapidAccel = PerSecondSquared(raw.Value(system, l + "RAPIDACCEL"), rc);
    axis.rapidDecel = PerSecondSquared(raw.Value(system, l + "RAPIDDECEL"), rc);
    axis.lowLimit = raw.Value(system, l + "LOWLIMIT");
    axis.upLimit = raw.Value(system, l + "UPLIMIT");
    return axis;
}

// The cutter and the spindle are rotary: revolutions, with their own rate conversion.
CCardAxisConfig RotaryAxis(const RawConfig& raw, int system, const std::string& prefix, char id) {
    CCardAxisConfig axis;
    axis.letter = id;
    axis.number = raw.Int(prefix + "AXIS");
    const double rc = RateConvOr1(raw.Value(system, prefix + "RATECONV", 1));
    axis.rateConv = rc;
    axis.scale = raw.Value(system, prefix + "SCALE", 1);
    axis.machineOffset = raw.Value(system, prefix + "OFFSET");
    axis.rapidRate = PerSecond(raw.Value(system, prefix + "SPEED"), rc);
    axis.rapidAccel = PerSecondSquared(raw.Value(system, prefix + "ACCEL"), rc);
    axis.rapidDecel = PerSecondSquared(raw.Value(system, prefix + "DECEL"), rc);
    return axis;
}

// The unit systems' relation: the same axis's scale in counts per unit in both systems.
void SetUnitRelations(const RawConfig& raw, CCardConfig& config) {
    const int d = config.defaultSystem;
    for (int s = 0; s < kCardUnitSystems; ++s) {
        for (const char letter : std::string_view(kCardAxisLetters)) {
            const std::string l(1, letter);
            if (raw.Int(l + "AXIS") == 0) {
                continue;
            }
            config.rateConv[s] = RateConvOr1(raw.Value(s, l + "RATECONV", 1));
            const double here = raw.Value(s, l + "SCALE");
            const double there = raw.Value(d, l + "SCALE");
            config.lengthFactor[s] = (here != 0 && there != 0) ? here / there : 1.0;
            break;
        }
    }
    config.lengthFactor[d] = 1.0;
}

// Every fitted component needs its own controller axis in 1..8.
std::string CheckAxisNumbers(const CCardConfig& config) {
    std::set<int> used;
    std::vector<const CCardAxisConfig*> all;
    for (const auto& axis : config.axes) {
        all.push_back(&axis);
    }
    all.push_back(&config.cutter);
    all.push_back(&config.spindle);
    for (const auto* axis : all) {
        if (axis->number == 0) {
            continue;
        }
        if (axis->number < 0 || axis->number > kCardAxisCount) {
            return std::string("axis number out of range for ") + axis->letter;
        }
        if (!used.insert(axis->number).second) {
            return "controller axis " + std::to_string(axis->number) + " used twice";
        }
    }
    for (const auto* axis : all) {
        if (axis->number != 0 && axis->slave != 0 &&
            (axis->slave < 0 || axis->slave > kCardAxisCount || used.count(axis->slave) != 0)) {
            return std::string("bad slave axis for ") + axis->letter;
        }
    }
    return {};
}

CCardConfig Build(const RawConfig& raw) {
    CCardConfig config;
    config.loaded = true;
    config.defaultSystem = raw.lastSystem < 0 ? kCardEnglish : raw.lastSystem;
    const int d = config.defaultSystem;
    if (const auto it = raw.texts.find("MACHINETYPE"); it != raw.texts.end()) {
        config.machineType = it->second;
    }
    if (const auto it = raw.texts.find("PROGRAMCOMP"); it != raw.texts.end()) {
        config.programComp = it->second;
    }
    config.estopChannel = raw.Int("ESTOPCHANNEL");
    config.eestopChannel = raw.Int("EESTOPCHANNEL");
    config.driveFaultChannel = raw.Int("DRIVEFAULTCHANNEL");
    for (int i = 0; i < kCardLetterAxes; ++i) {
        config.axes[i] = LetterAxis(raw, d, kCardAxisLetters[i]);
    }
    config.cutter = RotaryAxis(raw, d, "CUTTER", 'C');
    config.spindle = RotaryAxis(raw, d, "SPINDLE", 'S');
    config.spindleMode = raw.Int("SPINDLEMODE");
    config.spindlePolarity = raw.Int("SPINDLEPOLARITY") < 0 ? -1 : 1;
    SetUnitRelations(raw, config);
    const double rc = config.rateConv[d];
    config.feedRate = PerSecond(raw.Value(d, "FEEDRATE"), rc);
    config.feedAccel = PerSecondSquared(raw.Value(d, "FEEDACCEL"), rc);
    config.feedDecel = PerSecondSquared(raw.Value(d, "FEEDDECEL"), rc);
    config.maxRate = PerSecond(raw.Value(d, "MAXRATE"), rc);
    return config;
}

} // namespace

int CCardConfig::FittedAxisCount() const {
    int count = 0;
    for (const auto& axis : axes) {
        count += axis.number != 0 ? 1 : 0;
    }
    return count;
}

int CCardConfig::LetterIndexOf(int number) const {
    for (int i = 0; i < kCardLetterAxes; ++i) {
        if (number != 0 && axes[i].number == number) {
            return i;
        }
    }
    return -1;
}

CCardReadResult ReadCardConfig(std::string_view text, int fileNumber, CCardConfig& config) {
    RawConfig raw;
    const auto lines = SplitCardFile(text);
    for (const auto& line : lines) {
        if (const auto why = Accept(raw, line); !why.empty()) {
            return CardFileError("CONFIG", fileNumber, line, why);
        }
    }
    CCardConfig built = Build(raw);
    if (const auto why = CheckAxisNumbers(built); !why.empty()) {
        return {false, "?ERR CONFIG " + std::to_string(fileNumber) + ": " + why};
    }
    config = built;
    const char* units = config.defaultSystem == kCardMetric ? "METRIC" : "ENGLISH";
    return {true, "CONFIG " + std::to_string(fileNumber) + " read: " +
                      std::to_string(config.FittedAxisCount()) + " axes, " + units + " units"};
}

} // namespace morvik
