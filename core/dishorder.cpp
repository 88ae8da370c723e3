#include "core/dishorder.h"

#include <QLocale>

const QCollator &dishNameCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool dishNameLess(const QString &a, const QString &b)
{
    const int c = dishNameCollator().compare(a, b);
    return c != 0 ? c < 0 : a < b;
}
