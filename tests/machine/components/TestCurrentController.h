// A machine document on the recording fake library for the length of one test: the components
// reach the card through currentMachine's connection, as they do in the station.
#pragma once

#include "machine/CurrentMachine.h"
#include "machine/Machine.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <memory>

namespace morvik::test {

class WithFakeCard : public testing::Test {
protected:
    void SetUp() override {
        machine = std::make_unique<CMachine>(fake.Table(), clock, ui);
        ASSERT_TRUE(machine->Connect());
        fake.ClearCalls();
    }
    // Destroys the document, which clears currentMachine.
    void DropMachine() {
        machine.reset();
        fake.ClearCalls();
    }

    FakeKelvApi fake;
    ManualClock clock;
    RecordingOperator ui;
    std::unique_ptr<CMachine> machine;
};

} // namespace morvik::test
