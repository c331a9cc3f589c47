// A machine document in Run mode on the recording fake library, with a part program loader,
// the external controls and a folder for program files. The card protocol is read back from
// the fake: sentText for everything sent on the ASCII channel, the binary commands by code.
#pragma once

#include "controller/Clock.h"
#include "machine/Machine.h"
#include "operation/ButtonBits.h"
#include "operation/CycleCommands.h"
#include "operation/ExternalControls.h"
#include "operation/PartProgram.h"
#include "settings/TempFolder.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

// The cycle commands as the external controls fire them, recorded by name.
class RecordingCycle : public ICycleCommands {
public:
    std::vector<std::string> fired;
    void Start() override { fired.push_back("Start"); }
    void Block() override { fired.push_back("Block"); }
    void FeedHold() override { fired.push_back("FeedHold"); }
};

class ProgramOnFakeCard : public testing::Test {
protected:
    void SetUp() override {
        fake.clock = &clock;
        machine = std::make_unique<CMachine>(fake.Table(), clock, ui);
        ASSERT_TRUE(machine->Connect());
        SetMachineMode(*machine, MachineEvents::None(), MachineMode::Run);
        program = std::make_unique<PartProgram>(*machine);
        external = std::make_unique<ExternalControls>(*machine);
        fake.ClearCalls();
        ui.calls.clear();
        ui.messages.clear();
    }
    void TearDown() override {
        program.reset();
        external.reset();
        machine.reset();
    }

    // Writes text as the program file part.prt and queues its path as the next dialog answer.
    std::string OfferFile(const std::string& text) {
        const std::string path = folder.File("part.prt");
        WriteBytes(path, text);
        ui.fileAnswers.push_back(path);
        return path;
    }

    // The binary command codes sent, in order ("dorncmdex(B, 0, 410, 0, 2)" gives 410).
    std::vector<int> BinaryCodes() const {
        std::vector<int> codes;
        for (const std::string& call : fake.CallsOf("dorncmdex")) {
            const std::size_t first = call.find(", ", call.find(", ") + 2) + 2;
            codes.push_back(std::stoi(call.substr(first)));
        }
        return codes;
    }

    // Marks a program as loaded and started the way a successful load leaves the machine.
    void PretendLoaded(std::int32_t number, const std::string& firstLine) {
        MachineState& state = machine->State();
        state.partLoaded = true;
        state.programStarted = true;
        state.programNumber = number;
        state.firstLine = firstLine;
        state.partPath = "old.prt";
    }

    TempFolder folder;
    FakeKelvApi fake;
    ManualClock clock;
    RecordingOperator ui;
    std::unique_ptr<CMachine> machine;
    std::unique_ptr<PartProgram> program;
    std::unique_ptr<ExternalControls> external;
};

} // namespace morvik::test
