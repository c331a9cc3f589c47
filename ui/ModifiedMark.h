// The machine windows' mark of unsaved changes follows the machine document on each tick: a
// setup changed, a work zero set or a file saved shows in the titles within a tick, whoever
// changed the document and however.
#pragma once

#include "operation/MachineObserver.h"

namespace morvik {

class CDocumentBase;
class QtOperatorInterface;

class ModifiedMark : public MachineObserver {
public:
    ModifiedMark(const CDocumentBase& document, QtOperatorInterface& ui)
        : document_(document), ui_(ui) {}

    void OnSnapshot(const MachineSnapshot& snapshot) override;

private:
    const CDocumentBase& document_;
    QtOperatorInterface& ui_;
};

} // namespace morvik
