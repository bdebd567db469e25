#include "link/devicecontroller.h"
#include "link/devicenet.h"
#include "link/taggedblock.h"
#include "tests/link/linktesthelpers.h"

#include <QSignalSpy>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace linktest;

namespace {

const QByteArray Serial = "2530000042";

QStringList chunks(const QString &command, int first, int count)
{
    QStringList trace;
    for (int done = 0; done < count; done += 4)
        trace << QStringLiteral("%1 %2 %3").arg(command).arg(first + done).arg(qMin(4, count - done));
    return trace;
}

} // namespace

// Whole exchanges through the controller, against the simulator over loopback.
class TestDeviceController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegisterSimulator> m_sim;
    std::unique_ptr<DeviceController> m_controller;
    std::unique_ptr<QSignalSpy> m_finished;

    DeviceController &start(SimConfig config = SimConfig::family253(Serial))
    {
        m_sim = std::make_unique<RegisterSimulator>(config);
        if (!m_sim->start())
            qFatal("simulator: %s", qPrintable(m_sim->errorString()));
        m_controller = linktest::controller();
        m_controller->setExpectedSerial(QString::fromLatin1(config.serial));
        m_finished = std::make_unique<QSignalSpy>(m_controller.get(), &DeviceController::finished);
        return *m_controller;
    }

    quint16 port() const { return m_sim->port(); }

    // Waits until the exchange's link and thread are gone, so that every
    // signal it sent has been delivered, and checks there was one finished().
    void settle()
    {
        QVERIFY(QTest::qWaitFor([this] { return m_finished->count() > 0 && !m_controller->isBusy(); }, 20000));
        QCoreApplication::processEvents();
        QCOMPARE(m_finished->count(), 1);
        m_finished->clear();
    }

    QStringList prologue() const
    {
        return {"C1", "C2 0 1", QStringLiteral("C2 %1 1").arg(m_sim->areaFirst(2) + 1)};
    }

