#include "ui/PointerProbe.h"

#include <QGuiApplication>

#if defined(MORVIK_HAVE_XCB)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace morvik {

PointerButton LeftButtonNow() {
#if defined(MORVIK_HAVE_XCB) && QT_CONFIG(xcb)
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return PointerButton::Unknown;
    const xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
    if (screen.rem == 0)
        return PointerButton::Unknown;
    xcb_query_pointer_reply_t* reply = xcb_query_pointer_reply(
        connection, xcb_query_pointer(connection, screen.data->root), nullptr);
    if (reply == nullptr)
        return PointerButton::Unknown;
    const bool down = (reply->mask & XCB_BUTTON_MASK_1) != 0;
    std::free(reply);
    return down ? PointerButton::Down : PointerButton::Up;
#else
    return PointerButton::Unknown;
#endif
}

} // namespace morvik
