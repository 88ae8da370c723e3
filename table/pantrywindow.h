#pragma once
// 我有什么: the cook writes what is at hand ("我有：") and keeps a list of
// staples assumed at hand (常备调料); the dishes are listed by how many
// ingredients they lack, fewest first. Enter or a double click on a dish
// shows it in the main window; 缺的加入购物清单 puts the selected dish's
// missing ingredients on the shopping list. The index of every dish's
// ingredients is made in the background after each change of the catalogue.
#include "core/pantry.h"
#include "skin/framedwindow.h"

#include <QFutureWatcher>
#include <QTimer>

class Catalogue;
class ImageControl;
class QLabel;
class QLineEdit;
class QListWidget;

namespace zx {

class PantryWindow : public FramedWindow {
    Q_OBJECT
public:
    explicit PantryWindow(Catalogue &catalogue);
    ~PantryWindow() override;

    QLineEdit *haveBox() const { return m_have; }
    QListWidget *results() const { return m_results; }
    QListWidget *staplesList() const { return m_staples; }
    QLineEdit *stapleBox() const { return m_stapleBox; }
    QLabel *hint() const { return m_hint; }
    // Whether the index of the dishes is ready (not being made).
    bool indexReady() const { return m_indexReady; }

    void rank();             // the list follows what is typed
    void showSelected();     // Enter / double click
    void addMissing();       // 缺的加入购物清单
    void addStaple();        // 加 入
    void removeStaple();     // 去 掉

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void rebuildIndex();
    void saveStaples();

    Catalogue &m_catalogue;
    QLineEdit *m_have = nullptr;
    QListWidget *m_staples = nullptr;
    QLineEdit *m_stapleBox = nullptr;
    QListWidget *m_results = nullptr;
    QLabel *m_hint = nullptr;
    PantryIndex m_index;
    bool m_indexReady = false;
    bool m_indexStale = false;   // the catalogue changed while one was being made
    QFutureWatcher<PantryIndex> m_building;
    QTimer m_saveHave;           // what is typed is remembered a moment later
};

} // namespace zx
