// MotionController against the recording fake library: what it sends, in which order, what it
// reads back, and how long its waits take on the manual clock.
#include "controller/MotionController.h"
#include "controller/ControllerCodes.h"
#include "controller/StringTable.h"
#include "support/FakeKelvApi.h"
#include "support/RecordingOperator.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace morvik {
namespace {

using Lines = std::vector<std::string>;

class Connection : public testing::Test {
protected:
    void SetUp() override { fake.clock = &clock; }
    void Open() {
        ASSERT_TRUE(mc.OpenController());
        fake.ClearCalls();
    }

    test::FakeKelvApi fake;
    ManualClock clock;
    test::RecordingOperator ui;
    MotionController mc{fake.Table(), clock, ui};
};

// ---- Opening ------------------------------------------------------------------------------

struct OpenCase {
    const char* what;
    KELVHANDLE binaryHandle;
    std::int32_t configResult;
    KELVHANDLE asciiHandle;
    bool opened;
    std::vector<int> messages;
    Lines calls;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.what;
}

class Opening : public Connection, public testing::WithParamInterface<OpenCase> {};

TEST_P(Opening, OpensBothHandlesOrReportsAndLeavesTheConnectionClosed) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    fake.binaryHandle = c.binaryHandle;
    fake.configResult = c.configResult;
    fake.asciiHandle = c.asciiHandle;
    fake.controllerType = 5;

    EXPECT_EQ(mc.OpenController(), c.opened);
    EXPECT_EQ(ui.messages, c.messages);
    EXPECT_EQ(fake.calls, c.calls);
    EXPECT_EQ(mc.IsOpen(), c.opened);
    EXPECT_EQ(mc.BinaryHandle(), c.opened ? c.binaryHandle : 0);
    EXPECT_EQ(mc.AsciiHandle(), c.opened ? c.asciiHandle : 0);
    EXPECT_EQ(mc.ControllerType(), c.configResult == 0 && c.binaryHandle >= 0 ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Opening,
    testing::Values(OpenCase{"both handles open",
                             0x12,
                             0,
                             0x11,
                             true,
                             {},
                             {"KelvOpen(0, 0x8002, 0)", "KelvGetConfigurationEx(B, size 128)",
                              "KelvOpen(0, 0x8001, 0)"}},
                    OpenCase{"binary mode refused",
                             -1,
                             0,
                             0x11,
                             false,
                             {msg::UnableToOpenBinary},
                             {"KelvOpen(0, 0x8002, 0)"}},
                    OpenCase{"configuration record not read",
                             0x12,
                             3,
                             0x11,
                             false,
                             {msg::UnableToOpenBinary},
                             {"KelvOpen(0, 0x8002, 0)", "KelvGetConfigurationEx(B, size 128)",
                              "KelvClose(B)"}},
                    OpenCase{"ASCII mode refused",
                             0x12,
                             0,
                             -2,
                             false,
                             {msg::UnableToOpenAscii},
                             {"KelvOpen(0, 0x8002, 0)", "KelvGetConfigurationEx(B, size 128)",
                              "KelvOpen(0, 0x8001, 0)", "KelvClose(B)"}}));

TEST_F(Connection, OpensTheCardItWasGivenAndClosesBinaryThenAscii) {
    MotionController second(fake.Table(), clock, ui, 3);
    ASSERT_TRUE(second.OpenController());
    EXPECT_EQ(second.ControllerId(), 3);
    EXPECT_EQ(fake.CallsOf("KelvOpen"),
              (Lines{"KelvOpen(3, 0x8002, 0)", "KelvOpen(3, 0x8001, 0)"}));

    fake.ClearCalls();
    second.CloseController();
    EXPECT_EQ(fake.calls, (Lines{"KelvClose(B)", "KelvClose(A)"}));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(second.BinaryHandle(), 0);
    EXPECT_EQ(second.AsciiHandle(), 0);

    fake.ClearCalls();
    second.CloseController();
    EXPECT_TRUE(fake.calls.empty()) << "a closed connection closes nothing twice";
}

TEST_F(Connection, AConnectionLeftOpenIsClosedWhenDestroyed) {
    {
        MotionController forgotten(fake.Table(), clock, ui);
        ASSERT_TRUE(forgotten.OpenController());
        fake.ClearCalls();
    }
    EXPECT_EQ(fake.calls, (Lines{"KelvClose(B)", "KelvClose(A)"}));
}

// ---- Ready tests and bounded waits --------------------------------------------------------

TEST_F(Connection, TypeTenCardIsNeverAskedAndEachReadyTestCostsTenMilliseconds) {
    fake.controllerType = MotionController::kTypeNoReadyTest;
    fake.asciiNeverReady = true; // would fail if it were asked
    Open();
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(mc.AsciiReady());
        EXPECT_EQ(clock.NowMs(), 10u * i);
    }
    EXPECT_TRUE(mc.WaitAsciiReady());
    EXPECT_EQ(clock.NowMs(), 40u);
    EXPECT_EQ(fake.CountOf("dornrdy"), 0);
    EXPECT_TRUE(ui.messages.empty());
}

