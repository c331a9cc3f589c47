#include "ui/HomingView.h"

#include "machine/Machine.h"

namespace morvik {

HomingView::~HomingView() {
    if (currentMachine != nullptr)
        currentMachine->OnViewDestroyed(ViewKind::HomingView);
}

} // namespace morvik
