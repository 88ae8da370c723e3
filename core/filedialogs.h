#pragma once
// The file dialogs of imports and exports, and the message at an export's
// end; reached through DialogService, which tests script.
#include "core/dialogs.h"

#include <QStringList>

// `folder`: where the chooser opens (the cook's home the first time); set
// to where the cook chose from.
QStringList chooseRecipeSources(QWidget *parent, QString &folder, bool &simplify);
QString chooseExportTarget(QWidget *parent, DialogService::ExportTarget target, const QString &suggestedName,
                           QString &folder);
bool askOpenFolder(QWidget *parent, const QString &text);
