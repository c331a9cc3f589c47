#include "settings/AppDouble.h"

#include "settings/NumberText.h"

#include <cmath>

namespace morvik {

void CAppDouble::EraseSection(CProfileFile& file) const {
    registerable::EraseSection(file, section_);
}

bool CAppDouble::Write(CProfileFile& file, int precision) const {
    return registerable::WriteText(file, section_, key_, FormatG(value_, precision));
}

void CAppDouble::Read(const CProfileFile& file) {
    const double value =
        ParseLeadingDouble(registerable::ReadText(file, section_, key_, "0.0", kReadLimit));
    value_ = std::isfinite(value) ? value : initial_;
}

void CAppDouble::Init(double value, const char* section, const char* key) {
    value_ = value;
    initial_ = value;
    section_ = section;
    key_ = key;
}

} // namespace morvik
