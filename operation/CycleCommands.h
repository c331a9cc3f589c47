// The three cycle commands as the external controls fire them. MachineOperation implements it
// and dispatches by mode (Home: homing on Start; Run: the part program's cycle commands; other
// modes nothing), so an external button does exactly what the panel's button does.
#pragma once

namespace morvik {

class ICycleCommands {
public:
    virtual ~ICycleCommands() = default;
    virtual void Start() = 0;
    virtual void Block() = 0;
    virtual void FeedHold() = 0;
};

} // namespace morvik
