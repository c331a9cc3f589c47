// The card's ASCII channel and its answers to whatever arrives: commands in pieces, texts up to
// 0x1A, the error replies, and hostile input that must never crash the card or wedge it.
#include "CardTestSupport.h"

#include "cardsim/CardChannel.h"
#include "cardsim/KelvSim.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik::test {
namespace {

std::string StoredFile(const CCard& card, int number) {
    std::string buffer(1 << 16, '\0');
    const int length = card.ControllerFile(number, buffer.data(), static_cast<int>(buffer.size()));
    return length < 0 ? "<none>" : buffer.substr(0, static_cast<std::size_t>(length));
}

class CardChannel : public CardTest {
protected:
    // The card still reads commands and answers them.
    void ExpectAnswering() {
        Send("\x1a\rFO\rNOPE\r");
        EXPECT_EQ(Output(), "?ERR unknown command: NOPE\r");
    }
};

TEST_F(CardChannel, CommandsAndTextsArriveInAnyPieces) {
    const std::vector<std::vector<std::string>> splits = {
        {"LO101\rabc\ndef\n\x1a"},
        {"L", "O1", "01\r", "abc\n", "def", "\n", "\x1a"},
        {"LO101\r", "abc\ndef\n\x1aRCF"},
    };
    for (const auto& pieces : splits) {
        SCOPED_TRACE(pieces.size());
        card.Reset();
        CardTest::SetUp();
        for (const auto& piece : pieces) {
            Send(piece);
        }
        EXPECT_EQ(StoredFile(card, 101), "abc\ndef\n");
        EXPECT_FALSE(card.State().ascii.InText());
    }
}

TEST_F(CardChannel, EachCommandIsAnsweredOrQuiet) {
    struct Case {
        const char* command;
        const char* reply;
    };
    const Case cases[] = {
        {"PC0,EF\r", ""},
        {"PC62,EN\r", ""},
        {"pc1,en\r", ""},
        {"  \r", ""},
        {"PC0\r", "?ERR PC: bad parameter 0\r"},
        {"PC999,EN\r", "?ERR PC: bad parameter 999,EN\r"},
        {"XYZ\r", "?ERR unknown command: XYZ\r"},
        {"FOO\r", "?ERR FO takes no argument\r"},
        {"RCF100\r", "?ERR RCF100: no controller file 100\r"},
        {"RWFx\r", "?ERR RWFX: bad file number\r"},
        {"RTF-1\r", "?ERR RTF-1: bad file number\r"},
        {"RUF\r", "?ERR RUF: bad program number \r"},
        {"RUF-2147483648\r", "?ERR RUF: bad program number -2147483648\r"},
        {"MC-1\r", "?ERR MC: bad macro number -1\r"},
        {"LOX\rG0 X1\r\x1a", "?ERR LO: bad file number X\r"},
        {"LOF5\r\x1a", "?ERR LOF takes no argument\r"},
        {"DROP\x1a\r", "?ERR unknown command: DROP\r"},
        {"\x01\x7f\r", "?ERR unknown command: ??\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Send(c.command);
        EXPECT_EQ(Output(), c.reply);
    }
    Send("XYZ\rFO\r");
    EXPECT_EQ(Output(), "") << "FO flushes the output";
}

TEST_F(CardChannel, ReadsHandOutTheQueueInOrder) {
    Send("A1\rB2\r");
    char buffer[8];
    EXPECT_EQ(card.Getc(CCard::kAsciiHandle), '?');
    EXPECT_EQ(card.Gets(CCard::kAsciiHandle, buffer, 8), 7);
    EXPECT_STREQ(buffer, "ERR unk");
    EXPECT_EQ(card.Gets(CCard::kAsciiHandle, buffer, 1), 0);
    EXPECT_STREQ(buffer, "") << "size 1 leaves room for the terminator only";
    EXPECT_EQ(Output(), "nown command: A1\r?ERR unknown command: B2\r");
    EXPECT_EQ(card.Getc(CCard::kAsciiHandle), 0);
    EXPECT_EQ(card.Gets(CCard::kAsciiHandle, buffer, 8), 0);
}

TEST_F(CardChannel, DroppedRepliesAndClosedHandlesReadNothing) {
    card.SetFault(KELVSIM_FAULT_DROP_REPLIES, true);
    Send("XYZ\r");
    EXPECT_EQ(Output(), "");
    card.SetFault(KELVSIM_FAULT_DROP_REPLIES, false);
    Send("XYZ\r");
    ASSERT_EQ(card.Close(CCard::kAsciiHandle), 0);
    char buffer[8] = "x";
    EXPECT_EQ(card.Gets(CCard::kAsciiHandle, buffer, 8), 0) << "a reader's loop always ends";
    EXPECT_EQ(card.Getc(CCard::kAsciiHandle), 0);
    EXPECT_EQ(card.Puts(CCard::kAsciiHandle, "FO\r"), KELVSIM_ERR_HANDLE);
    EXPECT_EQ(card.Close(CCard::kAsciiHandle), KELVSIM_ERR_HANDLE);
}

TEST_F(CardChannel, HostileInputNeverCrashesOrWedgesTheCard) {
    std::mt19937 random(7);
    auto bytes = [&random](std::size_t count, bool printable) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            const int c = printable ? 32 + int(random() % 95) : 1 + int(random() % 255);
            text += static_cast<char>(c);
        }
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"random bytes", bytes(100000, false)},
        {"random printable text with line ends", bytes(50000, true) + "\r\r\n"},
        {"a command longer than the card takes", std::string(5000, 'A') + "\r"},
        {"random configuration", "LO100\r" + bytes(20000, false) + "\x1aRCF100\r"},
        {"random work and tool files", "LO101\r" + bytes(5000, true) + "\x1aRWF101\rLO102\r" +
                                           bytes(5000, true) + "\x1aRTF102\r"},
        {"an end of text alone", "\x1a\x1a\x1a"},
        {"a load never ended", "LO7\rabc\n"},
        {"huge numbers everywhere",
         "LO100\rENGLISH\nXAXIS=99999999999\nXSCALE=1e308\nFEEDRATE=-nan\n\x1aRCF100\r"
         "RUF99999999999999\rMC99999999999\rPC99999999999,EN\r"},
    };
    Configure();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Send(c.text);
        Advance(10);
        Output();
        ExpectAnswering();
    }
}

