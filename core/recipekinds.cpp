#include "core/recipekinds.h"

#include <QVector>

namespace RecipeKinds {

const QVector<Entry> &all()
{
    static const QVector<Entry> kinds = {
        {Kind::Page, "网页", {QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("shtml"), QStringLiteral("xhtml")}},
        {Kind::Json, "菜谱 JSON", {QStringLiteral("json"), QStringLiteral("jsonld")}},
        {Kind::Archive, "菜谱压缩包", {QStringLiteral("zip")}},
        {Kind::MealMaster, "MealMaster 文本", {QStringLiteral("mmf"), QStringLiteral("mm"), QStringLiteral("txt")}},
        {Kind::Markdown, "Markdown 菜谱", {QStringLiteral("md"), QStringLiteral("markdown")}},
        {Kind::OldCatalogue, "旧版菜谱数据库", {QStringLiteral("mdb")}},
    };
    return kinds;
}

Kind ofName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return Kind::None;
    const QString extension = fileName.mid(dot + 1).toLower();
    for (const Entry &entry : all())
        if (entry.extensions.contains(extension))
            return entry.kind;
    return Kind::None;
}

QString chooserFilter()
{
    QStringList patterns;
    for (const Entry &entry : all())
        for (const QString &extension : entry.extensions)
            patterns << QStringLiteral("*.") + extension;
    return QStringLiteral("菜谱文件 (%1)").arg(patterns.join(u' '));
}

QString helpList()
{
    QStringList kinds;
    for (const Entry &entry : all()) {
        QStringList dotted;
        for (const QString &extension : entry.extensions)
            dotted << QStringLiteral(".") + extension;
        QString text = QStringLiteral("%1（%2）").arg(QString::fromUtf8(entry.label), dotted.join(u' '));
        if (entry.kind == Kind::Archive)
            text += QStringLiteral("或文件夹");
        kinds << text;
    }
    return kinds.join(QStringLiteral("、"));
}

} // namespace RecipeKinds
