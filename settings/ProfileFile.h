// A profile file ("[SECTION]" lines followed by "KEY=value" lines) held in memory.
//
// The machine file and the settings file are both profile files; the registerable settings
// read and write their keys through this class, and their owners call Save once after
// writing a whole section or file. Machine files are also written on Windows and edited by
// hand, so the reader is forgiving the way the Windows profile functions are: names match
// without regard to case, blanks around names and values do not count, the first of two
// equal sections or keys is the one seen, CRLF and LF files both read and keep their line
// ends when rewritten. Comment lines (";") and everything not changed keep their order.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvik {

class CProfileFile {
public:
    // Longer than any profile file the station reads: a longer file reads as empty.
    static constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;

    // Loads the file; a file that is absent or cannot be read gives an empty profile, and so
    // does anything but a regular file (a FIFO or a device is never read from).
    explicit CProfileFile(std::string path);
    // An empty profile that Save writes to path, replacing whatever the file held.
    static CProfileFile Empty(std::string path);

    const std::string& Path() const { return path_; }

    // The value of the key, or defaultText when the key or its section is absent; the
    // result holds at most bufferSize - 1 characters, as a caller's buffer would (characters,
    // not bytes: a UTF-8 sequence counts as one and is never cut, Utf8Text.h).
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText, std::size_t bufferSize) const;

    // The decimal integer at the start of the value; defaultValue when the key is absent
    // or its value is empty, 0 when the value does not start with a number.
    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;

    // Sets the key's value in memory, creating section and key as needed (a new key goes at
    // the end of its section, a new section at the end of the file). Refuses, changing
    // nothing, a line break in any of the three texts, a key that is blank, contains "=" or
    // starts with "[" or ";", and a section name containing "]": each would make the file
    // read back differently or let a value inject keys and sections.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    bool HasSection(std::string_view section) const;
    // The names of the sections in file order (without the lines before the first one).
    std::vector<std::string> SectionNames() const;

    // Removes the section with every key in it (every copy of it, should the file hold the
    // same section twice: a surviving copy would otherwise shadow what is written next).
    void EraseSection(std::string_view section);

    // Writes the profile to its path atomically. True only when the new content is on disk;
    // on failure the file on disk is left as it was.
    bool Save() const;

    // The file's content exactly as Save writes it.
    std::string Text() const;

private:
    CProfileFile(std::string path, const std::string& content);

    struct Line {
        std::string text; // the line as it stands in the file, without its line end
        std::string key;  // blank-trimmed key of a "KEY=value" line; empty for other lines
        std::string value;
    };
    struct Section {
        std::string name; // blank-trimmed name between the brackets
        bool hasHeader = true;
        std::string header;
        std::vector<Line> lines;
    };

    void Parse(std::string_view content);
    void AddLine(std::string_view text);
    static Line KeyLine(std::string_view key, std::string_view value);
    static void AppendLine(Section& section, Line line);

    std::string path_;
    std::vector<Section> sections_; // sections_[0] holds the lines before the first header
    bool crlf_ = false;
    bool byteOrderMark_ = false;
};

} // namespace morvik
