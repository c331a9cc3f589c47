// The text stream of a controller file (.CFG, .WRK, .TOL). The machine document's writers
// open the file, write the two header lines, prepare the stream here, then let every
// component append its block with ConfigStream::Line.
//
// Numbers go out as the card's configuration reader expects them whatever the user's locale:
// the stream is imbued with the C locale, doubles use the default float format (what "%.*g"
// writes) with the machine's setup precision as significant digits, integers plain decimal.
// Lines end in a single "\n": the files are opened in binary mode, so on this platform they
// hold LF line ends and the download sends each line with "\n" exactly as written.
#pragma once

#include "settings/NumberText.h"

#include <ostream>

namespace morvik {

struct ConfigStream {
    static constexpr char kLineEnd = '\n';
    // The stream's own default, kept when the setup precision is below 1.
    static constexpr int kDefaultPrecision = 6;

    // The significant digits a controller file is written with for a setup precision: the
    // stream's default below 1, and never more than the machine file is written with
    // (kMaxSignificantDigits) - a hand-edited SETUPPRECISION=2147483647 would otherwise have
    // every number padded out to gigabytes of digits.
    static int Precision(int setupPrecision) {
        if (setupPrecision < 1)
            return kDefaultPrecision;
        return setupPrecision > kMaxSignificantDigits ? kMaxSignificantDigits : setupPrecision;
    }

    // C locale, default float format, Precision(setupPrecision) digits. Returns out.
    static std::ostream& Prepare(std::ostream& out, int setupPrecision);

    // Writes the parts one after the other, then the line end.
    template <class... Parts> static std::ostream& Line(std::ostream& out, const Parts&... parts) {
        (out << ... << parts);
        return out << kLineEnd;
    }
};

} // namespace morvik
