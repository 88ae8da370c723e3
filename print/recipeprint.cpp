#include "print/recipeprint.h"
#include "core/fonts.h"
#include "core/dialogs.h"
#include "core/appinfo.h"
#include "core/registry.h"
#include "skin/richtextbox.h"
#include "core/textboxes.h"
#include "skin/twips.h"

#include <QApplication>
#include <QFont>
#include <QPrinter>

namespace {
const QString Dashes(66, QLatin1Char('-'));
const QLatin1String CrLf("\r\n");

} // namespace

QString ComposeRecipePrint(const QString &name, const QString &ingredients, const QString &method)
{
    const QStringList lines = {
        QStringLiteral("灶香居2004 "),
        Dashes,
        QString(),
        QStringLiteral("菜    名: ") + name,
        QString(),
        QStringLiteral("配    料:"),
        toCrLf(ingredients),
        QString(),
        Dashes,
        QString(),
        QStringLiteral("制作方法: "),
        toCrLf(method),
        QString(),
        QString(),
        Dashes,
        QString(),
        QString(50, QLatin1Char(' ')) + QStringLiteral("青梧软件"),
        QString(46, QLatin1Char(' ')) + App::SiteAddress(),
    };
    QString page;
    for (const QString &line : lines)
        page += line + CrLf;
    return page;
}

const char *const PrintRefused = "打印失败：打印机没有接受这份菜谱，什么也没有打印出来。";

zx::FrmPrintIt::FrmPrintIt()
{
    setObjectName(QStringLiteral("FrmPrintIt"));
    m_Box1 = new RichTextBox(this);
    m_Box1->setObjectName(QStringLiteral("Box1"));
    m_Box1->setGeometry(QRect(QPoint(0, 0), Twips::size(8775, 6255)));
    m_Box1->setFont(songFont(10));
    resize(m_Box1->size());
    // Never shown: the window only holds the box whose text gets printed.
}

void PrintRecipeText()
{
    RichTextBox *box = Windows::get<zx::FrmPrintIt>()->Box1();
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("灶香居2004"));
    // The dialog belongs to whichever window the cook pressed print in.
    if (!DialogService::instance().choosePrinter(QApplication::activeWindow(), printer,
                                                 box->selectionLength() > 0))
        return; // cancelled: nothing printed, nothing said
    if (!box->printOn(&printer))
        DialogService::instance().message(QApplication::activeWindow(), QString::fromUtf8(PrintRefused),
                                          QString(), DialogService::OkOnly, DialogService::Ok,
                                          DialogService::Warning);
}

void PrintRecipe(const QString &name, const QString &ingredients, const QString &method)
{
    Windows::get<zx::FrmPrintIt>()->Box1()->setText(ComposeRecipePrint(name, ingredients, method));
    PrintRecipeText();
}
