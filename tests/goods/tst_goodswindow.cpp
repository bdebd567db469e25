#include "goods/goodscodec.h"
#include "goods/goodssortfilterproxymodel.h"
#include "goods/goodstablemodel.h"
#include "goodswindow/goodswindow.h"
#include "link/fixedprobe.h"
#include "params/deviceprofile.h"
#include "session/backupstore.h"
#include "tests/goods/goodssamples.h"
#include "tests/support/core/simulators.h"
#include "tests/support/core/testsettings.h"
#include "tests/support/widgets/scripteddialogs.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/goodsissuewidget.h"
#include "widgets/issuelistmodel.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <memory>

using GoodsSamples::item;
using namespace WindowDriver;

namespace {

const QString kSerial = QStringLiteral("2530000001");
const QStringList kDepartments = {QStringLiteral("Отдел 1"), QStringLiteral("Отдел 2")};

GoodsList threeGoods()
{
    return GoodsList() << item(QStringLiteral("Хлеб"), QStringLiteral("1"),
                               QStringLiteral("3000001000037"), 12.5, 1)
                       << item(QStringLiteral("Молоко"), QStringLiteral("22"), QString(), 79.99, 2)
                       << item(QStringLiteral("Сыр"), QStringLiteral("12345"), QString(), 0.01, 1);
}

QStringList names(const GoodsList &goods)
{
    QStringList out;
    for (const GoodsItem &g : goods)
        out << g.name;
    return out;
}

qint16 recordNumber(const QByteArray &bytes, int record)
{
    const int at = record * 128;
    return qint16(quint8(bytes.at(at)) | (quint8(bytes.at(at + 1)) << 8));
}

} // namespace

class TestGoodsWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<GoodsWindow> makeWindow(const QString &address, int capacity = 2000)
    {
        auto w = std::make_unique<GoodsWindow>();
        w->setDevice(kSerial, capacity, address, Simulators::WindowPort, kDepartments);
        return w;
    }

    std::unique_ptr<RegisterSimulator> startSim(const QString &address)
    {
        return Simulators::start(SimConfig::family253(kSerial.toLatin1()), address, Simulators::WindowPort);
    }

