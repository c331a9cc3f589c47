#include "settings/AppString.h"

namespace morvik {

void CAppString::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

bool CAppString::Write(CProfileFile& file) const {
    return registerable::WriteText(file, section_, key_, value_);
}

void CAppString::Read(const CProfileFile& file) {
    value_ = registerable::ReadText(file, section_, key_, "0", kReadLimit);
}

void CAppString::Init(std::string value, const char* section, const char* key) {
    value_ = std::move(value);
    section_ = section;
    key_ = key;
}

} // namespace morvik
