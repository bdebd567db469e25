#include "app/deviceproxymodel.h"
#include "app/devicetablemodel.h"
#include "params/deviceregistry.h"
#include "tests/support/core/testsettings.h"

#include <QFont>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Writes the array by hand, as an engineer editing the store would.
void writeArray(const QVector<QStringList> &rows)
{
    QSettings s;
    s.beginWriteArray(QStringLiteral("devices"));
    for (int i = 0; i < rows.size(); ++i) {
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("serial"), rows[i].value(0));
        s.setValue(QStringLiteral("name"), rows[i].value(1));
        s.setValue(QStringLiteral("version"), rows[i].value(2));
        s.setValue(QStringLiteral("addr"), rows[i].value(3));
    }
    s.endArray();
}

QStringList serials(const DeviceRegistry &r)
{
    QStringList out;
    for (const DeviceRecord &d : r.devices())
        out << d.serial;
    return out;
}

}

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings = std::make_unique<TestSettings>(); }
    void cleanup() { m_settings.reset(); }

    void emptyStoreLoadsEmptyAndWritesNothing()
    {
        {
            DeviceRegistry r;
            QVERIFY(r.devices().isEmpty());
            QVERIFY(!r.isModified());
        }
        QVERIFY(!QFile::exists(m_settings->fileName()));
    }

    void registerAppendsWithSerialAsDefaultName()
    {
        {
            DeviceRegistry r;
            QSignalSpy changed(&r, &DeviceRegistry::changed);
            r.registerDevice(QStringLiteral("0001"), QStringLiteral("2.53.12"), QString(), QString());
            QCOMPARE(changed.count(), 1);
            QVERIFY(r.isModified());
        }
        DeviceRegistry again;
        QCOMPARE(again.devices().size(), 1);
        const DeviceRecord d = again.devices().first();
        QCOMPARE(d.serial, QStringLiteral("0001"));
        QCOMPARE(d.name, QStringLiteral("0001"));
        QCOMPARE(d.version, QStringLiteral("2.53.12"));
        QCOMPARE(d.addr, QString());
    }

    void reRegisterUpdatesInPlaceAndKeepsPosition()
    {
        writeArray({{"A", "first", "2.52.*", "127.0.0.5"}, {"B", "second", "2.53.*", ""},
                    {"C", "third", "2.53.1", ""}});
        {
            DeviceRegistry r;
            QSignalSpy changed(&r, &DeviceRegistry::changed);
            r.registerDevice(QStringLiteral("B"), QStringLiteral("2.53.40"), QString(),
                             QStringLiteral("127.0.0.9"));
            // Even a registration that changes nothing counts as a change.
            r.registerDevice(QStringLiteral("C"), QStringLiteral("2.53.1"), QStringLiteral("third"), QString());
            QCOMPARE(changed.count(), 2);
        }
        DeviceRegistry r;
        QCOMPARE(serials(r), QStringList({"A", "B", "C"}));
        QCOMPARE(r.devices()[1].name, QStringLiteral("B"));
        QCOMPARE(r.devices()[1].version, QStringLiteral("2.53.40"));
        QCOMPARE(r.devices()[1].addr, QStringLiteral("127.0.0.9"));
        QCOMPARE(r.devices()[0].name, QStringLiteral("first"));
    }

    void serialsCompareCaseSensitively()
    {
        DeviceRegistry r;
        r.registerDevice(QStringLiteral("abc"), QStringLiteral("2.53.*"), QString(), QString());
        r.registerDevice(QStringLiteral("ABC"), QStringLiteral("2.53.*"), QString(), QString());
        QCOMPARE(r.devices().size(), 2);
        const DeviceRecord a{"x", "n1", "v1", "a1"};
        const DeviceRecord b{"x", "n2", "v2", "a2"};
        const DeviceRecord c{"X", "n1", "v1", "a1"};
        QVERIFY(a == b);
        QVERIFY(a != c);
    }

    void duplicateSerialsInHandEditedStore()
    {
        writeArray({{"D", "one", "2.53.1", ""}, {"E", "e", "2.53.1", ""}, {"D", "two", "2.53.1", ""}});
        {
            DeviceRegistry r;
            QCOMPARE(serials(r), QStringList({"D", "E", "D"}));
            r.registerDevice(QStringLiteral("D"), QStringLiteral("2.53.9"), QStringLiteral("renamed"), QString());
            r.setVersion(QStringLiteral("D"), QStringLiteral("2.53.10"));
            r.setAddress(QStringLiteral("D"), QStringLiteral("127.0.0.3"));
            QCOMPARE(r.devices()[0].name, QStringLiteral("renamed"));
            QCOMPARE(r.devices()[0].version, QStringLiteral("2.53.10"));
            QCOMPARE(r.devices()[0].addr, QStringLiteral("127.0.0.3"));
            QCOMPARE(r.devices()[2].name, QStringLiteral("two"));
            QCOMPARE(r.devices()[2].version, QStringLiteral("2.53.1"));
            QCOMPARE(r.devices()[2].addr, QString());
            r.remove(QStringLiteral("D"));
            QCOMPARE(serials(r), QStringList({"E"}));
        }
        QCOMPARE(serials(DeviceRegistry()), QStringList({"E"}));
    }

    void unknownSerialChangesNothing()
    {
        writeArray({{"A", "a", "2.53.1", ""}});
        DeviceRegistry r;
        QSignalSpy changed(&r, &DeviceRegistry::changed);
        r.setVersion(QStringLiteral("Z"), QStringLiteral("1"));
        r.setAddress(QStringLiteral("Z"), QStringLiteral("1"));
        r.remove(QStringLiteral("Z"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!r.isModified());
    }

    void shorterSaveLeavesStoredLeftoverUnread()
    {
        writeArray({{"A", "a", "1", ""}, {"B", "b", "2", ""}, {"C", "c", "3", ""}});
        {
            DeviceRegistry r;
            r.remove(QStringLiteral("B"));
            r.save();
            QVERIFY(!r.isModified());
        }
        QSettings plain;
        QCOMPARE(plain.value(QStringLiteral("devices/size")).toInt(), 2);
        QCOMPARE(plain.value(QStringLiteral("devices/1/serial")).toString(), QStringLiteral("A"));
        QCOMPARE(plain.value(QStringLiteral("devices/2/serial")).toString(), QStringLiteral("C"));
        // The third element from before is still stored, but no longer counts.
        QCOMPARE(plain.value(QStringLiteral("devices/3/serial")).toString(), QStringLiteral("C"));
        QCOMPARE(serials(DeviceRegistry()), QStringList({"A", "C"}));
    }

    void removingTheLastWritesSizeZero()
    {
        writeArray({{"A", "a", "1", ""}});
        {
            DeviceRegistry r;
            r.remove(QStringLiteral("A"));
        }
        QSettings plain;
        QVERIFY(plain.contains(QStringLiteral("devices/size")));
        QCOMPARE(plain.value(QStringLiteral("devices/size")).toInt(), 0);
        QVERIFY(DeviceRegistry().devices().isEmpty());
    }

    void settingsFileLayoutKeyByKey()
    {
        {
            DeviceRegistry r;
            r.registerDevice(QStringLiteral("0012345678"), QStringLiteral("2.53.12"),
                             QStringLiteral("Касса 1"), QStringLiteral("127.0.0.2"));
            r.registerDevice(QStringLiteral("77"), QStringLiteral("2.52.*"), QString(), QString());
        }
        QVERIFY(QFile::exists(m_settings->fileName()));
        QSettings plain(m_settings->fileName(), QSettings::IniFormat);
        QStringList keys = plain.allKeys();
        keys.sort();
        QCOMPARE(keys, QStringList({"devices/1/addr", "devices/1/name", "devices/1/serial",
                                    "devices/1/version", "devices/2/addr", "devices/2/name",
                                    "devices/2/serial", "devices/2/version", "devices/size"}));
        QCOMPARE(plain.value("devices/size").toInt(), 2);
        QCOMPARE(plain.value("devices/1/serial").toString(), QStringLiteral("0012345678"));
        QCOMPARE(plain.value("devices/1/name").toString(), QStringLiteral("Касса 1"));
        QCOMPARE(plain.value("devices/1/version").toString(), QStringLiteral("2.53.12"));
        QCOMPARE(plain.value("devices/1/addr").toString(), QStringLiteral("127.0.0.2"));
        QCOMPARE(plain.value("devices/2/serial").toString(), QStringLiteral("77"));
        QCOMPARE(plain.value("devices/2/name").toString(), QStringLiteral("77"));
        QCOMPARE(plain.value("devices/2/addr").toString(), QString());
    }

    void missingValuesReadAsEmpty()
    {
        {
            QSettings s;
            s.beginWriteArray(QStringLiteral("devices"), 2);
            s.setArrayIndex(1);
            s.setValue(QStringLiteral("serial"), QStringLiteral("only"));
            s.endArray();
        }
        DeviceRegistry r;
        QCOMPARE(r.devices().size(), 2);
        QCOMPARE(r.devices()[0].serial, QString());
        QCOMPARE(r.devices()[1].serial, QStringLiteral("only"));
        QCOMPARE(r.devices()[1].addr, QString());
    }

    void tableModelShowsRegistryWithHeadersAndFont()
    {
        writeArray({{"S1", "Name 1", "2.53.2", "127.0.0.4"}});
        DeviceTableModel model;
        model.loadFromRegistry();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), 4);
        const QStringList expected = {"S1", "Name 1", "2.53.2", "127.0.0.4"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(model.data(model.index(0, c)).toString(), expected[c]);
        QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid());
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        const QStringList headers = {"Заводской номер", "Наименование", "Версия", "Адрес"};
        for (int c = 0; c < 4; ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers[c]);
        QVERIFY(!model.headerData(4, Qt::Horizontal).isValid());
        QVERIFY(!model.headerData(0, Qt::Vertical).isValid());

        DeviceProxyModel proxy;
        proxy.setSourceModel(&model);
        const auto checkFont = [](const QVariant &v) {
            const QFont f = v.value<QFont>();
            QCOMPARE(f.family(), QStringLiteral("Tahoma"));
            QCOMPARE(f.pointSize(), 10);
            QVERIFY(!f.italic());
            QCOMPARE(f.weight(), int(QFont::Normal));
        };
        for (int c = 0; c < 4; ++c)
            checkFont(proxy.data(proxy.index(0, c), Qt::FontRole));
        checkFont(proxy.headerData(2, Qt::Horizontal, Qt::FontRole));
        checkFont(proxy.headerData(0, Qt::Vertical, Qt::FontRole));
        QCOMPARE(proxy.data(proxy.index(0, 1)).toString(), QStringLiteral("Name 1"));
        QCOMPARE(proxy.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Адрес"));
    }

private:
    std::unique_ptr<TestSettings> m_settings;
};

QTEST_MAIN(TestRegistry)
#include "tst_registry.moc"
