#include "store/records.h"

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

namespace {
bool isBlank(QChar c) { return c.category() == QChar::Separator_Space; }
} // namespace

QString trimTyped(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QStringList splitTyped(const QString &text)
{
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (!isBlank(c)) {
            word += c;
            continue;
        }
        if (!word.isEmpty())
            words << word;
        word.clear();
    }
    if (!word.isEmpty())
        words << word;
    return words;
}
