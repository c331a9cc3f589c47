#include "settings/ProfileFile.h"

#include "settings/AtomicFile.h"
#include "settings/NumberText.h"
#include "settings/RegularFile.h"
#include "settings/Utf8Text.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iterator>

namespace morvik {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// ASCII only: names in these files are plain upper-case words, and the user's locale must
// not change which key is found.
char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool IsValidKey(std::string_view key) {
    const std::string_view trimmed = Trim(key);
    return !trimmed.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           trimmed.front() != '[' && trimmed.front() != ';';
}

bool IsValidSection(std::string_view section) {
    return !HasLineBreak(section) && section.find(']') == std::string_view::npos;
}

// Anything that cannot be read (absent, a folder, a FIFO or device, longer than any profile
// file, an I/O error) reads as an empty file.
std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    ReadRegularFile(path, CProfileFile::kMaxBytes, &bytes);
    return bytes;
}

// First section of that name, or null; Sections is the const or mutable section list.
template <class Sections> auto FindSection(Sections& sections, std::string_view name) {
    name = Trim(name);
    auto found = std::find_if(sections.begin(), sections.end(), [&](const auto& section) {
        return section.hasHeader && EqualNoCase(section.name, name);
    });
    return found == sections.end() ? nullptr : &*found;
}

// First line of the section holding that key, or null.
template <class Section> auto FindKey(Section* section, std::string_view key) {
    key = Trim(key);
    using LinePtr = decltype(&section->lines.front());
    if (!section) {
        return LinePtr{};
    }
    auto found = std::find_if(section->lines.begin(), section->lines.end(), [&](const auto& line) {
        return !line.key.empty() && EqualNoCase(line.key, key);
    });
    return found == section->lines.end() ? LinePtr{} : &*found;
}

} // namespace

CProfileFile::CProfileFile(std::string path) : CProfileFile(path, ReadWholeFile(path)) {}

CProfileFile CProfileFile::Empty(std::string path) {
    return CProfileFile(std::move(path), std::string());
}

CProfileFile::CProfileFile(std::string path, const std::string& content) : path_(std::move(path)) {
    std::string_view view = content;
    byteOrderMark_ = view.starts_with(kByteOrderMark);
    if (byteOrderMark_) {
        view.remove_prefix(kByteOrderMark.size());
    }
    Parse(view);
}

void CProfileFile::Parse(std::string_view content) {
    sections_.assign(1, Section{});
    sections_.front().hasHeader = false;
    const std::size_t firstBreak = content.find('\n');
    crlf_ =
        firstBreak != std::string_view::npos && firstBreak > 0 && content[firstBreak - 1] == '\r';
    while (!content.empty()) {
        const std::size_t end = std::min(content.find('\n'), content.size());
        std::string_view text = content.substr(0, end);
        content.remove_prefix(std::min(end + 1, content.size()));
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
        }
        AddLine(text);
    }
}

// A "[NAME]" line opens a section; a "KEY=value" line is a key unless it is a ";" comment;
// every other line is kept as it stands.
void CProfileFile::AddLine(std::string_view text) {
    const std::string_view trimmed = Trim(text);
    if (trimmed.starts_with('[')) {
        const std::string_view inner = trimmed.substr(1, trimmed.find(']') - 1);
        sections_.push_back(Section{std::string(Trim(inner)), true, std::string(text), {}});
        return;
    }
    Line line{std::string(text), {}, {}};
    const std::size_t equals = trimmed.find('=');
    if (!trimmed.starts_with(';') && equals != std::string_view::npos) {
        line.key = Trim(trimmed.substr(0, equals));
        line.value = Trim(trimmed.substr(equals + 1));
    }
    sections_.back().lines.push_back(std::move(line));
}

CProfileFile::Line CProfileFile::KeyLine(std::string_view key, std::string_view value) {
    return Line{std::string(key) + "=" + std::string(value), std::string(key),
                std::string(Trim(value))};
}

std::string CProfileFile::GetString(std::string_view section, std::string_view key,
                                    std::string_view defaultText, std::size_t bufferSize) const {
    const auto* line = FindKey(FindSection(sections_, section), key);
    const std::string_view text = line ? std::string_view(line->value) : defaultText;
    return std::string(text.substr(0, Utf8PrefixBytes(text, bufferSize == 0 ? 0 : bufferSize - 1)));
}

int CProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
    const auto* line = FindKey(FindSection(sections_, section), key);
    if (!line || line->value.empty()) {
        return defaultValue;
    }
    return ParseLeadingInt(line->value);
}

void CProfileFile::AppendLine(Section& section, Line line) {
    // After the last line that is not blank, so that blank lines separating this section
    // from the next one stay where they are.
    auto lastUsed = std::find_if(section.lines.rbegin(), section.lines.rend(),
                                 [](const Line& line) { return !Trim(line.text).empty(); });
    section.lines.insert(lastUsed.base(), std::move(line));
}

bool CProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    if (!IsValidSection(section) || !IsValidKey(key) || HasLineBreak(value)) {
        return false;
    }
    section = Trim(section);
    key = Trim(key);
    Section* found = FindSection(sections_, section);
    if (!found) {
        sections_.push_back(
            Section{std::string(section), true, "[" + std::string(section) + "]", {}});
        found = &sections_.back();
    }
    if (Line* line = FindKey(found, key)) {
        *line = KeyLine(key, value);
    } else {
        AppendLine(*found, KeyLine(key, value));
    }
    return true;
}

bool CProfileFile::HasSection(std::string_view section) const {
    return FindSection(sections_, section) != nullptr;
}

std::vector<std::string> CProfileFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            names.push_back(section.name);
        }
    }
    return names;
}

void CProfileFile::EraseSection(std::string_view section) {
    section = Trim(section);
    std::erase_if(sections_,
                  [&](const Section& s) { return s.hasHeader && EqualNoCase(s.name, section); });
}

std::string CProfileFile::Text() const {
    const std::string_view eol = crlf_ ? "\r\n" : "\n";
    std::string text = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            text.append(section.header).append(eol);
        }
        for (const Line& line : section.lines) {
            text.append(line.text).append(eol);
        }
    }
    return text;
}

bool CProfileFile::Save() const {
    return WriteFileAtomically(path_, Text());
}

} // namespace morvik
