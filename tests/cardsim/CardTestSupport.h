// A simulated card on a manual clock with a small machine configured, for the card's own
// tests. The configuration text is written the way the station's configuration writer writes
// it (both unit blocks, the default system last), from a short description of the machine.
#pragma once

#include "cardsim/Card.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morvik::test {

struct TestAxis {
    char letter = 'X';
    int number = 1;
    double scale = 2000;  // counts per inch
    double rapid = 120;   // in/min (2 in/s)
    double accel = 36000; // in/min/min (10 in/s^2)
    double low = -10;     // inches
    double up = 10;
    double machineOffset = 0;
    double programOffset = 0;
    int slave = 0;
};

struct TestMachine {
    bool metricDefault = false;
    int estop = 1;
    int extEstop = 2;
    int driveFault = 3;
    double feed = 60;         // in/min
    double feedAccel = 36000; // in/min/min
    double maxRate = 120;     // in/min
    std::vector<TestAxis> axes = {{'X', 1}, {'Y', 2}, {'Z', 3}};
    int spindleAxis = 0;
    int spindleMode = 1; // 1 servo (scale), 2 drive (constant), else neither
    int cutterAxis = 0;
    double cutterSpeed = 60;    // rev/min
    double cutterAccel = 36000; // rev/min/min
};

// English in inches and minutes, metric in millimetres and minutes.
std::string ConfigText(const TestMachine& machine);
// Work coordinate 1..6 with English values (X..W); the metric block is the same in mm.
std::string WorkText(const std::vector<std::vector<double>>& englishOffsets);

class CardTest : public testing::Test {
protected:
    void SetUp() override;

    void Send(const std::string& text) {
        ASSERT_EQ(card.Puts(CCard::kAsciiHandle, text.c_str()), 0);
    }
    // "LO n", the text, 0x1A; then the read command (RCF, RWF, RTF) when one is given.
    void Download(int number, const std::string& text, const std::string& readCommand = "");
    void Configure(const TestMachine& machine = TestMachine{});
    // "LOF", the program, 0x1A, "RUF-n".
    void LoadAndSelect(const std::string& program, int number);
    // Everything the card has queued on its ASCII channel.
    std::string Output();
    std::int32_t Send(int code, std::int32_t argument = 0);
    std::int32_t SendDouble(int code, double argument);
    std::int32_t Query(int code);
    double QueryDouble(int code);
    std::uint32_t Status() { return static_cast<std::uint32_t>(Query(460)); }
    void Advance(std::uint32_t ms) { card.AdvanceMs(ms); }
    const CCardAxis& Axis(int number) { return card.State().axes[number - 1]; }
    double Position(int number) { return Axis(number).Optimal(); }
    bool BinaryReady() { return card.Ready(CCard::kBinaryHandle) != 0; }

    CCard card;
};

} // namespace morvik::test
