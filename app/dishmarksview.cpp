#include "app/dishmarksview.h"

#include "core/catalogue.h"
#include "skin/artwork.h"
#include "skin/controls.h"

#include <QLabel>
#include <QLineEdit>

namespace zx {

namespace {
constexpr int StarSize = 16;   // pixels
}

DishMarksView::DishMarksView(QLineEdit *name, QWidget *window, Catalogue &catalogue)
    : QObject(window), m_name(name), m_catalogue(catalogue)
{
    m_star = new QLabel(name);
    m_star->setObjectName(QStringLiteral("favouriteStar"));
    m_star->setAccessibleName(QStringLiteral("我的最爱"));
    m_star->setPixmap(Artwork::pixmap(QStringLiteral(":/main/favourite.png")));
    m_star->setScaledContents(true);
    m_star->hide();
    // Right of the print button, under the method: no control moves.
    m_tags = Form::Controls(window).label(QStringLiteral("dishTags"), QString(), {5400, 6960, 4575, 255});
    m_tags->setStyleSheet(QStringLiteral("color: #808080"));
    m_tags->setTextFormat(Qt::PlainText);
    m_tags->hide();
}

void DishMarksView::show(qint64 id)
{
    const DishMarks &marks = m_catalogue.marks();
    const bool favourite = id != 0 && marks.isFavourite(id);
    if (favourite) {
        const int margin = (m_name->height() - StarSize) / 2;
        m_star->setGeometry(m_name->width() - StarSize - margin - 2, margin, StarSize, StarSize);
    }
    // The name's text keeps clear of the star.
    m_name->setTextMargins(0, 0, favourite ? StarSize + 4 : 0, 0);
    m_star->setVisible(favourite);
    const QStringList tags = id != 0 ? marks.tagsOf(id) : QStringList();
    const QString line = QStringLiteral("标签：") + Marks::joinTags(tags);
    m_tags->setText(m_tags->fontMetrics().elidedText(line, Qt::ElideRight, m_tags->width()));
    m_tags->setToolTip(tags.isEmpty() ? QString() : line);
    m_tags->setVisible(!tags.isEmpty());
}

} // namespace zx
