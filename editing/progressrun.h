#pragma once
// Long work off the window's thread: a job run through the background
// helper while the window stays answering; after a second a progress
// dialog follows the job, and its 取消 asks the job to stop.
#include "core/background.h"

#include <QString>

#include <atomic>
#include <functional>
#include <future>

class Catalogue;
class QWidget;

struct ProgressCounters {
    const std::atomic<int> *done = nullptr;
    const std::atomic<int> *total = nullptr;
    std::atomic<bool> *cancelled = nullptr;
};

// Keeps the events flowing until `finished` says so, with the dialog shown
// after a second.
void waitWithProgress(QWidget *parent, const QString &label, const ProgressCounters &counters,
                      const std::function<bool()> &finished);

template <class Job>
auto runWithProgress(QWidget *parent, const QString &label, const ProgressCounters &counters, Job job)
{
    auto result = Background::start(std::move(job));
    waitWithProgress(parent, label, counters, [&result] {
        return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    return result.get();
}


// The catalogue's one import or export, held while the turn lives. When
// another runs, the cook is told and the turn is empty.
class ExchangeTurn {
public:
    ExchangeTurn(QWidget *parent, Catalogue &catalogue);
    ~ExchangeTurn();
    ExchangeTurn(const ExchangeTurn &) = delete;
    ExchangeTurn &operator=(const ExchangeTurn &) = delete;
    explicit operator bool() const { return m_held; }

private:
    Catalogue &m_catalogue;
    bool m_held;
};

// True when no import or export runs; else the cook is told so.
bool noExchangeRunning(QWidget *parent, const Catalogue &catalogue);