struct WaitCase {
    const char* what;
    int asciiBusy; // -1: never ready
    int binaryBusy;
    std::function<bool(MotionController&)> wait;
    bool answered;
    std::uint64_t clockMs;
    int polls;
    const char* pollLine;
};

void PrintTo(const WaitCase& c, std::ostream* os) {
    *os << c.what;
}

class BoundedWait : public Connection, public testing::WithParamInterface<WaitCase> {};

TEST_P(BoundedWait, EndsWhenReadyOrAfterItsLimitWithOneMessage) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    Open();
    fake.asciiBusyPolls = std::max(c.asciiBusy, 0);
    fake.asciiNeverReady = c.asciiBusy < 0;
    fake.binaryBusyPolls = std::max(c.binaryBusy, 0);
    fake.binaryNeverReady = c.binaryBusy < 0;

    EXPECT_EQ(c.wait(mc), c.answered);
    EXPECT_EQ(clock.NowMs(), c.clockMs);
    EXPECT_EQ(fake.CountOf("dornrdy"), c.polls);
    EXPECT_EQ(fake.CallsOf("dornrdy").front(), c.pollLine);
    EXPECT_EQ(ui.messages,
              c.answered ? std::vector<int>{} : std::vector<int>{msg::CardNotAnswering});
}

bool WaitAscii(MotionController& m) {
    return m.WaitAsciiReady();
}
bool AbortAndWait(MotionController& m) {
    return m.AbortProgramAndWait();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundedWait,
    testing::Values(WaitCase{"ASCII ready at once", 0, 0, WaitAscii, true, 0, 1, "dornrdy(A)"},
                    WaitCase{"ASCII busy three polls: 25 ms sleeps", 3, 0, WaitAscii, true, 75, 4,
                             "dornrdy(A)"},
                    WaitCase{"ASCII never ready: polled to the limit, once more at it", -1, 0,
                             WaitAscii, false, MotionController::kAsciiReadyLimitMs, 201,
                             "dornrdy(A)"},
                    WaitCase{"binary ready at once after the abort", 0, 0, AbortAndWait, true, 0, 1,
                             "dornrdy(B)"},
                    WaitCase{"binary busy while the axes stop", 0, 40, AbortAndWait, true, 40, 41,
                             "dornrdy(B)"},
                    WaitCase{"binary never ready after the abort", 0, -1, AbortAndWait, false,
                             MotionController::kBinaryReadyLimitMs, 5001, "dornrdy(B)"}));

TEST_F(Connection, AbortIsSentBeforeTheReadyPolls) {
    Open();
    fake.binaryBusyPolls = 1;
    ASSERT_TRUE(mc.AbortProgramAndWait());
    EXPECT_EQ(fake.calls, (Lines{"dorncmdex(B, 0, 401, 0, 2)", "dornrdy(B)", "dornrdy(B)"}));
}

TEST_F(Connection, ReadyMeansMinusOneOnAsciiAndNonZeroOnBinary) {
    Open();
    fake.asciiBusyPolls = 1;
    fake.binaryBusyPolls = 1;
    EXPECT_FALSE(mc.AsciiReady());
    EXPECT_TRUE(mc.AsciiReady());
    EXPECT_FALSE(mc.BinaryReady());
    EXPECT_TRUE(mc.BinaryReady());
    EXPECT_EQ(clock.NowMs(), 0u) << "a single ready test never sleeps";
}

// ---- Commands -----------------------------------------------------------------------------

struct CommandCase {
    const char* what;
    std::function<void(MotionController&)> send;
    Lines calls;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.what;
}

