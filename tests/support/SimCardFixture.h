// A machine document on the simulated card, reached through the loader from the build's bin
// folder as the station reaches it. Every fixture that runs on the card starts from here: the
// card from power-on, the test in a temporary folder of its own (a machine's controller files
// and the card's trace land there), the card's time following the test's SimClock. A fixture
// makes the machine with its own operator interface, then adds what it tests (the operation,
// the panel, the windows).
#pragma once

#include "cardsim/KelvSim.h"
#include "controller/ApiLoader.h"
#include "machine/Machine.h"
#include "settings/TempFolder.h"
#include "support/SimClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace morvik::test {

class SimCardFixture : public testing::Test {
protected:
    enum class Trace { Off, On };

    // The card at power-on, its library loaded, and (Trace::On) every call the station makes
    // written to `trace` from here on. Call under ASSERT_NO_FATAL_FAILURE.
    void StartCard(Trace traced = Trace::Off) {
        std::filesystem::current_path(folder.Path());
        KelvSimReset();
        clock = std::make_unique<SimClock>();
        ASSERT_EQ(loader.LoadController(MORVIK_BIN_DIR), kLoadOk) << loader.LoadError();
        if (traced == Trace::On) {
            trace = folder.File("card.trace");
            KelvSimSetTraceFile(trace.c_str());
        }
    }

    // The card started and a machine on it connected, telling `ui` what it has to say.
    void ConnectMachine(IOperatorInterface& ui, Trace traced = Trace::Off) {
        ASSERT_NO_FATAL_FAILURE(StartCard(traced));
        machine = std::make_unique<CMachine>(loader.Api(), *clock, ui);
        ASSERT_TRUE(machine->Connect());
    }

    // The machine gone, the card back at power-on, the working folder as it was. A fixture that
    // holds more (an operation, windows) drops those first.
    void TearDown() override {
        machine.reset();
        KelvSimSetTraceFile(nullptr);
        clock.reset();
        KelvSimReset();
        std::filesystem::current_path(saved_);
    }

    // Every trace line written since the last call.
    std::vector<std::string> TraceSinceLast() {
        std::vector<std::string> fresh;
        std::ifstream in(trace, std::ios::binary);
        std::size_t index = 0;
        for (std::string line; std::getline(in, line); ++index) {
            if (index >= seen_)
                fresh.push_back(line);
        }
        seen_ = index;
        return fresh;
    }

    TempFolder folder;
    ApiLoader loader;
    std::unique_ptr<SimClock> clock;
    std::unique_ptr<CMachine> machine;
    std::string trace;

private:
    std::filesystem::path saved_ = std::filesystem::current_path();
    std::size_t seen_ = 0;
};

} // namespace morvik::test
