#include "settings/AppInt.h"

#include "settings/NumberText.h"

namespace morvik {

void CAppInt::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

bool CAppInt::Write(CProfileFile& file) const {
    return registerable::WriteText(file, section_, key_, FormatInt(value_));
}

void CAppInt::Read(const CProfileFile& file) {
    value_ = ParseLeadingInt(registerable::ReadText(file, section_, key_, "0", kReadLimit));
}

void CAppInt::Init(std::int32_t value, const char* section, const char* key) {
    value_ = value;
    section_ = section;
    key_ = key;
}

} // namespace morvik
