// The card's ASCII commands. Each command ends in "\r"; successful commands are quiet unless
// they report something (the three file reads, the homing macro), anything the card cannot
// take gets one "?ERR ..." reply line.
#include "cardsim/Card.h"

#include "cardsim/CardNumber.h"
#include "cardsim/KelvSim.h"

#include <algorithm>
#include <cctype>

namespace morvik {

namespace {

constexpr std::size_t kMaxPrograms = 16;
constexpr int kMaxFileNumber = 9999;

std::string Upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

// A command as it may be quoted in a reply line: short, without control characters.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text.substr(0, 40)) {
        const auto u = static_cast<unsigned char>(c);
        out += (u < 0x20 || u >= 0x7f) ? '?' : c;
    }
    return out;
}

std::optional<int> FileNumber(std::string_view argument) {
    const auto n = ParseCardInt(argument);
    if (!n || *n < 0 || *n > kMaxFileNumber) {
        return std::nullopt;
    }
    return n;
}

} // namespace

std::int32_t CCard::Puts(KELVHANDLE h, const char* text) {
    Sync();
    if (!IsAscii(h)) {
        return KELVSIM_ERR_HANDLE;
    }
    if (text == nullptr) {
        return KELVSIM_ERR_ARGUMENT;
    }
    state_.ascii.Receive(text, [this](std::string_view command) { OnCommand(command); });
    return 0;
}

