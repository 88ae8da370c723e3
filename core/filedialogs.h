#pragma once
// The file dialogs of imports and exports, and the message at an export's
// end; reached through DialogService, which tests script.
#include "core/dialogs.h"

#include <QStringList>

class QFileDialog;

// Qt's own file dialog, not the platform's, and Chinese in every column:
// folders and files are named in Chinese ("文件夹", "JPG 文件"), and the
// size and date columns are wide enough for their whole text.
void dressFileDialog(QFileDialog &dialog);

// `folder`: where the chooser opens (the cook's home the first time); set
// to where the cook chose from.
QStringList chooseRecipeSources(QWidget *parent, QString &folder, bool &simplify);
// The picture chooser: `folder` as above, the cook's Pictures folder the
// first time.
QString choosePictureFile(QWidget *parent, QString &folder);
QString chooseExportTarget(QWidget *parent, DialogService::ExportTarget target, const QString &suggestedName,
                           QString &folder);
bool askOpenFolder(QWidget *parent, const QString &text);
