#pragma once
// Watches an X display for top-level windows being mapped and first drawn
// into, so that a cold start is timed to the moment its window is put on
// the screen, and to the moment its first picture reaches it (the X DAMAGE
// extension: every new top-level window is watched from its creation), not
// to the next poll of another program (which also took turns on the cores
// with the program being timed).
#include <QString>

struct xcb_connection_t;

class MapWatch {
public:
    explicit MapWatch(const QString &display);
    ~MapWatch();
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    bool ok() const { return m_connection != nullptr; }
    // Forgets what happened so far (the windows of programs already gone).
    void drain();
    // Waits until a top-level window whose title holds `part` is mapped;
    // false after `timeoutMs` or when `stillRunning` says the program ended.
    template <class StillRunning>
    bool waitForMapped(const QString &part, int timeoutMs, StillRunning stillRunning)
    {
        for (int waited = 0; waited < timeoutMs; waited += SliceMs) {
            if (mappedWithin(part, SliceMs))
                return true;
            if (!stillRunning())
                return false;
        }
        return false;
    }
    // After waitForMapped: waits until something is first drawn into that
    // window after its map; false after `timeoutMs`.
    bool waitForPainted(int timeoutMs);

private:
    static constexpr int SliceMs = 100;
    bool mappedWithin(const QString &part, int ms);
    // The next event, or nullptr after `ms`; new top-level windows are
    // watched for drawing as they come.
    struct Event {
        int type = -1;   // an X event code, or Damaged
        quint32 window = 0;
    };
    static constexpr int Damaged = 1000;
    Event nextEvent(int ms);
    QString titleOf(quint32 window);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    quint32 m_netWmName = 0;
    quint32 m_utf8String = 0;
    int m_damageEvent = -1;     // the DAMAGE extension's first event code; -1 without it
    quint32 m_mapped = 0;       // the window waitForMapped found
};
