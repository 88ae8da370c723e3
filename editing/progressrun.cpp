#include "editing/progressrun.h"

#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

void waitWithProgress(QWidget *parent, const QString &label, const ProgressCounters &counters,
                      const std::function<bool()> &finished)
{
    QProgressDialog dialog(label, QStringLiteral("取消"), 0, 0, parent);
    dialog.setObjectName(QStringLiteral("progress"));
    dialog.setWindowTitle(QStringLiteral("灶香居 2004"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(1000);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setValue(0);   // starts the second the dialog waits before it shows
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(30);
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (finished()) {
            loop.quit();
            return;
        }
        // One source (a folder, say) has no steps to show: the bar just runs.
        const int total = counters.total ? counters.total->load() : 0;
        if (total > 1 && dialog.maximum() != total)
            dialog.setMaximum(total);
        if (counters.done && total > 1)
            dialog.setValue(qMin(counters.done->load(), total));
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, &loop, [&] {
        if (counters.cancelled)
            *counters.cancelled = true;
        dialog.setLabelText(QStringLiteral("正在取消…"));
        dialog.setCancelButton(nullptr);
    });
    tick.start();
    if (!finished())
        loop.exec();
}

namespace {
// What the cook is told when another import or export is asked for, or the
// program is to close, while one runs.
const char *const ExchangeBusyText = "正在导入或导出菜谱，请等它做完。";
} // namespace

ExchangeTurn::ExchangeTurn(QWidget *parent, Catalogue &catalogue)
    : m_catalogue(catalogue), m_held(catalogue.beginExchange())
{
    if (!m_held)
        tell(parent, QString::fromUtf8(ExchangeBusyText));
}

ExchangeTurn::~ExchangeTurn()
{
    if (m_held)
        m_catalogue.endExchange();
}

bool noExchangeRunning(QWidget *parent, const Catalogue &catalogue)
{
    if (catalogue.exchanging())
        tell(parent, QString::fromUtf8(ExchangeBusyText));
    return !catalogue.exchanging();
}
