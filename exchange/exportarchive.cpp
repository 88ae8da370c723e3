// The cookbook archive: a zip with one folder a dish, each holding the
// dish's recipe.json and its picture as full.<ext>. The recipes are made
// one at a time as the zip is written, and the pictures read from their
// files then, so a catalogue of tens of thousands of dishes is written in
// little memory.
#include "exchange/exportwriters.h"

#include <QDateTime>
#include <QFile>

#include <zip.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>

namespace {

// One recipe.json, made when the zip asks for it and freed after.
struct RecipeSource {
    const ExportDish *dish = nullptr;
    QString image;
    Progress *progress = nullptr;
    time_t made = 0;
    QByteArray data;
    qint64 read = 0;
    zip_error_t error;
};

zip_int64_t serveRecipe(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *source = static_cast<RecipeSource *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        source->data = ExportWriting::recipeJson(*source->dish, source->image, true);
        source->read = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = qMin<qint64>(qint64(length), source->data.size() - source->read);
        std::memcpy(data, source->data.constData() + source->read, size_t(n));
        source->read += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        source->data = QByteArray();
        source->progress->stepDone();
        return 0;
    case ZIP_SOURCE_STAT: {
        auto *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        stat->mtime = source->made;
        stat->valid |= ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&source->error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&source->error);
        delete source;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        zip_error_set(&source->error, ZIP_ER_INVAL, 0);
        return -1;
    }
}

int cancelRequested(zip_t *, void *state)
{
    return static_cast<Progress *>(state)->cancelled() ? 1 : 0;
}

QString zipFailure(const QString &path, zip_error_t *error)
{
    const bool full = zip_error_code_system(error) == ENOSPC;
    return ExportWriting::writeFailure(path, QString::fromLocal8Bit(zip_error_strerror(error)), full);
}

struct Archive {
    zip_t *zip = nullptr;
    ~Archive()
    {
        if (zip)
            zip_discard(zip);
    }
};

bool addEntry(zip_t *zip, const QString &name, zip_source_t *source, bool stored)
{
    if (!source)
        return false;
    const zip_int64_t index = zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    // Pictures are compressed already; the text deflates well.
    constexpr zip_uint32_t Readable = 0100644u << 16;
    return zip_set_file_compression(zip, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) == 0
        && zip_file_set_external_attributes(zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, Readable) == 0;
}

// Adds the dish's folder; false when the zip refused an entry.
bool addDish(zip_t *zip, const ExportDish &dish, const QString &folder, Progress &progress,
             ExportOutcome &outcome)
{
    QString image;
    if (ExportWriting::pictureFound(dish.picturePath)) {
        image = QStringLiteral("full.") + ExportWriting::pictureSuffix(dish.picturePath);
        const QByteArray path = QFile::encodeName(dish.picturePath);
        if (!addEntry(zip, folder + QLatin1Char('/') + image, zip_source_file(zip, path.constData(), 0, -1), true))
            return false;
    } else if (!dish.picturePath.isEmpty()) {
        ++outcome.picturesMissing;
    }
    auto *recipe = new RecipeSource{&dish, image, &progress, time(nullptr), {}, 0, {}};
    zip_error_init(&recipe->error);
    zip_source_t *source = zip_source_function(zip, serveRecipe, recipe);
    if (!source) {
        zip_error_fini(&recipe->error);
        delete recipe;
        return false;
    }
    return addEntry(zip, folder + QStringLiteral("/recipe.json"), source, false);
}

} // namespace

ExportOutcome writeCookbookArchive(const ExportSnapshot &snapshot, const QString &path, Progress &progress)
{
    ExportOutcome outcome;
    int code = 0;
    Archive archive;
    archive.zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive.zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        outcome.error = zipFailure(path, &error);
        zip_error_fini(&error);
        return outcome;
    }
    zip_register_cancel_callback_with_state(archive.zip, cancelRequested, nullptr, &progress);
    QSet<QString> used;
    for (const ExportDish &dish : snapshot.dishes) {
        if (progress.cancelled())
            return outcome;
        if (!addDish(archive.zip, dish, safeFileName(dish.name, used), progress, outcome)) {
            outcome.error = zipFailure(path, zip_get_error(archive.zip));
            return outcome;
        }
    }
    if (zip_close(archive.zip) != 0) {
        if (!progress.cancelled())
            outcome.error = zipFailure(path, zip_get_error(archive.zip));
        return outcome;
    }
    archive.zip = nullptr;
    // A zip left with no entries is removed on closing: an empty cookbook
    // is still a zip, its end record alone.
    if (!QFile::exists(path)
        && !ExportWriting::writeFile(path, QByteArray("PK\x05\x06", 4) + QByteArray(18, '\0'), &outcome.error))
        return outcome;
    outcome.ok = true;
    outcome.dishes = int(snapshot.dishes.size());
    return outcome;
}
