#include "app/mainwindow.h"
#include "editor/devicewindow.h"
#include "goodswindow/goodswindow.h"
#include "params/deviceprofile.h"
#include "params/deviceregistry.h"
#include "tests/support/widgets/windowdriver.h"
#include "tests/support/widgets/windowsandbox.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace WindowDriver;

namespace {

const QString Serial = QStringLiteral("2530000200");

// Writes one value exactly as an engineer with an editor would leave it,
// bypassing the utility's own code.
void put(const QString &key, const QVariant &value)
{
    QSettings s;
    s.setValue(key, value);
}

void putDevice(int position, const QString &serial, const QString &name, const QString &version,
               const QString &addr)
{
    const QString element = QStringLiteral("devices/%1/").arg(position);
    put(element + QStringLiteral("serial"), serial);
    put(element + QStringLiteral("name"), name);
    put(element + QStringLiteral("version"), version);
    put(element + QStringLiteral("addr"), addr);
}

QTableView *deviceTable(MainWindow &w)
{
    return child<QTableView>(&w, "deviceTable");
}

// Opens the device window of the table's row as a double click does.
DeviceWindow *openRow(MainWindow &w, int row)
{
    QTableView *table = deviceTable(w);
    const QModelIndex index = table->model()->index(row, 0);
    QMetaObject::invokeMethod(&w, "on_deviceTable_doubleClicked", Q_ARG(QModelIndex, index));
    return w.findChild<DeviceWindow *>();
}

} // namespace

// The settings store as a hand edit may leave it: the utility starts, lists
// what it can and never crashes.
class TestHandEditedStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WindowSandbox> m_sandbox;

