#pragma once
// A long job followed with the cook: the window stays answering, and after
// a second a progress dialog shows how far the job has come; its 取消 asks
// the job to stop. The dialog follows the job's future with a watcher and
// goes when the future finishes.
#include "core/progress.h"

#include <QFuture>
#include <QString>

#include <memory>

class Catalogue;
class QWidget;

void followWithProgress(QWidget *parent, const QString &label, const QFuture<void> &stage,
                        std::shared_ptr<Progress> progress);

// What the cook is told when another import or export is asked for, or the
// program is to close, while one runs.
void tellExchangeRunning(QWidget *parent);
// True when no import or export runs; else the cook is told so.
bool noExchangeRunning(QWidget *parent, const Catalogue &catalogue);
