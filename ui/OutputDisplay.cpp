#include "ui/OutputDisplay.h"

#include "machine/Machine.h"

namespace morvik {

COutputDisplay::~COutputDisplay() {
    if (currentMachine != nullptr)
        currentMachine->OnViewDestroyed(ViewKind::ProgramView);
}

} // namespace morvik
