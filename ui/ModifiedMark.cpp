#include "ui/ModifiedMark.h"

#include "machine/DocumentBase.h"
#include "ui/QtOperatorInterface.h"

namespace morvik {

void ModifiedMark::OnSnapshot(const MachineSnapshot&) {
    ui_.ShowMachineModified(document_.IsModified());
}

} // namespace morvik