private slots:
    void cleanup()
    {
        m_finished.reset();
        m_controller.reset();
        m_sim.reset();
    }

    void queryIdentity()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.version = RegisterSimulator::makeVersion(2, 53, 10);
        config.identityValue = 512;
        config.goodsCapacity = 4000;
        DeviceController &c = start(config);
        c.setExpectedSerial(QStringLiteral("ignored"));
        QSignalSpy connected(&c, &DeviceController::connected);
        QSignalSpy frame(&c, &DeviceController::frame);
        QSignalSpy pages(&c, &DeviceController::pages);
        c.queryIdentity(QStringLiteral("127.0.0.1"), port());
        QVERIFY(c.isBusy());
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(c.versionMajor(), 2);
        QCOMPARE(c.versionMinor(), 53);
        QCOMPARE(c.versionBuild(), 10);
        QCOMPARE(c.identityValue(), 512);
        QCOMPARE(c.goodsCapacity(), 4000);
        QCOMPARE(c.serialNumber(), QString::fromLatin1(Serial));
        QCOMPARE(c.address(), QStringLiteral("127.0.0.1"));
        QCOMPARE(c.port(), port());
        QCOMPARE(connected.count(), 1);
        QCOMPARE(frame.count(), 0);
        QCOMPARE(pages.count(), 0);
        QVERIFY(c.data().isEmpty());
        QCOMPARE(m_sim->requestTrace(), prologue());
    }

    void readParamsReadsBothAreas()
    {
        DeviceController &c = start();
        const QByteArray params = pattern(21 * 256, 1);
        QByteArray withSerial = params;
        withSerial.replace(256, 20, Serial + QByteArray(10, '\0'));
        m_sim->setAreaContent(2, withSerial);
        const QByteArray system = pattern(4 * 256, 2);
        m_sim->setAreaContent(1, system);
        QSignalSpy frame(&c, &DeviceController::frame);
        c.readParams(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), 0);
        QByteArray expected;
        TaggedBlock::append(expected, TaggedBlock::Params, withSerial);
        TaggedBlock::append(expected, TaggedBlock::System, system);
        QCOMPARE(c.data(), expected);
        QCOMPARE(m_sim->requestTrace(), prologue() + chunks("C2", m_sim->areaFirst(2), 21)
                                             + chunks("C2", m_sim->areaFirst(1), 4));
        QCOMPARE(values(frame), (QVector<int>{4, 8, 12, 16, 20, 21, 4}));
    }

    void readParams252()
    {
        DeviceController &c = start(SimConfig::family252("252000000099"));
        c.readParams(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(c.versionMinor(), 52);
        QCOMPARE(c.serialNumber(), QStringLiteral("252000000099"));
        QCOMPARE(m_sim->requestTrace().at(2), QStringLiteral("C2 %1 1").arg(m_sim->areaFirst(2)));
        QCOMPARE(TaggedBlock::value(c.data(), TaggedBlock::Params), m_sim->areaContent(2));
    }

    void serialMismatchReadsNoArea_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::newRow("last digit") << "2530000043";
        QTest::newRow("shorter") << "253000004";
        QTest::newRow("empty") << "";
    }

    void serialMismatchReadsNoArea()
    {
        QFETCH(QString, expected);
        DeviceController &c = start();
        c.queryIdentity(QStringLiteral("127.0.0.1"), port());
        settle();
        m_sim->setVersion(RegisterSimulator::makeVersion(2, 53, 99));
        m_sim->clearRequests();
        c.setExpectedSerial(expected);
        c.readParams(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), int(LinkSerialMismatch));
        QCOMPARE(m_sim->requestTrace(), prologue());
        QVERIFY(c.data().isEmpty());
        QCOMPARE(c.versionBuild(), 10);  // identity only changes on success
    }

    void serialCheckComparesRegisterLength()
    {
        DeviceController &c = start();
        c.setExpectedSerial(QString::fromLatin1(Serial) + QStringLiteral("77"));
        c.writeParams(QStringLiteral("127.0.0.1"), port(), QByteArray());
        settle();
        QCOMPARE(c.result(), 0);
        m_sim->setSerial(QByteArray());
        c.setExpectedSerial(QStringLiteral("anything"));
        c.writeParams(QStringLiteral("127.0.0.1"), port(), QByteArray());
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(c.serialNumber(), QString());
    }

    void otherRegisterAtTheAddress()
    {
        DeviceController &c = start();
        m_sim->setOtherSerial("2530000099");
        c.readGoods(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), int(LinkSerialMismatch));
        QCOMPARE(m_sim->requestTrace().size(), 3);
    }

    void writeParamsEmptyInputWritesNothing()
    {
        DeviceController &c = start();
        c.writeParams(QStringLiteral("127.0.0.1"), port(), QByteArray());
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(m_sim->requestTrace(), prologue());
    }

    void writeParamsTooLongWritesNothing()
    {
        DeviceController &c = start();
        QByteArray block;
        TaggedBlock::append(block, TaggedBlock::Params, QByteArray(21 * 256 + 1, 'p'));
        TaggedBlock::append(block, TaggedBlock::System, QByteArray(16, 's'));
        c.writeParams(QStringLiteral("127.0.0.1"), port(), block);
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        QCOMPARE(m_sim->requestTrace(), prologue());
    }

    void writeParamsPadsWithZeros()
    {
        DeviceController &c = start();
        m_sim->setAreaContent(1, QByteArray(4 * 256, '\x77'));
        const QByteArray params = pattern(21 * 256, 5);
        QByteArray block;
        TaggedBlock::append(block, 42, "skipped");
        TaggedBlock::append(block, TaggedBlock::System, "short");
        TaggedBlock::append(block, TaggedBlock::Params, params);
        QSignalSpy frame(&c, &DeviceController::frame);
        c.writeParams(QStringLiteral("127.0.0.1"), port(), block);
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(m_sim->areaContent(1), QByteArray("short") + QByteArray(4 * 256 - 5, '\0'));
        QCOMPARE(m_sim->areaContent(2), params);
        QCOMPARE(m_sim->requestTrace(), prologue() + chunks("C5", m_sim->areaFirst(1), 4)
                                             + chunks("C3", m_sim->areaFirst(2), 21));
        QCOMPARE(values(frame), (QVector<int>{4, 4, 8, 12, 16, 20, 21}));
    }

    void readGoodsAllRecords()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.goodsPages = 10;
        DeviceController &c = start(config);
        const QByteArray image = goodsArea(10, 20);
        m_sim->setAreaContent(5, image);
        QSignalSpy pages(&c, &DeviceController::pages);
        QSignalSpy frame(&c, &DeviceController::frame);
        c.readGoods(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(c.data(), image.mid(128));
        QCOMPARE(values(pages), QVector<int>{10});
        QCOMPARE(values(frame), (QVector<int>{4, 8, 10}));
        QCOMPARE(m_sim->requestTrace(), prologue() + chunks("C2", m_sim->areaFirst(5), 10));
    }

    void readGoodsRange()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.goodsPages = 10;
        DeviceController &c = start(config);
        const QByteArray image = goodsArea(10, 20);
        m_sim->setAreaContent(5, image);
        c.readGoodsRange(QStringLiteral("127.0.0.1"), port(), 5, 4);
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(c.data(), image.mid(5 * 128, 5 * 128));  // pages 2..4, from record 5 on
        QCOMPARE(m_sim->requestTrace().mid(3), QStringList{QStringLiteral("C2 %1 3").arg(m_sim->areaFirst(5) + 2)});

        c.readGoodsRange(QStringLiteral("127.0.0.1"), port(), 0, 4);
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        c.readGoodsRange(QStringLiteral("127.0.0.1"), port(), 1, 0);
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        c.readGoodsRange(QStringLiteral("127.0.0.1"), port(), 19, 2);
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        QCOMPARE(c.data(), image.mid(5 * 128, 5 * 128));
    }

    void readGoodsRangeNeedsFourByteItems()
    {
        DeviceController &c = start();
        QByteArray block;
        TaggedBlock::append(block, TaggedBlock::StartRecord, QByteArray::fromHex("0100"));
        TaggedBlock::appendInt(block, TaggedBlock::RecordCount, 2);
        c.startExchange(DeviceRequest::ReadGoodsRange, QStringLiteral("127.0.0.1"), port(), block);
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        QCOMPARE(m_sim->requestTrace().size(), 3);
    }

    void writeGoodsPatchesLastPage()
    {
        DeviceController &c = start();
        const int first = m_sim->areaFirst(5);
        const QByteArray tailBefore = m_sim->pages(first + 2, 1);
        const QByteArray image = pattern(600, 9);
        QSignalSpy frame(&c, &DeviceController::frame);
        QSignalSpy pages(&c, &DeviceController::pages);
        c.writeGoods(QStringLiteral("127.0.0.1"), port(), image);
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(m_sim->requestTrace().mid(3),
                 (QStringList{QStringLiteral("C3 %1 2").arg(first), QStringLiteral("C2 %1 1").arg(first + 2),
                              QStringLiteral("C3 %1 1").arg(first + 2)}));
        QCOMPARE(values(frame), (QVector<int>{2, 3}));
        QCOMPARE(pages.count(), 0);
        QCOMPARE(m_sim->pages(first, 3), image + tailBefore.mid(88));
    }

    void writeGoodsLargerThanAreaWritesNothing()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.goodsPages = 5;
        DeviceController &c = start(config);
        c.writeGoods(QStringLiteral("127.0.0.1"), port(), QByteArray(5 * 256 + 1, 'g'));
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        QCOMPARE(m_sim->requestTrace(), prologue());
        c.writeGoods(QStringLiteral("127.0.0.1"), port(), QByteArray(5 * 256, 'g'));
        settle();
        QCOMPARE(c.result(), 0);
        QCOMPARE(m_sim->areaContent(5), QByteArray(5 * 256, 'g'));
    }

    void areaTooLargeForATaggedItem()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.paramsPages = 256;  // 65536 bytes: one more than an item can say
        DeviceController &c = start(config);
        c.readParams(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), int(LinkOutOfRange));
        QCOMPARE(m_sim->requestTrace(), prologue());
        QVERIFY(c.data().isEmpty());
    }

    void unknownOperation()
    {
        DeviceController &c = start();
        c.startExchange(7, QStringLiteral("127.0.0.1"), port(), QByteArray());
        settle();
        QCOMPARE(c.result(), int(LinkUnknownOp));
        QCOMPARE(m_sim->requestTrace(), prologue());
        QCOMPARE(c.versionMajor(), 0);
    }

    void brokenHeader()
    {
        DeviceController &c = start();
        QByteArray page0 = m_sim->pages(0, 1);
        page0[0] = 1;
        m_sim->setPages(0, page0);
        c.readParams(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), int(LinkBadHeader));
        QCOMPARE(m_sim->requestTrace(), (QStringList{"C1", "C2 0 1"}));
    }

    // Every way an exchange can fail ends in exactly one finished() with that code.
    void faultsEndWithOneFinished_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("expected");
        QTest::newRow("late reply") << "delay" << int(DeviceRequest::ReadParams) << int(LinkNoReply);
        QTest::newRow("no reply") << "silent" << int(DeviceRequest::ReadGoods) << int(LinkNoReply);
        QTest::newRow("checksum") << "checksum" << int(DeviceRequest::ReadParams) << int(LinkBadReply);
        QTest::newRow("truncated") << "truncate" << int(DeviceRequest::WriteGoods) << int(LinkBadReply);
        QTest::newRow("identify without arguments") << "noargs" << int(DeviceRequest::QueryIdentity) << int(LinkBadReply);
        QTest::newRow("count not confirmed") << "count" << int(DeviceRequest::ReadParams) << int(LinkReadMismatch);
        QTest::newRow("write refused") << "nak" << int(DeviceRequest::WriteGoods) << int(LinkWriteRejected);
        QTest::newRow("dropped mid-exchange") << "drop" << int(DeviceRequest::ReadParams) << int(LinkSocketError);
        QTest::newRow("closed on accept") << "close" << int(DeviceRequest::QueryIdentity) << int(LinkSocketError);
        QTest::newRow("refused") << "unbind" << int(DeviceRequest::ReadParams) << int(LinkSocketError);
        QTest::newRow("split reply") << "split" << int(DeviceRequest::ReadParams) << 0;
    }

    void faultsEndWithOneFinished()
    {
        QFETCH(QString, fault);
        QFETCH(int, op);
        QFETCH(int, expected);
        DeviceController &c = start();
        SimFaults f;
        if (fault == "delay") {
            f.delayMs = 1200;
            f.fromRequest = 4;
        } else if (fault == "silent") {
            f.silent = true;
            f.fromRequest = 4;
        } else if (fault == "checksum") {
            f.badChecksum = true;
            f.fromRequest = 2;
        } else if (fault == "truncate") {
            f.truncate = true;
            f.onlyCommand = 0xC3;
        } else if (fault == "noargs") {
            f.identifyArgs = 0;
        } else if (fault == "count") {
            f.wrongPageCount = true;
            f.fromRequest = 5;
        } else if (fault == "nak") {
            f.nakWrites = true;
        } else if (fault == "drop") {
            f.dropAfter = 5;
        } else if (fault == "close") {
            f.refuse = SimRefuse::Close;
        } else if (fault == "unbind") {
            f.refuse = SimRefuse::Unbind;
        } else if (fault == "split") {
            f.splitPauseMs = 20;
        }
        m_sim->setFaults(f);
        c.startExchange(op, QStringLiteral("127.0.0.1"), port(),
                        op == DeviceRequest::WriteGoods ? QByteArray(700, 'g') : QByteArray());
        settle();
        QCOMPARE(c.result(), expected);
        if (expected != 0)
            QVERIFY(c.data().isEmpty());
    }

    void stopDuringReadGoodsKeepsData()
    {
        SimConfig config = SimConfig::family253(Serial);
        config.goodsPages = 200;
        DeviceController &c = start(config);
        m_sim->setAreaContent(5, goodsArea(200, 399));
        c.readGoods(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), 0);
        const QByteArray before = c.data();
        QCOMPARE(before.size(), 399 * 128);

        m_sim->setAreaContent(5, goodsArea(200, 300));
        m_sim->clearRequests();
        m_sim->setReplyDelay(5);
        connect(&c, &DeviceController::frame, &c, &DeviceController::stop);
        c.readGoods(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), int(LinkStopped));
        QCOMPARE(c.data(), before);
        QVERIFY(m_sim->requestTrace().size() < 3 + 50);
    }

    void refusedConnection()
    {
        DeviceController &c = start();
        const quint16 closedPort = port();
        m_sim->stop();
        QSignalSpy connected(&c, &DeviceController::connected);
        c.readParams(QStringLiteral("127.0.0.1"), closedPort);
        settle();
        QCOMPARE(c.result(), int(LinkSocketError));
        QCOMPARE(connected.count(), 0);
    }

    void stopAfterFinishedIsHarmless()
    {
        DeviceController &c = start();
        c.queryIdentity(QStringLiteral("127.0.0.1"), port());
        settle();
        c.stop();
        QCOMPARE(c.result(), 0);
        c.queryIdentity(QStringLiteral("127.0.0.1"), port());
        settle();
        QCOMPARE(c.result(), 0);
    }

#ifdef Q_OS_UNIX
    // A listener whose accept queue is full leaves further connections hanging
    // in the handshake: the state a register that is switched off puts us in.
    void stopWhileConnectingEndsAtOnce()
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
        QCOMPARE(::listen(fd, 0), 0);
        socklen_t size = sizeof(addr);
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &size);
        const quint16 hangingPort = ntohs(addr.sin_port);
        QTcpSocket filler;
        filler.connectToHost(QHostAddress::LocalHost, hangingPort);
        QVERIFY(filler.waitForConnected(2000));

        DeviceController c;
        QSignalSpy finished(&c, &DeviceController::finished);
        QSignalSpy connected(&c, &DeviceController::connected);
        c.readParams(QStringLiteral("127.0.0.1"), hangingPort);
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
        c.stop();
        QVERIFY(QTest::qWaitFor([&] { return finished.count() > 0 && !c.isBusy(); }, 5000));
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(c.result(), int(LinkStopped));
        QCOMPARE(connected.count(), 0);
        ::close(fd);
    }
#endif
};

QTEST_GUILESS_MAIN(TestDeviceController)
#include "tst_devicecontroller.moc"
