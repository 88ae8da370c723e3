// A cook's session with the real program: started from a copy beside a copy
// of the starter cate.mdb, on its own X server with a window manager, and
// driven only by mouse clicks and key presses. Afterwards the file is read
// with the sqlite3 tool.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// Design places are in twips; the program lays them out at 15 twips a pixel.
int px(int twips) { return twips / 15; }

class Desktop {
public:
    ~Desktop() { stop(); }

    bool start(QString *why)
    {
        for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "import", "sqlite3"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                *why = QStringLiteral("%1 is not installed").arg(QLatin1String(tool));
                return false;
            }
        }
        // Xvfb picks a free display and tells us its number; it does not
        // reset (refusing clients for a moment) when its last client goes.
        m_x.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                                           QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QByteArray number;
        while (!number.contains('\n') && m_x.waitForReadyRead(20000))
            number += m_x.readAllStandardOutput();
        if (!number.contains('\n')) {
            *why = QStringLiteral("Xvfb did not start");
            return false;
        }
        m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        m_wm.setProcessEnvironment(environment());
        m_wm.start(QStringLiteral("openbox"), {});
        if (!m_wm.waitForStarted()) {
            *why = QStringLiteral("openbox did not start");
            return false;
        }
        // A window mapped while openbox is still starting may never be
        // shown: wait until it announces itself on the root window.
        QElapsedTimer timer;
        timer.start();
        while (!run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QLatin1String("window id"))) {
            if (timer.elapsed() > 20000) {
                *why = QStringLiteral("openbox did not take the screen");
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    void stop()
    {
        for (QProcess *p : {&m_wm, &m_x}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), m_display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.webenginecontext.info=false"));
        // No session bus: without an address libdbus starts one of its own on
        // this display through dbus-launch, a process the test does not need
        // and that outlives it.
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
        return env;
    }

    // Runs a tool on this display; its standard output, trimmed.
    QString run(const QString &program, const QStringList &args) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        p.waitForFinished(20000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    QString xdo(const QStringList &args) const { return run(QStringLiteral("xdotool"), args); }

    // The visible windows whose title matches (of one process when `pid` is given).
    QString search(const QString &titleRegex, qint64 pid = 0) const
    {
        QStringList args{QStringLiteral("search"), QStringLiteral("--onlyvisible")};
        if (pid)
            args << QStringLiteral("--all") << QStringLiteral("--pid") << QString::number(pid);
        return xdo(args << QStringLiteral("--name") << titleRegex);
    }
    // The visible window whose title matches, waiting for it to appear.
    QString waitWindow(const QString &titleRegex, int ms = 30000, qint64 pid = 0) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            const QString ids = search(titleRegex, pid);
            if (!ids.isEmpty())
                return ids.split(QLatin1Char('\n')).last();
            QThread::msleep(100);
        }
        return QString();
    }
    bool waitGone(const QString &titleRegex, int ms = 20000, qint64 pid = 0) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            if (search(titleRegex, pid).isEmpty())
                return true;
            QThread::msleep(100);
        }
        return false;
    }
    void activate(const QString &id) const { xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id}); }
    QString title(const QString &id) const { return xdo({QStringLiteral("getwindowname"), id}); }
    // Every visible window's title, one a line: what was on the screen when
    // an expected window was not.
    QString visibleTitles() const
    {
        QStringList titles;
        const QString ids = xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                 QStringLiteral(".*")});
        for (const QString &id : ids.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            titles << id + QLatin1Char(' ') + title(id);
        return titles.join(QLatin1Char('\n'));
    }

    QPoint origin(const QString &id) const
    {
        const QString shell = xdo({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
        const auto value = [&](const char *key) {
            const QRegularExpression re(QStringLiteral("^%1=(-?\\d+)$").arg(QLatin1String(key)),
                                        QRegularExpression::MultilineOption);
            return re.match(shell).captured(1).toInt();
        };
        return {value("X"), value("Y")};
    }

    // Clicks at a design place (twips) of the window, at the middle of a control's box.
    void click(const QString &id, int left, int top, int width, int height) const
    {
        const QPoint at = origin(id) + QPoint(px(left + width / 2), px(top + height / 2));
        xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()), QString::number(at.y())});
        xdo({QStringLiteral("click"), QStringLiteral("1")});
    }
    // Clicks a pixel offset inside a control's box.
    void clickPixel(const QString &id, int leftTwips, int topTwips, int dx, int dy) const
    {
        const QPoint at = origin(id) + QPoint(px(leftTwips) + dx, px(topTwips) + dy);
        xdo({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(at.x()), QString::number(at.y())});
        xdo({QStringLiteral("click"), QStringLiteral("1")});
    }
    void type(const QString &text) const
    {
        xdo({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text});
    }
    void key(const QString &id, const QString &keys) const
    {
        xdo({QStringLiteral("windowactivate"), QStringLiteral("--sync"), id});
        xdo({QStringLiteral("key"), keys});
    }
    // How many windows of the program are on the screen (menus too).
    int programWindows() const
    {
        return xdo({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--class"),
                    QStringLiteral("^zaoxiangju$")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .size();
    }
    // Waits for a window more than `before` (a menu that opens).
    bool waitWindowMore(int before, int ms = 10000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            if (programWindows() > before)
                return true;
            QThread::msleep(50);
        }
        return false;
    }
    // Answers the message box with this title by a key press.
    bool answer(const QString &titleRegex, const QString &keys) const
    {
        const QString box = waitWindow(titleRegex);
        if (box.isEmpty())
            return false;
        key(box, keys);
        return waitGone(titleRegex);
    }
    QImage grab(const QString &id, const QString &file) const
    {
        run(QStringLiteral("import"), {QStringLiteral("-window"), id, file});
        return QImage(file);
    }

private:
    QProcess m_x;
    QProcess m_wm;
    QString m_display;
};

