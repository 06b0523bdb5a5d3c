#include "announced_frame.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>
#include <xcb/xcb.h>

namespace scanvale {

namespace {

// How long the window manager gets to answer; a live one answers within milliseconds.
constexpr int AnswerTimeoutMs = 500;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* x, std::string_view name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        x, xcb_intern_atom(x, 0, static_cast<uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The 32-bit values of a window's property of the given type; empty when it is missing.
std::vector<uint32_t> Values(xcb_connection_t* x, xcb_window_t window, xcb_atom_t property,
                             xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, property, type, 0, 4096), nullptr));
    if (!reply || reply->type != type || reply->format != 32) {
        return {};
    }
    const auto* first = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

// True when a window manager runs that says it estimates frames: its check window names
// itself (properties left behind by one that has ended name a window that is gone), and
// `request` is among the hints it supports.
bool ManagerOffers(xcb_connection_t* x, xcb_window_t root, xcb_atom_t request) {
    const xcb_atom_t check = Atom(x, "_NET_SUPPORTING_WM_CHECK");
    const std::vector<uint32_t> manager = Values(x, root, check, XCB_ATOM_WINDOW);
    if (manager.empty() || Values(x, manager.front(), check, XCB_ATOM_WINDOW) != manager) {
        return false;
    }
    const std::vector<uint32_t> supported =
        Values(x, root, Atom(x, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), request) != supported.end();
}

} // namespace

std::optional<QMargins> AnnouncedFrameMargins(QWidget& window) {
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || !window.isWindow()) {
        return std::nullopt;
    }
    xcb_connection_t* x = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x, xcb_get_geometry(x, id), nullptr));
    const xcb_atom_t request = Atom(x, "_NET_REQUEST_FRAME_EXTENTS");
    if (!geometry || request == XCB_ATOM_NONE || !ManagerOffers(x, geometry->root, request)) {
        return std::nullopt;
    }

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(x, 0, geometry->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);

    // The answer arrives as a property of the window; the window is not shown yet, so the
    // short wait holds up nothing the user could see.
    const xcb_atom_t extents = Atom(x, "_NET_FRAME_EXTENTS");
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    std::vector<uint32_t> answer;
    while ((answer = Values(x, id, extents, XCB_ATOM_CARDINAL)).size() < 4) {
        if (deadline.hasExpired()) {
            return std::nullopt;
        }
        QThread::msleep(2);
    }
    // Left, right, top, bottom, in the screen's own pixels.
    const qreal ratio = window.windowHandle()->devicePixelRatio();
    const auto scaled = [ratio](uint32_t pixels) {
        return static_cast<int>(std::lround(static_cast<qreal>(pixels) / ratio));
    };
    return QMargins(scaled(answer[0]), scaled(answer[2]), scaled(answer[1]), scaled(answer[3]));
}

} // namespace scanvale
