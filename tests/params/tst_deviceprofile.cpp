#include "params/deviceprofile.h"
#include "tests/support/core/testsettings.h"

#include <QSettings>
#include <QtTest>

#include <memory>

class TestDeviceProfile : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings = std::make_unique<TestSettings>(); }
    void cleanup() { m_settings.reset(); }

    void saveAndLoadRoundTrip()
    {
        const QByteArray params(5252, '\x5A');
        const QByteArray system("\x00\x01\x02\xFF", 4);
        DeviceProfile().save(QStringLiteral("0012"), QStringLiteral("2.53.12"), 1500, params, system);

        QString version;
        int cap = -1;
        QByteArray p, s;
        DeviceProfile().load(QStringLiteral("0012"), version, cap, p, s);
        QCOMPARE(version, QStringLiteral("2.53.12"));
        QCOMPARE(cap, 1500);
        QCOMPARE(p, params);
        QCOMPARE(s, system);

        QSettings plain;
        QCOMPARE(plain.value(QStringLiteral("profiles/0012/version")).toString(), QStringLiteral("2.53.12"));
        QCOMPARE(plain.value(QStringLiteral("profiles/0012/goods-cap")).toInt(), 1500);
        QCOMPARE(plain.value(QStringLiteral("profiles/0012/params")).toByteArray(), params);
        QCOMPARE(plain.value(QStringLiteral("profiles/0012/system")).toByteArray(), system);
    }

    void missingProfileLoadsEmpty()
    {
        QString version = QStringLiteral("old");
        int cap = 7;
        QByteArray p("x"), s("y"), g("z");
        DeviceProfile().load(QStringLiteral("none"), version, cap, p, s);
        DeviceProfile().loadGoods(QStringLiteral("none"), g);
        QCOMPARE(version, QString());
        QCOMPARE(cap, 0);
        QVERIFY(p.isEmpty());
        QVERIFY(s.isEmpty());
        QVERIFY(g.isEmpty());
    }

    void emptyBlockRemovesItsKey()
    {
        DeviceProfile().save(QStringLiteral("1"), QStringLiteral("2.52.40"), 2000, "pp", "ss");
        DeviceProfile().save(QStringLiteral("1"), QStringLiteral("2.52.40"), 2000, "pp", QByteArray());
        QSettings plain;
        QVERIFY(plain.contains(QStringLiteral("profiles/1/params")));
        QVERIFY(!plain.contains(QStringLiteral("profiles/1/system")));
        DeviceProfile().saveGoods(QStringLiteral("1"), "gg");
        QVERIFY(QSettings().contains(QStringLiteral("profiles/1/goods")));
        DeviceProfile().saveGoods(QStringLiteral("1"), QByteArray());
        QVERIFY(!QSettings().contains(QStringLiteral("profiles/1/goods")));
    }

    void goodsAndParametersAreIndependent()
    {
        DeviceProfile().save(QStringLiteral("7"), QStringLiteral("2.53.1"), 10, "params", "system");
        DeviceProfile().saveGoods(QStringLiteral("7"), "goods-1");
        DeviceProfile().save(QStringLiteral("7"), QStringLiteral("2.53.2"), 11, "params-2", "system-2");
        QByteArray g;
        DeviceProfile().loadGoods(QStringLiteral("7"), g);
        QCOMPARE(g, QByteArray("goods-1"));

        DeviceProfile().saveGoods(QStringLiteral("7"), "goods-2");
        QString v;
        int cap = 0;
        QByteArray p, s;
        DeviceProfile().load(QStringLiteral("7"), v, cap, p, s);
        QCOMPARE(v, QStringLiteral("2.53.2"));
        QCOMPARE(cap, 11);
        QCOMPARE(p, QByteArray("params-2"));
        QCOMPARE(s, QByteArray("system-2"));
    }

    void removeDropsWholeProfileOnly()
    {
        DeviceProfile().save(QStringLiteral("A"), QStringLiteral("2.53.1"), 1, "p", "s");
        DeviceProfile().saveGoods(QStringLiteral("A"), "g");
        DeviceProfile().save(QStringLiteral("B"), QStringLiteral("2.53.1"), 1, "p", "s");
        DeviceProfile().remove(QStringLiteral("A"));
        QSettings plain;
        plain.beginGroup(QStringLiteral("profiles"));
        QCOMPARE(plain.childGroups(), QStringList({"B"}));
        plain.endGroup();
        // An empty name must never take every other profile with it.
        DeviceProfile().remove(QString());
        QVERIFY(QSettings().contains(QStringLiteral("profiles/B/params")));
    }

private:
    std::unique_ptr<TestSettings> m_settings;
};

QTEST_MAIN(TestDeviceProfile)
#include "tst_deviceprofile.moc"