QString sqlite(const QString &db, const QString &sql)
{
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {db, sql});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

const QString MainTitle = QStringLiteral("^灶香居 2004 新春版 当前共有[0-9]+道美食$");
const QString FindTitle = QStringLiteral("^：：查询/修改食谱：：$");
const QString ConfirmEditTitle = QStringLiteral("^：：修改菜谱：：$");
const QString MessageTitle = QStringLiteral("^灶香居 2004$");

QString tofuRow(const QString &db)
{
    return sqlite(db, QStringLiteral("SELECT \"名称\"||'|'||ingredients||'|'||method FROM \"01\" WHERE \"名称\" LIKE 'E2E%'"));
}

// Opens the search window of the program with this main window and lists
// the tofu dish; the window's id.
QString searchTofu(const Desktop &desk, const QString &main, qint64 pid)
{
    desk.activate(main);
    desk.click(main, 2760, 480, 480, 480);
    const QString search = desk.waitWindow(FindTitle, 30000, pid);
    if (search.isEmpty())
        return search;
    desk.click(search, 1440, 720, 3975, 390);
    desk.type(QStringLiteral("E2E Tofu"));
    desk.click(search, 5520, 720, 1410, 480);        // 开始查询
    return search;
}
// Replaces the method in the search window's method box.
void typeMethod(const Desktop &desk, const QString &search, const QString &method)
{
    desk.click(search, 2640, 3120, 5775, 2415);
    desk.key(search, QStringLiteral("ctrl+a"));
    desk.type(method);
}

} // namespace

class Cook : public QObject {
    Q_OBJECT
private slots:
    void aCooksSession();
    void aFileBeingWrittenIsLeftAlone();
    void recipesInAndOutWithoutADisplay();
private:
    bool placeProgram(Desktop &desk, const QTemporaryDir &folder);
    void twoCopiesOnOneFile(const Desktop &desk, const QString &program, const QString &main, qint64 pid,
                            const QString &db);
    void oneDishInTheCooksHands(const Desktop &desk, const QString &main, const QString &db);
};

