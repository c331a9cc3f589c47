// A small JSON text builder for the telemetry messages. Numbers are written in the C locale
// (std::to_chars) whatever the desktop's locale, strings are escaped and always come out as
// valid UTF-8 (a byte that is not part of a valid sequence, as a Latin-1 file name written on
// another system may hold, becomes U+FFFD), and a number JSON cannot carry (NaN, infinity)
// becomes null. The writer places the commas; the caller keeps keys and values paired.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvik {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    // The name of the next member of the open object.
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view text);
    JsonWriter& Number(double value);
    JsonWriter& Integer(std::int64_t value);
    JsonWriter& Unsigned(std::uint64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const { return text_; }
    std::string Take() { return std::move(text_); }

private:
    void BeforeValue();

    std::string text_;
    bool needComma_ = false;
};

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the bytes there do not
// form one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut short).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// The text as a JSON string literal, quotes included.
void AppendJsonString(std::string& out, std::string_view text);
// The shortest decimal text that reads back as the same double, or "null" when not finite.
void AppendJsonNumber(std::string& out, double value);

} // namespace morvik
