// The import chooser as the cook meets it: a folder typed and Enter opens
// it to look inside; only 导入整个文件夹 imports a folder, the one shown.
#include "core/filedialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void folderTypedOpensAndOnlyTheButtonImportsIt()
    {
        QTemporaryDir dir;
        const QString inner = dir.filePath(QStringLiteral("川菜"));
        QVERIFY(QDir().mkpath(inner + QStringLiteral("/子文件夹")));
        QString folder = dir.path();
        bool simplify = true;
        bool stillOpen = false;
        QString shown;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(inner);
            QTest::keyClick(name, Qt::Key_Return);
            QTRY_COMPARE(QFileInfo(dialog->directory().absolutePath()), QFileInfo(inner));
            stillOpen = dialog->isVisible();
            shown = dialog->findChild<QPushButton *>(QStringLiteral("importFolder"))->text();
            dialog->findChild<QPushButton *>(QStringLiteral("importFolder"))->click();
        });
        const QStringList chosen = chooseRecipeSources(nullptr, folder, simplify);
        QVERIFY(stillOpen);
        QCOMPARE(shown, QStringLiteral("导入整个文件夹"));
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(QFileInfo(chosen.first()), QFileInfo(inner));
        QCOMPARE(QFileInfo(folder), QFileInfo(inner));
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
