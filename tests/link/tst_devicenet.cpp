#include "link/devicenet.h"
#include "tests/link/linktesthelpers.h"

#include <QSignalSpy>
#include <QtTest>

using namespace linktest;

// The primitives driven one by one against the simulator over loopback.
class TestDeviceNet : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegisterSimulator> m_sim;
    std::unique_ptr<DeviceNet> m_net;

    DeviceNet &open(const SimConfig &config = SimConfig::family253("2530000007"))
    {
        m_sim = std::make_unique<RegisterSimulator>(config);
        if (!m_sim->start())
            qFatal("simulator: %s", qPrintable(m_sim->errorString()));
        return reopen();
    }

    DeviceNet &reopen()
    {
        m_net = std::make_unique<DeviceNet>();
        m_net->setTarget(QStringLiteral("127.0.0.1"), m_sim->port(), linktest::request());
        if (!m_net->openBlocking(5000))
            qFatal("no connection to the simulator");
        return *m_net;
    }

    // identify, page 0 and the serial number, as every exchange starts.
    void prologue(DeviceNet &net)
    {
        QCOMPARE(net.identify(), 0);
        QByteArray page0;
        QCOMPARE(net.readPages(&page0, 0, 1), 0);
        QCOMPARE(net.readHeader(page0), 0);
        QCOMPARE(net.readSerial(net.version()), 0);
        m_sim->clearRequests();
    }

