// The card's ASCII channel: text arrives in pieces (dornputs) and is assembled into commands
// ending in "\r"; after a command that opens a text (LO n, LOF) everything up to the single
// character 0x1A is that text. Replies and program output wait in a queue of text that
// dorngets/dorngetc hand out. The channel never trusts its input: an overlong command or text
// is dropped with one error reply instead of growing without bound.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace morvik {

class CCardChannel {
public:
    static constexpr std::size_t kMaxCommand = 1024;
    static constexpr std::size_t kMaxText = 256u << 20; // one downloaded file or program
    static constexpr std::size_t kMaxOutput = 1u << 20; // text waiting to be read
    static constexpr char kEndOfText = 0x1A;

    // The limits are the card's; tests give smaller ones to reach them quickly.
    CCardChannel() = default;
    CCardChannel(std::size_t maxText, std::size_t maxOutput)
        : maxText_(maxText), maxOutput_(maxOutput) {}

    using CommandHandler = std::function<void(std::string_view command)>;
    // Receives the whole text, or nothing and overflowed = true when it was too long.
    using TextHandler = std::function<void(std::string&& text, bool overflowed)>;

    // Everything up to 0x1A will go to `onEnd` instead of being read as commands.
    void BeginText(TextHandler onEnd);
    void Receive(std::string_view text, const CommandHandler& onCommand);
    bool InText() const { return static_cast<bool>(textHandler_); }

    // Output. Nothing is queued while replies are dropped (a fault the tests inject).
    void Queue(std::string_view text);
    void QueueLine(std::string_view line); // adds the "\r"
    void Flush();
    std::size_t Pending() const { return output_.size() - head_; }
    // Up to `max` characters; returns how many were copied.
    std::size_t Read(char* buffer, std::size_t max);
    int ReadChar();

    void SetDropReplies(bool on) { dropReplies_ = on; }
    void Reset();

private:
    void ReceiveCommandText(std::string_view& text, const CommandHandler& onCommand);
    void ReceiveText(std::string_view& text);

    std::size_t maxText_ = kMaxText;
    std::size_t maxOutput_ = kMaxOutput;
    std::string command_;
    bool commandTooLong_ = false;
    TextHandler textHandler_;
    std::string text_;
    bool textTooLong_ = false;
    std::string output_;
    std::size_t head_ = 0;
    bool dropReplies_ = false;
};

} // namespace morvik
