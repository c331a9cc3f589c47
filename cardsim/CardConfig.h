// The card's configuration, read from the configuration file the station downloads ("RCF n").
// Everything here is already in the card's own units: lengths in the length unit of the
// default unit system (the file's last unit-system line), times in seconds. A rate in the file
// is in length units per part-program time unit and RATECONV gives the seconds in that time
// unit, so a rate per second is rate / RATECONV and an acceleration is accel / RATECONV^2.
#pragma once

#include "cardsim/CardFile.h"

#include <array>
#include <string>
#include <string_view>

namespace morvik {

constexpr int kCardAxisCount = 8;  // controller axis numbers 1..8
constexpr int kCardLetterAxes = 6; // X Y Z U V W
constexpr char kCardAxisLetters[] = "XYZUVW";

// One fitted axis (or the cutter or spindle) as the card moves it.
struct CCardAxisConfig {
    int number = 0; // controller axis number, 0 = not fitted
    int slave = 0;  // controller axis that follows this one, 0 = none
    char letter = '?';
    double scale = 1; // counts per card length unit (or per revolution)
    double machineOffset = 0;
    double programOffset = 0;
    double rapidRate = 0;  // per second; 0 = not limited
    double rapidAccel = 0; // per second squared; 0 = not limited
    double rapidDecel = 0;
    double lowLimit = 0;
    double upLimit = 0;
    double rateConv = 1; // seconds per part-program time unit, for the axis functions
    bool HasLimits() const { return upLimit > lowLimit; }
};

struct CCardConfig {
    std::string machineType = "VMILL";
    std::string programComp = "FANUC";
    int estopChannel = 0;
    int eestopChannel = 0;
    int driveFaultChannel = 0;
    int defaultSystem = kCardEnglish;
    // A part-program length in system s times lengthFactor[s] is a card length.
    std::array<double, kCardUnitSystems> lengthFactor{1, 1};
    // Seconds in the part-program time unit of system s.
    std::array<double, kCardUnitSystems> rateConv{1, 1};
    double feedRate = 0; // per second in card units
    double feedAccel = 0;
    double feedDecel = 0;
    double maxRate = 0;
    std::array<CCardAxisConfig, kCardLetterAxes> axes{};
    CCardAxisConfig cutter{};
    CCardAxisConfig spindle{};
    int spindleMode = 0;
    int spindlePolarity = 1;
    bool loaded = false; // false until a configuration file was read

    int FittedAxisCount() const;
    // The letter axis (0 X .. 5 W) on controller axis `number`, or -1.
    int LetterIndexOf(int number) const;
};

// Reads a configuration file; on success `config` is replaced, on failure it is left alone
// and the result names the first bad line. fileNumber is only used in the reply.
CCardReadResult ReadCardConfig(std::string_view text, int fileNumber, CCardConfig& config);

} // namespace morvik
