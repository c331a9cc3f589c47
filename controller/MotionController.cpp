#include "controller/MotionController.h"

#include "controller/StringTable.h"
#include "controller/Wait.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace morvik {

static_assert(sizeof(KELVCONFIG) == 128, "the card's configuration record is 128 bytes");

std::string AsciiCommand(const char* prefix, std::int32_t number) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    (void)ec; // 16 characters always hold a 32-bit number
    return std::string(prefix) + std::string(digits, end) + "\r";
}

MotionController::MotionController(const KelvApiTable& api, IClock& clock, IOperatorMessages& ui,
                                   std::int16_t controllerId)
    : api_(api), clock_(clock), ui_(ui), controllerId_(controllerId) {}

MotionController::~MotionController() {
    CloseController();
}

bool MotionController::OpenController() {
    auto fail = [this](int messageId) {
        ui_.ShowMessage(messageId);
        CloseController();
        return false;
    };
    KELVHANDLE binary = api_.KelvOpen(controllerId_, KELV_MODE_BINARY, 0);
    if (binary < 0)
        return fail(msg::UnableToOpenBinary);
    binaryHandle_ = binary;

    KELVCONFIG config{};
    config.size = sizeof(KELVCONFIG);
    if (api_.KelvGetConfigurationEx(binaryHandle_, &config) != 0)
        return fail(msg::UnableToOpenBinary);
    controllerType_ = config.controllerType;

    KELVHANDLE ascii = api_.KelvOpen(controllerId_, KELV_MODE_ASCII, 0);
    if (ascii < 0)
        return fail(msg::UnableToOpenAscii);
    asciiHandle_ = ascii;
    return true;
}

void MotionController::CloseController() {
    if (binaryHandle_ != 0)
        api_.KelvClose(binaryHandle_);
    binaryHandle_ = 0;
    if (asciiHandle_ != 0)
        api_.KelvClose(asciiHandle_);
    asciiHandle_ = 0;
}

bool MotionController::ReportIfNotAnswering(bool answered) {
    if (!answered)
        ui_.ShowMessage(msg::CardNotAnswering);
    return answered;
}

// ---- ASCII channel ------------------------------------------------------------------------

void MotionController::SendAscii(const std::string& text) {
    api_.dornputs(asciiHandle_, text.c_str());
}

bool MotionController::AsciiReady() {
    if (controllerType_ == kTypeNoReadyTest) {
        clock_.SleepMs(kTypeNoReadyTestSleepMs);
        return true;
    }
    return api_.dornrdy(asciiHandle_) == -1;
}

bool MotionController::WaitAsciiReady() {
    return ReportIfNotAnswering(
        PollUntil(clock_, kAsciiPollMs, kAsciiReadyLimitMs, [this] { return AsciiReady(); }));
}

void MotionController::DrainReplies(int bufferSize) {
    // At least room for one character and its terminator, at most what the 16-bit size holds.
    const int size = std::clamp(bufferSize, 2, int{std::numeric_limits<std::int16_t>::max()});
    std::vector<char> buffer(static_cast<size_t>(size));
    for (int reads = 0; reads < kDrainReadLimit; ++reads) {
        if (api_.dorngets(asciiHandle_, buffer.data(), static_cast<std::int16_t>(size)) <= 0)
            return;
    }
}

std::string MotionController::ReadOutput() {
    // A negative result is the library's error (a closed handle, say), not a character: taking it
    // as text would keep the idle handler reading forever.
    const std::int16_t first = api_.dorngetc(asciiHandle_);
    if (first <= 0)
        return std::string();
    char buffer[kOutputBufferSize] = {};
    buffer[0] = static_cast<char>(first);
    api_.dorngets(asciiHandle_, buffer + 1, kOutputBufferSize - 1);
    buffer[kOutputBufferSize - 1] = '\0'; // whatever the library wrote, the text ends here
    return std::string(buffer, strnlen(buffer, kOutputBufferSize));
}

// Each line goes out whole with one "\n" in place of its line end (LF or CR LF). A last line
// without a line feed is sent too, and a line longer than 255 characters is neither cut nor
// split: losing or altering part of a configuration would be worse than a long line.
void MotionController::SendLines(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line += '\n';
        SendAscii(line);
    }
}

DownloadResult MotionController::DownloadFile(const std::string& path, std::int32_t fileNumber) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return DownloadResult::FileNotOpened;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return DownloadResult::FileNotOpened;
    SendAscii(AsciiCommand("LO", fileNumber));
    if (!WaitAsciiReady()) {
        // The card was told to take file text. Without the end-of-text character every later
        // command (the read command, the next download) would be stored as part of this file.
        SendAscii(kEndOfText);
        return DownloadResult::CardNotReady;
    }
    SendLines(in);
    in.close();
    SendAscii(kEndOfText);
    SleepUntil(clock_, clock_.NowMs() + kAfterDownloadMs);
    return DownloadResult::Sent;
}

// ---- Binary channel -----------------------------------------------------------------------

void MotionController::SendBinary(std::int32_t code, double argument, std::int16_t type) {
    if (type == KELV_TYPE_DOUBLE) {
        api_.dorncmdex(binaryHandle_, 0, code, &argument, type);
        return;
    }
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    std::int32_t value = std::isnan(argument)
                             ? 0
                             : static_cast<std::int32_t>(std::lround(std::clamp(argument, lo, hi)));
    api_.dorncmdex(binaryHandle_, 0, code, &value, KELV_TYPE_INT32);
}

double MotionController::QueryBinary(std::int32_t code, std::int16_t type) {
    SendBinary(code, 0, KELV_TYPE_INT32);
    if (type == KELV_TYPE_DOUBLE) {
        double reply = 0;
        api_.dornrpyex(binaryHandle_, &reply, KELV_TYPE_DOUBLE);
        return reply;
    }
    std::int32_t reply = 0;
    api_.dornrpyex(binaryHandle_, &reply, KELV_TYPE_INT32);
    return reply;
}

std::int32_t MotionController::QueryInt(std::int32_t code) {
    return static_cast<std::int32_t>(QueryBinary(code, KELV_TYPE_INT32));
}

double MotionController::QueryDouble(std::int32_t code) {
    return QueryBinary(code, KELV_TYPE_DOUBLE);
}

std::optional<std::int32_t> MotionController::TryQueryInt(std::int32_t code) {
    std::int32_t zero = 0;
    if (api_.dorncmdex(binaryHandle_, 0, code, &zero, KELV_TYPE_INT32) != 0)
        return std::nullopt;
    std::int32_t reply = 0;
    if (api_.dornrpyex(binaryHandle_, &reply, KELV_TYPE_INT32) != 0)
        return std::nullopt;
    return reply;
}

std::optional<double> MotionController::TryQueryDouble(std::int32_t code) {
    std::int32_t zero = 0;
    if (api_.dorncmdex(binaryHandle_, 0, code, &zero, KELV_TYPE_INT32) != 0)
        return std::nullopt;
    double reply = 0;
    if (api_.dornrpyex(binaryHandle_, &reply, KELV_TYPE_DOUBLE) != 0)
        return std::nullopt;
    return reply;
}

bool MotionController::BinaryReady() {
    return api_.dornrdy(binaryHandle_) != 0;
}

bool MotionController::WaitBinaryReady(std::uint32_t limitMs) {
    return ReportIfNotAnswering(
        PollUntil(clock_, kBinaryPollMs, limitMs, [this] { return BinaryReady(); }));
}

bool MotionController::AbortProgramAndWait(std::uint32_t limitMs) {
    AbortProgram();
    return WaitBinaryReady(limitMs);
}

} // namespace morvik
