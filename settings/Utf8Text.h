// Text limits counted in characters. The machine file and the setup dialogs limit texts (a tool
// description holds 119 characters); an "Ø" or "°" is one character but two bytes of UTF-8, so
// a limit counted in bytes would take a text the dialog accepted and give it back shorter, or
// cut inside a character. Bytes that are not UTF-8 (a file written elsewhere, in Latin-1) count
// one character each, so such a text is never cut differently from how it was written.
#pragma once

#include <cstddef>
#include <string_view>

namespace morvik {

// The number of bytes of the first maxChars characters of text: a whole UTF-8 sequence counts
// as one character, every other byte as one.
std::size_t Utf8PrefixBytes(std::string_view text, std::size_t maxChars);

// The text's length in characters, counted as Utf8PrefixBytes counts them.
std::size_t Utf8Characters(std::string_view text);

} // namespace morvik
