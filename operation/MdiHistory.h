// The blocks sent from the MDI command line, newest last, at most kMaxEntries, with the
// recall the command line's Up and Down keys walk through. The history belongs to a machine
// file: it is kept in a small text file beside it (FileFor: "mill.mch" -> "mill.mdi"), one
// block a line, written whole through a temporary file and a rename so that a crash never
// leaves half a history.
//
// Recall works as in a shell: Up steps to older blocks, Down back to newer ones and past the
// newest to the text that was being typed when the recall began. Adding a block (or Reset)
// ends the recall.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace morvik {

class MdiHistory {
public:
    static constexpr std::size_t kMaxEntries = 100;

    const std::vector<std::string>& Entries() const { return entries_; }

    // The block becomes the newest entry (a repeat of the newest is kept once); the oldest
    // entries beyond kMaxEntries are dropped. The recall starts over.
    void Add(const std::string& block);
    // Replaces the entries (the newest kMaxEntries of them are kept); the recall starts over.
    void Assign(std::vector<std::string> entries);

    // Up: the next older block, or nothing when there is none. typing is the command line's
    // text, given back by Newer once the recall is walked past the newest entry.
    std::optional<std::string> Older(const std::string& typing);
    // Down: the next newer block, the text typed before the recall after the newest, or
    // nothing when no recall is under way.
    std::optional<std::string> Newer();
    void ResetRecall();

    // The history file of a machine file: its name with the extension ".mdi" in place of its
    // own (a dot in a folder name is not an extension). Empty for a machine without a file.
    static std::string FileFor(const std::string& machinePath);
    // The entries of a history file; none when it is missing or unreadable. Blank lines are
    // skipped, line ends may be LF or CR LF.
    static std::vector<std::string> Read(const std::string& path);
    // Writes the entries, one a line; false when the file could not be written (it is then
    // left as it was).
    static bool Write(const std::string& path, const std::vector<std::string>& entries);

private:
    void Trim();

    std::vector<std::string> entries_;
    std::size_t recall_ = 0; // index of the entry shown; entries_.size() when none
    bool recalling_ = false;
    std::string typing_;
};

} // namespace morvik
