#pragma once
// Printing a dish: the page text and the hidden print window that prints it
// on the printer the cook picks.
#include <QString>
#include <QWidget>

class RichTextBox;

// The page: 18 lines, each ended by CR LF. Inputs are trimmed by the caller;
// line breaks inside ingredients and method come out as CR LF.
QString ComposeRecipePrint(const QString &name, const QString &ingredients, const QString &method);

// Prints the content of FrmPrintIt's Box1 (its selection, or all of it) on
// the printer chosen in the printer dialog. Cancelling prints nothing and
// says nothing; a printer that refuses the job is told as PrintRefused.
void PrintRecipeText();
extern const char *const PrintRefused;

// Convenience used by the main and daily windows: puts the page into Box1
// (loading the hidden window on first use) and runs PrintRecipeText.
void PrintRecipe(const QString &name, const QString &ingredients, const QString &method);

// The hidden print window: never shown; loaded on first use, unloaded at exit.
namespace zx {
class FrmPrintIt : public QWidget {
    Q_OBJECT
public:
    FrmPrintIt();
    RichTextBox *Box1() const { return m_Box1; }
private:
    RichTextBox *m_Box1;
};
} // namespace zx