// dorngets and dorngetc answer 0 ("nothing read") on a handle that is not open, so that a
// reader's loop "until nothing comes" always ends.
std::int16_t CCard::Gets(KELVHANDLE h, char* buffer, int size) {
    Sync();
    if (!IsAscii(h) || buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::size_t count = state_.ascii.Read(buffer, static_cast<std::size_t>(size - 1));
    buffer[count] = '\0';
    return static_cast<std::int16_t>(count);
}

std::int16_t CCard::Getc(KELVHANDLE h) {
    Sync();
    return IsAscii(h) ? static_cast<std::int16_t>(state_.ascii.ReadChar()) : 0;
}

void CCard::OnCommand(std::string_view raw) {
    const std::string command = Upper(TrimCardText(raw));
    if (command.empty()) {
        return;
    }
    using Handler = void (*)(CCard&, std::string_view);
    struct Rule {
        const char* name;
        Handler handler;
    };
    // Longer names first: "LOF" before "LO".
    static const Rule rules[] = {
        {"LOF", [](CCard& c, std::string_view a) { c.CommandLoadProgram(a); }},
        {"LO", [](CCard& c, std::string_view a) { c.CommandLoadFile(a); }},
        {"RCF", [](CCard& c, std::string_view a) { c.CommandRead("RCF", a); }},
        {"RWF", [](CCard& c, std::string_view a) { c.CommandRead("RWF", a); }},
        {"RTF", [](CCard& c, std::string_view a) { c.CommandRead("RTF", a); }},
        {"RUF", [](CCard& c, std::string_view a) { c.CommandRun(a); }},
        {"MC", [](CCard& c, std::string_view a) { c.CommandMacro(a); }},
        {"PC", [](CCard& c, std::string_view a) { c.CommandParameter(a); }},
        {"FO",
         [](CCard& c, std::string_view a) {
             if (!TrimCardText(a).empty()) {
                 c.state_.ascii.QueueLine("?ERR FO takes no argument");
                 return;
             }
             c.state_.ascii.Flush();
         }},
    };
    for (const auto& rule : rules) {
        const std::string_view name(rule.name);
        if (std::string_view(command).substr(0, name.size()) == name) {
            rule.handler(*this, std::string_view(command).substr(name.size()));
            return;
        }
    }
    state_.ascii.QueueLine("?ERR unknown command: " + Printable(command));
}

// "LO n": the text up to 0x1A becomes controller file n. A bad number still takes the text
// (so that its lines are not read as commands) and drops it.
void CCard::CommandLoadFile(std::string_view argument) {
    const auto number = FileNumber(argument);
    if (!number) {
        state_.ascii.QueueLine("?ERR LO: bad file number " + Printable(argument));
        state_.ascii.BeginText([](std::string&&, bool) {});
        return;
    }
    state_.ascii.BeginText([this, n = *number](std::string&& text, bool overflowed) {
        if (overflowed) {
            state_.ascii.QueueLine("?ERR LO" + std::to_string(n) + ": file too large");
            return;
        }
        files_[n] = std::move(text);
    });
}

void CCard::CommandLoadProgram(std::string_view argument) {
    if (!TrimCardText(argument).empty()) {
        state_.ascii.QueueLine("?ERR LOF takes no argument");
    }
    state_.ascii.BeginText(
        [this](std::string&& text, bool overflowed) { StoreProgram(std::move(text), overflowed); });
}

void CCard::StoreProgram(std::string&& text, bool overflowed) {
    if (overflowed) {
        state_.ascii.QueueLine("?ERR LOF: program too large");
        return;
    }
    auto program = std::make_shared<const CCardProgram>(std::move(text));
    const int number = program->Number();
    if (programs_.count(number) == 0 && programs_.size() >= kMaxPrograms) {
        programs_.erase(programs_.begin());
    }
    programs_[number] = std::move(program);
}

void CCard::CommandRead(std::string_view name, std::string_view argument) {
    const std::string command = std::string(name) + Printable(argument);
    const auto number = FileNumber(argument);
    if (!number) {
        state_.ascii.QueueLine("?ERR " + command + ": bad file number");
        return;
    }
    const auto file = files_.find(*number);
    if (file == files_.end()) {
        state_.ascii.QueueLine("?ERR " + command + ": no controller file " +
                               std::to_string(*number));
        return;
    }
    if (runner_->OwnsAxes()) {
        state_.ascii.QueueLine("?ERR " + command + ": a program is moving the axes");
        return;
    }
    CCardReadResult result;
    if (name == "RCF") {
        result = ReadCardConfig(file->second, *number, state_.config);
        if (result.ok) {
            ApplyConfig();
            runner_->ConfigurationRead();
        }
    } else if (name == "RWF") {
        result = ReadCardWork(file->second, *number, state_.work);
    } else {
        result = ReadCardTools(file->second, *number, state_.tools);
    }
    state_.ascii.QueueLine(result.message);
}

// "RUF n" selects program -n (the station sends the negated number), or else program n.
void CCard::CommandRun(std::string_view argument) {
    const auto number = ParseCardInt(argument);
    if (!number || *number == std::numeric_limits<int>::min()) {
        state_.ascii.QueueLine("?ERR RUF: bad program number " + Printable(argument));
        return;
    }
    const auto state = runner_->State();
    if (state == CCardProgramState::Running || state == CCardProgramState::FeedHold) {
        state_.ascii.QueueLine("?ERR RUF: a program is running");
        return;
    }
    auto found = programs_.find(-*number);
    if (found == programs_.end()) {
        found = programs_.find(*number);
    }
    if (found == programs_.end()) {
        state_.ascii.QueueLine("?ERR RUF: no program " + std::to_string(-*number));
        return;
    }
    runner_->Select(found->second);
}

void CCard::CommandMacro(std::string_view argument) {
    const auto macro = ParseCardInt(argument);
    if (!macro || *macro < 0) {
        state_.ascii.QueueLine("?ERR MC: bad macro number " + Printable(argument));
        return;
    }
    if (!MotionAllowed()) {
        state_.ascii.QueueLine(activeSafety_ != 0 ? "?ERR MC: emergency stop"
                                                  : "?ERR MC: a program is moving the axes");
        return;
    }
    homing_->Start(*macro);
}

// "PCn,EN" / "PCn,EF": switch card parameter n on or off.
void CCard::CommandParameter(std::string_view argument) {
    const auto comma = argument.find(',');
    const auto number = ParseCardInt(argument.substr(0, comma));
    const auto flag = comma == std::string_view::npos ? std::string_view()
                                                      : TrimCardText(argument.substr(comma + 1));
    if (!number || *number < 0 || *number > 255 || (flag != "EN" && flag != "EF")) {
        state_.ascii.QueueLine("?ERR PC: bad parameter " + Printable(argument));
        return;
    }
    parameters_[*number] = flag == "EN";
}

} // namespace morvik
