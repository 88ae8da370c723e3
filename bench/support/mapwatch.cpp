#include "mapwatch.h"

#include <QElapsedTimer>

#include <cstdlib>
#include <poll.h>
#include <xcb/xcb.h>

namespace {

quint32 atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(qstrlen(name)), name), nullptr);
    const quint32 a = reply ? reply->atom : 0;
    std::free(reply);
    return a;
}

} // namespace

MapWatch::MapWatch(const QString &display)
{
    int screenNumber = 0;
    m_connection = xcb_connect(display.toLocal8Bit().constData(), &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    const quint32 events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, screens.data->root, XCB_CW_EVENT_MASK, &events);
    m_netWmName = atom(m_connection, "_NET_WM_NAME");
    m_utf8String = atom(m_connection, "UTF8_STRING");
    xcb_flush(m_connection);
}

MapWatch::~MapWatch()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

void MapWatch::drain()
{
    if (!m_connection)
        return;
    // A round trip first, so that every event sent so far has come in.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
}

QString MapWatch::titleOf(quint32 window)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, m_netWmName, m_utf8String, 0, 1024), nullptr);
    QString title;
    if (reply && reply->format == 8)
        title = QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
    std::free(reply);
    return title;
}

bool MapWatch::mappedWithin(const QString &part, int ms)
{
    if (!m_connection)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        xcb_generic_event_t *event = xcb_poll_for_event(m_connection);
        if (!event) {
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, int(ms - clock.elapsed()));
            continue;
        }
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        const quint32 window = mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
        std::free(event);
        if (mapped && titleOf(window).contains(part))
            return true;
    }
    return false;
}
