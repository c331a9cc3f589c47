// A machine document on the recording fake library, run in a folder of its own: the
// controller files of a document titled after a file name land in the current directory, so
// each test changes into a fresh folder and back. The header date is fixed.
#pragma once

#include "controller/Clock.h"
#include "machine/ControllerFiles.h"
#include "machine/Machine.h"
#include "settings/TempFolder.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace morvik::test {

// December 09, 2026   10:05:07PM
inline std::tm FixedDate() {
    std::tm date{};
    date.tm_year = 2026 - 1900;
    date.tm_mon = 11;
    date.tm_mday = 9;
    date.tm_hour = 22;
    date.tm_min = 5;
    date.tm_sec = 7;
    return date;
}

inline std::string GoldenPath(const std::string& name) {
    return std::string(MORVIK_TEST_DATA_DIR) + "/machine/golden/" + name;
}

inline std::string Golden(const std::string& name) {
    return ReadBytes(GoldenPath(name));
}

// The text of one controller file as the machine would write it now, with the fixed date.
inline std::string ControllerText(CMachine& machine, ControllerFile file) {
    std::ostringstream out;
    WriteControllerText(machine, file, FixedDate(), out);
    return out.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Changes into a fresh folder for the test and back afterwards.
class InTempFolder {
public:
    InTempFolder() : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder.Path());
    }
    ~InTempFolder() { std::filesystem::current_path(saved_); }
    InTempFolder(const InTempFolder&) = delete;
    InTempFolder& operator=(const InTempFolder&) = delete;

    TempFolder folder;

private:
    std::filesystem::path saved_;
};

class MachineOnFakeCard : public testing::Test {
protected:
    void SetUp() override {
        machine = std::make_unique<CMachine>(fake.Table(), clock, ui);
        machine->SetDateSource(FixedDate);
        ASSERT_TRUE(machine->Connect());
        fake.ClearCalls();
    }
    void TearDown() override { machine.reset(); }

    // The card protocol without the text of downloaded files: binary commands, ASCII commands
    // (texts ending in "\r"), the end-of-text character, drains and closes.
    std::vector<std::string> Protocol() const {
        std::vector<std::string> kept;
        for (const std::string& call : fake.calls) {
            const bool command = call.rfind("dornputs", 0) == 0 &&
                                 (call.ends_with("\\r\")") || call.ends_with("\\x1a\")"));
            if (command || call.rfind("dorncmdex", 0) == 0 || call.rfind("dorngets", 0) == 0 ||
                call.rfind("KelvClose", 0) == 0)
                kept.push_back(call);
        }
        return kept;
    }

    InTempFolder cwd;
    FakeKelvApi fake;
    ManualClock clock;
    RecordingOperator ui;
    std::unique_ptr<CMachine> machine;
};

} // namespace morvik::test
