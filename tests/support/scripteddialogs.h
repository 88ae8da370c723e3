#pragma once
// A stand-in for the dialog service: records every message box and answers
// from a script, so no test blocks on a modal window. Installs itself on
// construction and restores the real dialogs when destroyed.
#include "core/dialogs.h"

#include <QQueue>
#include <QStringList>
#include <functional>
#include <QString>
#include <QVector>

struct ShownMessage {
    QString text;
    QString title;      // as passed (empty means the application title)
    DialogService::Buttons buttons;
    DialogService::Answer defaultButton;
    DialogService::Icon icon;
};

class ScriptedDialogs : public DialogService {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // Answers given to YesNo boxes, in order; when the queue is empty the
    // default button is taken.
    QQueue<Answer> answers;
    // Runs while a YesNo box is open, before it is answered (the cook
    // reading the question; another program may change the file meanwhile).
    std::function<void()> whileAsking;
    // File names handed back by the picture chooser ("" = cancelled).
    QQueue<QString> pictures;
    // Printer dialog: accept (true) or cancel (false); when accepted the
    // printer is set up by `printerSetup` if given.
    QQueue<bool> printerAnswers;
    std::function<void(QPrinter &)> printerSetup;
    bool printers = true;   // whether a printer is installed

    // What the recipe chooser, the export's save dialog and the question
    // after an export hand back, in order (empty: cancelled / 确定).
    QQueue<QStringList> recipeSources;
    QQueue<QString> exportTargets;
    QQueue<bool> openFolderAnswers;

    QVector<ShownMessage> messages;
    int pictureDialogs = 0;
    bool simplify = true;   // the chooser's 繁体转简体
    int printerDialogs = 0;

    QStringList texts() const;
    void clear();

    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Answer defaultButton, Icon icon) override;
    QString openPicture(QWidget *parent) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    bool hasPrinters() const override { return printers; }
    QStringList openRecipeSources(QWidget *parent) override;
    bool simplifiesTraditional() const override { return simplify; }
    QString saveExport(QWidget *parent, ExportTarget target, const QString &suggestedName) override;
    bool tellWithOpenFolder(QWidget *parent, const QString &text) override;
};
