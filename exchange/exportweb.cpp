// The web cookbook: a folder that opens in any browser, from a USB stick
// too (only relative links): index.html with the sections and their
// dishes, one page a dish under 菜谱/, the pictures under 图片/, and one
// style sheet. Each dish page carries its recipe as schema.org JSON-LD so
// that other programs can read it back.
#include "exchange/exportwriters.h"

#include <QDir>

namespace {

const QString Pages = QStringLiteral("菜谱");
const QString Pictures = QStringLiteral("图片");

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

// A file name as a relative link: the few characters that mean something
// in an address escaped, Chinese kept readable.
QString link(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('%'), QStringLiteral("%25"));
    out.replace(QLatin1Char('#'), QStringLiteral("%23"));
    out.replace(QLatin1Char('?'), QStringLiteral("%3F"));
    out.replace(QLatin1Char(' '), QStringLiteral("%20"));
    return out;
}

QByteArray styleSheet()
{
    return QByteArrayLiteral(
        "body { font-family: \"SimSun\", \"宋体\", \"AR PL UMing CN\", serif; max-width: 42em;\n"
        "       margin: 2em auto; padding: 0 1em; line-height: 1.7; color: #222; }\n"
        "h1 { font-size: 1.8em; margin-bottom: 0.2em; }\n"
        "h2 { font-size: 1.2em; border-bottom: 1px solid #ccc; margin-top: 1.6em; }\n"
        ".category, .date, .tags { color: #666; }\n"
        ".tags { margin-top: 0; }\n"
        "nav { margin: 1em 0; }\n"
        "a { color: #8a3b12; }\n"
        "figure { margin: 1em 0; }\n"
        "figure img { max-width: 100%; max-height: 28em; }\n"
        "ul.dishes { columns: 2; }\n"
        "@media print {\n"
        "  nav { display: none; }\n"
        "  a { color: inherit; text-decoration: none; }\n"
        "  body { margin: 0; max-width: none; }\n"
        "  h2 { page-break-after: avoid; }\n"
        "  figure img { max-height: 8cm; }\n"
        "}\n");
}

QString pageStart(const QString &title, const QString &styleLink)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%1</title>\n<link rel=\"stylesheet\" href=\"%2\">\n")
        .arg(esc(title), styleLink);
}

QString indexPage(const ExportSnapshot &snapshot, const QStringList &pages)
{
    QString html = pageStart(snapshot.title, QStringLiteral("style.css")) + QStringLiteral("</head>\n<body>\n");
    html += QStringLiteral("<h1>%1</h1>\n<p class=\"date\">%2　共 %3 道美食</p>\n")
                .arg(esc(snapshot.title), ExportWriting::dateText(snapshot.date))
                .arg(snapshot.dishes.size());
    for (const ExportSnapshot::Section &section : snapshot.sections) {
        html += QStringLiteral("<h2>%1</h2>\n<ul class=\"dishes\">\n").arg(esc(section.heading));
        for (const int index : section.dishes) {
            if (index < 0 || index >= pages.size())
                continue;
            html += QStringLiteral("<li><a href=\"%1/%2\">%3</a></li>\n")
                        .arg(Pages, esc(link(pages.at(index))), esc(snapshot.dishes.at(index).name));
        }
        html += QStringLiteral("</ul>\n");
    }
    return html + QStringLiteral("</body>\n</html>\n");
}

QString dishPage(const ExportDish &dish, const QString &picture)
{
    const QString pictureLink = picture.isEmpty() ? QString() : QStringLiteral("../%1/%2").arg(Pictures, link(picture));
    QString json = QString::fromUtf8(ExportWriting::recipeJson(dish, pictureLink, true));
    json.replace(QLatin1Char('<'), QStringLiteral("\\u003c"));   // never "</script>" inside
    QString html = pageStart(dish.name, QStringLiteral("../style.css"));
    html += QStringLiteral("<script type=\"application/ld+json\">\n%1</script>\n</head>\n<body>\n").arg(json);
    html += QStringLiteral("<nav><a href=\"../index.html\">← 返回目录</a></nav>\n<h1>%1</h1>\n").arg(esc(dish.name));
    if (!dish.tags.isEmpty())
        html += QStringLiteral("<p class=\"tags\">%1</p>\n").arg(esc(ExportWriting::tagsLine(dish)));
    if (!dish.category.isEmpty())
        html += QStringLiteral("<p class=\"category\">%1</p>\n").arg(esc(dish.category));
    if (!pictureLink.isEmpty())
        html += QStringLiteral("<figure><img src=\"%1\" alt=\"%2\"></figure>\n").arg(esc(pictureLink), esc(dish.name));
    html += QStringLiteral("<h2>用料</h2>\n<ul>\n");
    for (const QString &line : ExportWriting::textLines(dish.ingredients)) {
        if (!line.trimmed().isEmpty())
            html += QStringLiteral("<li>%1</li>\n").arg(esc(line));
    }
    html += QStringLiteral("</ul>\n<h2>做法</h2>\n");
    for (const QString &line : ExportWriting::textLines(dish.method)) {
        if (!line.trimmed().isEmpty())
            html += QStringLiteral("<p>%1</p>\n").arg(esc(line));
    }
    return html + QStringLiteral("</body>\n</html>\n");
}

// Writes the dish's page and copies its picture; `page` gets the page's name.
bool writeDish(const QDir &root, const ExportDish &dish, QSet<QString> &used, QString *page,
               ExportOutcome &outcome)
{
    const QString name = safeFileName(dish.name, used);
    QString picture;
    if (ExportWriting::pictureFound(dish.picturePath)) {
        picture = name + QLatin1Char('.') + ExportWriting::pictureSuffix(dish.picturePath);
        if (!ExportWriting::copyFile(dish.picturePath, root.filePath(Pictures + QLatin1Char('/') + picture),
                                     &outcome.error))
            return false;
    } else if (!dish.picturePath.isEmpty()) {
        ++outcome.picturesMissing;
    }
    *page = name + QStringLiteral(".html");
    return ExportWriting::writeFile(root.filePath(Pages + QLatin1Char('/') + *page),
                                    dishPage(dish, picture).toUtf8(), &outcome.error);
}

} // namespace

ExportOutcome writeWebCookbook(const ExportSnapshot &snapshot, const QString &folder, Progress &progress)
{
    ExportOutcome outcome;
    const QDir root(folder);
    if (!root.mkpath(Pages) || !root.mkpath(Pictures)) {
        outcome.error = ExportWriting::writeFailure(folder, QStringLiteral("无法建立文件夹"));
        return outcome;
    }
    QSet<QString> used;
    QStringList pages;
    pages.reserve(snapshot.dishes.size());
    for (const ExportDish &dish : snapshot.dishes) {
        if (progress.cancelled())
            return outcome;
        QString page;
        if (!writeDish(root, dish, used, &page, outcome))
            return outcome;
        pages.append(page);
        progress.stepDone();
    }
    if (!ExportWriting::writeFile(root.filePath(QStringLiteral("style.css")), styleSheet(), &outcome.error)
        || !ExportWriting::writeFile(root.filePath(QStringLiteral("index.html")),
                                     indexPage(snapshot, pages).toUtf8(), &outcome.error))
        return outcome;
    outcome.ok = true;
    outcome.dishes = int(snapshot.dishes.size());
    return outcome;
}
