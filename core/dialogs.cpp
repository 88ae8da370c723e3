#include "core/dialogs.h"
#include "core/appinfo.h"
#include "core/filedialogs.h"

#include <QAbstractPrintDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QGridLayout>
#include <QSpacerItem>

const char *const DialogService::PictureTitle = "选择菜谱图片";
// "(所有图片文件)" for every format loadPicture decodes, then *.jpg, *.gif and
// *.bmp. The file dialog matches them whatever the case (PHOTO.JPG too).
const char *const DialogService::PictureFilter =
    "(所有图片文件) (*.jpg *.jpeg *.png *.bmp *.gif);;*.jpg (*.jpg);;*.gif (*.gif);;*.bmp (*.bmp)";


namespace {
// The box wraps a long text itself and never grows wider than the screen,
// but it grows as tall as its text: a text taller than two thirds of the
// screen would push the buttons out of reach, so it is cut there, with "…".
QString fittedToScreen(const QString &text, const QMessageBox &box)
{
    const QScreen *screen = box.screen();
    if (!screen)
        return text;
    const QRect room = screen->availableGeometry();
    const QRect page(0, 0, qMin(room.width() / 2, 500), 1 << 24);   // the narrowest the box wraps at
    const QFontMetrics metrics(box.font());
    const auto fits = [&](qsizetype n) {
        const QString shown = n < text.size() ? text.left(n) + QChar(0x2026) : text;
        return metrics.boundingRect(page, Qt::TextWordWrap | Qt::TextWrapAnywhere, shown).height()
               <= room.height() * 2 / 3;
    };
    if (fits(text.size()))
        return text;
    qsizetype shown = 0, tooMany = text.size();
    while (tooMany - shown > 1) {
        const qsizetype n = (shown + tooMany) / 2;
        (fits(n) ? shown : tooMany) = n;
    }
    return text.left(shown) + QChar(0x2026);
}

// A box is put over the middle of the window it belongs to (a frameless
// window of ours is no help to the window manager in placing it).
void centreOn(QWidget &box, QWidget *parent)
{
    if (!parent || !parent->window()->isVisible())
        return;
    box.adjustSize();
    const QRect owner = parent->window()->frameGeometry();
    box.move(owner.center() - QPoint(box.width() / 2, box.height() / 2));
}

class RealDialogs final : public DialogService {
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Answer defaultButton, Icon icon) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QString::fromUtf8(App::AppTitle) : title);
        box.setText(fittedToScreen(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")), box));
        switch (icon) {
        case Stop: box.setIcon(QMessageBox::Critical); break;
        case Information: box.setIcon(QMessageBox::Information); break;
        case Warning: box.setIcon(QMessageBox::Warning); break;
        case Question: box.setIcon(QMessageBox::Question); break;
        case NoIcon: break;
        }
        if (buttons == YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(defaultButton == Yes ? QMessageBox::Yes : QMessageBox::No);
            box.setEscapeButton(QMessageBox::No);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
            box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
        } else {
            box.setStandardButtons(QMessageBox::Ok);
            box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        }
        dressMessageBox(box);
        centreOn(box, parent);
        const int r = box.exec();
        if (buttons == YesNo)
            return r == QMessageBox::Yes ? Yes : No;
        return Ok;
    }

    // Opens in the cook's Pictures folder, then in the folder last chosen from.
    QString openPicture(QWidget *parent) override { return choosePictureFile(parent, m_pictureFolder); }

    bool choosePrinter(QWidget *parent, QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, parent);
        QAbstractPrintDialog::PrintDialogOptions options = dialog.options();
        options.setFlag(QAbstractPrintDialog::PrintSelection, false);
        options.setFlag(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOptions(options);
        return dialog.exec() == QDialog::Accepted;
    }

    bool hasPrinters() const override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

    QStringList openRecipeSources(QWidget *parent) override
    {
        return chooseRecipeSources(parent, m_recipeFolder, m_simplify);
    }
    bool simplifiesTraditional() const override { return m_simplify; }
    QString saveExport(QWidget *parent, ExportTarget target, const QString &suggestedName) override
    {
        return chooseExportTarget(parent, target, suggestedName, m_exportFolder);
    }
    bool tellWithOpenFolder(QWidget *parent, const QString &text) override { return askOpenFolder(parent, text); }

private:
    QString m_pictureFolder;
    QString m_recipeFolder;
    QString m_exportFolder;
    bool m_simplify = true;
};

RealDialogs &realDialogs()
{
    static RealDialogs dialogs;
    return dialogs;
}
DialogService *&installed()
{
    static DialogService *service = nullptr;
    return service;
}
} // namespace

DialogService &DialogService::instance()
{
    return installed() ? *installed() : realDialogs();
}

void DialogService::install(DialogService *service) { installed() = service; }

void tell(QWidget *parent, const QString &text, const QString &title)
{
    DialogService::instance().message(parent, text, title, DialogService::OkOnly, DialogService::Ok,
                                      DialogService::Information);
}

void tellPlainly(QWidget *parent, const QString &text, const QString &title)
{
    DialogService::instance().message(parent, text, title);
}

void dressMessageBox(QMessageBox &box)
{
    // A box is answered, never minimised or maximised.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Wide enough for its title, with room for the window manager's icon
    // and close button beside it (its title face is a little larger).
    const QFontMetrics metrics(box.font());
    const int titleRoom = metrics.horizontalAdvance(box.windowTitle()) * 5 / 4 + 8 * metrics.height();
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        grid->addItem(new QSpacerItem(titleRoom, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
}

bool mayDiscardTyping(QWidget *parent)
{
    return DialogService::instance().message(parent, QStringLiteral("您输入的内容还没有保存，确定要放弃吗？"), QString(),
                                             DialogService::YesNo, DialogService::No, DialogService::Question)
           == DialogService::Yes;
}
