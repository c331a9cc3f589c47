// The three controller files the card reads instead of the machine file: configuration
// (.CFG), work coordinates (.WRK) and tool data (.TOL). This module forms their names and
// writes their text; CMachine writes the text to disk and downloads it (Machine.h), and the
// morvik-cfg tool writes the same text without a card.
//
// Names come from the document title: the title is cut at the last dot of its file name (a dot
// in a folder name never cuts) and the upper-case extension appended, with no length limit.
// So "mill.mch" gives "mill.CFG" and "C:\cnc.old\mill.mch" gives "C:\cnc.old\mill.CFG". A title
// without a folder names a file in the current directory.
#pragma once

#include <cstdint>
#include <ctime>
#include <ostream>
#include <string>
#include <string_view>

namespace morvik {

class CMachine;

enum class ControllerFile { Configuration, WorkCoordinates, ToolData };

struct ControllerFileInfo {
    const char* extension;   // ".CFG"
    const char* headerTitle; // follows the cut title in the first header line
    std::int32_t number;     // the card's controller file number
    const char* readCommand; // prefix of the read command, "RCF" gives "RCF100\r"
};

const ControllerFileInfo& InfoOf(ControllerFile file);

// The order in which a machine that is opened or created writes and downloads them.
inline constexpr ControllerFile kControllerFileOrder[] = {
    ControllerFile::Configuration, ControllerFile::WorkCoordinates, ControllerFile::ToolData};

// The title without the extension of its file name.
std::string CutTitle(std::string_view title);
// The cut title as the first header line names it: a control character (a line break in a
// file name is legal on Linux) becomes "?", since every line of the file goes to the card as
// a line of its own and must stay inside the comment.
std::string HeaderTitle(std::string_view title);
std::string ControllerFileName(std::string_view title, ControllerFile file);

// "December 09, 2026   10:05:07PM": full month, two-digit day, year, 12-hour time with AM or
// PM, in English whatever the user's locale.
std::string GeneratedDate(const std::tm& when);

// The whole text of one file: the two header lines, then the body. The stream is prepared for
// the card (C locale, the machine's setup precision) after the header. Writing the
// configuration file also sets the display formats of the axes and the cutter.
void WriteControllerText(CMachine& machine, ControllerFile file, const std::tm& when,
                         std::ostream& out);

} // namespace morvik
