#pragma once
// Long work off the window's thread: a job run through the background
// helper while the window stays answering; after a second a progress
// dialog follows the job, and its 取消 asks the job to stop.
#include "core/background.h"

#include <QString>

#include <atomic>
#include <functional>
#include <future>

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

