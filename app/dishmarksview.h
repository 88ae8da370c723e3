#pragma once
// What the main window shows of the cook's marks on the dish on display:
// a small star inside the right end of the name box while the dish is a
// favourite, and its tags on one grey line under the method.
#include <QObject>
#include <QtGlobal>

class Catalogue;
class QLabel;
class QLineEdit;
class QWidget;

namespace zx {

class DishMarksView : public QObject {
    Q_OBJECT
public:
    // The star goes into `name`; the tags line onto `window`.
    DishMarksView(QLineEdit *name, QWidget *window, Catalogue &catalogue);

    // Shows the marks of the dish with this id (0: none shown).
    void show(qint64 id);

    QLabel *star() const { return m_star; }
    QLabel *tags() const { return m_tags; }

private:
    QLineEdit *m_name;
    Catalogue &m_catalogue;
    QLabel *m_star = nullptr;
    QLabel *m_tags = nullptr;
};

} // namespace zx
