#pragma once
// Every message box, the picture file-open dialog and the printer dialog go
// through this one service. Tests install a scripted stand-in, so nothing
// ever blocks on a modal window.
#include <QString>

class QMessageBox;
class QWidget;
class QPrinter;

class DialogService {
public:
    enum Buttons { OkOnly, YesNo };
    enum Answer { Ok, Yes, No, Cancel };
    enum Icon { NoIcon, Stop, Information, Warning, Question };

    virtual ~DialogService() = default;

    // An empty title shows the application title "灶香居 2004".
    virtual Answer message(QWidget *parent, const QString &text, const QString &title = QString(),
                           Buttons buttons = OkOnly, Answer defaultButton = Ok, Icon icon = NoIcon) = 0;
    // The picture chooser: title "选择菜谱图片", the four-entry filter, no file
    // name filled in. Returns the full path, or the empty text when cancelled.
    virtual QString openPicture(QWidget *parent) = 0;
    // The printer dialog. Returns false when the cook cancels; on true
    // `printer` is set up.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer) = 0;
    // Whether any printer is installed: without one there is nothing the
    // printer dialog could offer.
    virtual bool hasPrinters() const = 0;

    // The recipe chooser: several files at once, and folders (a folder
    // selected when 打开 is pressed is taken, not entered); filtered by
    // the kinds of core/recipekinds.h. Empty when cancelled.
    virtual QStringList openRecipeSources(QWidget *parent) = 0;
    // Whether the chooser's 繁体转简体 was left ticked (ticked until the
    // cook unticks it; a drop follows what the chooser last said).
    virtual bool simplifiesTraditional() const = 0;
    // Where an export goes: a file to save (a PDF, a zip, a text) or a folder.
    // Empty when cancelled.
    enum ExportTarget { PdfFile, ZipFile, Folder, TextFile };
    virtual QString saveExport(QWidget *parent, ExportTarget target, const QString &suggestedName) = 0;
    // The message at the end of an export, with 确定 and 打开文件夹: true
    // when the cook asks for the folder.
    virtual bool tellWithOpenFolder(QWidget *parent, const QString &text) = 0;

    static DialogService &instance();
    // Installs another service (tests); nullptr restores the real dialogs.
    // The caller keeps ownership.
    static void install(DialogService *service);

    static const char *const PictureTitle;   // "选择菜谱图片"
    static const char *const PictureFilter;  // the four entries, Qt syntax
};

// A message with OK only and the information icon.
void tell(QWidget *parent, const QString &text, const QString &title = QString());
// A message with OK only and no icon, as the windows' own short notes
// ("请先选择分类", "保存完毕！") are shown.
void tellPlainly(QWidget *parent, const QString &text, const QString &title = QString());
// Every message box looks alike: the windows' face, a title bar with a
// close button only, and wide enough for its whole title.
void dressMessageBox(QMessageBox &box);
// Asks before the cook's unsaved typing is thrown away; true on Yes.
bool mayDiscardTyping(QWidget *parent);
