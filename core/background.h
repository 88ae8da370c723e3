#pragma once
// The one way the program does work off the GUI thread: a job started on a
// thread of its own, handed back as a future. The future is the only
// hand-off: whatever the job used (a store adopted by it, a file it
// writes) is the GUI thread's again only after wait() or get(), which
// join the job. A future dropped unwaited waits for its job in its
// destructor, so no job outlives what it was given.
#include <future>
#include <type_traits>
#include <utility>

namespace Background {

template <class Work>
[[nodiscard]] std::future<std::invoke_result_t<std::decay_t<Work>>> start(Work &&work)
{
    return std::async(std::launch::async, std::forward<Work>(work));
}

} // namespace Background
