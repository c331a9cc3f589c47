// A controller library without a card: every function succeeds and does nothing. Opening
// gives two handles, the card always reports ready, queries read 0 and no text ever comes
// back. Tools that run the station's code for its files alone (morvik-cfg) use it, so that
// the machine document behaves exactly as with a card, minus the card.
#pragma once

#include "controller/KelvApiTable.h"

namespace morvik {

const KelvApiTable& OfflineKelvApi();

} // namespace morvik
