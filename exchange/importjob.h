#pragma once
// An import from start to end, the one sequence the menu, a drop and the
// command line all run: the sources read in the background, a safety copy,
// every dish added in one transaction, the pictures of the dishes that came
// in kept in 图片 (in the background), those named only by an address
// fetched afterwards, and the tally the cook is told. The caller says how
// the safety copy is made and follows the long stages (the window behind a
// progress dialog); it learns the end from finished().
#include "core/background.h"
#include "core/progress.h"
#include "exchange/importrun.h"

#include <QFuture>
#include <QObject>
#include <QPromise>

#include <functional>
#include <memory>

class Catalogue;
class ImportPictureFetch;
template <class T>
class QFutureWatcher;

class ImportJob : public QObject {
    Q_OBJECT
public:
    enum class Stage { Reading, KeepingPictures, Fetching };
    enum class End {
        Done,           // the dishes are in (or there were none); see tally()
        Cancelled,      // the cook stopped the reading: nothing written
        NoSafetyCopy,   // safetyCopy said no: nothing written
        NotWritten,     // the store refused the dishes: nothing written
    };

    ImportJob(Catalogue &catalogue, const QStringList &paths, const QString &category, QObject *parent = nullptr);
    ~ImportJob() override;

    // Called before the dishes go in; true when they may.
    std::function<bool()> safetyCopy = [] { return true; };
    // Recipes in traditional characters stay so (else they are simplified).
    bool keepTraditional = false;

    // Takes the catalogue's one import or export turn and begins reading;
    // false, with nothing begun, when another import or export runs.
    bool start();

    End end() const { return m_end; }
    const PreparedImport &prepared() const { return m_prepared; }
    const ImportOutcome &outcome() const { return m_outcome; }
    const ImportTally &tally() const { return m_tally; }
    // Why the store refused the dishes (NotWritten).
    const QString &refusal() const { return m_refusal; }

signals:
    // A stage begins: it is over when `running` finishes; `progress`
    // counts its steps and takes the cook's 取消.
    void stageBegun(ImportJob::Stage stage, QFuture<void> running, std::shared_ptr<Progress> progress);
    void finished(ImportJob::End end);

private:
    void afterReading();
    void keepPictures();
    void afterKeeping();
    void fetchPictures();
    void finish(End end);

    Catalogue &m_catalogue;
    QStringList m_paths;
    QString m_category;
    bool m_turnHeld = false;
    std::shared_ptr<Progress> m_progress;
    Background::Joined<PreparedImport> m_reading;
    QFutureWatcher<PreparedImport> *m_readingWatcher = nullptr;
    Background::Joined<QVector<std::pair<int, QString>>> m_keeping;
    QFutureWatcher<QVector<std::pair<int, QString>>> *m_keepingWatcher = nullptr;
    ImportPictureFetch *m_fetch = nullptr;
    QPromise<void> m_fetching;
    PreparedImport m_prepared;
    ImportOutcome m_outcome;
    ImportTally m_tally;
    QString m_refusal;
    End m_end = End::Done;
};
