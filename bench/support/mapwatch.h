#pragma once
// Watches an X display for top-level windows being mapped, so that a cold
// start is timed to the moment its window is put on the screen, not to the
// next poll of another program (which also took turns on the cores with the
// program being timed).
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
        for (int waited = 0; waited < timeoutMs; waited += kSliceMs) {
            if (mappedWithin(part, kSliceMs))
                return true;
            if (!stillRunning())
                return false;
        }
        return false;
    }

private:
    static constexpr int kSliceMs = 100;
    bool mappedWithin(const QString &part, int ms);
    QString titleOf(quint32 window);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_netWmName = 0;
    quint32 m_utf8String = 0;
};
