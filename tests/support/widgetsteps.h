#pragma once
// Steps the tests take the way the cook does: clicking list entries.
#include <QListWidget>
#include <QStringList>

// Clicks the first entry whose text is exactly `text`; false when there is none.
bool clickEntry(QListWidget *list, const QString &text);
// The list's entries, in order.
QStringList entries(const QListWidget *list);
