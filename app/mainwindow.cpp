#include "app/mainwindow.h"

#include "app/cataloguemodel.h"
#include "app/dishmarksview.h"
#include "app/servingsview.h"
#include "app/splashwindow.h"
#include "app/treedrop.h"
#include "app/treemenu.h"
#include "app/treeplace.h"
#include "core/appinfo.h"
#include "core/catalogue.h"
#include "core/pictures.h"
#include "core/registry.h"
#include "editing/adddishwindow.h"
#include "editing/categorywindow.h"
#include "editing/tagswindow.h"
#include "files/restorewindow.h"
#include "files/exportwindow.h"
#include "files/progresswindow.h"
#include "showing/recipeprint.h"
#include "showing/dailydishwindow.h"
#include "search/findwindow.h"
#include "skin/artwork.h"
#include "skin/controls.h"
#include "skin/imagecontrol.h"
#include "skin/richtextbox.h"
#include "table/dishpicker.h"
#include "table/pantrywindow.h"
#include "table/shoppingwindow.h"
#include "table/weekwindow.h"
#include "web/aboutwindow.h"
#include "web/downloadwindow.h"
#include "web/upgradewindow.h"

#include "core/dialogs.h"
#include "store/backup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeView>

namespace zx {

const char *const MainWindow::DesignCaption = "：：灶香居 2004 新春版：：";

FlashBanner::FlashBanner(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("ShockwaveFlash1"));
    setPixmap(Artwork::pixmap(QStringLiteral(":/main/banner.png")));
    setScaledContents(true);
}

namespace {
struct ToolbarEntry {
    const char *button;
    const char *caption;
    int labelIndex;
    const char *picture;
    double left;
};
// Installed, the recipes live in the cook's own data folder; portable, in
// the program's folder.
bool installedDataFolder(const Catalogue &catalogue)
{
    return QDir(catalogue.dataFolder()) != QDir(App::applicationFolder());
}

// Left to right; each button 480 x 480 twips at top 480.
const ToolbarEntry Toolbar[] = {
    {"Image2", "每日菜谱", 0, ":/toolbar/daily.png", 600},
    {"Image3", "添加美食", 1, ":/toolbar/add.png", 1680},
    {"Image4", "查询/修改", 2, ":/toolbar/find.png", 2760},
    {"Image11", "菜谱分类", 6, ":/toolbar/category.png", 3840},
    {"Image5", "网上升级", 3, ":/toolbar/upgrade.png", 4920},
    {"Image6", "关于软件", 4, ":/toolbar/about.png", 6000},
    {"Image7", "离开小屋", 5, ":/toolbar/exit.png", 7080},
};
} // namespace