// The program and the starter recipes copied into a folder of their own,
// the program portable there; false (after a skip or a failure) when they
// cannot be.
bool Cook::placeProgram(Desktop &desk, const QTemporaryDir &folder)
{
    const QString program = QStringLiteral(ZX_BINARY_DIR "/zaoxiangju");
    const QString starter = QStringLiteral(ZX_BINARY_DIR "/starter/cate.mdb");
    if (!QFile::exists(program) || !QFile::exists(starter)) {
        QTest::qSkip("the program or the starter database has not been built", __FILE__, __LINE__);
        return false;
    }
    QString why;
    if (!desk.start(&why)) {
        QTest::qSkip(qPrintable(why), __FILE__, __LINE__);
        return false;
    }
    const QString db = folder.filePath(QStringLiteral("cate.mdb"));
    const bool copied = QFile::copy(program, folder.filePath(QStringLiteral("zaoxiangju"))) && QFile::copy(starter, db);
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(folder.filePath(QStringLiteral("zaoxiangju")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!copied)
        QTest::qFail("the program could not be copied", __FILE__, __LINE__);
    return copied;
}

void Cook::aCooksSession()
{
    const QString program = QStringLiteral(ZX_BINARY_DIR "/zaoxiangju");
    Desktop desk;
    QTemporaryDir folder;
    if (!placeProgram(desk, folder))
        return;
    const QString db = folder.filePath(QStringLiteral("cate.mdb"));
    const int dishesBefore = sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt();
    const QString firstCategory = sqlite(db, QStringLiteral("SELECT trim(category) FROM \"02\" ORDER BY rowid LIMIT 1"));

    QProcess app;
    app.setProcessEnvironment(desk.environment());
    app.setWorkingDirectory(QDir::tempPath());   // the program finds its file beside itself, not here
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(folder.filePath(QStringLiteral("zaoxiangju")), {});
    QVERIFY(app.waitForStarted());

    const QString main = desk.waitWindow(MainTitle);
    if (main.isEmpty())
        qWarning("on the screen instead (program %s):\n%s",
                 app.state() == QProcess::Running ? "running" : "ended", qUtf8Printable(desk.visibleTitles()));
    QVERIFY2(!main.isEmpty(), "the main window did not appear with its dish count");
    QCOMPARE(desk.title(main), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(dishesBefore));

    // 添加美食: pick the first category, type a dish, save, confirm, close the message.
    desk.click(main, 1680, 480, 480, 480);
    const QString add = desk.waitWindow(QStringLiteral("^：：添加美食：：$"));
    QVERIFY2(!add.isEmpty(), "the add window did not open");
    desk.clickPixel(add, 360, 1000, 40, 9);          // first entry of the category list
    desk.click(add, 3960, 720, 4290, 330);           // dish name
    desk.type(QStringLiteral("E2E Tofu 42"));
    desk.click(add, 2940, 1530, 5310, 1290);         // ingredients
    desk.type(QStringLiteral("Tofu 300g"));
    desk.click(add, 2940, 3210, 5310, 1650);         // method
    desk.type(QStringLiteral("Fry 5 min"));
    desk.click(add, 6840, 4980, 1410, 480);          // 添加
    QVERIFY2(desk.answer(QStringLiteral("^保存菜谱$"), QStringLiteral("y")), "no save confirmation");
    QVERIFY2(desk.answer(QStringLiteral("^保存完毕$"), QStringLiteral("Return")), "no saved message");
    QCOMPARE(desk.title(main), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(dishesBefore + 1));
    QCOMPARE(sqlite(db, QStringLiteral("SELECT category||'|'||\"名称\"||'|'||ingredients||'|'||method FROM \"01\" WHERE \"名称\" LIKE 'E2E%'")),
             firstCategory + QStringLiteral("|E2E Tofu 42|Tofu 300g|Fry 5 min"));
    desk.key(add, QStringLiteral("alt+F4"));   // the frame's close button does the same; the window goes either way
    desk.waitGone(QStringLiteral("^：：添加美食：：$"), 3000);

    // 查询/修改: find it, rename it, store it.
    desk.click(main, 2760, 480, 480, 480);
    const QString search = desk.waitWindow(QStringLiteral("^：：查询/修改食谱：：$"));
    QVERIFY2(!search.isEmpty(), "the search window did not open");
    desk.click(search, 1440, 720, 3975, 390);
    desk.type(QStringLiteral("e2e tofu"));           // letter case does not matter in the search
    desk.click(search, 5520, 720, 1410, 480);        // 开始查询
    desk.clickPixel(search, 240, 1560, 40, 9);       // the one dish found
    desk.click(search, 1440, 720, 3975, 390);
    desk.key(search, QStringLiteral("ctrl+a"));
    desk.type(QStringLiteral("E2E Tofu Renamed"));
    desk.click(search, 4800, 5640, 1410, 480);       // 更 新
    QVERIFY2(desk.answer(QStringLiteral("^：：修改菜谱：：$"), QStringLiteral("y")), "no store confirmation");
    QVERIFY2(desk.waitGone(QStringLiteral("^：：查询/修改食谱：：$")), "the search window stayed after storing");
    QCOMPARE(sqlite(db, QStringLiteral("SELECT \"名称\"||'|'||ingredients FROM \"01\" WHERE \"名称\" LIKE 'E2E%'")),
             QStringLiteral("E2E Tofu Renamed|Tofu 300g"));
    QCOMPARE(desk.title(main), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(dishesBefore + 1));

    twoCopiesOnOneFile(desk, folder.filePath(QStringLiteral("zaoxiangju")), main, app.processId(), db);
    if (QTest::currentTestFailed())
        return;

    // 每日菜谱: a draw fills the name box.
    desk.click(main, 600, 480, 480, 480);
    const QString daily = desk.waitWindow(QStringLiteral("^：：每日一菜：：$"));
    QVERIFY2(!daily.isEmpty(), "the daily window did not open");
    const QRect nameBox(px(240), px(400), px(7695), px(375));
    const QImage before = desk.grab(daily, folder.filePath(QStringLiteral("before.png"))).copy(nameBox);
    desk.click(daily, 2520, 4560, 1410, 480);        // 显示菜谱
    QImage after;
    for (int i = 0; i < 50 && (after.isNull() || after == before); ++i) {
        QThread::msleep(100);
        after = desk.grab(daily, folder.filePath(QStringLiteral("after.png"))).copy(nameBox);
    }
    QVERIFY(!before.isNull());
    QVERIFY2(after != before, "the drawn dish's name did not appear");

    oneDishInTheCooksHands(desk, main, db);
    if (QTest::currentTestFailed())
        return;

    // 离开小屋: the program ends.
    desk.click(main, 7080, 480, 480, 480);
    QVERIFY2(app.waitForFinished(20000), "the program did not end");
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    QCOMPARE(sqlite(db, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt(), dishesBefore + 1);
    QVERIFY(QFile::exists(folder.filePath(QStringLiteral("temp.txt"))));
}

// Another program is in the middle of a write when the program starts: it
// holds the lock, and pages of its transaction are already in the file with
// the journal beside it. The start says the file is busy, offers no restore
// and moves nothing; the other program's commit then goes through, the file
// is whole, and the tree follows it.
void Cook::aFileBeingWrittenIsLeftAlone()
{
    Desktop desk;
    QTemporaryDir folder;
    if (!placeProgram(desk, folder))
        return;
    const QString db = folder.filePath(QStringLiteral("cate.mdb"));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("备份")));
    QVERIFY(QFile::copy(db, folder.filePath(QStringLiteral("备份/cate-20261201-090000-导入.mdb"))));
    const int dishes = sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt();

    QProcess writer;
    writer.start(QStringLiteral("sqlite3"), {db});
    QVERIFY(writer.waitForStarted());
    // A tiny page cache spills the transaction's pages into the file.
    writer.write("PRAGMA cache_size=2; BEGIN EXCLUSIVE;"
                 "INSERT INTO \"01\"(category, \"名称\", ingredients, method, picture) "
                 "SELECT category, \"名称\" || '二', ingredients, method, picture FROM \"01\";\n");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(db + QStringLiteral("-journal")).size() > 0, 20000);

    QProcess app;
    app.setProcessEnvironment(desk.environment());
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(folder.filePath(QStringLiteral("zaoxiangju")), {});
    QVERIFY(app.waitForStarted());
    const QString box = desk.waitWindow(MessageTitle);
    QVERIFY2(!box.isEmpty(), "the start said nothing of the busy file");
    // Were it the restore question, Y would answer yes and close it within
    // a moment (the button's click is animated); a message stays.
    desk.key(box, QStringLiteral("y"));
    QVERIFY2(!desk.waitGone(MessageTitle, 1500), "the start asked a question");
    QVERIFY(desk.answer(MessageTitle, QStringLiteral("Return")));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"cate.mdb", "cate.mdb-journal", "zaoxiangju"}));

    writer.write("COMMIT;\n");
    writer.closeWriteChannel();
    QVERIFY(writer.waitForFinished(20000));
    QCOMPARE(writer.readAllStandardError(), QByteArray());
    QCOMPARE(writer.exitCode(), 0);
    const QString main = desk.waitWindow(QStringLiteral("当前共有%1道美食$").arg(2 * dishes));
    QVERIFY2(!main.isEmpty(), qPrintable(desk.visibleTitles()));
    QVERIFY(desk.search(QStringLiteral("^：：恢复备份：：$")).isEmpty());
    QCOMPARE(sqlite(db, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    QCOMPARE(QDir(folder.filePath(QStringLiteral("备份"))).entryList(QDir::Files).size(), 1);
    desk.click(main, 7080, 480, 480, 480);   // 离开小屋
    QVERIFY(app.waitForFinished(20000));
}

// A second copy of the program on the same cate.mdb stores its edit of the
// dish while this copy shows it: this copy's edit then writes nothing.
void Cook::twoCopiesOnOneFile(const Desktop &desk, const QString &program, const QString &main, qint64 pid,
                              const QString &db)
{
    const QString before = QStringLiteral("E2E Tofu Renamed|Tofu 300g|Fry 5 min");
    QCOMPARE(tofuRow(db), before);
    const QString mine = searchTofu(desk, main, pid);
    QVERIFY2(!mine.isEmpty(), "the search window did not open");

    // Tab into the list makes its entry current, not selected: 更 新 says
    // nothing is selected, asks nothing and writes nothing.
    desk.key(mine, QStringLiteral("Tab"));
    desk.click(mine, 4800, 5640, 1410, 480);         // 更 新
    QVERIFY2(desk.answer(MessageTitle, QStringLiteral("Return")), "no message that no dish is selected");
    QVERIFY2(desk.search(ConfirmEditTitle).isEmpty(), "a store question came without a selected dish");
    QCOMPARE(tofuRow(db), before);

    desk.clickPixel(mine, 240, 1560, 40, 9);         // the dish, shown

    // The other copy stores its own method.
    QProcess other;
    other.setProcessEnvironment(desk.environment());
    other.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    other.start(program, {});
    QVERIFY(other.waitForStarted());
    const QString otherMain = desk.waitWindow(MainTitle, 30000, other.processId());
    QVERIFY2(!otherMain.isEmpty(), "the second copy did not start");
    const QString theirs = searchTofu(desk, otherMain, other.processId());
    QVERIFY2(!theirs.isEmpty(), "the second copy's search window did not open");
    desk.clickPixel(theirs, 240, 1560, 40, 9);
    typeMethod(desk, theirs, QStringLiteral("Steam 8 min"));
    desk.click(theirs, 4800, 5640, 1410, 480);       // 更 新
    QVERIFY2(desk.answer(ConfirmEditTitle, QStringLiteral("y")), "no store question in the second copy");
    QVERIFY2(desk.waitGone(FindTitle, 20000, other.processId()), "the second copy's search window stayed");
    const QString theirRow = QStringLiteral("E2E Tofu Renamed|Tofu 300g|Steam 8 min");
    QCOMPARE(tofuRow(db), theirRow);
    desk.activate(otherMain);
    desk.click(otherMain, 7080, 480, 480, 480);      // 离开小屋
    QVERIFY2(other.waitForFinished(20000), "the second copy did not end");

    // This copy's edit of what it showed earlier: told, nothing written, the edit kept.
    desk.activate(mine);
    typeMethod(desk, mine, QStringLiteral("Boil 2 min"));
    desk.click(mine, 4800, 5640, 1410, 480);         // 更 新
    QVERIFY2(desk.answer(ConfirmEditTitle, QStringLiteral("y")), "no store question");
    QVERIFY2(desk.answer(MessageTitle, QStringLiteral("Return")), "no message that the dish changed elsewhere");
    QVERIFY2(!desk.search(FindTitle, pid).isEmpty(), "the search window closed without storing");
    QCOMPARE(tofuRow(db), theirRow);

    // Closing with the edit still in the boxes asks first; No keeps it.
    const QString discard = QStringLiteral("^灶香居 2004$");
    desk.activate(mine);
    desk.key(mine, QStringLiteral("Escape"));
    QVERIFY2(desk.answer(discard, QStringLiteral("n")), "no question before the edit was thrown away");
    QVERIFY2(!desk.search(FindTitle, pid).isEmpty(), "the window closed although the cook said no");
    // Clicking the shown entry again asks too; Yes shows the row as it is now.
    desk.clickPixel(mine, 240, 1560, 40, 9);
    QVERIFY2(desk.answer(discard, QStringLiteral("y")), "no question before the entry was shown anew");
    desk.key(mine, QStringLiteral("Escape"));          // nothing pending now: closes at once
    QVERIFY2(desk.waitGone(FindTitle, 5000), "the search window did not close");
    QCOMPARE(tofuRow(db), theirRow);
}

// By keyboard alone in the tree: a dish deleted by the Delete key, another
// moved by the menu (Shift+F10), and the safety copy made before the delete
// brought back from the root's menu.
void Cook::oneDishInTheCooksHands(const Desktop &desk, const QString &main, const QString &db)
{
    const QString perCategory = QStringLiteral("SELECT group_concat(n, ',') FROM (SELECT trim(category) || count(*) AS n "
                                               "FROM \"01\" GROUP BY trim(category) ORDER BY trim(category))");
    const QString before = sqlite(db, perCategory);
    const int dishes = sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt();
    desk.activate(main);
    desk.clickPixel(main, 240, 1320, 40, 9);            // the root node
    const auto keys = [&](const QStringList &names) { desk.xdo(QStringList{QStringLiteral("key")} + names); };
    keys({QStringLiteral("Down"), QStringLiteral("Right"), QStringLiteral("Down")});   // the first category, opened, its first dish
    keys({QStringLiteral("Delete")});
    QVERIFY2(desk.answer(QStringLiteral("^：：删除菜谱：：$"), QStringLiteral("y")), "no question before deleting a dish");
    // The delete lands once the question is gone: waited for, not assumed.
    QTRY_COMPARE_WITH_TIMEOUT(sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt(), dishes - 1, 10000);
    QCOMPARE(QDir(QFileInfo(db).dir().filePath(QStringLiteral("备份"))).entryList({QStringLiteral("*-删除菜谱.mdb")}).size(), 1);

    const QString afterDelete = sqlite(db, perCategory);
    // The next dish is selected: moved into the first other category.
    desk.activate(main);
    int windows = desk.programWindows();
    keys({QStringLiteral("shift+F10")});
    QVERIFY2(desk.waitWindowMore(windows), "the dish menu did not open");
    // 删除这道菜…, 加入我的最爱, 标签…, 移到分类 ▸: its first other category.
    keys({QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
          QStringLiteral("Right"), QStringLiteral("Down"), QStringLiteral("Return")});
    QTRY_COMPARE_WITH_TIMEOUT(sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt(), dishes - 1, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(sqlite(db, perCategory) != afterDelete, 5000);

    // Home, the root's menu, 恢复备份… (its last entry), the newest copy, 恢 复.
    desk.activate(main);
    keys({QStringLiteral("Home")});
    windows = desk.programWindows();
    keys({QStringLiteral("shift+F10")});
    QVERIFY2(desk.waitWindowMore(windows), "the root menu did not open");
    keys({QStringLiteral("Up"), QStringLiteral("Return")});
    const QString restore = desk.waitWindow(QStringLiteral("^：：恢复备份：：$"));
    QVERIFY2(!restore.isEmpty(), "the restore window did not open");
    desk.clickPixel(restore, 360, 900, 40, 9);
    desk.click(restore, 5430, 4020, 1410, 480);
    QVERIFY2(desk.answer(QStringLiteral("^灶香居 2004$"), QStringLiteral("y")), "no question before restoring");
    QTRY_COMPARE_WITH_TIMEOUT(sqlite(db, perCategory), before, 5000);
    QCOMPARE(desk.title(main), QStringLiteral("灶香居 2004 新春版 当前共有%1道美食").arg(dishes));
    desk.key(restore, QStringLiteral("Escape"));
    desk.waitGone(QStringLiteral("^：：恢复备份：：$"), 3000);
}

// The command line, with no display and no platform named: recipes in
// from a JSON file and a MealMaster file (a missing source refused, the
// rest imported), a category out as an archive, and a damaged catalogue
// refused with a pointer to the safety copies.
void Cook::recipesInAndOutWithoutADisplay()
{
    QTemporaryDir folder;
    const QString program = folder.filePath(QStringLiteral("zaoxiangju"));
    const QString db = folder.filePath(QStringLiteral("cate.mdb"));
    if (!QFile::copy(QStringLiteral(ZX_BINARY_DIR "/zaoxiangju"), program)
        || !QFile::copy(QStringLiteral(ZX_BINARY_DIR "/starter/cate.mdb"), db))
        QSKIP("the program or the starter database has not been built");
    QFile::setPermissions(db, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const auto write = [&](const QString &name, const QByteArray &text) {
        QFile f(folder.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
    };
    write("a.json", R"({"@context":"https://schema.org","@type":"Recipe","name":"命令行豆腐","recipeCategory":"命令行菜",)"
                    R"("recipeIngredient":["豆腐"],"recipeInstructions":"煎"})");
    write("b.mmf", "MMMMM----- Recipe via Meal-Master (tm) v8.05\n\n      Title: Cli Soup\n Categories: 命令行菜\n"
                   "      Yield: 2 servings\n\n      1 c  water\n\n  Boil.\n\nMMMMM\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    const auto run = [&](const QStringList &args, QString *out, QString *err = nullptr) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(folder.path());
        p.start(program, args);
        p.waitForFinished(60000);
        *out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    const int before = sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt();
    QString out, err;
    QCOMPARE(run({"--import", "a.json", "b.mmf", "gone.html"}, &out), 1);
    QCOMPARE(out.split('\n').size(), 5);
    QVERIFY2(out.split('\n').at(2).startsWith("gone.html："), qPrintable(out));
    QCOMPARE(out.split('\n').at(3), QStringLiteral("导入了 2 道美食（跳过 0 道相同的）。"));
    QCOMPARE(out.split('\n').last(), QStringLiteral("放进了：命令行菜 2 道"));
    QCOMPARE(sqlite(db, QStringLiteral("SELECT count(*) FROM \"01\"")).toInt(), before + 2);

    QCOMPARE(run({"--export", "json", "--category", "命令行菜", "out.zip"}, &out), 0);
    QCOMPARE(out, "已导出 2 道美食到 " + folder.filePath("out.zip") + "。");

    write("cate.mdb", QByteArray(4096, 'x'));
    QCOMPARE(run({"--import", "a.json"}, &out, &err), 2);
    QVERIFY2(err.contains(QStringLiteral("恢复备份")), qPrintable(err));
}

QTEST_GUILESS_MAIN(Cook)
#include "tst_cook.moc"
