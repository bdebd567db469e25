#include "app/mainwindow.h"
#include "editor/devicewindow.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"

#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

#include <optional>

using namespace WindowDriver;

namespace {

void addDevices(const QStringList &serialsAndNames)
{
    DeviceRegistry r;
    for (const QString &entry : serialsAndNames) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        r.registerDevice(parts[0], QStringLiteral("2.53.*"), parts.value(1), QString());
    }
}

QStringList registrySerials()
{
    QStringList out;
    const DeviceRegistry registry;
    for (const DeviceRecord &d : registry.devices())
        out << d.serial;
    return out;
}

bool hasProfile(const QString &serial)
{
    QSettings s;
    s.beginGroup(QStringLiteral("profiles"));
    return s.childGroups().contains(serial);
}

}

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_settings = &m_sandbox.emplace().settings;
        m_dialogs = &m_sandbox->dialogs;
    }
    void cleanup()
    {
        QCOMPARE(m_dialogs->pendingAnswers(), 0);
        m_sandbox.reset();
    }

    void layoutAndNames()
    {
        MainWindow w;
        QCOMPARE(w.objectName(), QStringLiteral("MainWindow"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvane Utility 3"));
        QCOMPARE(w.height(), 300);
        QVERIFY(w.width() >= 400);
        auto *add = w.findChild<QAction *>(QStringLiteral("actionNewDevice"));
        auto *drop = w.findChild<QAction *>(QStringLiteral("actionDropDevice"));
        QVERIFY(add && drop);
        QCOMPARE(add->text(), QStringLiteral("Добавление ККТ"));
        QCOMPARE(drop->text(), QStringLiteral("Удаление ККТ"));
        QVERIFY(add->icon().isNull());
        auto *toolBar = w.findChild<QToolBar *>(QStringLiteral("mainToolBar"));
        QVERIFY(toolBar);
        QCOMPARE(toolBar->actions(), QList<QAction *>({add, drop}));
        QCOMPARE(w.toolBarArea(toolBar), Qt::TopToolBarArea);
        QVERIFY(w.findChild<QMenuBar *>(QStringLiteral("menuBar")));
        QVERIFY(w.findChild<QMenuBar *>(QStringLiteral("menuBar"))->actions().isEmpty());
        QVERIFY(w.findChild<QStatusBar *>(QStringLiteral("statusBar")));
        QCOMPARE(w.centralWidget()->objectName(), QStringLiteral("centralWidget"));
        auto *grid = w.findChild<QGridLayout *>(QStringLiteral("gridLayout"));
        QVERIFY(grid);
        QCOMPARE(grid->spacing(), 6);
        QCOMPARE(grid->contentsMargins(), QMargins(11, 11, 11, 11));
        auto *table = w.findChild<QTableView *>(QStringLiteral("deviceTable"));
        QVERIFY(table);
        QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
        QVERIFY(table->isSortingEnabled());
        QVERIFY(table->horizontalHeader()->stretchLastSection());
    }

    void showsRegistryAtStart()
    {
        addDevices({"111:Касса", "222"});
        MainWindow w;
        auto *table = child<QTableView>(&w, "deviceTable");
        QCOMPARE(table->model()->rowCount(), 2);
        QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("Касса"));
        QCOMPARE(table->model()->index(1, 1).data().toString(), QStringLiteral("222"));
        QCOMPARE(table->model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Заводской номер"));
    }

    void removeWithEmptyRegistryDoesNothing()
    {
        MainWindow w;
        trigger(&w, "actionDropDevice");
        QVERIFY(m_dialogs->shown().isEmpty());
    }

    void removeWithoutSelectionDoesNothing()
    {
        addDevices({"111"});
        MainWindow w;
        trigger(&w, "actionDropDevice");
        QVERIFY(m_dialogs->shown().isEmpty());
        QCOMPARE(registrySerials(), QStringList({"111"}));
    }

    void removeAsksAndTakesProfileAndGoods()
    {
        addDevices({"111", "222"});
        DeviceProfile().save(QStringLiteral("222"), QStringLiteral("2.53.1"), 2000, "p", "s");
        DeviceProfile().saveGoods(QStringLiteral("222"), "g");
        DeviceProfile().save(QStringLiteral("111"), QStringLiteral("2.53.1"), 2000, "p", "s");
        MainWindow w;
        auto *table = child<QTableView>(&w, "deviceTable");
        table->selectRow(1);
        m_dialogs->answerYes();
        trigger(&w, "actionDropDevice");

        QCOMPARE(m_dialogs->shown().size(), 1);
        const DialogRequest q = m_dialogs->last();
        QCOMPARE(q.kind, DialogRequest::Question);
        QCOMPARE(q.title, QStringLiteral("Удаление ККТ"));
        QCOMPARE(q.text, QStringLiteral("Удалить запись о ККТ 222 вместе с данными?"));
        QCOMPARE(registrySerials(), QStringList({"111"}));
        QVERIFY(!hasProfile(QStringLiteral("222")));
        QVERIFY(hasProfile(QStringLiteral("111")));
        QCOMPARE(table->model()->rowCount(), 1);

        // Registering the serial again starts with no profile at all.
        addDevices({"222"});
        QByteArray goods;
        DeviceProfile().loadGoods(QStringLiteral("222"), goods);
        QVERIFY(goods.isEmpty());
    }

    void decliningKeepsEntryAndProfile()
    {
        addDevices({"111"});
        DeviceProfile().save(QStringLiteral("111"), QStringLiteral("2.53.1"), 2000, "p", "s");
        MainWindow w;
        auto *table = child<QTableView>(&w, "deviceTable");
        table->selectRow(0);
        m_dialogs->answerNo();
        trigger(&w, "actionDropDevice");
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(registrySerials(), QStringList({"111"}));
        QVERIFY(hasProfile(QStringLiteral("111")));
        QCOMPARE(table->model()->rowCount(), 1);
    }

    void sortedRemovalRemovesTheRowShown()
    {
        // Registry order B, C, A; sorted by serial the view shows A, B, C.
        addDevices({"B:bravo", "C:charlie", "A:alpha"});
        MainWindow w;
        w.show();
        auto *table = child<QTableView>(&w, "deviceTable");
        table->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(table->model()->index(0, 0).data().toString(), QStringLiteral("A"));

        // Click the first visible row the way a user would.
        clickCell(table, table->model()->index(0, 1));
        QCOMPARE(table->selectionModel()->selectedRows(0).size(), 1);
        m_dialogs->answerYes();
        trigger(&w, "actionDropDevice");
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Удалить запись о ККТ A вместе с данными?"));
        QCOMPARE(registrySerials(), QStringList({"B", "C"}));
        QCOMPARE(table->model()->rowCount(), 2);
    }

    void enterOpensTheSelectedRegister_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void enterOpensTheSelectedRegister()
    {
        QFETCH(int, key);
        addDevices({"111:Касса", "222:Склад"});
        MainWindow w;
        QVERIFY(show(&w));
        auto *table = child<QTableView>(&w, "deviceTable");
        table->setFocus();
        QVERIFY(pressKey(&w, Qt::Key(key), table));
        QVERIFY(!w.findChild<DeviceWindow *>());

        clickCell(table, table->model()->index(1, 1));
        QVERIFY(pressKey(&w, Qt::Key(key), table));
        QPointer<DeviceWindow> opened = w.findChild<DeviceWindow *>();
        QVERIFY(opened && opened->isVisible());
        QCOMPARE(opened->serial(), QStringLiteral("222"));
        QCOMPARE(opened->windowModality(), Qt::WindowModal);
        opened->close();
        QTRY_VERIFY(opened.isNull());
    }

    void deleteAsksToRemoveTheSelectedRegister()
    {
        addDevices({"111", "222"});
        MainWindow w;
        QVERIFY(show(&w));
        auto *table = child<QTableView>(&w, "deviceTable");
        table->setFocus();
        QVERIFY(pressKey(&w, Qt::Key_Delete, table));
        QVERIFY(m_dialogs->shown().isEmpty());

        clickCell(table, table->model()->index(0, 1));
        m_dialogs->answerNo();
        m_dialogs->answerYes();
        QVERIFY(pressKey(&w, Qt::Key_Delete, table));
        QCOMPARE(registrySerials(), QStringList({"111", "222"}));
        QVERIFY(pressKey(&w, Qt::Key_Delete, table));
        QCOMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_dialogs->last().title, QStringLiteral("Удаление ККТ"));
        QCOMPARE(m_dialogs->last().text, QStringLiteral("Удалить запись о ККТ 111 вместе с данными?"));
        QCOMPARE(registrySerials(), QStringList({"222"}));
    }

    void opensWithEveryColumnInView()
    {
        {
            DeviceRegistry r;
            r.registerDevice(QStringLiteral("2530000001"), QStringLiteral("2.53.10"),
                             QStringLiteral("Касса у входа в торговый зал"), QStringLiteral("127.100.200.200"));
            r.save();
        }
        MainWindow w;
        QCOMPARE(child<QTableView>(&w, "deviceTable")->model()->rowCount(), 1);
        QVERIFY(show(&w));
        auto *table = child<QTableView>(&w, "deviceTable");
        QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
        const QAbstractItemView *cells = table;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            QVERIFY(table->columnWidth(column) >= cells->sizeHintForColumn(column));
    }

    void argumentsAreIgnoredByTheWindow()
    {
        // The window reads nothing but the registry; a fresh store stays unwritten.
        MainWindow w;
        QVERIFY(!QFile::exists(m_settings->fileName()));
    }

private:
    std::optional<WindowSandbox> m_sandbox;
    TestSettings *m_settings = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
