#include "link/fixedprobe.h"
#include "link/icmpprobe.h"
#include "link/dottedquad.h"

#include <QtTest>

Q_DECLARE_METATYPE(IcmpProbe::Facility)

class TestProbe : public QObject
{
    Q_OBJECT

private slots:
    void invalidTextIsRefusedWithoutSending_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("part over 255") << "192.168.1.300";
        QTest::newRow("broadcast") << "255.255.255.255";
        QTest::newRow("empty") << "";
        QTest::newRow("host name") << "localhost";
        QTest::newRow("three parts") << "127.0.1";
        QTest::newRow("trailing text") << "127.0.0.1x";
        // Short, octal and hex forms that one platform's parser or another takes.
        QTest::newRow("two parts") << "127.1";
        QTest::newRow("leading zero") << "127.0.0.01";
        QTest::newRow("hex part") << "0x7f.0.0.1";
        QTest::newRow("sign") << "+127.0.0.1";
        QTest::newRow("space") << " 127.0.0.1";
        QTest::newRow("empty part") << "127..0.1";
    }

    void invalidTextIsRefusedWithoutSending()
    {
        QFETCH(QString, address);
        IcmpProbe probe;
        QCOMPARE(probe.ping(address, 1000), -1);
        QCOMPARE(probe.usedFacility(), IcmpProbe::Facility::Automatic);
        QCOMPARE(probe.roundTripTime(), 0);
    }

    void addressInHostOrder()
    {
        quint32 address = 0;
        QVERIFY(DottedQuad::parse(QStringLiteral("192.0.2.10"), &address));
        QCOMPARE(address, 0xC000020Au);
        QVERIFY(DottedQuad::parse(QStringLiteral("0.0.0.0"), &address));
        QCOMPARE(address, 0u);
    }

    void loopbackAnswers()
    {
        IcmpProbe probe;
        QCOMPARE(probe.roundTripTime(), 0);
        QCOMPARE(probe.ping(QStringLiteral("127.0.0.1"), 1000), 0);
        QVERIFY(probe.roundTripTime() >= 0);
        QVERIFY(probe.usedFacility() != IcmpProbe::Facility::Automatic);
    }

#ifndef Q_OS_WIN
    void eachMeansAnswersOnItsOwn_data()
    {
        QTest::addColumn<IcmpProbe::Facility>("facility");
        QTest::newRow("datagram") << IcmpProbe::Facility::IcmpDatagram;
        QTest::newRow("raw") << IcmpProbe::Facility::IcmpRaw;
        QTest::newRow("tcp") << IcmpProbe::Facility::TcpConnect;
    }

    void eachMeansAnswersOnItsOwn()
    {
        QFETCH(IcmpProbe::Facility, facility);
        IcmpProbe probe(facility);
        const int result = probe.ping(QStringLiteral("127.0.0.1"), 1000);
        if (result == -2)
            QSKIP("this host does not allow that kind of socket");
        QCOMPARE(result, 0);
        QCOMPARE(probe.usedFacility(), facility);
        QVERIFY(probe.roundTripTime() >= 0);
    }
#endif

    void createGivesTheRealProbeByDefault()
    {
        ReachabilityProbe::setFactory({});
        auto probe = ReachabilityProbe::create();
        QVERIFY(dynamic_cast<IcmpProbe *>(probe.get()));
    }

    void factoryReplacesAndEmptyRestores()
    {
        int made = 0;
        ReachabilityProbe::setFactory([&made] {
            ++made;
            return std::make_unique<FixedProbe>(5);
        });
        auto probe = ReachabilityProbe::create();
        QCOMPARE(made, 1);
        QCOMPARE(probe->ping(QStringLiteral("127.0.0.1"), 1000), 5);
        ReachabilityProbe::setFactory({});
        QVERIFY(dynamic_cast<IcmpProbe *>(ReachabilityProbe::create().get()));
        QCOMPARE(made, 1);
    }

    void fixedProbeAnswersAndCounts()
    {
        FixedProbe probe(0);
        QCOMPARE(probe.ping(QStringLiteral("127.0.0.2"), 1000), 0);
        QCOMPARE(probe.roundTripTime(), 0);
        probe.table().answers.insert(QStringLiteral("127.0.0.3"), 11010);
        QCOMPARE(probe.ping(QStringLiteral("127.0.0.3"), 1000), 11010);
        QCOMPARE(probe.roundTripTime(), -1);
        QCOMPARE(probe.calls(), 2);
    }

    void scopeSharesOneTableAcrossProbes()
    {
        {
            FixedProbe::Scope scope;
            scope.setUnreachable(QStringLiteral("127.0.0.9"));
            QCOMPARE(ReachabilityProbe::create()->ping(QStringLiteral("127.0.0.8"), 1000), 0);
            auto second = ReachabilityProbe::create();
            QVERIFY(second->ping(QStringLiteral("127.0.0.9"), 1000) != 0);
            QCOMPARE(second->roundTripTime(), -1);
            scope.setFallback(-2);
            QCOMPARE(ReachabilityProbe::create()->ping(QStringLiteral("127.0.0.7"), 1000), -2);
            QCOMPARE(scope.calls(), 3);
            QCOMPARE(scope.asked(), (QStringList{"127.0.0.8", "127.0.0.9", "127.0.0.7"}));
        }
        QVERIFY(dynamic_cast<IcmpProbe *>(ReachabilityProbe::create().get()));
    }
};

QTEST_APPLESS_MAIN(TestProbe)
#include "tst_probe.moc"
