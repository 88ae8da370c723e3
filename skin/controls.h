#pragma once
// The one place where the windows' controls are made: each is named (its
// objectName, which the tests find it by), given the accessible name a
// screen reader speaks, and put at its design place. Design places are in
// twips (15 to the pixel); they appear in code only as these numbers.
#include <QString>

class ImageControl;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QRadioButton;
class QTextEdit;
class QWidget;
class RichTextBox;

namespace Form {

// A design place: left, top, width, height in twips.
struct Place {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Puts a control at its design place.
void place(QWidget *control, const Place &at);

class Controls {
public:
    explicit Controls(QWidget *parent) : m_parent(parent) {}

    // A caption. With no width and height it takes the size of its text.
    QLabel *label(const QString &name, const QString &text, const Place &at) const;
    // A thin sunken rule, horizontal or (when taller than wide) vertical.
    QFrame *rule(const QString &name, const Place &at) const;
    QLineEdit *lineBox(const QString &name, const QString &accessibleName, const Place &at) const;
    // A multi-line box of plain text, its lines set apart (keepLinesApart):
    // Tab leaves it, Ctrl+Tab types a tab.
    QTextEdit *textBox(const QString &name, const QString &accessibleName, const Place &at) const;
    RichTextBox *richBox(const QString &name, const QString &accessibleName, const Place &at) const;
    // A box of whole numbers, `suffix` after the number.
    QSpinBox *spinBox(const QString &name, const QString &accessibleName, const QString &suffix,
                      const Place &at) const;
    QListWidget *listBox(const QString &name, const QString &accessibleName, const Place &at) const;
    // One of a group of choices; its text is its accessible name.
    QRadioButton *option(const QString &name, const QString &text, const Place &at) const;
    // A picture, stretched to its place.
    ImageControl *image(const QString &name, const QString &resource, const Place &at) const;
    // A picture button: the picture carries the caption, which is also its
    // accessible name. A zero width or height takes the picture's own size.
    ImageControl *pictureButton(const QString &name, const QString &caption, const QString &resource,
                                const Place &at) const;

private:
    QWidget *m_parent;
};

} // namespace Form
