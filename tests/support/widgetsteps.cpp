#include "widgetsteps.h"

#include <QTest>

bool clickEntry(QListWidget *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        if (item->text() != text)
            continue;
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        return true;
    }
    return false;
}

QStringList entries(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->flags() & Qt::ItemIsEnabled)   // a greyed notice is no entry
            out << list->item(i)->text();
    }
    return out;
}
