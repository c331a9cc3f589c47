#include "machine/DocumentBase.h"

#include <algorithm>

namespace morvik {

void CRecentFileList::Add(const std::string& path) {
    files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
    files_.push_front(path);
    if (files_.size() > kCapacity)
        files_.pop_back();
}

CDocumentBase::CDocumentBase(std::string defaultTitle) : title_(std::move(defaultTitle)) {}

void CDocumentBase::SetPathName(const std::string& path, bool addToRecent) {
    path_ = path;
    title_ = FileTitle(path);
    if (addToRecent)
        recent_.Add(path);
}

std::string CDocumentBase::FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace morvik
