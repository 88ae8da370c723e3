#pragma once
// A small window that picks one dish by a part of its name or its pinyin
// (as the find window searches): type, then Enter, a double click or 选 定.
#include "skin/framedwindow.h"

#include <functional>

class Catalogue;
class ImageControl;
class QLineEdit;
class QListWidget;

namespace zx {

class DishPicker : public FramedWindow {
    Q_OBJECT
public:
    explicit DishPicker(Catalogue &catalogue);

    // What the pick is for: `picked` gets the dish's id and name.
    void pickFor(const QString &what, std::function<void(qint64, const QString &)> picked);

    QLineEdit *nameBox() const { return m_name; }
    QListWidget *found() const { return m_found; }
    void search();
    void pick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Catalogue &m_catalogue;
    QLineEdit *m_name = nullptr;
    QListWidget *m_found = nullptr;
    std::function<void(qint64, const QString &)> m_picked;
};

} // namespace zx
