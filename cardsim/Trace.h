// The simulated card's call trace. When a trace file is set (the environment variable
// KELVSIM_TRACE, read at the first library call, or KelvSimSetTraceFile), every call of a
// library function appends one line to it, opened in append mode per line so that a killed
// process still leaves the lines written so far. Calls of KelvSim* functions are not traced.
//
// Line format (stable: golden files of every layer compare it):
//   name(arg, arg, ...) = result[ -> output]
// Handles are hexadecimal ("0x101"; a negative handle in decimal), integers decimal, doubles
// as "%.6g" in the C locale, the I/O word as "0x%08x". Texts are in double quotes with
// backslash, double quote, "\r", "\n", 0x1A (as "\x1a") and every other control or non-ASCII
// byte ("\xHH") escaped. Arguments passed through a pointer appear as the value they point to
// (dorncmdex: the argument read with its type; KelvGetConfigurationEx: "size=N"); a pointer
// through which a call returns a value is not an argument of the line, unless it is NULL: then
// NULL stands in its place. Values a call returns through pointers follow " -> " when they
// were written: the text dorngets read, the reply of dornrpyex, the position of the position
// queries (0 for an axis that is not fitted), the I/O word, "type=N" of the configuration
// record. dorngetc's result is the character as a quoted text, or 0 when nothing was waiting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

class CTrace {
public:
    // nullptr: the file named by KELVSIM_TRACE (if any).
    void SetFile(const char* path);
    bool Enabled();
    void Write(const std::string& line);

private:
    void Resolve();

    bool resolved_ = false;
    std::string path_;
};

std::string TraceHandle(int handle);
std::string TraceText(std::string_view text);
std::string TraceText(const char* text); // NULL-safe
std::string TraceDouble(double value);
std::string TraceWord(std::uint32_t word);

// Builds one line: CTraceLine("dornputs").Arg(...).Result(...).Output(...).Text()
class CTraceLine {
public:
    explicit CTraceLine(std::string_view name) : text_(name) { text_ += '('; }
    CTraceLine& Arg(const std::string& value);
    CTraceLine& Arg(long long value) { return Arg(std::to_string(value)); }
    CTraceLine& Result(const std::string& value);
    CTraceLine& Result(long long value) { return Result(std::to_string(value)); }
    CTraceLine& Output(const std::string& value);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
    bool first_ = true;
};

} // namespace morvik
