#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "session/firmwareversion.h"

#include <QtTest>

// The family of a version text decides the parameter set, the tabs and
// whether parameters may be written.
class TestFirmwareVersion : public QObject
{
    Q_OBJECT

private slots:
    void minorNumber_data();
    void minorNumber();
    void parameterSetOfTheFamily();
};

void TestFirmwareVersion::minorNumber_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("minor");
    QTest::addColumn<bool>("writable");
    QTest::newRow("reported 2.53") << "2.53.10" << 53 << true;
    QTest::newRow("pattern 2.53") << "2.53.*" << 53 << true;
    QTest::newRow("reported 2.52") << "2.52.40" << 52 << false;
    QTest::newRow("pattern 2.52") << "2.52.*" << 52 << false;
    QTest::newRow("older") << "2.51.26" << 51 << false;
    QTest::newRow("no second part") << "2" << -1 << false;
    QTest::newRow("not a number") << "2.x.1" << -1 << false;
    QTest::newRow("empty") << "" << -1 << false;
}

void TestFirmwareVersion::minorNumber()
{
    QFETCH(QString, version);
    QFETCH(int, minor);
    QFETCH(bool, writable);
    QCOMPARE(FirmwareVersion::minor(version), minor);
    QCOMPARE(FirmwareVersion::isWritable(version), writable);
    QCOMPARE(FirmwareVersion::isKnownFamily(version), minor == 52 || minor == 53);
}

void TestFirmwareVersion::parameterSetOfTheFamily()
{
    QVERIFY(qobject_cast<DeviceParams53 *>(FirmwareVersion::createParams("2.53.10").get()));
    QVERIFY(qobject_cast<DeviceParams52 *>(FirmwareVersion::createParams("2.52.*").get()));
    QVERIFY(!FirmwareVersion::createParams("2.51.26"));
    QCOMPARE(FirmwareVersion::text(2, 53, 7), QStringLiteral("2.53.7"));
}

QTEST_GUILESS_MAIN(TestFirmwareVersion)
#include "tst_firmwareversion.moc"
