#include "scripteddialogs.h"

ScriptedDialogs::ScriptedDialogs() { DialogService::install(this); }

ScriptedDialogs::~ScriptedDialogs() { DialogService::install(nullptr); }

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const ShownMessage &m : messages)
        out << m.text;
    return out;
}

void ScriptedDialogs::clear()
{
    messages.clear();
    answers.clear();
    pictures.clear();
    printerAnswers.clear();
    recipeSources.clear();
    exportTargets.clear();
    openFolderAnswers.clear();
    pictureDialogs = printerDialogs = 0;
}

DialogService::Answer ScriptedDialogs::message(QWidget *, const QString &text, const QString &title,
                                               Buttons buttons, Answer defaultButton, Icon icon)
{
    messages.push_back({text, title, buttons, defaultButton, icon});
    if (buttons == OkOnly)
        return Ok;
    if (whileAsking)
        whileAsking();
    return answers.isEmpty() ? defaultButton : answers.dequeue();
}

QString ScriptedDialogs::openPicture(QWidget *)
{
    ++pictureDialogs;
    return pictures.isEmpty() ? QString() : pictures.dequeue();
}

bool ScriptedDialogs::choosePrinter(QWidget *, QPrinter &printer)
{
    ++printerDialogs;
    const bool accept = printerAnswers.isEmpty() ? false : printerAnswers.dequeue();
    if (accept && printerSetup)
        printerSetup(printer);
    return accept;
}

QStringList ScriptedDialogs::openRecipeSources(QWidget *)
{
    return recipeSources.isEmpty() ? QStringList() : recipeSources.dequeue();
}

QString ScriptedDialogs::saveExport(QWidget *, ExportTarget, const QString &)
{
    return exportTargets.isEmpty() ? QString() : exportTargets.dequeue();
}

bool ScriptedDialogs::tellWithOpenFolder(QWidget *, const QString &text)
{
    messages.push_back({text, QString(), OkOnly, Ok, Information});
    return !openFolderAnswers.isEmpty() && openFolderAnswers.dequeue();
}
