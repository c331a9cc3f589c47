// The simulated card's own functions (KelvSim.h): for tests and developers, never called by
// the station, never traced.
#pragma GCC visibility push(default)
#include "cardsim/KelvSim.h"
#pragma GCC visibility pop

#include "cardsim/CardInstance.h"

using namespace morvik;

#pragma GCC visibility push(default)
extern "C" {

void KelvSimReset(void) {
    std::lock_guard lock(TheCardMutex());
    TheCard().Reset();
}

void KelvSimUseManualClock(int on) {
    std::lock_guard lock(TheCardMutex());
    TheCard().UseManualClock(on != 0);
}

void KelvSimAdvanceMs(uint32_t ms) {
    std::lock_guard lock(TheCardMutex());
    TheCard().AdvanceMs(ms);
}

void KelvSimSetInputs(uint32_t mask, uint32_t values) {
    std::lock_guard lock(TheCardMutex());
    TheCard().SetInputs(mask, values);
}

uint32_t KelvSimGetIoWord(void) {
    std::lock_guard lock(TheCardMutex());
    return TheCard().IoWord();
}

void KelvSimSetFault(int fault, int on) {
    std::lock_guard lock(TheCardMutex());
    TheCard().SetFault(fault, on != 0);
}

void KelvSimSetTraceFile(const char* path) {
    std::lock_guard lock(TheCardMutex());
    TheTrace().SetFile(path);
}

int KelvSimControllerFile(int number, char* buffer, int size) {
    std::lock_guard lock(TheCardMutex());
    return TheCard().ControllerFile(number, buffer, size);
}

uint64_t KelvSimNowMs(void) {
    std::lock_guard lock(TheCardMutex());
    TheCard().Sync();
    return TheCard().Clock().NowMs();
}

int KelvSimAxisState(int axis, double* optimal, double* current, double* velocity) {
    std::lock_guard lock(TheCardMutex());
    CCard& card = TheCard();
    card.Sync();
    if (axis < 1 || axis > kCardAxisCount || !card.State().axes[axis - 1].Fitted()) {
        return -1;
    }
    const CCardAxis& state = card.State().axes[axis - 1];
    if (optimal != nullptr) {
        *optimal = state.Optimal();
    }
    if (current != nullptr) {
        *current = state.Current();
    }
    if (velocity != nullptr) {
        *velocity = state.Speed();
    }
    return 0;
}

} // extern "C"
#pragma GCC visibility pop
