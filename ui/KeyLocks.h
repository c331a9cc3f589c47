// The keyboard's lock keys as the status bar shows them (CAP, NUM, SCRL). Linux keeps the
// state of each keyboard's lock lights under /sys/class/leds ("input3::capslock" and the
// like); a lock counts as on when any keyboard shows it lit. Where the lights cannot be read
// (no keyboard, a sandbox without /sys) every lock reads as off.
#pragma once

#include <string>

namespace morvik {

enum class KeyLock { Caps, Num, Scroll };

// Lights are looked for under ledsFolder; the default is the system's.
bool KeyLockOn(KeyLock lock, const std::string& ledsFolder = "/sys/class/leds");

} // namespace morvik
