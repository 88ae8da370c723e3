#pragma once
// How far a long job has come, in the one shape every job uses: steps done
// of a total, and whether the cook asked it to stop. The job counts from
// any thread (an import reads its sources side by side); the window learns
// of each step through the job's future (core/background.h), and the
// command line, which shows none, gives the job a Progress all the same.
#include <atomic>
#include <functional>

class Progress {
public:
    // Begins the count again: none of `total` steps done.
    void begin(int total);
    // One step more done.
    void stepDone();
    int done() const { return m_done.load(); }
    int total() const { return m_total.load(); }

    // The cook's 取消: the job stops at its next step and hands back what it
    // did, so that it can undo it or say how far it came.
    void cancel();
    bool cancelled() const { return m_cancelled.load(); }

    // Told of every change of the count, on the thread that counts; set
    // before the job starts and cleared after it ends.
    void setReport(std::function<void(int done, int total)> report) { m_report = std::move(report); }
    // Called on the cook's 取消, on the thread that cancels: for a job that
    // is not counted on a thread of its own but waits on events.
    void setOnCancel(std::function<void()> onCancel) { m_onCancel = std::move(onCancel); }

private:
    void report() const;

    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    std::atomic<bool> m_cancelled{false};
    std::function<void(int, int)> m_report;
    std::function<void()> m_onCancel;
};