private slots:
    void init() { m_sandbox = std::make_unique<WindowSandbox>(); }
    void cleanup()
    {
        QCOMPARE(m_sandbox->dialogs.pendingAnswers(), 0);
        m_sandbox.reset();
    }

    void millionSizeWithoutElementsListsNothing()
    {
        put(QStringLiteral("devices/size"), 1000000);
        QElapsedTimer clock;
        clock.start();
        MainWindow w;
        qInfo("a registry of size 1000000 without elements loads in %lld ms", clock.elapsed());
        QCOMPARE(deviceTable(w)->model()->rowCount(), 0);
        QVERIFY(DeviceRegistry().devices().isEmpty());
    }

    void millionSizeKeepsTheStoredElements()
    {
        put(QStringLiteral("devices/size"), 1000000);
        putDevice(1, QStringLiteral("A"), QStringLiteral("first"), QStringLiteral("2.53.*"), QString());
        putDevice(3, QStringLiteral("C"), QStringLiteral("third"), QStringLiteral("2.52.*"), QString());
        {
            const DeviceRegistry r;
            // A position missing between two stored ones still reads as an empty record.
            QCOMPARE(r.devices().size(), 3);
            QCOMPARE(r.devices().at(0).serial, QStringLiteral("A"));
            QCOMPARE(r.devices().at(1).serial, QString());
            QCOMPARE(r.devices().at(2).serial, QStringLiteral("C"));
        }
        // The next save writes the real size back.
        {
            DeviceRegistry r;
            r.registerDevice(QStringLiteral("D"), QStringLiteral("2.53.1"), QString(), QString());
        }
        QCOMPARE(QSettings().value(QStringLiteral("devices/size")).toInt(), 4);
        MainWindow w;
        QCOMPARE(deviceTable(w)->model()->rowCount(), 4);
    }

    void elementsBeyondTheSizeStayUnread()
    {
        put(QStringLiteral("devices/size"), 1);
        putDevice(1, QStringLiteral("A"), QString(), QStringLiteral("2.53.*"), QString());
        putDevice(7, QStringLiteral("G"), QString(), QStringLiteral("2.53.*"), QString());
        QCOMPARE(DeviceRegistry().devices().size(), 1);
    }

    void nonNumericSizeIsAnEmptyList()
    {
        put(QStringLiteral("devices/size"), QStringLiteral("many"));
        putDevice(1, QStringLiteral("A"), QString(), QStringLiteral("2.53.*"), QString());
        MainWindow w;
        QCOMPARE(deviceTable(w)->model()->rowCount(), 0);
    }

    void emptySerialsAreListedAndHarmless()
    {
        put(QStringLiteral("devices/size"), 3);
        putDevice(1, QString(), QStringLiteral("Касса без номера"), QStringLiteral("2.53.*"),
                  QStringLiteral("127.0.0.200"));
        putDevice(2, Serial, QStringLiteral("Касса"), QStringLiteral("2.53.*"), QString());
        putDevice(3, QString(), QString(), QString(), QString());
        MainWindow w;
        QTableView *table = deviceTable(w);
        QCOMPARE(table->model()->rowCount(), 3);

        // Nothing to remove without a serial number: no question, nothing changes.
        table->selectRow(0);
        QCOMPARE(table->model()->index(0, 1).data().toString(), QStringLiteral("Касса без номера"));
        trigger(&w, "actionDropDevice");
        QVERIFY(m_sandbox->dialogs.shown().isEmpty());
        QCOMPARE(DeviceRegistry().devices().size(), 3);

        // Its window opens with the family's defaults and can keep no profile.
        DeviceWindow *window = openRow(w, 0);
        QVERIFY(window);
        QVERIFY(!window->tabs().isEmpty());
        trigger(window, "actionSaveProfile");
        QSettings s;
        s.beginGroup(QStringLiteral("profiles"));
        QVERIFY(s.childGroups().isEmpty());
        QVERIFY(s.childKeys().isEmpty());
        window->close();
    }

    void textWhereBytesBelongLoadsAsShortBlocks()
    {
        DeviceProfile().save(Serial, QStringLiteral("2.53.10"), 1500, QByteArray(21 * 256, '\0'),
                             QByteArray());
        const QString group = QStringLiteral("profiles/%1/").arg(Serial);
        put(group + QStringLiteral("params"), QStringLiteral("никаких байтов тут нет"));
        put(group + QStringLiteral("system"), QStringList{QStringLiteral("a"), QStringLiteral("b")});
        put(group + QStringLiteral("goods"), QStringLiteral("@ByteArray(oops"));
        put(QStringLiteral("devices/size"), 1);
        putDevice(1, Serial, QStringLiteral("Касса"), QStringLiteral("2.53.10"), QString());

        MainWindow w;
        DeviceWindow *window = openRow(w, 0);
        QVERIFY(window);
        QCOMPARE(window->goodsCap(), 1500);
        trigger(window, "actionValidate");
        trigger(window, "actionGoods");
        auto *goods = window->findChild<GoodsWindow *>();
        QVERIFY(goods);
        goods->close();

        // Saving turns the text back into a whole params image.
        trigger(window, "actionSaveProfile");
        const QVariant params = QSettings().value(group + QStringLiteral("params"));
        QCOMPARE(params.type(), QVariant::ByteArray);
        QVERIFY(params.toByteArray().size() >= 20 * 256);
        window->close();
    }

    void goodsCapacityThatIsNoNumberFallsBackToTheDefault_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("loaded");
        QTest::newRow("text") << QVariant(QStringLiteral("много")) << 0;
        QTest::newRow("overflowing digits") << QVariant(QStringLiteral("99999999999")) << 0;
        QTest::newRow("bytes") << QVariant(QByteArray("\xff\x00\x01", 3)) << 0;
        QTest::newRow("negative") << QVariant(-5) << -5;
    }

    void goodsCapacityThatIsNoNumberFallsBackToTheDefault()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, loaded);
        DeviceProfile().save(Serial, QStringLiteral("2.53.10"), 1500, QByteArray(21 * 256, '\0'),
                             QByteArray());
        put(QStringLiteral("profiles/%1/goods-cap").arg(Serial), stored);
        QString version;
        int cap = 1;
        QByteArray params, system;
        DeviceProfile().load(Serial, version, cap, params, system);
        QCOMPARE(cap, loaded);

        put(QStringLiteral("devices/size"), 1);
        putDevice(1, Serial, QStringLiteral("Касса"), QStringLiteral("2.53.10"), QString());
        MainWindow w;
        DeviceWindow *window = openRow(w, 0);
        QVERIFY(window);
        trigger(window, "actionGoods");
        auto *goods = window->findChild<GoodsWindow *>();
        QVERIFY(goods);
        QCOMPARE(goods->capacity(), 2000);
        // An empty table is within any sound limit: the check finds nothing.
        trigger(goods, "actionValidate");
        QVERIFY(goods->issues());
        QCOMPARE(goods->issues()->model()->rowCount(), 0);
        goods->close();
        window->close();
    }
};

QTEST_MAIN(TestHandEditedStore)
#include "tst_handeditedstore.moc"
