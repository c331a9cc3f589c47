// The left mouse button as the window system knows it now, not as the events the station has
// received say (QGuiApplication::mouseButtons is only that): a release delivered elsewhere or
// never sent leaves Qt's state pressed. On X11 the X server is asked (one round trip, once per
// tick); on platforms that cannot be asked (VNC, Wayland, offscreen) the answer is Unknown and
// the jog's dead-man rule bounds a held button instead (operation/JogHoldWatch.h).
#pragma once

namespace morvik {

enum class PointerButton { Down, Up, Unknown };

PointerButton LeftButtonNow();

} // namespace morvik
