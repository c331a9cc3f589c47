// The program's events as the status cycle reads them from the status word, tick by tick, on
// the recording fake: a run is announced once however often it is held and resumed, a program
// too short to be seen running is still announced started before finished, and an error bit
// is announced as it comes on, named by the bit.
#include "operation/OperationFixture.h"

#include "operation/CardLines.h"

#include <string>
#include <vector>

namespace morvik {
namespace {

class EventLog : public MachineObserver {
public:
    void OnModeChanged(MachineMode, MachineMode to) override {
        lines.push_back("mode " + std::string(MachineModeName(to)));
    }
    void OnProgramStarted(std::int32_t) override { lines.push_back("started"); }
    void OnProgramFinished(std::int32_t) override { lines.push_back("finished"); }
    void OnPartError(std::uint32_t bits, const std::string& reason) override {
        lines.push_back("error " + reason + " " + std::to_string(bits));
    }
    void OnCardText(const std::string& text) override { lines.push_back("text " + text); }
    void OnCardLine(const std::string& line) override { lines.push_back("line " + line); }

    std::vector<std::string> lines;
};

class ProgramEvents : public test::OperationOnFake {
protected:
    void SetUp() override {
        OperationOnFake::SetUp();
        machine->State().homed = true;
        op->Events().Attach(log);
        op->SelectRun();
        log.lines.clear();
    }
    void Ticks(const std::vector<std::uint32_t>& words) {
        for (std::uint32_t word : words) {
            fake.replies[code::ProgramStatus] = word;
            op->StatusTick();
        }
    }

    EventLog log;
};

TEST_F(ProgramEvents, TheStatusWordsEdgesBecomeEvents) {
    using namespace psw;
    struct Case {
        const char* name;
        std::vector<std::uint32_t> words;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"run, hold, resume, finish",
         {Ready, Running, Ready | Paused, Running | FeedHold, Running, Finished, Finished},
         {"started", "finished"}},
        {"too short to be seen running", {Ready, Finished}, {"started", "finished"}},
        {"run again after a restart",
         {Running, Finished, Ready, Running, Finished},
         {"started", "finished", "started", "finished"}},
        {"aborted and selected again", {Running, 0, Ready, Running}, {"started", "started"}},
        {"an error bit as it comes on",
         {Running, Running | DriveFault, Running | DriveFault | PartError},
         {"started", "error drive fault " + std::to_string(DriveFault),
          "error part error " + std::to_string(DriveFault | PartError)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Ticks(c.words);
        EXPECT_EQ(log.lines, c.events);
    }
}

TEST_F(ProgramEvents, LeavingRunModeEndsTheRunAndTheModeIsAnnouncedOnce) {
    Ticks({psw::Running});
    op->SelectJog();
    op->SelectJog(); // selected again: no change to announce
    op->StatusTick();
    fake.replies[code::ProgramStatus] = psw::Running;
    op->SelectRun();
    op->StatusTick();
    EXPECT_EQ(log.lines, (std::vector<std::string>{"started", "mode Jog", "mode Run", "started"}));
}

TEST_F(ProgramEvents, CardTextIsAnnouncedBeforeItIsRouted) {
    fake.output = "N10 G00 X1\r";
    Ticks({psw::Ready});
    EXPECT_EQ(log.lines, (std::vector<std::string>{"text N10 G00 X1\r", "line N10 G00 X1"}));
}

// The text's lines are announced once each, as their line end arrives, whatever the pieces the
// card's text came in (one piece per tick here, each drained to its end).
TEST_F(ProgramEvents, CardTextIsAnnouncedInWholeLinesOnceTheirEndCame) {
    struct Case {
        const char* name;
        std::vector<std::string> pieces;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a line cut across two reads", {"PART ER", "ROR line 3\rN2"}, {"line PART ERROR line 3"}},
        {"CR LF ends one line, LF alone too", {"A\r\nB\n\r"}, {"line A", "line B"}},
        {"no line end yet", {"half a line"}, {}},
        {"a line past the limit keeps its start",
         {std::string(CardLines::kLineLimit + 500, 'x') + "\r"},
         {"line " + std::string(CardLines::kLineLimit, 'x')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        for (const std::string& piece : c.pieces) {
            fake.output = piece;
            Ticks({psw::Ready});
            while (op->IdleDrain()) {
            }
        }
        std::vector<std::string> lines;
        for (const std::string& line : log.lines) {
            if (line.starts_with("line "))
                lines.push_back(line);
        }
        EXPECT_EQ(lines, c.lines);
    }
}

} // namespace
} // namespace morvik