class Commands : public Connection, public testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, SendExactlyTheseCalls) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    Open();
    c.send(mc);
    EXPECT_EQ(fake.calls, c.calls);
    EXPECT_EQ(clock.NowMs(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Commands,
    testing::Values(
        CommandCase{
            "ASCII text", [](auto& m) { m.SendAscii("PC0,EF\r"); }, {"dornputs(A, \"PC0,EF\\r\")"}},
        CommandCase{"numbered command, C digits",
                    [](auto& m) { m.SendAscii(AsciiCommand("RUF", -1234)); },
                    {"dornputs(A, \"RUF-1234\\r\")"}},
        CommandCase{"abort", [](auto& m) { m.AbortProgram(); }, {"dorncmdex(B, 0, 401, 0, 2)"}},
        CommandCase{"cycle start", [](auto& m) { m.CycleStart(); }, {"dorncmdex(B, 0, 410, 0, 2)"}},
        CommandCase{
            "single block", [](auto& m) { m.SingleBlock(); }, {"dorncmdex(B, 0, 411, 0, 2)"}},
        CommandCase{"feed hold", [](auto& m) { m.FeedHold(); }, {"dorncmdex(B, 0, 412, 0, 2)"}},
        CommandCase{"dry run on, off",
                    [](auto& m) {
                        m.SetDryRun(true);
                        m.SetDryRun(false);
                    },
                    {"dorncmdex(B, 0, 420, 0, 2)", "dorncmdex(B, 0, 421, 0, 2)"}},
        CommandCase{"block skip on, off",
                    [](auto& m) {
                        m.SetBlockSkip(true);
                        m.SetBlockSkip(false);
                    },
                    {"dorncmdex(B, 0, 424, 0, 2)", "dorncmdex(B, 0, 425, 0, 2)"}},
        CommandCase{"output options: +1 on, -1 off",
                    [](auto& m) {
                        m.SetOutputOption(code::OutputEchoBlocks, true);
                        m.SetOutputOption(code::OutputMessages, false);
                    },
                    {"dorncmdex(B, 0, 494, 1, 2)", "dorncmdex(B, 0, 495, -1, 2)"}},
        CommandCase{"overrides are doubles",
                    [](auto& m) {
                        m.SetFeedOverride(1.5);
                        m.SetRapidOverride(0.25);
                        m.SetSpindleOverride(1);
                    },
                    {"dorncmdex(B, 0, 440, 1.5, 4)", "dorncmdex(B, 0, 441, 0.25, 4)",
                     "dorncmdex(B, 0, 442, 1, 4)"}},
        CommandCase{"an integer argument is rounded, never truncated",
                    [](auto& m) {
                        m.SendBinary(999, 2.6, KELV_TYPE_INT32);
                        m.SendBinary(999, -2.6, KELV_TYPE_INT32);
                    },
                    {"dorncmdex(B, 0, 999, 3, 2)", "dorncmdex(B, 0, 999, -3, 2)"}},
        CommandCase{"empty block",
                    [](auto& m) { m.EmptyBlock(7); },
                    {"KelvBlockBegin(B, 1, 7)", "KelvBlockEnd(B, 0)"}},
        CommandCase{"macro call", [](auto& m) { m.MacroCall(5); }, {"KelvMacroCall(B, 5)"}},
        CommandCase{"digital outputs 1..32 only",
                    [](auto& m) {
                        m.SetDigitalOutput(3, true);
                        m.SetDigitalOutput(32, false);
                        m.SetDigitalOutput(0, true);
                        m.SetDigitalOutput(33, true);
                        m.SetDigitalOutput(-1, true);
                    },
                    {"KelvEnableDigitalIO(B, 3, 1)", "KelvEnableDigitalIO(B, 32, 0)"}}));

// ---- Queries ------------------------------------------------------------------------------

TEST_F(Connection, QueriesSendTheCodeWithZeroAndReadTheReplyOfTheirType) {
    struct Case {
        std::function<double(MotionController&)> query;
        std::int32_t code;
        double reply;
        double expected;
        const char* replyLine;
    };
    const Case cases[] = {
        {[](auto& m) { return m.QueryBinary(code::ProgramStatus, KELV_TYPE_INT32); }, 460, 5, 5,
         "dornrpyex(B, 2)"},
        {[](auto& m) { return double(m.ProgramStatus()); }, 460, 0x20003, 0x20003,
         "dornrpyex(B, 2)"},
        {[](auto& m) { return double(m.QueryInt(code::SequenceNumber)); }, 463, -40, -40,
         "dornrpyex(B, 2)"},
        {[](auto& m) { return m.QueryDouble(code::SpindleSpeed); }, 467, 1234.5, 1234.5,
         "dornrpyex(B, 4)"},
    };
    Open();
    for (const auto& c : cases) {
        fake.ClearCalls();
        fake.replies[c.code] = c.reply;
        EXPECT_EQ(c.query(mc), c.expected) << c.code;
        EXPECT_EQ(fake.calls,
                  (Lines{"dorncmdex(B, 0, " + std::to_string(c.code) + ", 0, 2)", c.replyLine}));
    }
}

TEST_F(Connection, DigitalIoWordIsReadWithChannelZero) {
    Open();
    fake.ioWord = 0x80000005u;
    EXPECT_EQ(mc.ReadDigitalIO(), 0x80000005u);
    EXPECT_EQ(fake.calls, (Lines{"KelvGetDigitalIOEx(B, 0)"}));
    const std::uint32_t word = fake.ioWord;
    EXPECT_TRUE(IoChannelOn(word, 1));
    EXPECT_FALSE(IoChannelOn(word, 2));
    EXPECT_TRUE(IoChannelOn(word, 32));
    EXPECT_FALSE(IoChannelOn(~0u, 0));
    EXPECT_FALSE(IoChannelOn(~0u, 33));
}

// ---- Reading card text --------------------------------------------------------------------

TEST_F(Connection, DrainReadsWithTheGivenBufferUntilNothingComes) {
    struct Case {
        int size;
        std::size_t waiting;
        int reads; // the last one returns 0
        int sizeSeen;
    };
    const Case cases[] = {
        {80, 0, 1, 80},  {80, 200, 4, 80}, {40, 39, 2, 40},
        {40, 40, 3, 40}, {1, 3, 4, 2}, // too small a buffer still drains, a character a read
    };
    Open();
    for (const auto& c : cases) {
        fake.ClearCalls();
        fake.output.assign(c.waiting, 'x');
        mc.DrainReplies(c.size);
        EXPECT_TRUE(fake.output.empty()) << c.size << "/" << c.waiting;
        EXPECT_EQ(fake.CallsOf("dorngets"),
                  Lines(c.reads, "dorngets(A, " + std::to_string(c.sizeSeen) + ")"))
            << c.size << "/" << c.waiting;
    }
    EXPECT_EQ(clock.NowMs(), 0u) << "draining does not pause";
}

TEST_F(Connection, DrainGivesUpOnACardThatNeverStopsSending) {
    Open();
    const std::size_t perRead = 79; // an 80-character buffer and its terminator
    const std::size_t beyond = 500;
    fake.output.assign(MotionController::kDrainReadLimit * perRead + beyond, 'x');
    mc.DrainReplies(80);
    EXPECT_EQ(fake.CountOf("dorngets"), MotionController::kDrainReadLimit);
    EXPECT_EQ(fake.output.size(), beyond) << "the rest is left for the status cycle";
}

TEST_F(Connection, OutputIsReadInPiecesOfAtMost127Characters) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<char>('a' + i % 26);
    text += "\r";
    Open();
    fake.output = text;

    std::vector<std::string> pieces;
    for (std::string piece = mc.ReadOutput(); !piece.empty(); piece = mc.ReadOutput())
        pieces.push_back(piece);

    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], text.substr(0, 127));
    EXPECT_EQ(pieces[1], text.substr(127, 127));
    EXPECT_EQ(pieces[2], text.substr(254));
    EXPECT_EQ(fake.CallsOf("dorngets"), Lines(3, "dorngets(A, 127)"));
    EXPECT_EQ(fake.CountOf("dorngetc"), 4);
}

