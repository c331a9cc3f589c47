// What a machine file would open as (CMachine::CheckOpen): a machine file, a new machine the
// operator agreed to start in a file that holds none, or nothing at all.
#pragma once

namespace morvik {

enum class MachineOpenCheck { MachineFile, NewMachine, Refused };

} // namespace morvik
