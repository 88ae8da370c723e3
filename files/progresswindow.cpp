#include "files/progresswindow.h"

#include "core/catalogue.h"
#include "core/dialogs.h"

#include <QFutureWatcher>
#include <QProgressDialog>

void followWithProgress(QWidget *parent, const QString &label, const QFuture<void> &stage,
                        std::shared_ptr<Progress> progress)
{
    auto *dialog = new QProgressDialog(label, QStringLiteral("取消"), 0, 0, parent);
    dialog->setObjectName(QStringLiteral("progress"));
    dialog->setWindowTitle(QStringLiteral("灶香居 2004"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(1000);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setValue(0);   // starts the second the dialog waits before it shows
    auto *watcher = new QFutureWatcher<void>(dialog);
    // One source (a folder, say) has no steps to show: the bar just runs.
    QObject::connect(watcher, &QFutureWatcherBase::progressRangeChanged, dialog, [dialog](int, int total) {
        if (total > 1)
            dialog->setMaximum(total);
    });
    QObject::connect(watcher, &QFutureWatcherBase::progressValueChanged, dialog, [dialog](int done) {
        if (dialog->maximum() > 1)
            dialog->setValue(qMin(done, dialog->maximum()));
    });
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [dialog, progress] {
        progress->cancel();
        dialog->setLabelText(QStringLiteral("正在取消…"));
        dialog->setCancelButton(nullptr);
    });
    QObject::connect(watcher, &QFutureWatcherBase::finished, dialog, [dialog] {
        dialog->hide();
        dialog->deleteLater();
    });
    watcher->setFuture(stage);
}

void tellExchangeRunning(QWidget *parent)
{
    tell(parent, QStringLiteral("正在导入或导出菜谱，请等它做完。"));
}

bool noExchangeRunning(QWidget *parent, const Catalogue &catalogue)
{
    if (catalogue.exchanging())
        tellExchangeRunning(parent);
    return !catalogue.exchanging();
}
