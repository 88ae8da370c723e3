// A long job's progress: its steps reach the window through the future,
// the cook's 取消 stops it with what it did handed back, and the progress
// dialog goes when the job is over.
#include "core/background.h"
#include "files/progresswindow.h"

#include <QFutureWatcher>
#include <QProgressDialog>
#include <QPushButton>
#include <QSemaphore>
#include <QtTest>

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void stepsReachTheWatcherAndTheResultArrives()
    {
        auto progress = std::make_shared<Progress>();
        QFuture<int> job = Background::start(progress, [progress] {
            progress->begin(5);
            for (int i = 0; i < 5; ++i)
                progress->stepDone();
            return 42;
        });
        QFutureWatcher<int> watcher;
        QList<int> seen;
        int maximum = 0;
        connect(&watcher, &QFutureWatcherBase::progressRangeChanged, this, [&](int, int max) { maximum = max; });
        connect(&watcher, &QFutureWatcherBase::progressValueChanged, this, [&](int value) { seen << value; });
        QSignalSpy finished(&watcher, &QFutureWatcherBase::finished);
        watcher.setFuture(job);
        QTRY_COMPARE(finished.size(), 1);
        QCOMPARE(job.result(), 42);
        QCOMPARE(maximum, 5);
        QVERIFY(!seen.isEmpty() && seen.last() == 5);   // the watcher may skip steps, never the last
        QCOMPARE(progress->done(), 5);
    }

    // A cancelled job still hands back its result: an export must say it
    // cleaned up, an import that nothing changed.
    void cancelStopsTheJobAndKeepsItsResult()
    {
        auto progress = std::make_shared<Progress>();
        QSemaphore begun;
        QFuture<int> job = Background::start(progress, [progress, &begun] {
            int steps = 0;
            begun.release();
            while (!progress->cancelled()) {
                progress->stepDone();
                ++steps;
                QThread::msleep(1);
            }
            return steps;
        });
        begun.acquire();
        progress->cancel();
        job.waitForFinished();
        QVERIFY(job.resultCount() == 1 && job.result() >= 0);
        QVERIFY(progress->cancelled());
    }

    void theDialogGoesWithTheJobAndItsCancelStopsIt()
    {
        QWidget window;
        window.show();
        auto progress = std::make_shared<Progress>();
        QSemaphore release;
        QFuture<void> job = Background::start(progress, [progress, &release] {
            while (!progress->cancelled())
                release.tryAcquire(1, 5);
        });
        followWithProgress(&window, QStringLiteral("正在读取菜谱…"), job, progress);
        auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("progress"));
        QVERIFY(dialog);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 5000);   // after its second
        QCOMPARE(dialog->labelText(), QStringLiteral("正在读取菜谱…"));
        dialog->findChild<QPushButton *>()->click();
        QTRY_VERIFY(job.isFinished());
        QVERIFY(progress->cancelled());
        QTRY_VERIFY(!window.findChild<QProgressDialog *>());
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
