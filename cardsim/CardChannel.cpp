#include "cardsim/CardChannel.h"

#include <algorithm>
#include <cstring>

namespace morvik {

void CCardChannel::BeginText(TextHandler onEnd) {
    textHandler_ = std::move(onEnd);
    text_.clear();
    textTooLong_ = false;
}

void CCardChannel::Receive(std::string_view text, const CommandHandler& onCommand) {
    while (!text.empty()) {
        if (InText()) {
            ReceiveText(text);
        } else {
            ReceiveCommandText(text, onCommand);
        }
    }
}

void CCardChannel::ReceiveText(std::string_view& text) {
    const auto end = text.find(kEndOfText);
    const auto piece = text.substr(0, end);
    if (!textTooLong_ && text_.size() + piece.size() <= maxText_) {
        text_.append(piece);
    } else {
        textTooLong_ = true;
        text_.clear();
    }
    if (end == std::string_view::npos) {
        text = {};
        return;
    }
    text.remove_prefix(end + 1);
    auto handler = std::move(textHandler_);
    textHandler_ = nullptr;
    std::string done;
    done.swap(text_);
    handler(std::move(done), textTooLong_);
    textTooLong_ = false;
}

void CCardChannel::ReceiveCommandText(std::string_view& text, const CommandHandler& onCommand) {
    const auto end = text.find('\r');
    auto piece = text.substr(0, end);
    // A stray 0x1A outside a text ends nothing and is not part of a command.
    if (!commandTooLong_) {
        for (const char c : piece) {
            if (c != kEndOfText) {
                command_ += c;
            }
        }
        if (command_.size() > kMaxCommand) {
            commandTooLong_ = true;
            command_.clear();
        }
    }
    if (end == std::string_view::npos) {
        text = {};
        return;
    }
    text.remove_prefix(end + 1);
    std::string done;
    done.swap(command_);
    if (commandTooLong_) {
        commandTooLong_ = false;
        QueueLine("?ERR command too long");
        return;
    }
    onCommand(done);
}

void CCardChannel::Queue(std::string_view text) {
    if (dropReplies_ || Pending() + text.size() > maxOutput_) {
        return;
    }
    if (head_ > 0 && head_ * 2 > output_.size()) {
        output_.erase(0, head_);
        head_ = 0;
    }
    output_.append(text);
}

void CCardChannel::QueueLine(std::string_view line) {
    if (dropReplies_ || Pending() + line.size() + 1 > maxOutput_) {
        return;
    }
    Queue(line);
    Queue("\r");
}

void CCardChannel::Flush() {
    output_.clear();
    head_ = 0;
}

std::size_t CCardChannel::Read(char* buffer, std::size_t max) {
    const std::size_t count = std::min(max, Pending());
    std::memcpy(buffer, output_.data() + head_, count);
    head_ += count;
    if (head_ == output_.size()) {
        Flush();
    }
    return count;
}

int CCardChannel::ReadChar() {
    char c = 0;
    if (Read(&c, 1) == 0) {
        return 0;
    }
    return static_cast<unsigned char>(c);
}

void CCardChannel::Reset() {
    command_.clear();
    commandTooLong_ = false;
    textHandler_ = nullptr;
    text_.clear();
    textTooLong_ = false;
    Flush();
    dropReplies_ = false;
}

} // namespace morvik
