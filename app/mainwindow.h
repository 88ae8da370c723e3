#pragma once
// The main window: toolbar, banner, catalogue tree and the dish display.
// It draws its tree and caption from the catalogue whenever the catalogue
// announces a change, whoever made it.
#include "skin/framedwindow.h"

#include <QHash>
#include <QSet>
#include "store/records.h"

#include <QLabel>

class Catalogue;
struct StoreError;
struct CatalogueChange;
class CatalogueModel;
class ImageControl;
class QLineEdit;
class QTreeView;
class RichTextBox;

namespace zx {

class DishMarksView;
class ServingsView;
class TreeMenu;

// The banner. It is handed the path of the movie happy.swf; with no movie
// player on this platform it shows a still picture of our own instead.
class FlashBanner : public QLabel {
    Q_OBJECT
public:
    explicit FlashBanner(QWidget *parent = nullptr);
    void setMovie(const QString &path) { m_movie = path; }
    QString movie() const { return m_movie; }
private:
    QString m_movie;
};

class MainWindow : public FramedWindow {
    Q_OBJECT
public:
    static const char *const DesignCaption;   // "：：灶香居 2004 新春版：："

    explicit MainWindow(Catalogue &catalogue);
    ~MainWindow() override;

    QTreeView *tree() const { return m_tree; }
    CatalogueModel *treeModel() const { return m_model; }
    TreeMenu *treeMenu() const { return m_treeMenu; }
    QLineEdit *name() const { return m_name; }
    RichTextBox *ingredients() const { return m_ingredients; }
    RichTextBox *method() const { return m_method; }
    ImageControl *picture() const { return m_picture; }
    FlashBanner *banner() const { return m_banner; }
    DishMarksView *marksView() const { return m_marks; }
    ServingsView *servingsView() const { return m_servings; }

    // Runs once when the window is created through the registry: the tree
    // is read for the first time.
    void loadContents();

    // Where the last tree rebuild spent its time after the store was read (ns).
    qint64 lastTreeNs() const { return m_lastTreeNs; }

    // The program's exit: unloads every other window in order, then this one.
    static void exitProgram();
    // 离开小屋 and the ✕: exitProgram, unless an import or export runs.
    void leaveWhenIdle();
    // Unloads every other window in order, then this one.
    static void unloadAll();
    void closeFromFrame() override;
    bool closesOnEscape() const override { return false; }

    // The handlers of the toolbar, the tree and the print button.
    void openFromToolbar(const QString &button);
    void showClickedNode(const QModelIndex &index);
    void printShown();
    // The dish on display (0: none), and a dish asked for by another window
    // selected in the tree and shown.
    qint64 shownDishId() const { return m_shown.id; }
    void showWantedDish(qint64 id);

private:
    void buildToolbar();
    void buildTree();
    void buildDishPanel();
    void rebuildTree(const CatalogueChange &change);
    void tellDamagedFile(const StoreError &error);
    void showDish(const DishRecord &dish);
    void showDishIfStill(qint64 id, const QString &name, const QString &category);
    void clearDish();
    void followEdit(const CatalogueChange &change);

    Catalogue &m_catalogue;
    QTreeView *m_tree = nullptr;
    CatalogueModel *m_model = nullptr;
    TreeMenu *m_treeMenu = nullptr;
    QLineEdit *m_name = nullptr;
    RichTextBox *m_ingredients = nullptr;
    RichTextBox *m_method = nullptr;
    ImageControl *m_picture = nullptr;
    FlashBanner *m_banner = nullptr;
    DishMarksView *m_marks = nullptr;
    ServingsView *m_servings = nullptr;
    qint64 m_lastTreeNs = 0;
    bool m_restoringPlace = false;   // the tree's place is being put back
    QHash<QString, ImageControl *> m_toolbar;   // by design name
    QSet<QWidget *> m_returnFocus;              // windows that give the keyboard back
    DishRecord m_shown;   // the dish on display, trimmed as shown; id 0 for none
};

} // namespace zx
