#include "mapwatch.h"

#include <QElapsedTimer>

#include <cstdlib>
#include <poll.h>
#include <xcb/damage.h>
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
    m_root = screens.data->root;
    const quint32 events = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &events);
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(m_connection, &xcb_damage_id);
    if (damage && damage->present) {
        std::free(xcb_damage_query_version_reply(
            m_connection, xcb_damage_query_version(m_connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        m_damageEvent = damage->first_event;
    }
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

MapWatch::Event MapWatch::nextEvent(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        xcb_generic_event_t *event = xcb_poll_for_event(m_connection);
        if (!event) {
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&fd, 1, int(ms - clock.elapsed()));
            continue;
        }
        const int type = event->response_type & 0x7f;
        Event seen;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (m_damageEvent >= 0 && created->parent == m_root)
                xcb_damage_create(m_connection, xcb_generate_id(m_connection), created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(m_connection);
        } else if (type == XCB_MAP_NOTIFY) {
            seen = {type, reinterpret_cast<xcb_map_notify_event_t *>(event)->window};
        } else if (m_damageEvent >= 0 && type == m_damageEvent + XCB_DAMAGE_NOTIFY) {
            seen = {Damaged, reinterpret_cast<xcb_damage_notify_event_t *>(event)->drawable};
        }
        std::free(event);
        if (seen.type >= 0)
            return seen;
    }
    return {};
}

bool MapWatch::mappedWithin(const QString &part, int ms)
{
    if (!m_connection)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        const Event event = nextEvent(int(ms - clock.elapsed()));
        if (event.type == XCB_MAP_NOTIFY && titleOf(event.window).contains(part)) {
            m_mapped = event.window;
            return true;
        }
    }
    return false;
}

bool MapWatch::waitForPainted(int timeoutMs)
{
    if (!m_connection || m_damageEvent < 0 || !m_mapped)
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const Event event = nextEvent(int(timeoutMs - clock.elapsed()));
        if (event.type == Damaged && event.window == m_mapped)
            return true;
    }
    return false;
}
