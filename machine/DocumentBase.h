// What the desktop's document framework keeps for a document, without the framework: its
// title, the path of its file, the modified mark and the recently used file list. CMachine
// derives from it; the user interface shows the title in window captions and asks IsModified
// before closing.
//
// The title is what the controller file names are formed from: the file's name after an open
// (SetPathName), the full chosen path after Save As (SetTitle), the default title of a new,
// unsaved document.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace morvik {

inline constexpr const char* kDefaultMachineTitle = "Machine1";

// The most recently used files, newest first, without duplicates.
class CRecentFileList {
public:
    static constexpr std::size_t kCapacity = 4;

    void Add(const std::string& path);
    const std::deque<std::string>& Files() const { return files_; }

private:
    std::deque<std::string> files_;
};

class CDocumentBase {
public:
    explicit CDocumentBase(std::string defaultTitle = kDefaultMachineTitle);
    virtual ~CDocumentBase() = default;
    CDocumentBase(const CDocumentBase&) = delete;
    CDocumentBase& operator=(const CDocumentBase&) = delete;

    // Makes path the document's file; the title becomes FileTitle(path). The path is added to
    // the recently used list unless addToRecent is false.
    void SetPathName(const std::string& path, bool addToRecent = true);
    const std::string& GetPathName() const { return path_; }

    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& GetTitle() const { return title_; }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    const CRecentFileList& RecentFiles() const { return recent_; }

    // The file's name with its extension and without its folder; '/' and '\\' both separate
    // folders (machine files come from Windows too).
    static std::string FileTitle(const std::string& path);

private:
    std::string title_;
    std::string path_;
    bool modified_ = false;
    CRecentFileList recent_;
};

} // namespace morvik