private slots:
    void cleanup()
    {
        m_net.reset();
        m_sim.reset();
    }

    void identifyReadsThreeValues()
    {
        SimConfig config = SimConfig::family253();
        config.version = RegisterSimulator::makeVersion(2, 53, 10);
        config.identityValue = 77;
        config.goodsCapacity = 3000;
        DeviceNet &net = open(config);
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.version(), (2u << 28) | (53u << 16) | 10u);
        QCOMPARE(net.identityValue(), 77);
        QCOMPARE(net.goodsCapacity(), 3000);
        QCOMPARE(m_sim->requestTrace(), QStringList{"C1"});
        QCOMPARE(m_sim->requests().first().args, QVector<qint32>{0});
    }

    void identifyDefaultsWithoutThreeArguments()
    {
        SimConfig config = SimConfig::family253();
        config.identityValue = 77;
        config.goodsCapacity = 3000;
        DeviceNet &net = open(config);
        m_sim->setIdentifyArgs(2);
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.identityValue(), 1024);
        QCOMPARE(net.goodsCapacity(), 2000);
    }

    void identifyVersionUpperHalf()
    {
        DeviceNet &net = open();
        m_sim->setIdentifyArgs(1);
        m_sim->setVersion(65536);
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.version(), 65536u);
        m_sim->setVersion(65535);
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.version(), (2u << 28) | (51u << 16) | 26u);
    }

    void identifyWithoutArgumentsIsInvalid()
    {
        DeviceNet &net = open();
        m_sim->setIdentifyNoArguments(true);
        QCOMPARE(net.identify(), int(LinkBadReply));
        QCOMPARE(net.version(), 0u);
    }

    void headerAndSerial253()
    {
        DeviceNet &net = open(SimConfig::family253("25300000000000000042"));
        QCOMPARE(net.identify(), 0);
        QByteArray page0;
        QCOMPARE(net.readPages(&page0, 0, 1), 0);
        QCOMPARE(net.readHeader(page0), 0);
        for (int id = 1; id <= 5; ++id) {
            QCOMPARE(int(net.area(id).first), m_sim->areaFirst(id));
            QCOMPARE(int(net.area(id).count), m_sim->areaPages(id));
        }
        QCOMPARE(net.readSerial(net.version()), 0);
        QCOMPARE(net.serial(), QByteArray("25300000000000000042"));
        QCOMPARE(m_sim->requestTrace(),
                 (QStringList{"C1", "C2 0 1", QStringLiteral("C2 %1 1").arg(m_sim->areaFirst(2) + 1)}));
    }

    void serial252FromFirstParamsPage()
    {
        DeviceNet &net = open(SimConfig::family252("252000000017"));
        prologue(net);
        QCOMPARE(net.serial(), QByteArray("252000000017"));
        // The serial window is bytes 4..15: a longer text is not read past it.
        QByteArray page = m_sim->pages(m_sim->areaFirst(2), 1);
        page.replace(4, 12, "123456789012");
        page[16] = '9';
        m_sim->setPages(m_sim->areaFirst(2), page);
        QCOMPARE(net.readSerial(net.version()), 0);
        QCOMPARE(net.serial(), QByteArray("123456789012"));
        QCOMPARE(m_sim->requestTrace(), QStringList{QStringLiteral("C2 %1 1").arg(m_sim->areaFirst(2))});
    }

    void headerRejectsWrongMagicOrIds()
    {
        DeviceNet &net = open();
        const QByteArray good = m_sim->pages(0, 1);
        QCOMPARE(net.readHeader(good), 0);
        QByteArray badMagic = good;
        badMagic[3] = 0;
        QCOMPARE(net.readHeader(badMagic), int(LinkBadHeader));
        QByteArray swapped = good;
        swapped[14] = 3;  // area 2's id
        QCOMPARE(net.readHeader(swapped), int(LinkBadHeader));
        QCOMPARE(net.readHeader(good.left(45)), int(LinkBadHeader));
        QCOMPARE(net.readHeader(good.left(46)), 0);
    }

    void headerRejectsOverlappingAreas_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accepted");
        // Area ids 1..5 with their descriptors at 6 + 8 * (id - 1).
        QTest::newRow("goods over page 0") << 5 << 0 << 3 << false;
        QTest::newRow("params over page 0") << 2 << 0 << 21 << false;
        QTest::newRow("goods over params") << 5 << -2 << 1 << false;
        QTest::newRow("goods over the last system page") << 5 << -1 << 1 << false;
        QTest::newRow("empty area at page 0") << 3 << 0 << 0 << true;
    }

    void headerRejectsOverlappingAreas()
    {
        QFETCH(int, area);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(bool, accepted);
        DeviceNet &net = open();
        QByteArray page0 = m_sim->pages(0, 1);
        // -1: the last page of the system area; -2: the first of the params area.
        const int page = first == -1 ? m_sim->areaFirst(1) + m_sim->areaPages(1) - 1
                         : first == -2 ? m_sim->areaFirst(2) : first;
        const int at = 6 + 8 * (area - 1);
        page0[at + 2] = char(page & 0xFF);
        page0[at + 3] = char(page >> 8);
        page0[at + 4] = char(count & 0xFF);
        page0[at + 5] = char(count >> 8);
        QCOMPARE(net.readHeader(page0), accepted ? 0 : int(LinkBadHeader));
    }

    void pageCountOutsideOneToFourSendsNothing()
    {
        DeviceNet &net = open();
        QByteArray out;
        QCOMPARE(net.readPages(&out, 1, 5), int(LinkBadPageCount));
        QCOMPARE(net.readPages(&out, 1, 0), int(LinkBadPageCount));
        QCOMPARE(net.writePages(QByteArray(1280, 'x'), 1, 5, DeviceNet::Kind::Params), int(LinkBadPageCount));
        QCOMPARE(net.writePages(QByteArray(), 1, -1, DeviceNet::Kind::System), int(LinkBadPageCount));
        QVERIFY(out.isEmpty());
        QVERIFY(m_sim->requestTrace().isEmpty());
    }

    void readAreaInChunksOfFour()
    {
        DeviceNet &net = open();
        prologue(net);
        const int first = m_sim->areaFirst(2);
        QSignalSpy frame(&net, &DeviceNet::frame);
        QByteArray out("kept");
        QCOMPARE(net.readArea(&out, first, 9), 0);
        QCOMPARE(m_sim->requestTrace(),
                 (QStringList{QStringLiteral("C2 %1 4").arg(first), QStringLiteral("C2 %1 4").arg(first + 4),
                              QStringLiteral("C2 %1 1").arg(first + 8)}));
        QCOMPARE(values(frame), (QVector<int>{4, 8, 9}));
        QCOMPARE(out, "kept" + m_sim->pages(first, 9));
        m_sim->clearRequests();
        QCOMPARE(net.readArea(&out, first, 0), 0);
        QVERIFY(m_sim->requestTrace().isEmpty());
    }

    void writeAreaChunksAndKinds()
    {
        DeviceNet &net = open();
        prologue(net);
        const QByteArray data = pattern(5 * 256, 3);
        QSignalSpy frame(&net, &DeviceNet::frame);
        const int system = m_sim->areaFirst(1);
        QCOMPARE(net.writeArea(data.left(4 * 256), system, 4, DeviceNet::Kind::System), 0);
        const int params = m_sim->areaFirst(2);
        QCOMPARE(net.writeArea(data, params, 5, DeviceNet::Kind::Params), 0);
        QCOMPARE(m_sim->requestTrace(),
                 (QStringList{QStringLiteral("C5 %1 4").arg(system), QStringLiteral("C3 %1 4").arg(params),
                              QStringLiteral("C3 %1 1").arg(params + 4)}));
        QCOMPARE(values(frame), (QVector<int>{4, 4, 5}));
        QCOMPARE(m_sim->pages(system, 4), data.left(1024));
        QCOMPARE(m_sim->pages(params, 5), data);
    }

    void writeAtPatchesTheTailPage()
    {
        DeviceNet &net = open();
        prologue(net);
        const int first = m_sim->areaFirst(5);
        const QByteArray before = m_sim->pages(first + 2, 1);
        const QByteArray data = pattern(600, 11);
        QSignalSpy frame(&net, &DeviceNet::frame);
        QCOMPARE(net.writeAt(data, first), 0);
        QCOMPARE(m_sim->requestTrace(),
                 (QStringList{QStringLiteral("C3 %1 2").arg(first), QStringLiteral("C2 %1 1").arg(first + 2),
                              QStringLiteral("C3 %1 1").arg(first + 2)}));
        QCOMPARE(values(frame), (QVector<int>{2, 3}));
        QCOMPARE(m_sim->pages(first, 2), data.left(512));
        QCOMPARE(m_sim->pages(first + 2, 1), data.mid(512) + before.mid(88));
        m_sim->clearRequests();
        QCOMPARE(net.writeAt(QByteArray(), first), 0);
        QVERIFY(m_sim->requestTrace().isEmpty());
    }

    void goodsRecordsFromOddStart()
    {
        SimConfig config = SimConfig::family253();
        config.goodsPages = 6;
        DeviceNet &net = open(config);
        const QByteArray image = goodsArea(6, 12);  // every record plain
        m_sim->setAreaContent(5, image);
        prologue(net);
        QSignalSpy pages(&net, &DeviceNet::pages);
        QSignalSpy frame(&net, &DeviceNet::frame);
        QByteArray out;
        QCOMPARE(net.readGoodsRecords(&out, 1, 11), 0);
        const int first = m_sim->areaFirst(5);
        QCOMPARE(m_sim->requestTrace(),
                 (QStringList{QStringLiteral("C2 %1 4").arg(first), QStringLiteral("C2 %1 2").arg(first + 4)}));
        QCOMPARE(pages.count(), 1);
        QCOMPARE(pages.first().at(0).toInt(), 6);
        QCOMPARE(values(frame), (QVector<int>{4, 6}));
        QCOMPARE(out, image.mid(128));
    }

    void goodsReadStopsAtEndMarker()
    {
        SimConfig config = SimConfig::family253();
        config.goodsPages = 12;
        DeviceNet &net = open(config);
        const QByteArray image = goodsArea(12, 9);  // record 9 (page 4) is the end marker
        m_sim->setAreaContent(5, image);
        prologue(net);
        QSignalSpy frame(&net, &DeviceNet::frame);
        QByteArray out;
        QCOMPARE(net.readGoodsRecords(&out, 1, 23), 0);
        QCOMPARE(m_sim->requestTrace().size(), 2);
        QCOMPARE(values(frame), QVector<int>{4});
        QCOMPARE(out, image.mid(128, 8 * 256 - 128));
    }

    void goodsRangeOutsideArea()
    {
        SimConfig config = SimConfig::family253();
        config.goodsPages = 3;
        DeviceNet &net = open(config);
        prologue(net);
        QByteArray out;
        QCOMPARE(net.readGoodsRecords(&out, 0, 0), int(LinkOutOfRange));
        QCOMPARE(net.readGoodsRecords(&out, 1, -3), int(LinkOutOfRange));
        QCOMPARE(net.readGoodsRecords(&out, 1, 6), int(LinkOutOfRange));  // records 1..6 need page 3
        QCOMPARE(net.readGoodsRecords(&out, -1, 2), int(LinkOutOfRange));
        QVERIFY(m_sim->requestTrace().isEmpty());
        QCOMPARE(net.readGoodsRecords(&out, 0, 6), 0);
        // An area of no pages holds no record.
        QByteArray page0 = m_sim->pages(0, 1);
        page0[38 + 4] = 0;
        page0[38 + 5] = 0;
        QCOMPARE(net.readHeader(page0), 0);
        QCOMPARE(net.readGoodsRecords(&out, 1, 2 * 0 - 1), int(LinkOutOfRange));
    }

    void stopEndsTransferAfterChunk()
    {
        DeviceNet &net = open();
        prologue(net);
        net.stop();
        QVERIFY(net.isStopped());
        QSignalSpy frame(&net, &DeviceNet::frame);
        QByteArray out;
        QCOMPARE(net.readArea(&out, m_sim->areaFirst(2), 9), int(LinkStopped));
        QCOMPARE(m_sim->requestTrace().size(), 1);
        QCOMPARE(frame.count(), 0);
        QCOMPARE(out.size(), 1024);
        QCOMPARE(net.writeArea(QByteArray(2048, 'x'), m_sim->areaFirst(2), 8, DeviceNet::Kind::Params),
                 int(LinkStopped));
        QCOMPARE(m_sim->requestTrace().size(), 2);
    }

    void replySplitAcrossSegmentsIsCollected()
    {
        DeviceNet &net = open();
        prologue(net);
        m_sim->setSplitReply(100);
        QByteArray out;
        QCOMPARE(net.readPages(&out, m_sim->areaFirst(2), 4), 0);
        QCOMPARE(out, m_sim->pages(m_sim->areaFirst(2), 4));
        QCOMPARE(net.identify(), 0);
    }

    void replyFaults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("expected");
        QTest::newRow("late") << "delay" << int(LinkNoReply);
        QTest::newRow("silent") << "silent" << int(LinkNoReply);
        QTest::newRow("second half too late") << "split" << int(LinkBadReply);
        QTest::newRow("checksum") << "checksum" << int(LinkBadReply);
        QTest::newRow("truncated") << "truncate" << int(LinkBadReply);
        QTest::newRow("count not confirmed") << "count" << int(LinkReadMismatch);
        QTest::newRow("connection dropped") << "drop" << int(LinkSocketError);
    }

    void replyFaults()
    {
        QFETCH(QString, fault);
        QFETCH(int, expected);
        DeviceNet &net = open();
        prologue(net);
        if (fault == "delay")
            m_sim->setReplyDelay(1500);
        else if (fault == "silent")
            m_sim->setSilent(true);
        else if (fault == "split")
            m_sim->setSplitReply(1500);
        else if (fault == "checksum")
            m_sim->setBadChecksum(true);
        else if (fault == "truncate")
            m_sim->setTruncate(true);
        else if (fault == "count")
            m_sim->setWrongPageCount(true);
        else if (fault == "drop")
            m_sim->setDropAfter(0);
        QByteArray out;
        QCOMPARE(net.readPages(&out, m_sim->areaFirst(2), 2), expected);
        QVERIFY(out.isEmpty());
    }

    void writeNotAcknowledged()
    {
        DeviceNet &net = open();
        prologue(net);
        m_sim->setNakWrites(true);
        const QByteArray before = m_sim->areaContent(2);
        QCOMPARE(net.writePages(QByteArray(256, 'w'), m_sim->areaFirst(2), 1, DeviceNet::Kind::Params),
                 int(LinkWriteRejected));
        QCOMPARE(m_sim->areaContent(2), before);
        m_sim->setNakWrites(false);
        m_sim->setBadChecksum(true);
        QCOMPARE(net.writePages(QByteArray(256, 'w'), m_sim->areaFirst(2), 1, DeviceNet::Kind::Params),
                 int(LinkBadReply));
    }

    void payloadOfWrongSizeIsRejected_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("short") << 255;
        QTest::newRow("long") << 257;
        QTest::newRow("none") << 0;
    }

    void payloadOfWrongSizeIsRejected()
    {
        QFETCH(int, size);
        ScriptedPeer peer{step(reply({1}, QByteArray(size, 'p'))), step(reply({1}, QByteArray(256, 'q')))};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QByteArray out;
        QCOMPARE(net.readPages(&out, 3, 1), int(LinkReadMismatch));
        QVERIFY(out.isEmpty());
        QCOMPARE(net.readPages(&out, 4, 1), 0);
        QCOMPARE(out, QByteArray(256, 'q'));
    }

    void impossibleDeclaredLengthFailsAtOnce()
    {
        QByteArray huge = QByteArray::fromHex("efbeffffff7f") + QByteArray(4, '\0') + "x";
        ScriptedPeer peer{step(huge)};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QCOMPARE(net.identify(), int(LinkBadReply));
    }

    void replyInSegmentsFromScriptedPeer()
    {
        ScriptedPeer peer{step(reply({(2 << 28) | (53 << 16) | 4, 5, 6}), 200)};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.goodsCapacity(), 6);
    }

    void leftoverBytesDoNotPrefixNextReply()
    {
        ScriptedPeer peer{step(reply({(2 << 28) | (53 << 16) | 4}) + "junk"), step(reply({(2 << 28) | (52 << 16) | 40}))};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QCOMPARE(net.identify(), 0);
        QCOMPARE(net.identify(), 0);
        QCOMPARE(peer.requestsSeen(), 2);
        QCOMPARE(net.version() & 0xFFFF, 40u);
    }

    // A register that answers twice: the repeat arrives after the first reply
    // was taken, and waits in the socket for the next request.
    void lateRepeatedReplyIsNotTheNextAnswer()
    {
        const QByteArray first = reply({(2 << 28) | (53 << 16) | 4});
        ScriptedPeer peer{step(first + first, 20), step(reply({(2 << 28) | (52 << 16) | 40}))};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QCOMPARE(net.identify(), 0);
        QThread::msleep(100);  // the repeat has arrived
        QCOMPARE(net.identify(), 0);
        QCOMPARE(peer.requestsSeen(), 2);
        QCOMPARE(net.version() & 0xFFFF, 40u);
    }

#ifdef Q_OS_UNIX
    // The reset is found while bytes nobody asked for are cleared away, before
    // the frame goes out.
    void resetConnectionIsNoticedBeforeTheFrame()
    {
        ScriptedPeer peer{step(reply({(2 << 28) | (53 << 16) | 4}), -1, 50)};
        DeviceNet net;
        net.setTarget(QStringLiteral("127.0.0.1"), peer.startAndListen(), linktest::request());
        QVERIFY(net.openBlocking(5000));
        QCOMPARE(net.identify(), 0);
        peer.wait();           // the reset has been sent
        QThread::msleep(100);  // and has arrived
        QCOMPARE(net.identify(), int(LinkSocketError));
    }
#endif
};

QTEST_GUILESS_MAIN(TestDeviceNet)
#include "tst_devicenet.moc"