TEST_F(CardChannel, RandomProgramLinesEndInAPartErrorOrFinish) {
    Configure();
    std::mt19937 random(11);
    Send(495, 1);
    for (int round = 0; round < 20; ++round) {
        std::string program = "O9\n";
        for (int line = 0; line < 20; ++line) {
            for (int i = 0; i < 12; ++i) {
                program += "GMXYZFIJRP0123456789.- ()/;%#"[random() % 29];
            }
            program += '\n';
        }
        LoadAndSelect(program, 9);
        Send(410);
        Advance(60000);
        EXPECT_NE(Status() & (kProgFinished | kProgPartError), 0u) << program;
        Output();
        ExpectAnswering();
    }
}

TEST(CardChannelLimits, OverlongTextsAndOutputAreDroppedWithOneReply) {
    CCardChannel channel(16, 64);
    std::vector<std::string> commands;
    std::string received = "none";
    const auto onCommand = [&commands](std::string_view c) { commands.emplace_back(c); };
    channel.Receive("A\r", onCommand);
    channel.BeginText([&received](std::string&& text, bool overflowed) {
        received = overflowed ? "overflowed" : text;
    });
    channel.Receive(std::string(10, 'x'), onCommand);
    channel.Receive(std::string(10, 'y') + "\x1a" + "B\r", onCommand);
    EXPECT_EQ(received, "overflowed");
    EXPECT_EQ(commands, (std::vector<std::string>{"A", "B"})) << "the channel reads on";

    for (int i = 0; i < 20; ++i) {
        channel.QueueLine("0123456789");
    }
    EXPECT_LE(channel.Pending(), 64u);
    EXPECT_EQ(channel.Pending() % 11, 0u) << "whole lines only";
}

TEST_F(CardChannel, BadArgumentsOnTheBinaryChannelAreRefused) {
    std::int32_t value = 0;
    double reply = 0;
    KELVCONFIG config{};
    EXPECT_EQ(card.Command(CCard::kBinaryHandle, 0, 460, nullptr, KELV_TYPE_INT32),
              KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.Command(CCard::kBinaryHandle, 0, 460, &value, 7), KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.Command(CCard::kBinaryHandle, 1, 460, &value, KELV_TYPE_INT32),
              KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.Command(CCard::kAsciiHandle, 0, 460, &value, KELV_TYPE_INT32),
              KELVSIM_ERR_HANDLE);
    EXPECT_EQ(card.Command(CCard::kBinaryHandle, 0, 999, &value, KELV_TYPE_INT32),
              KELVSIM_ERR_CODE);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(card.Command(CCard::kBinaryHandle, 0, 440, &nan, KELV_TYPE_DOUBLE),
              KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.Reply(CCard::kBinaryHandle, nullptr, KELV_TYPE_INT32), KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.Reply(CCard::kBinaryHandle, &reply, 3), KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.GetConfiguration(CCard::kBinaryHandle, nullptr), KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.GetConfiguration(CCard::kBinaryHandle, &config), KELVSIM_ERR_ARGUMENT)
        << "the record's size must be given";
    config.size = sizeof config;
    EXPECT_EQ(card.GetConfiguration(CCard::kBinaryHandle, &config), 0);
    EXPECT_EQ(config.controllerType, 1);
    for (const int channel : {0, 33, -1}) {
        EXPECT_EQ(card.SetOutput(CCard::kBinaryHandle, channel, 1), KELVSIM_ERR_ARGUMENT);
    }
    EXPECT_EQ(card.ReadIo(CCard::kBinaryHandle, nullptr), KELVSIM_ERR_ARGUMENT);
    EXPECT_EQ(card.IoWord(), 0u);
    EXPECT_EQ(card.Axis(CCard::kBinaryHandle, 1), nullptr) << "nothing configured yet";
    EXPECT_EQ(card.Open(0, 0x1234), -1);
    EXPECT_EQ(card.Open(3, KELV_MODE_BINARY), -1);
}

} // namespace
} // namespace morvik::test
