#include "skin/controls.h"

#include "skin/artwork.h"
#include "skin/imagecontrol.h"
#include "skin/richtextbox.h"
#include "skin/twips.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace Form {

void place(QWidget *control, const Place &at)
{
    control->setGeometry(Twips::rect(at.left, at.top, at.width, at.height));
}

namespace {
template <class W>
W *named(W *control, const QString &name, const QString &accessibleName, const Place &at)
{
    control->setObjectName(name);
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
    place(control, at);
    return control;
}
// Tab leaves a multi-line box; Ctrl+Tab types the tab character instead.
class TabTyper : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();   // ours, not a window shortcut's
            return true;
        }
        if (auto *box = qobject_cast<QPlainTextEdit *>(watched); box && !box->isReadOnly())
            box->insertPlainText(QStringLiteral("\t"));
        return true;
    }
};
} // namespace

QLabel *Controls::label(const QString &name, const QString &text, const Place &at) const
{
    auto *label = new QLabel(text, m_parent);
    label->setObjectName(name);
    if (at.width > 0 && at.height > 0) {
        place(label, at);
    } else {
        label->adjustSize();
        label->move(Twips::point(at.left, at.top));
    }
    return label;
}

QFrame *Controls::rule(const QString &name, const Place &at) const
{
    auto *line = new QFrame(m_parent);
    line->setFrameShape(at.height > at.width ? QFrame::VLine : QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return named(line, name, QString(), at);
}

QLineEdit *Controls::lineBox(const QString &name, const QString &accessibleName, const Place &at) const
{
    return named(new QLineEdit(m_parent), name, accessibleName, at);
}

QRadioButton *Controls::option(const QString &name, const QString &text, const Place &at) const
{
    auto *option = named(new QRadioButton(text, m_parent), name, QString(), at);
    option->setAutoFillBackground(false);
    return option;
}

QPlainTextEdit *Controls::textBox(const QString &name, const QString &accessibleName, const Place &at) const
{
    auto *box = named(new QPlainTextEdit(m_parent), name, accessibleName, at);
    box->setTabChangesFocus(true);
    box->installEventFilter(new TabTyper(box));
    return box;
}

RichTextBox *Controls::richBox(const QString &name, const QString &accessibleName, const Place &at) const
{
    auto *box = named(new RichTextBox(m_parent), name, accessibleName, at);
    box->setTabChangesFocus(true);
    return box;
}

QSpinBox *Controls::spinBox(const QString &name, const QString &accessibleName, const QString &suffix,
                             const Place &at) const
{
    auto *box = named(new QSpinBox(m_parent), name, accessibleName, at);
    box->setSuffix(suffix);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The text inside is what a screen reader lands on: named as the box.
    if (auto *text = box->findChild<QLineEdit *>())
        text->setAccessibleName(accessibleName);
    return box;
}

QListWidget *Controls::listBox(const QString &name, const QString &accessibleName, const Place &at) const
{
    return named(new QListWidget(m_parent), name, accessibleName, at);
}

ImageControl *Controls::image(const QString &name, const QString &resource, const Place &at) const
{
    ensureAssetResources();
    auto *image = new ImageControl(m_parent, name);
    if (!resource.isEmpty())
        image->setPicture(Artwork::pixmap(resource));
    image->setStretch(true);
    place(image, at);
    return image;
}

ImageControl *Controls::pictureButton(const QString &name, const QString &caption, const QString &resource,
                                      const Place &at) const
{
    return makePictureButton(m_parent, name, caption, resource, at.left, at.top, at.width, at.height);
}

} // namespace Form
