#include "machine/ConfigStream.h"

#include <locale>

namespace morvik {

std::ostream& ConfigStream::Prepare(std::ostream& out, int setupPrecision) {
    out.imbue(std::locale::classic());
    out.unsetf(std::ios_base::floatfield);
    out.precision(Precision(setupPrecision));
    return out;
}

} // namespace morvik
