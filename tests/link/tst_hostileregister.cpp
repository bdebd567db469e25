#include "link/devicecontroller.h"
#include "link/devicefinder.h"
#include "link/devicerequest.h"
#include "link/linkresult.h"
#include "link/taggedblock.h"
#include "session/firmwarefamily.h"
#include "sim/registersimulator.h"
#include "tests/support/core/processfigures.h"
#include "tests/support/core/wine.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QByteArray Serial = "2530000190";
const char *const RegisterAddress = "127.0.0.190";
const char *const DiscoveryAddress = "127.0.0.191";
constexpr int ReplyTimeout = 400;
// Far below any of the sizes the register claims, far above what one
// exchange needs.
constexpr qint64 PeakGrowthLimitKiB = 32 * 1024;

QStringList trace(const RegisterSimulator &sim)
{
    return sim.requestTrace();
}

} // namespace

// A register that lies about sizes: every lie ends the exchange with its code,
// quickly, without the link allocating what the register claims.
class TestHostileRegister : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegisterSimulator> m_sim;

    RegisterSimulator &startRegister(const SimConfig &config = SimConfig::family253(Serial))
    {
        m_sim = std::make_unique<RegisterSimulator>(config);
        if (!m_sim->start(QHostAddress(QString::fromLatin1(RegisterAddress)), 0))
            qFatal("simulator: %s", qPrintable(m_sim->errorString()));
        return *m_sim;
    }

    struct Outcome
    {
        int result = 1;
        int finished = 0;
        qint64 elapsedMs = 0;
        QByteArray data;
    };

    // One exchange through a fresh controller, waited for until its thread is gone.
    Outcome exchange(int op, const QByteArray &input = QByteArray())
    {
        DeviceController c;
        c.setSerialLocations(FirmwareFamily::serialLocations());
        c.setExpectedSerial(QString::fromLatin1(Serial));
        c.setReplyTimeout(ReplyTimeout);
        QSignalSpy finished(&c, &DeviceController::finished);
        QElapsedTimer clock;
        clock.start();
        c.startExchange(op, QString::fromLatin1(RegisterAddress), m_sim->port(), input);
        Outcome out;
        if (!QTest::qWaitFor([&] { return finished.count() > 0 && !c.isBusy(); }, 20000))
            return out;
        out.elapsedMs = clock.elapsed();
        QCoreApplication::processEvents();
        out.result = c.result();
        out.finished = finished.count();
        out.data = c.data();
        return out;
    }

    QStringList prologue() const
    {
        return {"C1", "C2 0 1", QStringLiteral("C2 %1 1").arg(m_sim->areaFirst(2) + 1)};
    }

