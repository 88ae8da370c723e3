#pragma once
// An export, the one sequence the export window and the command line both
// run: the catalogue read at one moment (on the caller's thread: the store
// is its), then the cookbook written in the background from that snapshot.
// The caller follows the writing (the window behind a progress dialog) and
// learns the end from finished().
#include "core/background.h"
#include "core/progress.h"
#include "exchange/exportcookbook.h"

#include <QFuture>
#include <QObject>

#include <memory>

class Catalogue;
template <class T>
class QFutureWatcher;

class ExportJob : public QObject {
    Q_OBJECT
public:
    // Why an export was not begun.
    enum class Refusal {
        None,
        Busy,             // another import or export runs
        Unreadable,       // the catalogue could not be read: see unreadable()
        NoSuchCategory,   // the category is not in the tree
    };

    // Every dish (`category` empty) or the dishes of one category, written
    // as `format` to `out`.
    ExportJob(Catalogue &catalogue, const QString &category, ExportFormat format, const QString &out,
              QObject *parent = nullptr);
    ~ExportJob() override;

    // Takes the catalogue's one import or export turn, reads what is
    // exported and begins writing; Refusal::None when begun.
    Refusal start();
    const QString &unreadable() const { return m_unreadable; }
    // After finished().
    const ExportOutcome &outcome() const { return m_outcome; }

signals:
    void writingBegun(QFuture<void> stage, std::shared_ptr<Progress> progress);
    void finished();

private:
    Catalogue &m_catalogue;
    QString m_category;
    ExportFormat m_format;
    QString m_out;
    bool m_turnHeld = false;
    QString m_unreadable;
    std::shared_ptr<Progress> m_progress;
    Background::Joined<ExportOutcome> m_writing;
    QFutureWatcher<ExportOutcome> *m_watcher = nullptr;
    ExportOutcome m_outcome;
};
