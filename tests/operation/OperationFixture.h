// MachineOperation on the simulated card, reached through the loader from the build's bin
// folder as the station reaches it, with the card's time following the station's sleeps and
// every call the station makes in the card's trace. A second fixture puts it on the recording
// fake library, where a test sets exactly what the card answers (status words, positions).
#pragma once

#include "cardsim/KelvSim.h"
#include "controller/ApiLoader.h"
#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "machine/document/MachineFixture.h"
#include "operation/MachineOperation.h"
#include "operation/SnapshotTexts.h"
#include "support/FakeJoystick.h"
#include "support/SimCardFixture.h"
#include "support/SimClock.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

// What the panel shows of an operation's last tick: its lamps and readout texts.
inline std::array<bool, kIndicatorCount> PanelLamps(const MachineOperation& op) {
    return IndicatorsOf(op.Snapshot());
}
inline std::array<std::string, kReadoutCount> PanelReadouts(const MachineOperation& op) {
    return ReadoutTexts(op.Snapshot(), op.Machine());
}

// The machines the operation tests open (xyz.mch: a small three-axis mill).
inline std::string OperationData(const std::string& name) {
    return std::string(MORVIK_TEST_DATA_DIR) + "/operation/data/" + name;
}

// One trace line in short: what the station told the card, without handles and results.
//   dorncmdex(0x101, 0, 494, 1, 2) = 0      ->  "494 1"
//   dornputs(0x102, "LO100\r") = 0          ->  "LO100"      ("\x1a" -> "EOT")
//   KelvStop(0x101, 1) = 0                  ->  "KelvStop 1"
inline std::string ShortCall(const std::string& line) {
    const std::size_t open = line.find('(');
    const std::string name = line.substr(0, open);
    std::string args = line.substr(open + 1, line.rfind(") = ") - open - 1);
    args = args.substr(std::min(args.size(), args.find(", ") + 2)); // the handle
    if (name == "dornputs") {
        std::string text = args.substr(1, args.size() - 2);
        if (text == "\\x1a")
            return "EOT";
        return text.ends_with("\\r") ? text.substr(0, text.size() - 2) : text;
    }
    if (name == "dorncmdex") {
        args = args.substr(args.find(", ") + 2); // the axis, always 0
        args = args.substr(0, args.rfind(", ")); // the argument type
        args.erase(args.find(','), 1);
        return args;
    }
    std::erase(args, ',');
    return name + " " + args;
}

// Card calls that only read (polls, queries, positions, text output), and the text of
// downloaded files: left out of CardCommands.
inline bool OnlyReads(const std::string& line) {
    static const char* const kReads[] = {"dornrdy(",
                                         "dorngets(",
                                         "dorngetc(",
                                         "dornrpyex(",
                                         "KelvGetStatus(",
                                         "KelvDecodeStatus(",
                                         "KelvGetPositionEx(",
                                         "KelvGetOptimalEx(",
                                         "KelvGetTargetEx(",
                                         "KelvGetDigitalIOEx(",
                                         "KelvGetConfigurationEx("};
    for (const char* prefix : kReads) {
        if (line.starts_with(prefix))
            return true;
    }
    const bool fileText = line.starts_with("dornputs(") &&
                          line.find("\\r\")") == std::string::npos &&
                          line.find("\\x1a") == std::string::npos;
    // Queries 460 to 467 ("dorncmdex(0x101, 0, 46n, ...") and the modal state's 468 to 471.
    const bool query =
        line.starts_with("dorncmdex(") && (line.find(", 0, 46") != std::string::npos ||
                                           line.find(", 0, 470, ") != std::string::npos ||
                                           line.find(", 0, 471, ") != std::string::npos);
    return fileText || query;
}

class OperationOnCard : public SimCardFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartCard(Trace::On));
        machine = std::make_unique<CMachine>(loader.Api(), *clock, ui);
        machine->SetDateSource(FixedDate);
        ASSERT_TRUE(machine->Connect());
        ASSERT_TRUE(machine->OnOpenDocument(MachinePath()));
        op = std::make_unique<MachineOperation>(*machine, joystick);
        Forget();
    }
    void TearDown() override {
        op.reset();
        SimCardFixture::TearDown();
    }

    virtual std::string MachineFile() const { return "xyz.mch"; }
    // The file opened: the data file by default; a fixture that writes beside its machine file
    // (MDI history, recovery copies) opens a copy in its temporary folder instead.
    virtual std::string MachinePath() const { return OperationData(MachineFile()); }

    // Forgets what the operator and the card have seen so far.
    void Forget() {
        ui.calls.clear();
        ui.messages.clear();
        TraceSinceLast();
    }

    // What the station told the card since the last call, in short (ShortCall).
    std::vector<std::string> CardCommands() {
        std::vector<std::string> commands;
        for (const std::string& line : TraceSinceLast()) {
            if (!OnlyReads(line))
                commands.push_back(ShortCall(line));
        }
        return commands;
    }

    // 100 ms pass on the card, then the timer's tick; n times.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            clock->Advance(100);
            op->StatusTick();
        }
    }

    // Home mode and Start, then ticks until the homing macro has run to its end: the machine
    // is homed.
    void HomeMachine() {
        op->SelectHome();
        op->Start();
        for (int i = 0; i < 600 && !machine->State().homed; ++i)
            Ticks(1);
        ASSERT_TRUE(machine->State().homed);
    }

    std::string Text(int id) const { return MessageText(id); }

    RecordingOperator ui;
    FakeJoystick joystick;
    std::unique_ptr<MachineOperation> op;
};

// The same on the recording fake library, for answers a real card would not give on demand.
class OperationOnFake : public MachineOnFakeCard {
protected:
    void SetUp() override {
        MachineOnFakeCard::SetUp();
        op = std::make_unique<MachineOperation>(*machine, joystick);
    }
    void TearDown() override {
        op.reset();
        MachineOnFakeCard::TearDown();
    }

    FakeJoystick joystick;
    std::unique_ptr<MachineOperation> op;
};

} // namespace morvik::test
