#pragma once
// The pictures of newly imported dishes that the source named only by a
// web address: fetched after the dishes are in (picturefetch.h), each kept
// in 图片 and given to its dish as it arrives.
#include "exchange/importrun.h"
#include "exchange/picturefetch.h"

#include "core/progress.h"

#include <QObject>
#include <QTemporaryDir>

class ImportPictureFetch : public QObject {
    Q_OBJECT
public:
    ImportPictureFetch(Catalogue &catalogue, const PreparedImport &prepared, const ImportOutcome &outcome,
                       QObject *parent = nullptr);
    ~ImportPictureFetch() override;

    int jobs() const { return int(m_jobs.size()); }
    // Fetches, a step of `progress` a picture; its 取消 stops the fetching
    // (the dishes stay, without those pictures). `progress` outlives this.
    void start(Progress &progress);
    int notFetched() const { return m_notFetched; }

signals:
    void finished();

private:
    void give(int key, const QString &file);

    Catalogue &m_catalogue;
    QVector<PictureJob> m_jobs;
    QVector<qint64> m_ids;          // per dish of the import: its id, or 0
    QTemporaryDir m_scratch;
    PictureFetch *m_fetch = nullptr;
    Progress *m_progress = nullptr;
    int m_notFetched = 0;
};