private slots:
    void cleanup() { m_sim.reset(); DeviceFinder::setAddressSource({}); }

    void hugeDeclaredLengthIsRefusedAtOnce_data()
    {
        QTest::addColumn<quint32>("length");
        QTest::addColumn<quint8>("command");
        QTest::newRow("2 GiB on identify") << quint32(0x80000000u) << quint8(0xC1);
        QTest::newRow("2 GiB - 1 on identify") << quint32(0x7FFFFFFFu) << quint8(0xC1);
        QTest::newRow("2 GiB - 1 on a page read") << quint32(0x7FFFFFFFu) << quint8(0xC2);
        QTest::newRow("1 MiB on a page read") << quint32(1u << 20) << quint8(0xC2);
        QTest::newRow("4 GiB - 1 on a page read") << quint32(0xFFFFFFFFu) << quint8(0xC2);
    }

    void hugeDeclaredLengthIsRefusedAtOnce()
    {
        QFETCH(quint32, length);
        QFETCH(quint8, command);
        RegisterSimulator &sim = startRegister();
        SimFaults f;
        f.declaredLength = length;
        f.onlyCommand = command;
        sim.setFaults(f);
        const qint64 peakBefore = processfigures::peakResidentKiB();

        const Outcome out = exchange(DeviceRequest::ReadParams);
        QCOMPARE(out.finished, 1);
        QCOMPARE(out.result, int(LinkBadReply));
        QVERIFY(out.data.isEmpty());
        // Judged by the header alone: no wait for bytes that will never come.
        QVERIFY2(out.elapsedMs < ReplyTimeout, qPrintable(QString::number(out.elapsedMs)));
        QCOMPARE(trace(sim).size(), command == 0xC1 ? 1 : 2);
        if (peakBefore > 0)
            QVERIFY(processfigures::peakResidentKiB() - peakBefore < PeakGrowthLimitKiB);
    }

    void longerPayloadThanAskedIsRefused_data()
    {
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("op");
        QTest::newRow("one byte, page 0") << 1 << int(DeviceRequest::QueryIdentity);
        QTest::newRow("a page, params") << 256 << int(DeviceRequest::ReadParams);
        QTest::newRow("2000 bytes, goods") << 2000 << int(DeviceRequest::ReadGoods);
    }

    void longerPayloadThanAskedIsRefused()
    {
        QFETCH(int, extra);
        QFETCH(int, op);
        RegisterSimulator &sim = startRegister();
        sim.setExtraPayload(extra);
        const Outcome out = exchange(op);
        QCOMPARE(out.finished, 1);
        QCOMPARE(out.result, int(LinkReadMismatch));
        QVERIFY(out.data.isEmpty());
        // The first read reply already fails: nothing after page 0 is asked for.
        QCOMPARE(trace(sim), QStringList({"C1", "C2 0 1"}));
    }

    void areaTooLargeForABlockIsRefusedBeforeReading_data()
    {
        QTest::addColumn<int>("paramsPages");
        QTest::addColumn<int>("systemPages");
        QTest::newRow("params 256 pages") << 256 << 4;
        QTest::newRow("params 300 pages") << 300 << 4;
        QTest::newRow("system 257 pages") << 21 << 257;
    }

    void areaTooLargeForABlockIsRefusedBeforeReading()
    {
        QFETCH(int, paramsPages);
        QFETCH(int, systemPages);
        SimConfig config = SimConfig::family253(Serial);
        config.paramsPages = paramsPages;
        config.systemPages = systemPages;
        RegisterSimulator &sim = startRegister(config);

        Outcome out = exchange(DeviceRequest::ReadParams);
        QCOMPARE(out.finished, 1);
        QCOMPARE(out.result, int(LinkOutOfRange));
        QVERIFY(out.data.isEmpty());
        QCOMPARE(trace(sim), prologue());

        // Writing parameters to such a register would zero-fill the whole
        // area: refused the same way, before anything is written.
        sim.clearRequests();
        const QByteArray storedBefore = sim.storage();
        QByteArray block;
        QVERIFY(TaggedBlock::append(block, TaggedBlock::Params, QByteArray(600, 'p')));
        out = exchange(DeviceRequest::WriteParams, block);
        QCOMPARE(out.finished, 1);
        QCOMPARE(out.result, int(LinkOutOfRange));
        QCOMPARE(trace(sim), prologue());
        QCOMPARE(sim.storage(), storedBefore);
    }

    void largestAreaABlockCarriesIsRead()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.paramsPages = 255;  // 65280 bytes, just inside a tagged item
        RegisterSimulator &sim = startRegister(config);
        const Outcome out = exchange(DeviceRequest::ReadParams);
        QCOMPARE(out.result, 0);
        QCOMPARE(TaggedBlock::value(out.data, TaggedBlock::Params).size(), 255 * 256);
        QCOMPARE(TaggedBlock::value(out.data, TaggedBlock::System), sim.areaContent(1));
    }

    void oversizedDiscoveryAnswerIsIgnored()
    {
        if (runsUnderWine())
            QSKIP(kWineSharesUdpPorts);
        const quint16 port = quint16(31000 + (QCoreApplication::applicationPid() % 500) * 10);
        const QHostAddress address(QString::fromLatin1(DiscoveryAddress));
        RegisterSimulator sim(SimConfig::family253(Serial));
        QVERIFY2(sim.start(address, 0) && sim.startDiscovery(port), qPrintable(sim.errorString()));
        sim.setDiscoveryReply(SimDiscoveryReply::Oversized);
        DeviceFinder::setAddressSource([&] { return QList<QHostAddress>{address}; });
        DeviceFinder finder;
        finder.setPort(port);
        finder.setTimeout(300);
        QSignalSpy received(&finder, &DeviceFinder::received);
        QSignalSpy finished(&finder, &DeviceFinder::finished);
        const qint64 peakBefore = processfigures::peakResidentKiB();
        finder.run();

        QCOMPARE(finished.count(), 1);
        QCOMPARE(sim.discoveryQueries(), 1);
        // Heard, but a 65000-digit serial number is no register's answer.
        QCOMPARE(received.count(), 1);
        QCOMPARE(received.first().first().toInt(), 0);
        QCOMPARE(QJsonDocument::fromJson(finder.foundDevices()).array().size(), 0);
        if (peakBefore > 0)
            QVERIFY(processfigures::peakResidentKiB() - peakBefore < PeakGrowthLimitKiB);

        // The same register answering normally is found: only the answer was refused.
        sim.setDiscoveryReply(SimDiscoveryReply::Normal);
        finder.run();
        QCOMPARE(QJsonDocument::fromJson(finder.foundDevices()).array().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHostileRegister)
#include "tst_hostileregister.moc"
