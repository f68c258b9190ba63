#include "app/ui/windows/taskbar_hint.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#if ORVEX_WINDOWS_XCB
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#endif

namespace orvex {

#if ORVEX_WINDOWS_XCB
namespace {

template <class T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name) {
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Window-manager protocol values of a _NET_WM_STATE request.
constexpr std::uint32_t kStateRemove = 0;
constexpr std::uint32_t kStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;

}  // namespace

void setSkipTaskbar(QWidget& window, bool skip) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) {
        return;
    }
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = internAtom(connection, "_NET_WM_STATE_SKIP_PAGER");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE || skipPager == XCB_ATOM_NONE) {
        return;
    }
    // The native window's own id: Qt may re-create the window underneath the widget (after
    // an always-on-top change), and the widget's id then names the old one.
    window.winId();
    const auto id = static_cast<xcb_window_t>(window.windowHandle()->winId());

    // The hint lives in the window's property, which the window manager reads when it takes
    // the window on. Qt merges its own states into what it finds there; the window manager
    // drops the property when the window is hidden, so the hint is written anew before every
    // show.
    std::vector<xcb_atom_t> atoms;
    Reply<xcb_get_property_reply_t> current(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 1024),
                               nullptr),
        &std::free);
    if (current && current->format == 32 && current->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
        atoms.assign(data, data + xcb_get_property_value_length(current.get()) / 4);
    }
    std::erase_if(atoms, [&](xcb_atom_t atom) { return atom == skipTaskbar || atom == skipPager; });
    if (skip) {
        atoms.push_back(skipTaskbar);
        atoms.push_back(skipPager);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());

    if (window.isVisible()) {
        // A window the manager has taken on is changed by asking the manager.
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr),
            &std::free);
        if (geometry) {
            xcb_client_message_event_t event{};
            event.response_type = XCB_CLIENT_MESSAGE;
            event.format = 32;
            event.window = id;
            event.type = state;
            event.data.data32[0] = skip ? kStateAdd : kStateRemove;
            event.data.data32[1] = skipTaskbar;
            event.data.data32[2] = skipPager;
            event.data.data32[3] = kSourceApplication;
            xcb_send_event(
                connection, 0, geometry->root,
                XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                reinterpret_cast<const char*>(&event));
        }
    }
    xcb_flush(connection);
}

#else

void setSkipTaskbar(QWidget&, bool) {}

#endif

}  // namespace orvex
