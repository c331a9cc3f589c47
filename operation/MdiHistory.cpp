#include "operation/MdiHistory.h"

#include "settings/AtomicFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace morvik {

void MdiHistory::Add(const std::string& block) {
    if (entries_.empty() || entries_.back() != block)
        entries_.push_back(block);
    Trim();
    ResetRecall();
}

void MdiHistory::Assign(std::vector<std::string> entries) {
    entries_ = std::move(entries);
    Trim();
    ResetRecall();
}

void MdiHistory::Trim() {
    if (entries_.size() > kMaxEntries)
        entries_.erase(entries_.begin(), entries_.end() - static_cast<std::ptrdiff_t>(kMaxEntries));
}

std::optional<std::string> MdiHistory::Older(const std::string& typing) {
    if (!recalling_) {
        recalling_ = true;
        recall_ = entries_.size();
        typing_ = typing;
    }
    if (recall_ == 0)
        return std::nullopt;
    return entries_[--recall_];
}

std::optional<std::string> MdiHistory::Newer() {
    if (!recalling_)
        return std::nullopt;
    if (recall_ + 1 >= entries_.size()) {
        const std::string typed = typing_;
        ResetRecall();
        return typed;
    }
    return entries_[++recall_];
}

void MdiHistory::ResetRecall() {
    recalling_ = false;
    recall_ = entries_.size();
    typing_.clear();
}

std::string MdiHistory::FileFor(const std::string& machinePath) {
    if (machinePath.empty())
        return std::string();
    std::filesystem::path path(machinePath);
    path.replace_extension(".mdi");
    return path.string();
}

std::vector<std::string> MdiHistory::Read(const std::string& path) {
    std::vector<std::string> entries;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos)
            entries.push_back(line);
    }
    return entries;
}

bool MdiHistory::Write(const std::string& path, const std::vector<std::string>& entries) {
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return WriteFileAtomically(path, text);
}

} // namespace morvik
