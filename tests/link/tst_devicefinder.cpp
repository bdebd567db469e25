#include "link/devicefinder.h"
#include "sim/registersimulator.h"
#include "tests/support/core/wine.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {

// Each case gets its own loopback address and discovery port, so cases and
// parallel test programs never hear each other's answers.
quint16 g_nextPort = 0;

quint16 nextPort()
{
    if (g_nextPort == 0)
        g_nextPort = quint16(21000 + (QCoreApplication::applicationPid() % 500) * 20);
    return ++g_nextPort;
}

QJsonArray search(DeviceFinder &finder)
{
    QSignalSpy finished(&finder, &DeviceFinder::finished);
    finder.run();
    if (finished.count() != 1)
        return {};
    return QJsonDocument::fromJson(finder.foundDevices()).array();
}

struct Register
{
    std::unique_ptr<RegisterSimulator> sim;
    QHostAddress address;
};

Register startRegister(const char *address, quint16 port, const QByteArray &serial,
                       SimDiscoveryReply reply = SimDiscoveryReply::Normal)
{
    Register r;
    r.address = QHostAddress(QString::fromLatin1(address));
    r.sim = std::make_unique<RegisterSimulator>(SimConfig::family253(serial));
    r.sim->setDiscoveryReply(reply);
    if (!r.sim->start(r.address, 0) || !r.sim->startDiscovery(port))
        qWarning("simulator: %s", qPrintable(r.sim->errorString()));
    return r;
}

}