private slots:
    void writeThreeGoods()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.140"));
        QVERIFY(sim);
        auto w = makeWindow(QStringLiteral("127.0.0.140"));
        w->model()->setGoods(threeGoods());

        trigger(w.get(), "actionExport");
        QTRY_VERIFY(!dialogs.shown().isEmpty());
        QCOMPARE(dialogs.last().kind, DialogRequest::Information);
        QCOMPARE(dialogs.last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Выгрузка завершена успешно"));

        const QByteArray area = sim->areaContent(5);
        QVERIFY(area.size() >= 6 * 128);
        QCOMPARE(area.left(128), QByteArray(128, '\0'));
        QCOMPARE(recordNumber(area, 1), qint16(1));
        QCOMPARE(recordNumber(area, 2), qint16(2));
        QCOMPARE(recordNumber(area, 3), qint16(3));
        QCOMPARE(recordNumber(area, 4), qint16(-1));
        QCOMPARE(recordNumber(area, 5), qint16(-1));
        QCOMPARE(area.left(6 * 128), encodeGoods(threeGoods(), true));

        // A fresh window reads the same rows back.
        dialogs.clear();
        auto fresh = makeWindow(QStringLiteral("127.0.0.140"));
        QCOMPARE(fresh->model()->rowCount(), 0);
        trigger(fresh.get(), "actionImport");
        QTRY_COMPARE(fresh->model()->rowCount(), 3);
        QVERIFY(dialogs.shown().isEmpty());
        const GoodsList read = fresh->model()->goods();
        const GoodsList sent = threeGoods();
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(read.at(i).name, sent.at(i).name);
            QCOMPARE(read.at(i).intcode, sent.at(i).intcode);
            QCOMPARE(read.at(i).barcode, sent.at(i).barcode);
            QCOMPARE(read.at(i).price, sent.at(i).price);
            QCOMPARE(read.at(i).dept, sent.at(i).dept);
        }
    }

    void writeEmptyTable()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.141"));
        QVERIFY(sim);
        sim->setAreaContent(5, QByteArray(1024, '\x55'));
        auto w = makeWindow(QStringLiteral("127.0.0.141"));
        // An empty table asks first; No sends nothing.
        dialogs.answerNo();
        trigger(w.get(), "actionExport");
        QCOMPARE(dialogs.last().kind, DialogRequest::Question);
        QCOMPARE(dialogs.last().text, QStringLiteral("Таблица товаров пуста. Удалить все товары из ККТ?"));
        QCOMPARE(sim->connectionCount(), 0);
        dialogs.answerYes();
        trigger(w.get(), "actionExport");
        QTRY_COMPARE(dialogs.last().text, QStringLiteral("Выгрузка завершена успешно"));
        const QByteArray area = sim->areaContent(5);
        QCOMPARE(area.left(256), encodeGoods(GoodsList(), true));
        QCOMPARE(area.mid(256, 16), QByteArray(16, '\x55'));
    }

    void readReplacesTableAndClearsProblems()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.142"));
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(threeGoods(), true)));
        auto w = makeWindow(QStringLiteral("127.0.0.142"));
        w->model()->setGoods(GoodsList(5));
        trigger(w.get(), "actionValidate");
        QVERIFY(w->issues());
        QVERIFY(w->issues()->model()->rowCount() > 0);

        trigger(w.get(), "actionImport");
        QTRY_COMPARE(w->model()->rowCount(), 3);
        QCOMPARE(names(w->model()->goods()), names(threeGoods()));
        QCOMPARE(w->issues()->model()->rowCount(), 0);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void readRefusedKeepsTable()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.143"));
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(threeGoods(), true)));
        sim->setRefuse(SimRefuse::Unbind);
        auto w = makeWindow(QStringLiteral("127.0.0.143"));
        w->model()->setGoods(GoodsList(2));

        trigger(w.get(), "actionImport");
        QTRY_VERIFY(!dialogs.shown().isEmpty());
        QCOMPARE(dialogs.last().kind, DialogRequest::Warning);
        QCOMPARE(dialogs.last().title, QStringLiteral("Загрузка из ККТ"));
        QVERIFY2(QRegularExpression(QStringLiteral("^Ошибка загрузки\\. -\\d+$"))
                         .match(dialogs.last().text).hasMatch(),
                 qPrintable(dialogs.last().text));
        QCOMPARE(w->model()->rowCount(), 2);
    }

    void readBadChecksumKeepsTable()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.144"));
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(threeGoods(), true)));
        sim->setBadChecksum(true);
        auto w = makeWindow(QStringLiteral("127.0.0.144"));
        w->model()->setGoods(GoodsList(1));

        trigger(w.get(), "actionImport");
        QTRY_VERIFY(!dialogs.shown().isEmpty());
        QCOMPARE(dialogs.last().title, QStringLiteral("Загрузка из ККТ"));
        QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Ошибка загрузки. -")));
        QCOMPARE(w->model()->rowCount(), 1);
    }

    void readCancelStopsAndKeepsTable()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.145"));
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(threeGoods(), true)));
        sim->setReplyDelay(300);
        auto w = makeWindow(QStringLiteral("127.0.0.145"));
        w->model()->setGoods(GoodsList(2));

        cancelProgressAt(QStringLiteral("Загрузка из ККТ..."));
        trigger(w.get(), "actionImport");
        QTRY_VERIFY_WITH_TIMEOUT(!dialogs.shown().isEmpty(), 10000);
        QCOMPARE(dialogs.last().title, QStringLiteral("Загрузка из ККТ"));
        QVERIFY(dialogs.last().text.startsWith(QStringLiteral("Ошибка загрузки. -")));
        QCOMPARE(w->model()->rowCount(), 2);
    }

    void writeCancelDoesNotStop()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.146"));
        QVERIFY(sim);
        sim->setReplyDelay(200);
        auto w = makeWindow(QStringLiteral("127.0.0.146"));
        w->model()->setGoods(threeGoods());

        cancelProgressAt(QStringLiteral("Выгрузка в ККТ..."));
        trigger(w.get(), "actionExport");
        QTRY_VERIFY_WITH_TIMEOUT(!dialogs.shown().isEmpty(), 10000);
        QCOMPARE(dialogs.last().text, QStringLiteral("Выгрузка завершена успешно"));
        QCOMPARE(sim->areaContent(5).left(6 * 128), encodeGoods(threeGoods(), true));
    }

    void writeFailureShowsCode()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.0.147"));
        QVERIFY(sim);
        sim->setNakWrites(true);
        auto w = makeWindow(QStringLiteral("127.0.0.147"));
        w->model()->setGoods(threeGoods());
        dialogs.answerNo();
        trigger(w.get(), "actionExport");
        QTRY_COMPARE(dialogs.shown().size(), 2);
        const DialogRequest failure = dialogs.shown().at(0);
        QCOMPARE(failure.kind, DialogRequest::Warning);
        QCOMPARE(failure.title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(failure.text, QStringLiteral("Ошибка выгрузки. -9"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Восстановить данные ККТ из резервной копии?"));
    }

    // Cut off after its first write request, the write offers its backup,
    // which brings every byte of the goods area back.
    void cutOffWriteIsRestored()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.18.50"));
        QVERIFY(sim);
        GoodsList old;
        for (int i = 1; i <= 20; ++i)
            old.append(GoodsItem{QStringLiteral("Старый %1").arg(i), QString::number(i), QString(), 1.0 * i, 1});
        QVERIFY(sim->setAreaContent(5, encodeGoods(old, true)));
        const QByteArray before = sim->areaContent(5);
        auto w = makeWindow(QStringLiteral("127.0.18.50"));
        GoodsList fresh;
        for (int i = 1; i <= 30; ++i)
            fresh.append(GoodsItem{QStringLiteral("Новый %1").arg(i), QString::number(i), QString(), 2.0 * i, 1});
        w->model()->setGoods(fresh);
        // Identify, header, serial page, the backup's four reads of the 16
        // pages the write touches, then one write of four pages.
        sim->setDropAfter(8);
        bool halfWritten = false;
        dialogs.setOnShown([&](const DialogRequest &request) {
            if (request.kind != DialogRequest::Question)
                return;
            halfWritten = sim->areaContent(5) != before;
            sim->clearFaults();
        });
        dialogs.answerYes();
        trigger(w.get(), "actionExport");
        QTRY_COMPARE(dialogs.last().text, QStringLiteral("Резервная копия записана в ККТ"));
        QCOMPARE(dialogs.shown().at(0).text, QStringLiteral("Ошибка выгрузки. -14"));
        QVERIFY(dialogs.shown().at(0).informative.contains(QStringLiteral("Данные в ККТ могли быть записаны частично")));
        QVERIFY(halfWritten);
        QCOMPARE(sim->areaContent(5), before);
        QCOMPARE(names(w->model()->goods()), names(old));
    }

    // The menu lists the goods backups with their counts, newest first.
    void restoreFromTheMenu()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = startSim(QStringLiteral("127.0.18.51"));
        QVERIFY(sim);
        QVERIFY(sim->setAreaContent(5, encodeGoods(threeGoods(), true)));
        auto w = makeWindow(QStringLiteral("127.0.18.51"));
        w->model()->setGoods(threeGoods().mid(0, 1));
        trigger(w.get(), "actionExport");
        QTRY_COMPARE(dialogs.last().text, QStringLiteral("Выгрузка завершена успешно"));
        dialogs.clear();

        const QVector<BackupEntry> backups = BackupStore::list(kSerial);
        QCOMPARE(backups.size(), 1);
        dialogs.answerItem(QStringLiteral("%1 — товаров: 3")
                                   .arg(backups.at(0).time.toLocalTime().toString("dd.MM.yyyy HH:mm:ss")));
        dialogs.answerYes();
        trigger(w.get(), "actionRestore");
        QTRY_COMPARE(dialogs.last().text, QStringLiteral("Резервная копия записана в ККТ"));
        QCOMPARE(dialogs.shown().at(0).items.size(), 1);
        QCOMPARE(names(w->model()->goods()), names(threeGoods()));
        QCOMPARE(sim->areaContent(5).left(6 * 128), encodeGoods(threeGoods(), true));
    }

    // The register's serial number is only the start of the window's.
    void writeToAnotherRegisterWritesNothing()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        auto sim = Simulators::start(SimConfig::family253(kSerial.left(8).toLatin1()), QStringLiteral("127.0.17.21"),
                                     Simulators::WindowPort);
        QVERIFY(sim);
        auto w = makeWindow(QStringLiteral("127.0.17.21"));
        w->model()->setGoods(threeGoods());
        trigger(w.get(), "actionExport");
        QTRY_VERIFY(!dialogs.shown().isEmpty());
        QCOMPARE(dialogs.last().text, QStringLiteral("Ошибка выгрузки. -15"));
        QCOMPARE(dialogs.last().informative,
                 QStringLiteral("Заводской номер ККТ %1 не совпадает с заданным %2.\nАдрес ККТ: 127.0.17.21.")
                         .arg(kSerial.left(8), kSerial));
        QCOMPARE(Simulators::writesSeen(*sim), 0);
    }

    void unreachableWarns()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        FixedProbe::Scope probes;
        probes.setUnreachable(QStringLiteral("127.0.0.148"));
        auto w = makeWindow(QStringLiteral("127.0.0.148"));
        trigger(w.get(), "actionImport");
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.last().title, QStringLiteral("Загрузка из ККТ"));
        QCOMPARE(dialogs.last().text, QStringLiteral("ККТ по адресу 127.0.0.148 не доступен"));
        w->model()->setGoods(threeGoods());
        trigger(w.get(), "actionExport");
        QCOMPARE(dialogs.shown().size(), 2);
        QCOMPARE(dialogs.last().title, QStringLiteral("Выгрузка в ККТ"));
        QCOMPARE(dialogs.last().text, QStringLiteral("ККТ по адресу 127.0.0.148 не доступен"));
    }

    void profileStoresGoodsOnly()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        const QByteArray params(21 * 256, '\x11');
        const QByteArray system(4 * 256, '\x22');
        DeviceProfile().save(kSerial, QStringLiteral("2.53.10"), 2000, params, system);

        auto w = makeWindow(QStringLiteral("127.0.0.149"));
        w->model()->setGoods(threeGoods());
        trigger(w.get(), "actionProfileExport");
        QVERIFY(dialogs.shown().isEmpty());

        QByteArray goods;
        DeviceProfile().loadGoods(kSerial, goods);
        QCOMPARE(goods, encodeGoods(threeGoods(), false));
        QString version;
        int cap = 0;
        QByteArray p, s;
        DeviceProfile().load(kSerial, version, cap, p, s);
        QCOMPARE(p, params);
        QCOMPARE(s, system);

        auto reopened = makeWindow(QStringLiteral("127.0.0.149"));
        QCOMPARE(names(reopened->model()->goods()), names(threeGoods()));
    }

    void contextMenuAddRemove()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow(QStringLiteral("127.0.0.150"));
        w->show();

        QStringList offered;
        auto pick = [&offered](const QString &text) {
            QTimer::singleShot(50, [&offered, text] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                if (!menu)
                    return;
                offered.clear();
                QAction *chosen = nullptr;
                for (QAction *a : menu->actions()) {
                    offered << a->text();
                    if (a->text() == text)
                        chosen = a;
                }
                menu->close();
                if (chosen)
                    chosen->trigger();
            });
        };

        pick(QStringLiteral("Добавить товар"));
        emit w->view()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(offered, QStringList() << QStringLiteral("Добавить товар"));
        QCOMPARE(w->model()->rowCount(), 1);
        QCOMPARE(w->model()->goods().at(0).dept, 1);

        pick(QStringLiteral("Добавить товар"));
        emit w->view()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(w->model()->rowCount(), 2);
        QCOMPARE(offered, QStringList() << QStringLiteral("Добавить товар")
                                        << QStringLiteral("Убрать товар"));

        w->model()->setData(w->model()->index(0, 0), QStringLiteral("Первый"));
        w->model()->setData(w->model()->index(1, 0), QStringLiteral("Второй"));
        w->view()->selectionModel()->select(w->proxy()->index(1, 2), QItemSelectionModel::Select);
        pick(QStringLiteral("Убрать товар"));
        emit w->view()->customContextMenuRequested(QPoint(5, 5));
        QCOMPARE(names(w->model()->goods()), QStringList() << QStringLiteral("Первый"));
    }

    void removeRowsOfSortedView()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow(QStringLiteral("127.0.0.151"));
        GoodsList goods;
        for (const char *n : {"F", "C", "A", "E", "B", "D"})
            goods << item(QLatin1String(n), QStringLiteral("1"), QString(), 1.0, 1);
        w->model()->setGoods(goods);
        w->view()->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(w->proxy()->index(1, 0).data().toString(), QStringLiteral("B"));
        QCOMPARE(w->proxy()->index(4, 0).data().toString(), QStringLiteral("E"));

        QItemSelectionModel *selection = w->view()->selectionModel();
        selection->select(w->proxy()->index(1, 0), QItemSelectionModel::Select);
        selection->select(w->proxy()->index(1, 3), QItemSelectionModel::Select);
        selection->select(w->proxy()->index(4, 2), QItemSelectionModel::Select);
        QMetaObject::invokeMethod(w.get(), "onRemoveGoods");
        QCOMPARE(names(w->model()->goods()), QStringList() << "F" << "C" << "A" << "D");
    }

    void sortingClearsProblems()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow(QStringLiteral("127.0.0.152"));
        GoodsList goods;
        goods << item(QStringLiteral("Б"), QString(), QString(), 1.0, 1)
              << item(QStringLiteral("А"), QStringLiteral("1"), QString(), 1.0, 7);
        w->model()->setGoods(goods);
        trigger(w.get(), "actionValidate");
        QVERIFY(w->issues());
        QCOMPARE(w->issues()->model()->rowCount(), 2);
        w->view()->sortByColumn(0, Qt::AscendingOrder);
        QCOMPARE(w->issues()->model()->rowCount(), 0);
        trigger(w.get(), "actionValidate");
        QCOMPARE(w->findChildren<GoodsIssueWidget *>().size(), 1);
        QCOMPARE(w->issues()->model()->rowCount(), 2);
    }

    void zeroCapacityMeansTwoThousand()
    {
        TestSettings settings;
        ScriptedDialogs dialogs;
        auto w = makeWindow(QStringLiteral("127.0.0.153"), 0);
        QCOMPARE(w->capacity(), 2000);
        GoodsList goods;
        for (int i = 0; i < 2000; ++i)
            goods << item(QStringLiteral("Т"), QStringLiteral("1"), QString(), 1.0, 1);
        w->model()->setGoods(goods);
        trigger(w.get(), "actionValidate");
        QCOMPARE(w->issues()->model()->rowCount(), 1);
        QCOMPARE(w->issues()->model()->index(0, 0).data().toString(),
                 QStringLiteral("Количество строк 2000 превышает лимит 1999"));
    }
};

QTEST_MAIN(TestGoodsWindow)
#include "tst_goodswindow.moc"
