#pragma once
// The pictures of newly imported dishes that the source named only by a
// web address: fetched after the dishes are in (picturefetch.h), each kept
// in 图片 and given to its dish as it arrives.
#include "exchange/importrun.h"
#include "exchange/picturefetch.h"

#include <QObject>
#include <QTemporaryDir>

#include <atomic>

class ImportPictureFetch : public QObject {
    Q_OBJECT
public:
    ImportPictureFetch(Catalogue &catalogue, const PreparedImport &prepared, const ImportOutcome &outcome,
                       QObject *parent = nullptr);
    ~ImportPictureFetch() override;

    int jobs() const { return int(m_jobs.size()); }
    void start();
    // Stops the fetching (the dishes stay, without those pictures).
    void cancel();
    int notFetched() const { return m_notFetched; }
    const std::atomic<int> &doneCounter() const { return m_done; }
    const std::atomic<int> &totalCounter() const { return m_total; }

signals:
    void finished();

private:
    void give(int key, const QString &file);

    Catalogue &m_catalogue;
    QVector<PictureJob> m_jobs;
    QVector<qint64> m_ids;          // per dish of the import: its id, or 0
    QTemporaryDir m_scratch;
    PictureFetch *m_fetch = nullptr;
    int m_notFetched = 0;
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
};

// The same, waited for (the command line): how many could not be had.
int fetchImportPicturesNow(Catalogue &catalogue, const PreparedImport &prepared, const ImportOutcome &outcome);