class TestDeviceFinder : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { DeviceFinder::setAddressSource({}); }

    void parsesAnswerLines_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("matches");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("ip");
        QTest::newRow("plain") << QByteArray("0012345678 00:1A:2B:3C:4D:5E 192.168.0.17\n") << true
                               << "0012345678" << "00:1A:2B:3C:4D:5E" << "192.168.0.17";
        QTest::newRow("hyphen lower") << QByteArray("77 00-1a-2b-3c-4d-5e 10.0.0.5\n") << true
                                      << "77" << "00-1a-2b-3c-4d-5e" << "10.0.0.5";
        QTest::newRow("trailing bytes") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.5\n1.2.3.4 junk")
                                        << true << "5" << "00:1A:2B:3C:4D:5E" << "10.0.0.5";
        QTest::newRow("zero cuts") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.5\n\0garbage", 38)
                                   << true << "5" << "00:1A:2B:3C:4D:5E" << "10.0.0.5";
        QTest::newRow("zero before line feed") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.5\0\n", 30)
                                               << false << "" << "" << "";
        QTest::newRow("no line feed") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.5") << false << "" << "" << "";
        QTest::newRow("leading zero") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.05\n") << false << "" << "" << "";
        QTest::newRow("five groups") << QByteArray("5 00:1A:2B:3C:4D 10.0.0.5\n") << false << "" << "" << "";
        QTest::newRow("part over 255") << QByteArray("5 00:1A:2B:3C:4D:5E 10.0.0.256\n") << false << "" << "" << "";
        QTest::newRow("letters in serial") << QByteArray("A5 00:1A:2B:3C:4D:5E 10.0.0.5\n") << false << "" << "" << "";
        QTest::newRow("own question") << QByteArray("Are You Korvane POS?\n") << false << "" << "" << "";
        QTest::newRow("huge") << QByteArray(65507, '7') << false << "" << "" << "";
    }

    void parsesAnswerLines()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, matches);
        QString device, mac, ip;
        QCOMPARE(DeviceFinder::parseAnswer(datagram, &device, &mac, &ip), matches);
        if (matches) {
            QTEST(device, "device");
            QTEST(mac, "mac");
            QTEST(ip, "ip");
        }
    }

    void findsRegisterWithItsAnswer()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        const quint16 port = nextPort();
        Register r = startRegister("127.0.0.51", port, "0012345678");
        r.sim->setDiscoveryIp("192.168.0.17");
        DeviceFinder::setAddressSource([&] { return QList<QHostAddress>{r.address}; });
        DeviceFinder finder;
        finder.setPort(port);
        finder.setTimeout(300);
        QSignalSpy received(&finder, &DeviceFinder::received);
        const QJsonArray found = search(finder);
        QCOMPARE(found.size(), 1);
        const QJsonObject o = found.first().toObject();
        QCOMPARE(o.value("device").toString(), QStringLiteral("0012345678"));
        QCOMPARE(o.value("mac").toString(), QStringLiteral("00:1A:2B:3C:4D:5E"));
        QCOMPARE(o.value("ip").toString(), QStringLiteral("192.168.0.17"));
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.first().first().toInt(), 1);
        QCOMPARE(r.sim->discoveryQueries(), 1);
        // Compact JSON with exactly the three members.
        QCOMPARE(finder.foundDevices(),
                 QByteArray(R"([{"device":"0012345678","ip":"192.168.0.17","mac":"00:1A:2B:3C:4D:5E"}])"));
    }

    void variantsGiveObjectsOrAreIgnored_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<int>("objects");
        QTest::addColumn<int>("received");
        QTest::newRow("hyphen lower") << int(SimDiscoveryReply::HyphenLowerMac) << 1 << 1;
        QTest::newRow("no line feed") << int(SimDiscoveryReply::NoLineFeed) << 0 << 1;
        QTest::newRow("leading zero") << int(SimDiscoveryReply::LeadingZeroIp) << 0 << 1;
        QTest::newRow("five groups") << int(SimDiscoveryReply::FiveGroupMac) << 0 << 1;
        QTest::newRow("twice") << int(SimDiscoveryReply::Twice) << 2 << 2;
        QTest::newRow("silent") << int(SimDiscoveryReply::Silent) << 0 << 0;
    }

    void variantsGiveObjectsOrAreIgnored()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        QFETCH(int, reply);
        QFETCH(int, objects);
        QFETCH(int, received);
        const quint16 port = nextPort();
        Register r = startRegister("127.0.0.52", port, "42", SimDiscoveryReply(reply));
        DeviceFinder::setAddressSource([&] { return QList<QHostAddress>{r.address}; });
        DeviceFinder finder;
        finder.setPort(port);
        finder.setTimeout(300);
        QSignalSpy spy(&finder, &DeviceFinder::received);
        const QJsonArray found = search(finder);
        QCOMPARE(found.size(), objects);
        QCOMPARE(spy.count(), received);
        for (const QJsonValue &v : found)
            QCOMPARE(v.toObject().value("device").toString(), QStringLiteral("42"));
        if (reply == int(SimDiscoveryReply::HyphenLowerMac))
            QCOMPARE(found.first().toObject().value("mac").toString(), QStringLiteral("00-1a-2b-3c-4d-5e"));
    }

    void twoRegistersAnswerInOrder()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        const quint16 port = nextPort();
        Register a = startRegister("127.0.0.53", port, "111");
        Register b = startRegister("127.0.0.54", port, "222");
        DeviceFinder::setAddressSource([&] { return QList<QHostAddress>{a.address, b.address}; });
        DeviceFinder finder;
        finder.setPort(port);
        finder.setTimeout(300);
        const QJsonArray found = search(finder);
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0].toObject().value("device").toString(), QStringLiteral("111"));
        QCOMPARE(found[1].toObject().value("device").toString(), QStringLiteral("222"));
    }

    void silentAddressesCostATimeoutEach()
    {
        const quint16 port = nextPort();
        DeviceFinder::setAddressSource([] {
            return QList<QHostAddress>{QHostAddress("127.0.0.55"), QHostAddress("127.0.0.56")};
        });
        DeviceFinder finder;
        finder.setPort(port);
        finder.setTimeout(400);
        QElapsedTimer clock;
        clock.start();
        const QJsonArray found = search(finder);
        const qint64 elapsed = clock.elapsed();
        QVERIFY(found.isEmpty());
        QCOMPARE(finder.foundDevices(), QByteArray("[]"));
        // Every address waits one full timeout for its first answer.
        QVERIFY2(elapsed >= 2 * 400 - 20, qPrintable(QString::number(elapsed)));
    }

    void noAddressesFinishesAtOnceWithEmptyArray()
    {
        DeviceFinder::setAddressSource([] { return QList<QHostAddress>{}; });
        DeviceFinder finder;
        finder.setPort(nextPort());
        QCOMPARE(search(finder).size(), 0);
        QCOMPARE(finder.foundDevices(), QByteArray("[]"));
    }

    void stopEndsSearchWithAnswersSoFar()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        const quint16 port = nextPort();
        Register r = startRegister("127.0.0.57", port, "999");
        // After the answering register, a silent address the search never reaches.
        DeviceFinder::setAddressSource([&] {
            return QList<QHostAddress>{r.address, QHostAddress("127.0.0.58"), QHostAddress("127.0.0.59")};
        });
        auto owner = std::make_unique<DeviceFinder>();
        DeviceFinder *finder = owner.get();
        finder->setPort(port);
        finder->setTimeout(2000);
        QThread thread;
        finder->moveToThread(&thread);
        connect(&thread, &QThread::started, finder, &DeviceFinder::run);
        connect(finder, &DeviceFinder::received, finder, &DeviceFinder::stop, Qt::DirectConnection);
        QSignalSpy finished(finder, &DeviceFinder::finished);
        thread.start();
        QVERIFY(finished.wait(5000));
        thread.quit();
        thread.wait();
        const QJsonArray found = QJsonDocument::fromJson(finder->foundDevices()).array();
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first().toObject().value("device").toString(), QStringLiteral("999"));
    }

    void stopDuringWaitEndsAfterThatWait()
    {
        DeviceFinder::setAddressSource([] {
            return QList<QHostAddress>{QHostAddress("127.0.0.60"), QHostAddress("127.0.0.61"),
                                       QHostAddress("127.0.0.62")};
        });
        auto finder = std::make_unique<DeviceFinder>();
        finder->setPort(nextPort());
        finder->setTimeout(1000);
        QThread thread;
        finder->moveToThread(&thread);
        connect(&thread, &QThread::started, finder.get(), &DeviceFinder::run);
        QSignalSpy finished(finder.get(), &DeviceFinder::finished);
        QElapsedTimer clock;
        thread.start();
        clock.start();
        QTest::qWait(100);
        finder->stop();
        QVERIFY(finished.wait(5000));
        thread.quit();
        thread.wait();
        // Three silent addresses would take three timeouts; the stop ends the first wait.
        QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(finder->foundDevices(), QByteArray("[]"));
    }
};

QTEST_MAIN(TestDeviceFinder)
#include "tst_devicefinder.moc"