TEST_F(Connection, NothingWaitingOrAClosedChannelReadsAsNoText) {
    Open();
    EXPECT_EQ(mc.ReadOutput(), "");
    EXPECT_EQ(fake.calls, (Lines{"dorngetc(A)"})) << "no dorngets when no first character";

    fake.output = "a single character";
    mc.CloseController();
    // The fake answers -1 on a handle that is not open, as a card does: that is no character.
    EXPECT_EQ(mc.ReadOutput(), "");
    mc.DrainReplies(80); // ends although the library never says 0
    EXPECT_EQ(fake.output, "a single character");
}

// ---- Axes ---------------------------------------------------------------------------------

struct AxisCase {
    const char* what;
    std::function<double(MotionController&, std::int16_t)> op;
    std::string call; // with axis 2
    double result;    // with axis 2
};

void PrintTo(const AxisCase& c, std::ostream* os) {
    *os << c.what;
}

class AxisOperation : public Connection, public testing::WithParamInterface<AxisCase> {
protected:
    void SetUp() override {
        Connection::SetUp();
        fake.callResult = 9;
        fake.statuses[2] = 0x88;
        fake.positions[2] = 1.5;
        fake.optimals[2] = 1.75;
        fake.targets[2] = 2.25;
    }
};

TEST_P(AxisOperation, ForwardsOnAFittedAxisAndDoesNothingOnAxisZero) {
    const auto& c = GetParam();
    SCOPED_TRACE(c.what);
    Open();
    EXPECT_EQ(c.op(mc, 2), c.result);
    EXPECT_EQ(fake.calls, Lines{c.call});

    for (std::int16_t unfitted : {std::int16_t{0}, std::int16_t{-1}}) {
        fake.ClearCalls();
        EXPECT_EQ(c.op(mc, unfitted), 0.0);
        EXPECT_TRUE(fake.calls.empty()) << "axis " << unfitted;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AxisOperation,
    testing::Values(
        AxisCase{"direction", [](auto& m, auto a) { return m.SetDirection(a, 2); },
                 "KelvDirection(B, 2, 2)", 9},
        AxisCase{"enable", [](auto& m, auto a) { return m.EnableAxis(a, 1); },
                 "KelvEnableAxis(B, 2, 1)", 9},
        AxisCase{"go", [](auto& m, auto a) { return m.Go(a); }, "KelvGo(B, 2)", 9},
        AxisCase{"stop", [](auto& m, auto a) { return m.Stop(a); }, "KelvStop(B, 2)", 9},
        AxisCase{"move absolute", [](auto& m, auto a) { return m.MoveAbsolute(a, 2.5); },
                 "KelvMoveAbsolute(B, 2, 2.5)", 9},
        AxisCase{"move relative", [](auto& m, auto a) { return m.MoveRelative(a, -0.5); },
                 "KelvMoveRelative(B, 2, -0.5)", 9},
        AxisCase{"velocity", [](auto& m, auto a) { return m.SetVelocity(a, 1.25); },
                 "KelvSetVelocity(B, 2, 1.25)", 9},
        AxisCase{"acceleration", [](auto& m, auto a) { return m.SetAcceleration(a, 3); },
                 "KelvSetAcceleration(B, 2, 3)", 9},
        AxisCase{"deceleration", [](auto& m, auto a) { return m.SetDeceleration(a, 4); },
                 "KelvSetDeceleration(B, 2, 4)", 9},
        AxisCase{"velocity override", [](auto& m, auto a) { return m.SetVelocityOverride(a, 0.5); },
                 "KelvSetVelocityOverride(B, 2, 0.5)", 9},
        AxisCase{"operating mode", [](auto& m, auto a) { return m.SetOperatingMode(a, 0, 4); },
                 "KelvSetOperatingMode(B, 2, 0, 4)", 9},
        AxisCase{"status", [](auto& m, auto a) { return m.GetStatus(a); }, "KelvGetStatus(B, 2)",
                 0x88},
        AxisCase{"decode: axis error set",
                 [](auto& m, auto a) { return m.DecodeStatus(a, 0x88, KELV_COND_AXIS_ERROR); },
                 "KelvDecodeStatus(B, 136, 7)", 1},
        AxisCase{"current position", [](auto& m, auto a) { return m.GetPosition(a); },
                 "KelvGetPositionEx(B, 2)", 1.5},
        AxisCase{"optimal position", [](auto& m, auto a) { return m.GetOptimal(a); },
                 "KelvGetOptimalEx(B, 2)", 1.75},
        AxisCase{"target position", [](auto& m, auto a) { return m.GetTarget(a); },
                 "KelvGetTargetEx(B, 2)", 2.25}));

} // namespace
} // namespace morvik
