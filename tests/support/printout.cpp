#include "printout.h"

#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

QString pdfText(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), path,
                                          QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList printedLines(const QString &text)
{
    QStringList out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString t = QString(line).remove(QChar(0x0c)).simplified();
        if (!t.isEmpty())
            out << t;
    }
    return out;
}

QString printOut(ScriptedDialogs &dialogs, const std::function<void()> &print)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("printout.pdf"));
    const int dialogsBefore = dialogs.printerDialogs;
    dialogs.printerAnswers.enqueue(true);
    dialogs.printerSetup = [out](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
    };
    print();
    if (dialogs.printerDialogs == dialogsBefore)
        dialogs.printerAnswers.removeLast();   // no dialog: the answer was not taken
    dialogs.printerSetup = nullptr;
    return pdfText(out);
}
