// The one card behind the exported C functions of libkelvapi32.so, its trace and the lock
// that keeps calls from different threads (tests, a future worker) from interleaving.
#pragma once

#include "cardsim/Card.h"
#include "cardsim/Trace.h"

#include <mutex>

namespace morvik {

CCard& TheCard();
CTrace& TheTrace();
std::mutex& TheCardMutex();

} // namespace morvik
