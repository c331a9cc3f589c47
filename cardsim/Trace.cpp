#include "cardsim/Trace.h"

#include "cardsim/CardNumber.h"

#include <cstdio>
#include <cstdlib>

namespace morvik {

void CTrace::SetFile(const char* path) {
    if (path == nullptr) {
        resolved_ = false;
        path_.clear();
        return;
    }
    path_ = path;
    resolved_ = true;
}

void CTrace::Resolve() {
    if (!resolved_) {
        const char* env = std::getenv("KELVSIM_TRACE");
        path_ = env != nullptr ? env : "";
        resolved_ = true;
    }
}

bool CTrace::Enabled() {
    Resolve();
    return !path_.empty();
}

void CTrace::Write(const std::string& line) {
    if (!Enabled()) {
        return;
    }
    if (std::FILE* file = std::fopen(path_.c_str(), "a")) {
        std::fputs(line.c_str(), file);
        std::fputc('\n', file);
        std::fclose(file);
    }
}

std::string TraceHandle(int handle) {
    if (handle < 0) {
        return std::to_string(handle);
    }
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", static_cast<unsigned>(handle));
    return buffer;
}

std::string TraceText(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '"':
            out += "\\\"";
            break;
        default:
            if (u < 0x20 || u >= 0x7f) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\x%02x", u);
                out += buffer;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string TraceText(const char* text) {
    return text == nullptr ? std::string("NULL") : TraceText(std::string_view(text));
}

std::string TraceDouble(double value) {
    return FormatCardDouble(value, 6);
}

std::string TraceWord(std::uint32_t word) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08x", word);
    return buffer;
}

CTraceLine& CTraceLine::Arg(const std::string& value) {
    if (!first_) {
        text_ += ", ";
    }
    first_ = false;
    text_ += value;
    return *this;
}

CTraceLine& CTraceLine::Result(const std::string& value) {
    text_ += ") = ";
    text_ += value;
    return *this;
}

CTraceLine& CTraceLine::Output(const std::string& value) {
    text_ += " -> ";
    text_ += value;
    return *this;
}

} // namespace morvik
