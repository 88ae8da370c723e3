#include "core/progress.h"

void Progress::begin(int total)
{
    m_done = 0;
    m_total = total;
    report();
}

void Progress::stepDone()
{
    ++m_done;
    report();
}

void Progress::cancel()
{
    if (m_cancelled.exchange(true))
        return;
    if (m_onCancel)
        m_onCancel();
}

void Progress::report() const
{
    if (m_report)
        m_report(m_done.load(), m_total.load());
}
