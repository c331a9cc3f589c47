// The persisted values of the machine description are small objects bound to a section and
// a key of a profile file. The machine document and its components save a section by erasing
// it through its first object and then writing every object of the section in a fixed order;
// they load by asking every object to read itself. No other code touches those keys.
//
// Section and key names are constant strings that outlive every object (literals or entries
// of constant tables): the objects only point at them. An object bound to no section (null
// section or key) writes nothing and reads as if its key were absent.
#pragma once

#include "settings/ProfileFile.h"

namespace morvik {

// A setting whose text needs no precision: integers, strings, unit selectors.
class CRegisterableItem {
public:
    // Removes the object's whole section, every key in it, not only this object's key.
    virtual void EraseSection(CProfileFile& file) const = 0;
    // Stores the value's text; false when the file refused it (then the file is unchanged).
    virtual bool Write(CProfileFile& file) const = 0;
    virtual void Read(const CProfileFile& file) = 0;

    virtual ~CRegisterableItem() = default;

protected:
    CRegisterableItem() = default;
    CRegisterableItem(const CRegisterableItem&) = default;
    CRegisterableItem& operator=(const CRegisterableItem&) = default;
};

// A setting written with a number of significant digits: floating values and quantities.
// The owners pass the machine's setup precision.
class CRegisterableItemWithPrecision {
public:
    virtual void EraseSection(CProfileFile& file) const = 0;
    virtual bool Write(CProfileFile& file, int precision) const = 0;
    virtual void Read(const CProfileFile& file) = 0;

    virtual ~CRegisterableItemWithPrecision() = default;

protected:
    CRegisterableItemWithPrecision() = default;
    CRegisterableItemWithPrecision(const CRegisterableItemWithPrecision&) = default;
    CRegisterableItemWithPrecision& operator=(const CRegisterableItemWithPrecision&) = default;
};

// The shared file operations of every kind, null section or key included.
namespace registerable {
void EraseSection(CProfileFile& file, const char* section);
bool WriteText(CProfileFile& file, const char* section, const char* key, std::string_view text);
// The key's text cut to limit characters, or defaultText when absent or unbound.
std::string ReadText(const CProfileFile& file, const char* section, const char* key,
                     std::string_view defaultText, std::size_t limit);
} // namespace registerable

} // namespace morvik