MainWindow::MainWindow(Catalogue &catalogue)
    : FramedWindow(QStringLiteral("frmmain"), QString::fromUtf8(DesignCaption), Skin::ThreeButton,
                   10350, 7920, 480),
      m_catalogue(catalogue)
{
    buildToolbar();
    buildTree();
    buildDishPanel();
    connect(&m_catalogue, &Catalogue::refreshed, this, &MainWindow::rebuildTree);
    connect(&m_catalogue, &Catalogue::dishWanted, this, &MainWindow::showWantedDish);
    connect(&m_catalogue, &Catalogue::refreshed, this, &MainWindow::followEdit);
    connect(&m_catalogue, &Catalogue::marksChanged, this, [this](qint64 id) {
        m_tree->viewport()->update();
        if (id == 0 || id == m_shown.id)
            m_marks->show(m_shown.id);
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::buildToolbar()
{
    const Form::Controls make(this);
    for (const ToolbarEntry &t : Toolbar) {
        const QString name = QString::fromLatin1(t.button);
        ImageControl *button = make.pictureButton(name, QString::fromUtf8(t.caption),
                                                  QString::fromLatin1(t.picture), {t.left, 480, 480, 480});
        connect(button, &ImageControl::clicked, this, [this, name] { openFromToolbar(name); });
        m_toolbar.insert(name, button);
        const double width = t.labelIndex == 2 ? 810 : 720;
        make.label(QStringLiteral("Label1_%1").arg(t.labelIndex), QString::fromUtf8(t.caption),
                   {t.left + 240 - width / 2.0, 960, width, 255})
            ->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    m_banner = new FlashBanner(this);
    Form::place(m_banner, {7800, 480, 2295, 615});
}

void MainWindow::buildTree()
{
    m_model = new CatalogueModel(this);
    m_model->setFavourites([this](qint64 id) { return m_catalogue.marks().isFavourite(id); });
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("Tv"));
    m_tree->setAccessibleName(QStringLiteral("菜谱目录"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Form::place(m_tree, {240, 1320, 3375, 4095});
    connect(m_tree, &QTreeView::clicked, this, &MainWindow::showClickedNode);
    m_treeMenu = new TreeMenu(m_tree, m_model, m_catalogue, this);
    new TreeDrop(m_tree, m_model, m_catalogue, this);
    // Moving the current node by keyboard (arrows, Home, End, first letters)
    // shows the dish as a click does.
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (m_tree->hasFocus() && !m_restoringPlace && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
                    showClickedNode(current);
            });
}

void MainWindow::buildDishPanel()
{
    const Form::Controls make(this);
    m_name = make.lineBox(QStringLiteral("Text1"), QStringLiteral("菜名"), {3720, 1320, 6255, 375});
    make.label(QStringLiteral("Label3"), QStringLiteral("原   料："), {3720, 1845, 1215, 255});
    m_ingredients = make.richBox(QStringLiteral("Boxx3"), QStringLiteral("原料"), {3720, 2150, 6255, 1215});
    m_servings = new ServingsView(this, m_ingredients);
    setTabOrder(m_name, m_servings->box());   // as they stand: name, 份量, ingredients
    setTabOrder(m_servings->box(), m_ingredients);
    make.label(QStringLiteral("Label2"), QStringLiteral("制作方法："), {3720, 3555, 1215, 255});
    m_method = make.richBox(QStringLiteral("Boxx4"), QStringLiteral("制作方法"), {3720, 3840, 6255, 2775});

    make.image(QStringLiteral("Image9"), QStringLiteral(":/main/image9.png"), {240, 5400, 3375, 2160});
    m_picture = make.image(QStringLiteral("Image8"), QString(), {480, 5640, 2895, 1695});
    m_picture->setFit(true);   // the dish's own proportions, centred in the frame

    ImageControl *print = make.pictureButton(QStringLiteral("print"), QStringLiteral("打印菜谱"),
                                             QStringLiteral(":/buttons/print.png"), {3840, 6840, 1410, 480});
    connect(print, &ImageControl::clicked, this, &MainWindow::printShown);
    m_marks = new DishMarksView(m_name, this, m_catalogue);
}

void MainWindow::loadContents()
{
    Windows::unload<SplashWindow>();
    centreOnScreen();
    m_banner->setMovie(m_catalogue.dataFolder() + QStringLiteral("happy.swf"));
    m_catalogue.setSelectedCategory(QString());
    // A missing cate.mdb leaves the tree empty and the design caption in
    // place; a damaged one, or a file that is no database, is said once here.
    const StoreStatus read = m_catalogue.refresh();
    if (read)
        return;
    if (read.error().kind == StoreError::NotADatabase || read.error().kind == StoreError::WrongLayout)
        tellDamagedFile(read.error());
    // With safety copies to bring back, the root and its menu (恢复备份…)
    // stay within reach.
    if (Backup::hasCopies(m_catalogue.storePath())) {
        m_model->rebuild(m_catalogue.sharedData());
        m_tree->expand(m_model->rootIndex());   // open once a copy fills it
        m_tree->setCurrentIndex(m_model->rootIndex());
        setWindowTitle(QStringLiteral("灶香居 2004 新春版 cate.mdb 无法使用"));
    }
}

void MainWindow::tellDamagedFile(const StoreError &error)
{
    QString text = error.userText() + QStringLiteral("\r\n\r\n文件：")
                   + QDir::toNativeSeparators(m_catalogue.storePath());
    const QString backups = Backup::folderOf(m_catalogue.storePath());
    if (QFileInfo(backups).isDir())
        text += QStringLiteral("\r\n安全副本在“备份”文件夹里：") + QDir::toNativeSeparators(backups);
    // Not when the cook has just asked at start to bring a copy back: the
    // restore window is open over this one.
    QTimer::singleShot(0, this, [this, text] {
        if (!Windows::loaded<RestoreWindow>())
            tell(this, text);
    });
}

void MainWindow::openFromToolbar(const QString &button)
{
    QWidget *opened = nullptr;
    if (button == QLatin1String("Image2"))
        opened = Windows::show<DailyDishWindow>(m_catalogue);
    else if (button == QLatin1String("Image3"))
        opened = Windows::show<AddDishWindow>(m_catalogue);
    else if (button == QLatin1String("Image4"))
        opened = Windows::show<FindWindow>(m_catalogue);
    else if (button == QLatin1String("Image11"))
        opened = Windows::show<CategoryWindow>(m_catalogue);
    else if (button == QLatin1String("Image5"))
        opened = Windows::show<DownloadWindow>(installedDataFolder(m_catalogue) ? m_catalogue.dataFolder() : QString());
    else if (button == QLatin1String("Image6"))
        opened = Windows::show<AboutWindow>();
    else if (button == QLatin1String("Image7"))
        leaveWhenIdle();
    // When the window goes, the keyboard comes back to the button that opened it.
    if (opened && !m_returnFocus.contains(opened)) {
        m_returnFocus.insert(opened);
        connect(opened, &QObject::destroyed, this, [this, opened, button] {
            m_returnFocus.remove(opened);
            if (ImageControl *b = m_toolbar.value(button); b && isVisible()) {
                activateWindow();
                b->setFocus(Qt::OtherFocusReason);
            }
        });
    }
}

// The catalogue changed: the tree and the caption follow.
void MainWindow::rebuildTree(const CatalogueChange &change)
{
    QElapsedTimer clock;
    clock.start();
    const CatalogueData &data = m_catalogue.data();
    const TreePlace place = TreePlace::of(m_tree, m_model);
    // Putting the place back moves the current node: not a cook's move.
    m_restoringPlace = true;
    m_model->rebuild(m_catalogue.sharedData());
    if (place.isEmpty()) {
        // The first tree: the root open, every category closed, the root selected.
        const QModelIndex root = m_model->rootIndex();
        if (m_model->rowCount(root) > 0)
            m_tree->expand(root);
        m_tree->setCurrentIndex(root);
        m_name->setFocus();
    } else {
        place.restore(m_tree, m_model, change);
    }
    m_restoringPlace = false;

    setWindowTitle(QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(data.totalDishes));
    m_lastTreeNs = clock.nsecsElapsed();
}

void MainWindow::showClickedNode(const QModelIndex &index)
{
    if (m_model->kind(index) != CatalogueModel::Dish)
        return;
    // The node is all we know of the dish the cook meant; the tree may be
    // rebuilt below, so keep what it says.
    const CatalogueModel::DishNode clicked = *m_model->dish(index);
    // A file changed or put in place since the tree was drawn: draw it anew
    // first, so the tree never promises what the file no longer holds.
    m_catalogue.followOutsideChanges();
    showDishIfStill(clicked.id, clicked.name, clicked.categoryName);
    m_name->setReadOnly(true);
    m_ingredients->setReadOnly(true);
    m_method->setReadOnly(true);
}

void MainWindow::showWantedDish(qint64 id)
{
    m_catalogue.followOutsideChanges();
    const QModelIndex node = TreePlace::dishIndex(m_model, id);
    if (!node.isValid())
        return;
    m_tree->expand(node.parent());
    m_tree->setCurrentIndex(node);
    m_tree->scrollTo(node);
    showClickedNode(node);
    raise();
    activateWindow();
}

// Only the row that still is the dish (the same id with the same trimmed
// name and category) is shown: the same id with another name or category is
// another dish. Anything else shows nothing.
void MainWindow::showDishIfStill(qint64 id, const QString &name, const QString &category)
{
    const auto found = m_catalogue.dish(id);
    if (found && found->has_value() && trimBlanks((*found)->name) == name
        && trimBlanks((*found)->category) == category)
        showDish(**found);
    else
        clearDish();
}

void MainWindow::showDish(const DishRecord &dish)
{
    m_shown = {dish.id, trimBlanks(dish.category), trimBlanks(dish.name), trimBlanks(dish.ingredients),
               trimBlanks(dish.method), dish.picture};
    m_name->setText(m_shown.name);
    m_servings->show(m_shown.ingredients, m_catalogue.marks().servingsOf(m_shown.id));
    m_method->setText(m_shown.method);
    m_marks->show(m_shown.id);
    // Decoded at the size of the frame; a picture that cannot be loaded
    // leaves the frame empty, never the previous dish's picture.
    const auto picture = trimBlanks(dish.picture).isEmpty()
                             ? std::nullopt
                             : loadPicture(resolvePicture(m_catalogue.dataFolder(), dish.picture),
                                           m_picture->size() * m_picture->devicePixelRatioF());
    if (picture)
        m_picture->setPicture(*picture);
    else
        m_picture->clearPicture();
}

void MainWindow::clearDish()
{
    m_shown = DishRecord();
    m_name->clear();
    m_servings->show(QString(), 0);
    m_method->setText(QString());
    m_picture->clearPicture();
    m_marks->show(0);
}

// The dish on display was just edited: show what is stored now. Deleted,
// the dish the tree selected in its place is shown.
void MainWindow::followEdit(const CatalogueChange &change)
{
    // The first dish an import brought is selected (TreePlace) and shown.
    if (change.kind == CatalogueChange::DishesImported && change.dishId != 0) {
        showClickedNode(m_tree->currentIndex());
        return;
    }
    // Another program's commit, or a copy restored: the shown dish is read
    // again, or goes when the file no longer holds it.
    if (change.kind == CatalogueChange::Outside && m_shown.id != 0) {
        showDishIfStill(m_shown.id, m_shown.name, m_shown.category);
        return;
    }
    if (change.dishId != m_shown.id || m_shown.id == 0)
        return;
    if (change.kind == CatalogueChange::DishDeleted) {
        clearDish();
        showClickedNode(m_tree->currentIndex());
        return;
    }
    if (change.kind != CatalogueChange::DishUpdated)
        return;
    const auto found = m_catalogue.dish(m_shown.id);
    if (found && found->has_value())
        showDish(**found);
}

// What is shown is printed: scaled for another number of people, the
// name says for how many.
void MainWindow::printShown()
{
    DishRecord shown = m_shown;
    QString suffix;
    if (m_servings->isScaled()) {
        suffix = QStringLiteral("（按 %1 人份）").arg(m_servings->shownServings());
        shown.ingredients = m_servings->shownIngredients();
    }
    printDish(shown, m_catalogue.dataFolder(), suffix);
}

void MainWindow::exitProgram()
{
    // Every other window with unsaved typing asks first; one no keeps all.
    for (QWidget *top : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<FramedWindow *>(top);
        if (window && qobject_cast<MainWindow *>(window) == nullptr && window->isVisible() && !Windows::isUnloaded(window)
            && !window->mayDiscardInput())
            return;
    }
    unloadAll();
    QCoreApplication::quit();
}

void MainWindow::unloadAll()
{
    Windows::unload<AboutWindow>();
    Windows::unload<AddDishWindow>();
    Windows::unload<DailyDishWindow>();
    Windows::unload<DownloadWindow>();
    Windows::unload<FindWindow>();
    Windows::unload<UpgradeWindow>();
    Windows::unload<CategoryWindow>();
    Windows::unload<RestoreWindow>();
    Windows::unload<TagsWindow>();
    Windows::unload<ExportWindow>();
    Windows::unload<DishPicker>();
    Windows::unload<PantryWindow>();
    Windows::unload<WeekWindow>();
    Windows::unload<ShoppingWindow>();
    Windows::unload<MainWindow>();
}

void MainWindow::closeFromFrame() { leaveWhenIdle(); }

void MainWindow::leaveWhenIdle()
{
    // An import or export under way finishes first (or is cancelled in
    // its progress window).
    if (noExchangeRunning(this, m_catalogue))
        exitProgram();
}

} // namespace zx
