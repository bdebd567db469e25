// Tests of the register simulator (sim/) through raw sockets: the frames are
// built and checked by tests/sim/rawclient.h, not by the simulator's code nor
// by link/.

#include "sim/registersimulator.h"
#include "sim/simframe.h"
#include "tests/sim/rawclient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {

quint16 u16(const QByteArray &b, int off)
{
    return qFromLittleEndian<quint16>(b.constData() + off);
}

quint32 u32(const QByteArray &b, int off)
{
    return qFromLittleEndian<quint32>(b.constData() + off);
}

QByteArray pagesOf(char fill, int count)
{
    QByteArray b(count * 256, fill);
    for (int i = 0; i < b.size(); i += 7)
        b[i] = char(i / 7);
    return b;
}

// Small storage so that the tests stay fast: system 2, params 3, 1, 1, goods 4.
SimConfig smallConfig(SimFamily family = SimFamily::F253, const QByteArray &serial = "2530000001")
{
    SimConfig c;
    c.family = family;
    c.serial = serial;
    c.systemPages = 2;
    c.paramsPages = 3;
    c.goodsPages = 4;
    return c;
}

struct Sim
{
    explicit Sim(const SimConfig &c = smallConfig()) : sim(c) {}
    RegisterSimulator sim;
};

const QByteArray Query("Are You Korvane POS?\n");

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValue();
    void identifyReplyBytes();
    void identityConfigurable();
    void pageZeroHeaderAndDescriptors();
    void defaultLayoutsPerFamily();
    void serialWhere253KeepsIt();
    void serialWhere252KeepsIt();
    void freshGoodsAreaIsEmptyImage();
    void writeThenReadBack();
    void strictAreasRefuseForeignWrites();
    void requestLog();
    void faultDelay();
    void faultSplit();
    void faultBadChecksum();
    void faultTruncate();
    void faultWrongPageCount();
    void faultNakWrites();
    void faultRefuseClose();
    void faultRefuseUnbind();
    void faultDropAfter();
    void faultOtherSerial();
    void faultIdentifyArguments();
    void faultSilent();
    void faultTargeting();
    void malformedRequests_data();
    void malformedRequests();
    void badMagicClosesAfterReply();
    void oversizedLengthClosesConnection();
    void splitRequests();
    void pipelinedRequests();
    void twoClientsAtOnce();
    void discoveryAnswer();
    void discoveryVariants_data();
    void discoveryVariants();
    void discoveryTwiceAndSilent();
    void discoveryIgnoresOtherDatagrams();
    void statePersistsAcrossRestart();
    void badStateFileIsRefused();
    void refusesNonLoopback();
    void stopAndStartAgain();
    void invalidLayoutFailsStart();
};

void TestSimulator::crcCheckValue()
{
    QCOMPARE(SimFrame::crc32(QByteArray("123456789")), 0xCBF43926u);
    QCOMPARE(raw::crc32(QByteArray("123456789")), 0xCBF43926u);
    QCOMPARE(SimFrame::crc32(QByteArray()), 0u);
    QByteArray all;
    for (int i = 0; i < 1000; ++i)
        all.append(char(i * 31 + 7));
    QCOMPARE(SimFrame::crc32(all), raw::crc32(all));
}

void TestSimulator::identifyReplyBytes()
{
    Sim s;
    QVERIFY2(s.sim.start(), qPrintable(s.sim.errorString()));
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const QByteArray reply = c.transactRaw(raw::frame(0xC1, {0}));

    const quint32 version = (2u << 28) | (53u << 16) | 10u;
    QByteArray body;
    body.append(char(0)).append(char(3));
    raw::put32(body, version);
    raw::put32(body, 1024);
    raw::put32(body, 2000);
    QByteArray expected = QByteArray::fromHex("efbe0e000000");
    raw::put32(expected, raw::crc32(body));
    expected += body;
    QCOMPARE(reply.toHex(), expected.toHex());
}

void TestSimulator::identityConfigurable()
{
    SimConfig cfg = smallConfig();
    cfg.version = RegisterSimulator::makeVersion(2, 53, 77);
    cfg.identityValue = -5;
    cfg.goodsCapacity = 300;
    Sim s(cfg);
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    raw::Reply r = c.identify();
    QVERIFY(r.valid);
    QCOMPARE(r.args, (QVector<qint32>{qint32(RegisterSimulator::makeVersion(2, 53, 77)), -5, 300}));

    s.sim.setVersion(65536);
    s.sim.setIdentityValue(7);
    s.sim.setGoodsCapacity(8);
    r = c.identify();
    QCOMPARE(r.args, (QVector<qint32>{65536, 7, 8}));

    quint32 v = 0;
    QVERIFY(RegisterSimulator::parseVersion("2.52.38", &v));
    QCOMPARE(v, RegisterSimulator::makeVersion(2, 52, 38));
    QCOMPARE(RegisterSimulator::versionText(v), QStringLiteral("2.52.38"));
    QVERIFY(!RegisterSimulator::parseVersion("2.52", &v));
    QVERIFY(!RegisterSimulator::parseVersion("16.1.1", &v));
    QVERIFY(!RegisterSimulator::parseVersion("2.5000.1", &v));
    QVERIFY(!RegisterSimulator::parseVersion("2.53.70000", &v));

    // Family defaults.
    QCOMPARE(RegisterSimulator(SimConfig::family252()).version(), RegisterSimulator::makeVersion(2, 52, 38));
    QCOMPARE(RegisterSimulator(SimConfig::family253()).version(), RegisterSimulator::makeVersion(2, 53, 10));
}

void TestSimulator::pageZeroHeaderAndDescriptors()
{
    SimConfig cfg = smallConfig();
    cfg.headerWord = 0x1234;
    cfg.area3Pages = 2;
    cfg.area4Pages = 1;
    Sim s(cfg);
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    QVERIFY(c.identify().valid);
    const raw::Reply r = c.read(0, 1);
    QVERIFY(r.valid);
    QCOMPARE(r.status, quint8(0));
    QCOMPARE(r.args, QVector<qint32>{1});
    QCOMPARE(r.payload.size(), 256);
    const QByteArray &p = r.payload;
    QCOMPARE(p.left(4).toHex(), QByteArray("005500aa"));
    QCOMPARE(u32(p, 0), 0xAA005500u);
    QCOMPARE(u16(p, 4), quint16(0x1234));
    // {id, first, count, reserved} for areas 1..5: system 2, params 3, 2, 1, goods 4.
    const int expect[5][2] = {{1, 2}, {3, 3}, {6, 2}, {8, 1}, {9, 4}};
    for (int i = 0; i < 5; ++i) {
        const int d = 6 + 8 * i;
        QCOMPARE(int(u16(p, d)), i + 1);
        QCOMPARE(int(u16(p, d + 2)), expect[i][0]);
        QCOMPARE(int(u16(p, d + 4)), expect[i][1]);
        QCOMPARE(int(u16(p, d + 6)), 0);
        QCOMPARE(s.sim.areaFirst(i + 1), expect[i][0]);
        QCOMPARE(s.sim.areaPages(i + 1), expect[i][1]);
    }
    QCOMPARE(s.sim.pageCount(), 13);
    // The last page can be read, one past it cannot.
    QVERIFY(c.read(12, 1).args == QVector<qint32>{1});
    QVERIFY(c.read(12, 2).args.isEmpty());
}

void TestSimulator::defaultLayoutsPerFamily()
{
    RegisterSimulator a(SimConfig::family253());
    QCOMPARE(a.areaPages(1), 4);
    QCOMPARE(a.areaPages(2), 21);
    QCOMPARE(a.areaPages(3), 1);
    QCOMPARE(a.areaPages(4), 1);
    QCOMPARE(a.areaPages(5), 1001); // room for 1999 goods, header and end markers
    RegisterSimulator b(SimConfig::family252());
    QCOMPARE(b.areaPages(2), 10);
    SimConfig cfg;
    cfg.goodsCapacity = 10;
    QCOMPARE(RegisterSimulator(cfg).areaPages(5), 6);
}

void TestSimulator::serialWhere253KeepsIt()
{
    Sim s(smallConfig(SimFamily::F253, "25312345678901234567")); // 20 bytes: fills the window
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int params = s.sim.areaFirst(2);
    QCOMPARE(s.sim.serialPage(), params + 1);
    const raw::Reply r = c.read(params + 1, 1);
    QVERIFY(r.valid);
    QCOMPARE(r.payload.left(20), QByteArray("25312345678901234567"));
    QCOMPARE(s.sim.serial(), QByteArray("25312345678901234567"));
    // Nothing at the 2.52 place.
    QCOMPARE(c.read(params, 1).payload, QByteArray(256, '\0'));

    s.sim.setSerial("777");
    const QByteArray page = c.read(params + 1, 1).payload;
    QCOMPARE(page.left(20), QByteArray("777").append(QByteArray(17, '\0')));
    QCOMPARE(s.sim.serial(), QByteArray("777"));
    // Longer than the window: cut to 20 bytes.
    s.sim.setSerial("1234567890123456789012345");
    QCOMPARE(s.sim.serial(), QByteArray("12345678901234567890"));
}

void TestSimulator::serialWhere252KeepsIt()
{
    Sim s(smallConfig(SimFamily::F252, "252000000001")); // 12 bytes, no terminator
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int params = s.sim.areaFirst(2);
    QCOMPARE(s.sim.serialPage(), params);
    QCOMPARE(s.sim.serialOffset(), 4);
    QCOMPARE(s.sim.serialSize(), 12);
    const raw::Reply r = c.read(params, 1);
    QVERIFY(r.valid);
    QCOMPARE(r.payload.mid(0, 4), QByteArray(4, '\0'));
    QCOMPARE(r.payload.mid(4, 12), QByteArray("252000000001"));
    QCOMPARE(r.payload.mid(16), QByteArray(240, '\0'));
    QCOMPARE(c.read(params + 1, 1).payload, QByteArray(256, '\0'));

    s.sim.setSerial("12345");
    QCOMPARE(c.read(params, 1).payload.mid(4, 12), QByteArray("12345").append(QByteArray(7, '\0')));
    s.sim.setSerial("12345678901234");
    QCOMPARE(s.sim.serial(), QByteArray("123456789012"));
}

void TestSimulator::freshGoodsAreaIsEmptyImage()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int goods = s.sim.areaFirst(5);
    const raw::Reply r = c.read(goods, 4);
    QVERIFY(r.valid);
    QCOMPARE(r.payload.size(), 4 * 256);
    QByteArray marker(128, '\0');
    marker[0] = char(0xFF);
    marker[1] = char(0xFF);
    // Page 0: the header record, then the end marker: an empty goods area image.
    QCOMPARE(r.payload.left(128), QByteArray(128, '\0'));
    QCOMPARE(r.payload.mid(128, 128), marker);
    // Later pages hold end markers only.
    for (int off = 256; off < r.payload.size(); off += 128)
        QCOMPARE(r.payload.mid(off, 128), marker);
}

void TestSimulator::writeThenReadBack()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int params = s.sim.areaFirst(2);
    const int system = s.sim.areaFirst(1);
    const int goods = s.sim.areaFirst(5);

    const QByteArray p = pagesOf('p', 3);
    raw::Reply w = c.write(params, p);
    QVERIFY(w.valid);
    QCOMPARE(w.status, quint8(0));
    QCOMPARE(w.args, QVector<qint32>{0});
    QVERIFY(w.payload.isEmpty());
    QCOMPARE(c.read(params, 3).payload, p);
    QCOMPARE(s.sim.areaContent(2), p);

    const QByteArray sys = pagesOf('s', 2);
    w = c.writeSystem(system, sys);
    QCOMPARE(w.args, QVector<qint32>{0});
    QCOMPARE(c.read(system, 2).payload, sys);

    const QByteArray g = pagesOf('g', 4);
    QCOMPARE(c.write(goods, g).args, QVector<qint32>{0});
    QCOMPARE(c.read(goods, 4).payload, g);
    QCOMPARE(s.sim.pages(goods, 4), g);

    // Direct storage access shows up in the protocol too.
    QVERIFY(s.sim.setPages(goods + 1, QByteArray(256, 'x')));
    QCOMPARE(c.read(goods + 1, 1).payload, QByteArray(256, 'x'));
    QVERIFY(!s.sim.setPages(s.sim.pageCount(), QByteArray(1, 'x')));
    QVERIFY(s.sim.setAreaContent(3, QByteArray(10, 'y')));
    QCOMPARE(s.sim.areaContent(3).left(11), QByteArray(10, 'y').append('\0'));
    QVERIFY(!s.sim.setAreaContent(3, QByteArray(257, 'y')));
}

void TestSimulator::strictAreasRefuseForeignWrites()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const QByteArray page0 = s.sim.pages(0, 1);
    const int params = s.sim.areaFirst(2);
    const int system = s.sim.areaFirst(1);
    const int area3 = s.sim.areaFirst(3);
    const QByteArray one = pagesOf('z', 1);

    auto isNak = [](const raw::Reply &r) { return r.valid && r.args.size() == 1 && r.args.at(0) != 0; };
    QVERIFY(isNak(c.write(0, one)));                 // page 0
    QVERIFY(isNak(c.write(system, one)));            // system area with 0xC3
    QVERIFY(isNak(c.writeSystem(params, one)));      // params area with 0xC5
    QVERIFY(isNak(c.write(area3, one)));             // unused area
    QVERIFY(isNak(c.write(params + 2, pagesOf('z', 2)))); // runs out of the params area
    QCOMPARE(s.sim.pages(0, 1), page0);
    QCOMPARE(c.write(params, one).args, QVector<qint32>{0});
    QCOMPARE(s.sim.requests().last().outcome, SimOutcome::Accepted);
    QCOMPARE(s.sim.requests().at(0).status, quint8(RegisterSimulator::StatusAreaRefused));

    SimConfig lenient = smallConfig();
    lenient.strictAreas = false;
    Sim l(lenient);
    QVERIFY(l.sim.start());
    raw::Client d;
    QVERIFY(d.connectTo(l.sim.port()));
    QCOMPARE(d.write(l.sim.areaFirst(1), one).args, QVector<qint32>{0});
    QCOMPARE(d.writeSystem(l.sim.areaFirst(2), one).args, QVector<qint32>{0});
}

void TestSimulator::requestLog()
{
    Sim s;
    QVERIFY(s.sim.start());
    QSignalSpy received(&s.sim, &RegisterSimulator::requestReceived);
    QSignalSpy accepted(&s.sim, &RegisterSimulator::connectionAccepted);
    {
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        c.identify();
        c.read(0, 1);
        c.read(4, 1);
        c.write(3, pagesOf('a', 2));
        c.writeSystem(1, pagesOf('b', 1));
        c.request(0x77, {});
    }
    {
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        c.identify();
    }
    QCOMPARE(s.sim.requestTrace(), QStringList({"C1", "C2 0 1", "C2 4 1", "C3 3 2", "C5 1 1", "77", "C1"}));
    const QList<SimRequest> log = s.sim.requests();
    QCOMPARE(log.at(0).connection, 1);
    QCOMPARE(log.at(0).index, 1);
    QCOMPARE(log.at(0).args, QVector<qint32>{0});
    QCOMPARE(log.at(3).first, 3);
    QCOMPARE(log.at(3).count, 2);
    QCOMPARE(log.at(3).payloadSize, 512);
    QCOMPARE(log.at(5).outcome, SimOutcome::Rejected);
    QCOMPARE(log.at(5).index, 6);
    QCOMPARE(log.at(6).connection, 2);
    QCOMPARE(log.at(6).index, 1);
    QCOMPARE(s.sim.connectionCount(), 2);
    QTRY_COMPARE(received.count(), 7);
    QTRY_COMPARE(accepted.count(), 2);
    s.sim.clearRequests();
    QVERIFY(s.sim.requests().isEmpty());
    QVERIFY(!s.sim.waitForRequests(1, 50));

    // A long run keeps only the latest requests, and counts them all.
    s.sim.setRequestLogLimit(2);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.identify();
    c.read(0, 1);
    c.read(4, 1);
    QVERIFY(s.sim.waitForRequests(3));
    QCOMPARE(s.sim.requestTrace(), QStringList({"C2 0 1", "C2 4 1"}));
    QCOMPARE(s.sim.requestCount(), 3);
}

void TestSimulator::faultDelay()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setReplyDelay(400);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC1, {0}));
    c.socket.flush();
    QElapsedTimer t;
    t.start();
    // Nothing within the first 200 ms...
    QVERIFY(!c.socket.waitForReadyRead(200));
    // ...and the whole reply after the delay.
    const raw::Reply r = raw::decode(c.readFrame(5000));
    QVERIFY(r.valid);
    QVERIFY2(t.elapsed() >= 380, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(r.args.size(), 3);
    QCOMPARE(s.sim.faults().delayMs, 400);
}

void TestSimulator::faultSplit()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setSplitReply(500);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC2, {0, 1}));
    c.socket.flush();
    QVERIFY(c.socket.waitForReadyRead(5000));
    const QByteArray first = c.socket.readAll();
    const int whole = 10 + 2 + 4 + 256;
    QVERIFY2(first.size() > 0 && first.size() < whole, qPrintable(QString::number(first.size())));
    QVERIFY(!raw::decode(first).valid); // what a one-read client sees: an invalid reply
    c.pending = first;
    const QByteArray all = c.readFrame(5000);
    QCOMPARE(all.size(), whole);
    const raw::Reply r = raw::decode(all);
    QVERIFY(r.valid);
    QCOMPARE(r.args, QVector<qint32>{1});
    QCOMPARE(u32(r.payload, 0), 0xAA005500u);
}

void TestSimulator::faultBadChecksum()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setBadChecksum(true);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const QByteArray bytes = c.transactRaw(raw::frame(0xC1, {0}));
    QCOMPARE(bytes.size(), 10 + 14);
    QVERIFY(!raw::decode(bytes).valid);
    QCOMPARE(u32(bytes, 6), raw::crc32(bytes.mid(10)) ^ 1u);
    s.sim.setBadChecksum(false);
    QVERIFY(c.identify().valid);
}

void TestSimulator::faultTruncate()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setTruncate(true);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC2, {0, 1}));
    c.socket.flush();
    const QByteArray bytes = c.readFrame(800); // never completes: times out with the part
    QCOMPARE(bytes.size(), 10 + (2 + 4 + 256) / 2);
    QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 2), 2 + 4 + 256); // declares the whole body
    QVERIFY(!raw::decode(bytes).valid);
}

void TestSimulator::faultWrongPageCount()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setWrongPageCount(true);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const raw::Reply r = c.read(0, 2);
    QVERIFY(r.valid);
    QCOMPARE(r.args, QVector<qint32>{3});
    QCOMPARE(r.payload.size(), 512);
    QVERIFY(c.identify().valid); // identify unaffected
}

void TestSimulator::faultNakWrites()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setNakWrites(true);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int params = s.sim.areaFirst(2);
    const QByteArray before = s.sim.pages(params, 1);
    raw::Reply r = c.write(params, pagesOf('n', 1));
    QVERIFY(r.valid);
    QCOMPARE(r.args.size(), 1);
    QVERIFY(r.args.at(0) != 0);
    QCOMPARE(s.sim.pages(params, 1), before);
    r = c.writeSystem(s.sim.areaFirst(1), pagesOf('n', 1));
    QVERIFY(r.args.at(0) != 0);
    QCOMPARE(c.read(params, 1).payload, before); // reads still work
    s.sim.setNakWrites(false);
    QCOMPARE(c.write(params, pagesOf('n', 1)).args, QVector<qint32>{0});
}

void TestSimulator::faultRefuseClose()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setRefuse(SimRefuse::Close);
    raw::Client c;
    c.socket.connectToHost(QStringLiteral("127.0.0.1"), s.sim.port());
    c.socket.waitForConnected(5000); // the kernel may complete it; the simulator closes it
    c.socket.write(raw::frame(0xC1, {0}));
    QVERIFY(c.waitClosed(5000));
    QVERIFY(c.pending.isEmpty());
    QVERIFY(s.sim.requests().isEmpty());
    QTRY_COMPARE(s.sim.connectionCount(), 1);

    s.sim.setRefuse(SimRefuse::None);
    raw::Client d;
    QVERIFY(d.connectTo(s.sim.port()));
    QVERIFY(d.identify().valid);
}

void TestSimulator::faultRefuseUnbind()
{
    Sim s;
    QVERIFY(s.sim.start());
    const quint16 port = s.sim.port();
    s.sim.setRefuse(SimRefuse::Unbind);
    QVERIFY(!s.sim.isListening());
    {
        QTcpSocket t;
        t.connectToHost(QStringLiteral("127.0.0.1"), port);
        QVERIFY(!t.waitForConnected(3000));
        QCOMPARE(t.error(), QAbstractSocket::ConnectionRefusedError);
    }
    s.sim.setRefuse(SimRefuse::None);
    QVERIFY(s.sim.isListening());
    QCOMPARE(s.sim.port(), port);
    raw::Client c;
    QVERIFY(c.connectTo(port));
    QVERIFY(c.identify().valid);
    QCOMPARE(s.sim.connectionCount(), 1);
}

void TestSimulator::faultDropAfter()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setDropAfter(2);
    for (int round = 0; round < 2; ++round) { // per connection
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        QVERIFY(c.identify().valid);
        QVERIFY(c.read(0, 1).valid);
        c.socket.write(raw::frame(0xC2, {1, 1}));
        QVERIFY(c.waitClosed(5000));
        QVERIFY(c.pending.isEmpty());
    }
    const QList<SimRequest> log = s.sim.requests();
    QCOMPARE(log.size(), 6);
    QCOMPARE(log.at(2).outcome, SimOutcome::Dropped);
    QCOMPARE(log.at(5).outcome, SimOutcome::Dropped);

    s.sim.setDropAfter(0);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC1, {0}));
    QVERIFY(c.waitClosed(5000));
}

void TestSimulator::faultOtherSerial()
{
    Sim s(smallConfig(SimFamily::F253, "2530000001"));
    QVERIFY(s.sim.start());
    s.sim.setOtherSerial("9999");
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const int page = s.sim.serialPage();
    QCOMPARE(c.read(page, 1).payload.left(20), QByteArray("9999").append(QByteArray(16, '\0')));
    QCOMPARE(c.read(page - 1, 2).payload.mid(256, 4), QByteArray("9999"));
    QCOMPARE(s.sim.serial(), QByteArray("2530000001"));
    QCOMPARE(s.sim.pages(page, 1).left(10), QByteArray("2530000001"));

    Sim t(smallConfig(SimFamily::F252, "2520000001"));
    QVERIFY(t.sim.start());
    t.sim.setOtherSerial("252999999999");
    raw::Client d;
    QVERIFY(d.connectTo(t.sim.port()));
    const QByteArray p = d.read(t.sim.serialPage(), 1).payload;
    QCOMPARE(p.mid(4, 12), QByteArray("252999999999"));
    QCOMPARE(t.sim.serial(), QByteArray("2520000001"));
}

void TestSimulator::faultIdentifyArguments()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    s.sim.setIdentifyNoArguments(true);
    raw::Reply r = c.identify();
    QVERIFY(r.valid);
    QVERIFY(r.args.isEmpty());
    QCOMPARE(r.status, quint8(0));
    s.sim.setIdentifyArgs(2);
    QCOMPARE(c.identify().args.size(), 2);
    s.sim.setIdentifyArgs(1);
    QCOMPARE(c.identify().args.size(), 1);
    s.sim.setIdentifyNoArguments(false);
    QCOMPARE(c.identify().args.size(), 3);
}

void TestSimulator::faultSilent()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setSilent(true);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC1, {0}));
    c.socket.flush();
    QVERIFY(s.sim.waitForRequests(1));
    QVERIFY(!c.socket.waitForReadyRead(600));
    QCOMPARE(c.socket.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(s.sim.requests().at(0).outcome, SimOutcome::Unanswered);
    s.sim.setSilent(false);
    QVERIFY(c.identify().valid);
}

void TestSimulator::faultTargeting()
{
    Sim s;
    QVERIFY(s.sim.start());
    SimFaults f;
    f.badChecksum = true;
    f.onlyCommand = 0xC2;
    f.fromRequest = 3;
    f.untilRequest = 3;
    s.sim.setFaults(f);
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    QVERIFY(c.identify().valid);     // 1: other command
    QVERIFY(c.read(0, 1).valid);     // 2: before fromRequest
    QVERIFY(!c.read(0, 1).valid);    // 3: hit
    QVERIFY(c.read(0, 1).valid);     // 4: after untilRequest
    s.sim.clearFaults();
    QCOMPARE(s.sim.faults().badChecksum, false);
}

void TestSimulator::malformedRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("argCount");   // expected argument count of the rejecting reply
    QTest::addColumn<int>("status");

    const QByteArray page(256, 'q');
    using S = RegisterSimulator;
    QTest::newRow("bad crc") << raw::frameOf(raw::body(0xC1, {0}), 0xBEEF, 0x10) << 0 << int(S::StatusBadChecksum);
    QTest::newRow("bad crc on write")
        << raw::frameOf(raw::body(0xC3, {3, 1}, page), 0xBEEF, 1) << 0 << int(S::StatusBadChecksum);
    QTest::newRow("unknown command") << raw::frame(0xC4, {0, 1}) << 0 << int(S::StatusUnknownCommand);
    QTest::newRow("empty body") << raw::frameOf(QByteArray()) << 0 << int(S::StatusMalformed);
    QTest::newRow("one byte body") << raw::frameOf(QByteArray(1, char(0xC1))) << 0 << int(S::StatusMalformed);
    QTest::newRow("args cut short")
        << raw::frameOf(QByteArray::fromHex("c203000000000100")) << 0 << int(S::StatusMalformed);
    QTest::newRow("identify without argument") << raw::frame(0xC1, {}) << 0 << int(S::StatusBadArguments);
    QTest::newRow("identify argument 5") << raw::frame(0xC1, {5}) << 0 << int(S::StatusBadArguments);
    QTest::newRow("read one argument") << raw::frame(0xC2, {0}) << 0 << int(S::StatusBadArguments);
    QTest::newRow("read with payload") << raw::frame(0xC2, {0, 1}, "x") << 0 << int(S::StatusBadArguments);
    QTest::newRow("read count 0") << raw::frame(0xC2, {0, 0}) << 0 << int(S::StatusBadRange);
    QTest::newRow("read count 5") << raw::frame(0xC2, {0, 5}) << 0 << int(S::StatusBadRange);
    QTest::newRow("read count -1") << raw::frame(0xC2, {0, -1}) << 0 << int(S::StatusBadRange);
    QTest::newRow("read first -1") << raw::frame(0xC2, {-1, 1}) << 0 << int(S::StatusBadRange);
    QTest::newRow("read past end") << raw::frame(0xC2, {12, 2}) << 0 << int(S::StatusBadRange);
    QTest::newRow("read far past end") << raw::frame(0xC2, {0x7FFFFFFF, 4}) << 0 << int(S::StatusBadRange);
    QTest::newRow("write count 5") << raw::frame(0xC3, {3, 5}, page.repeated(5)) << 1 << int(S::StatusBadRange);
    QTest::newRow("write past end") << raw::frame(0xC3, {12, 2}, page.repeated(2)) << 1 << int(S::StatusBadRange);
    QTest::newRow("write short payload") << raw::frame(0xC3, {3, 1}, page.left(255)) << 1 << int(S::StatusBadPayload);
    QTest::newRow("write long payload") << raw::frame(0xC3, {3, 1}, page + "x") << 1 << int(S::StatusBadPayload);
    QTest::newRow("write no payload") << raw::frame(0xC3, {3, 1}) << 1 << int(S::StatusBadPayload);
    QTest::newRow("system write 3 args") << raw::frame(0xC5, {1, 1, 0}, page) << 1 << int(S::StatusBadArguments);
}

void TestSimulator::malformedRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(int, argCount);
    QFETCH(int, status);
    Sim s;
    QVERIFY(s.sim.start());
    const QByteArray before = s.sim.pages(0, s.sim.pageCount());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const raw::Reply r = raw::decode(c.transactRaw(request));
    QVERIFY(r.valid); // a well-formed reply...
    QCOMPARE(int(r.status), status);
    QCOMPARE(r.args.size(), argCount); // ...that the link rejects: A = 0, or A = 1 with argument != 0
    if (argCount == 1)
        QVERIFY(r.args.at(0) != 0);
    QVERIFY(r.payload.isEmpty());
    QCOMPARE(s.sim.requests().size(), 1);
    QCOMPARE(s.sim.requests().at(0).outcome, SimOutcome::Rejected);
    QCOMPARE(s.sim.pages(0, s.sim.pageCount()), before);
    // The connection goes on serving.
    QVERIFY(c.identify().valid);
    QCOMPARE(c.read(0, 1).args, QVector<qint32>{1});
}

void TestSimulator::badMagicClosesAfterReply()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const raw::Reply r = raw::decode(c.transactRaw(raw::frameOf(raw::body(0xC1, {0}), 0x1234)));
    QVERIFY(r.valid);
    QCOMPARE(int(r.status), int(RegisterSimulator::StatusBadMagic));
    QVERIFY(r.args.isEmpty());
    QVERIFY(c.waitClosed(5000));
    raw::Client d;
    QVERIFY(d.connectTo(s.sim.port()));
    QVERIFY(d.identify().valid);
}

void TestSimulator::oversizedLengthClosesConnection()
{
    Sim s;
    QVERIFY(s.sim.start());
    for (qint32 length : {64 * 1024 + 1, 0x7FFFFFFF, -1, -100000}) {
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        QByteArray f;
        raw::put16(f, 0xBEEF);
        raw::put32(f, quint32(length));
        raw::put32(f, 0);
        f += QByteArray(100, 'a');
        c.socket.write(f);
        QVERIFY2(c.waitClosed(5000), qPrintable(QString::number(length)));
        QVERIFY(c.pending.isEmpty());
    }
    QVERIFY(s.sim.requests().isEmpty());
    // A request of exactly the limit is read and answered (rejected: unknown command 0x01).
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    const raw::Reply r = raw::decode(c.transactRaw(raw::frameOf(QByteArray(64 * 1024, char(0x01)))));
    QVERIFY(r.valid);
    QCOMPARE(int(r.status), int(RegisterSimulator::StatusUnknownCommand));
    QVERIFY(c.identify().valid);
}

void TestSimulator::splitRequests()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    // A write of 4 pages sent in pieces: inside the header, at its end, inside the body.
    const int params = s.sim.areaFirst(2);
    const QByteArray data = pagesOf('w', 3);
    const QByteArray f = raw::frame(0xC3, {params, 3}, data);
    const int cuts[] = {0, 3, 10, 11, 500, f.size()};
    for (int i = 0; i + 1 < int(sizeof cuts / sizeof cuts[0]); ++i) {
        c.socket.write(f.mid(cuts[i], cuts[i + 1] - cuts[i]));
        c.socket.flush();
        if (i + 2 < int(sizeof cuts / sizeof cuts[0]))
            QVERIFY(!c.socket.waitForReadyRead(60)); // no reply to a partial request
    }
    const raw::Reply r = raw::decode(c.readFrame());
    QVERIFY(r.valid);
    QCOMPARE(r.args, QVector<qint32>{0});
    QCOMPARE(s.sim.pages(params, 3), data);

    // Byte by byte.
    const QByteArray id = raw::frame(0xC1, {0});
    for (char b : id) {
        c.socket.write(&b, 1);
        c.socket.flush();
        QTest::qWait(2);
    }
    QCOMPARE(raw::decode(c.readFrame()).args.size(), 3);
    QCOMPARE(s.sim.requestTrace(), QStringList({QStringLiteral("C3 %1 3").arg(params), "C1"}));
}

void TestSimulator::pipelinedRequests()
{
    Sim s;
    QVERIFY(s.sim.start());
    s.sim.setReplyDelay(50); // replies stay in order even when delayed
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    c.socket.write(raw::frame(0xC1, {0}) + raw::frame(0xC2, {0, 1}) + raw::frame(0xC2, {1, 2}));
    c.socket.flush();
    const raw::Reply a = raw::decode(c.readFrame());
    const raw::Reply b = raw::decode(c.readFrame());
    const raw::Reply d = raw::decode(c.readFrame());
    QCOMPARE(a.args.size(), 3);
    QCOMPARE(b.args, QVector<qint32>{1});
    QCOMPARE(d.args, QVector<qint32>{2});
    QCOMPARE(d.payload.size(), 512);
}

void TestSimulator::twoClientsAtOnce()
{
    Sim s;
    QVERIFY(s.sim.start());
    raw::Client a, b;
    QVERIFY(a.connectTo(s.sim.port()));
    QVERIFY(b.connectTo(s.sim.port()));
    QVERIFY(a.identify().valid);
    QVERIFY(b.identify().valid);
    QVERIFY(a.read(0, 1).valid);
    QVERIFY(b.read(0, 1).valid);
    QCOMPARE(s.sim.connectionCount(), 2);
}

void TestSimulator::discoveryAnswer()
{
    Sim s(smallConfig(SimFamily::F253, "0123456789"));
    QVERIFY(s.sim.startDiscovery());
    QVERIFY(s.sim.discoveryPort() != 0);
    QUdpSocket u;
    QVERIFY(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    QSignalSpy queried(&s.sim, &RegisterSimulator::discoveryQueried);
    QCOMPARE(u.writeDatagram(Query, QHostAddress::LocalHost, s.sim.discoveryPort()), qint64(21));
    QVERIFY(u.waitForReadyRead(5000));
    const QNetworkDatagram d = u.receiveDatagram();
    QCOMPARE(d.data(), QByteArray("0123456789 00:1A:2B:3C:4D:5E 127.0.0.1\n"));
    QCOMPARE(s.sim.discoveryAnswer(), d.data());
    QCOMPARE(s.sim.discoveryQueries(), 1);
    QTRY_COMPARE(queried.count(), 1);

    // Configurable MAC and IP; a query with a zero tail is still the query.
    s.sim.setDiscoveryMac("AA:BB:CC:DD:EE:FF");
    s.sim.setDiscoveryIp("192.168.0.17");
    s.sim.setDiscoverySerial("5555");
    u.writeDatagram(Query + QByteArray(3, '\0'), QHostAddress::LocalHost, s.sim.discoveryPort());
    QVERIFY(u.waitForReadyRead(5000));
    QCOMPARE(u.receiveDatagram().data(), QByteArray("5555 AA:BB:CC:DD:EE:FF 192.168.0.17\n"));

    // Discovery beside TCP takes the TCP listen address.
    Sim t(smallConfig(SimFamily::F252, "42"));
    QVERIFY(t.sim.start(QHostAddress(QStringLiteral("127.0.0.1"))));
    QVERIFY(t.sim.startDiscovery());
    u.writeDatagram(Query, QHostAddress::LocalHost, t.sim.discoveryPort());
    QVERIFY(u.waitForReadyRead(5000));
    QCOMPARE(u.receiveDatagram().data(), QByteArray("42 00:1A:2B:3C:4D:5E 127.0.0.1\n"));
}

void TestSimulator::discoveryVariants_data()
{
    QTest::addColumn<int>("variant");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("normal") << int(SimDiscoveryReply::Normal) << QByteArray("77 00:1A:2B:3C:4D:5E 10.0.0.5\n");
    QTest::newRow("hyphen") << int(SimDiscoveryReply::HyphenLowerMac)
                            << QByteArray("77 00-1a-2b-3c-4d-5e 10.0.0.5\n");
    QTest::newRow("no lf") << int(SimDiscoveryReply::NoLineFeed) << QByteArray("77 00:1A:2B:3C:4D:5E 10.0.0.5");
    QTest::newRow("leading zero") << int(SimDiscoveryReply::LeadingZeroIp)
                                  << QByteArray("77 00:1A:2B:3C:4D:5E 10.0.0.05\n");
    QTest::newRow("five groups") << int(SimDiscoveryReply::FiveGroupMac)
                                 << QByteArray("77 00:1A:2B:3C:4D 10.0.0.5\n");
}

void TestSimulator::discoveryVariants()
{
    QFETCH(int, variant);
    QFETCH(QByteArray, answer);
    Sim s(smallConfig(SimFamily::F253, "77"));
    s.sim.setDiscoveryIp("10.0.0.5"); // only the text of the answer: nothing is sent there
    s.sim.setDiscoveryReply(SimDiscoveryReply(variant));
    QCOMPARE(s.sim.discoveryReply(), SimDiscoveryReply(variant));
    QVERIFY(s.sim.startDiscovery());
    QUdpSocket u;
    QVERIFY(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    u.writeDatagram(Query, QHostAddress::LocalHost, s.sim.discoveryPort());
    QVERIFY(u.waitForReadyRead(5000));
    QCOMPARE(u.receiveDatagram().data(), answer);
    QVERIFY(!u.waitForReadyRead(200));
}

void TestSimulator::discoveryTwiceAndSilent()
{
    Sim s(smallConfig(SimFamily::F253, "31"));
    QVERIFY(s.sim.startDiscovery());
    QUdpSocket u;
    QVERIFY(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    s.sim.setDiscoveryReply(SimDiscoveryReply::Twice);
    u.writeDatagram(Query, QHostAddress::LocalHost, s.sim.discoveryPort());
    QList<QByteArray> got;
    QElapsedTimer t;
    t.start();
    while (got.size() < 2 && t.elapsed() < 5000) {
        if (u.waitForReadyRead(500))
            while (u.hasPendingDatagrams())
                got << u.receiveDatagram().data();
    }
    QCOMPARE(got.size(), 2);
    QCOMPARE(got.at(0), QByteArray("31 00:1A:2B:3C:4D:5E 127.0.0.1\n"));
    QCOMPARE(got.at(1), got.at(0));

    s.sim.setDiscoveryReply(SimDiscoveryReply::Silent);
    u.writeDatagram(Query, QHostAddress::LocalHost, s.sim.discoveryPort());
    QTRY_COMPARE(s.sim.discoveryQueries(), 2);
    QVERIFY(!u.waitForReadyRead(400));
}

void TestSimulator::discoveryIgnoresOtherDatagrams()
{
    Sim s;
    QVERIFY(s.sim.startDiscovery());
    QUdpSocket u;
    QVERIFY(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    for (const QByteArray &d : {QByteArray("Are You Korvane POS?"), QByteArray("are you korvane pos?\n"),
                                QByteArray("Are You Korvane POS?\nx"), QByteArray("31 00:1A:2B:3C:4D:5E 1.2.3.4\n"),
                                QByteArray()})
        u.writeDatagram(d, QHostAddress::LocalHost, s.sim.discoveryPort());
    QVERIFY(!u.waitForReadyRead(400));
    QCOMPARE(s.sim.discoveryQueries(), 0);
    u.writeDatagram(Query, QHostAddress::LocalHost, s.sim.discoveryPort());
    QVERIFY(u.waitForReadyRead(5000));
}

void TestSimulator::statePersistsAcrossRestart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("register.state"));
    const QByteArray data = pagesOf('S', 2);
    int params = 0;
    {
        Sim s(smallConfig(SimFamily::F253, "2531111111"));
        QVERIFY2(s.sim.setStateFile(path), qPrintable(s.sim.errorString()));
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), qint64(s.sim.pageCount() * 256));
        QVERIFY(s.sim.start());
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        params = s.sim.areaFirst(2);
        // Write params pages 0 and 2 (leaving the serial page alone) and a system page.
        QCOMPARE(c.write(params, data.left(256)).args, QVector<qint32>{0});
        QCOMPARE(c.write(params + 2, data.mid(256)).args, QVector<qint32>{0});
        QCOMPARE(c.writeSystem(s.sim.areaFirst(1), data.left(256)).args, QVector<qint32>{0});
        // A refused write changes nothing.
        s.sim.setNakWrites(true);
        QVERIFY(c.write(params, QByteArray(256, 'N')).args.at(0) != 0);
    }
    {
        // A second simulator, with another serial and other sizes in its config:
        // the file's storage wins.
        SimConfig other = smallConfig(SimFamily::F253, "2532222222");
        other.paramsPages = 9;
        Sim s(other);
        QVERIFY2(s.sim.setStateFile(path), qPrintable(s.sim.errorString()));
        QCOMPARE(s.sim.areaPages(2), 3);
        QCOMPARE(s.sim.serial(), QByteArray("2531111111"));
        QVERIFY(s.sim.start());
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        QCOMPARE(c.read(params, 1).payload, data.left(256));
        QCOMPARE(c.read(params + 2, 1).payload, data.mid(256));
        QCOMPARE(c.read(s.sim.areaFirst(1), 1).payload, data.left(256));
        QCOMPARE(c.read(s.sim.serialPage(), 1).payload.left(10), QByteArray("2531111111"));
        s.sim.setSerial("2533333333"); // direct changes are written back too
    }
    RegisterSimulator third(smallConfig());
    QVERIFY(third.setStateFile(path));
    QCOMPARE(third.serial(), QByteArray("2533333333"));
    QCOMPARE(third.stateFile(), path);
}

void TestSimulator::badStateFileIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.state"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, 'x'));
    f.close();
    RegisterSimulator s(smallConfig());
    QVERIFY(!s.setStateFile(path));
    QVERIFY(s.errorString().contains(QStringLiteral("bad.state")));
    QCOMPARE(QFileInfo(path).size(), qint64(300)); // left alone
    QVERIFY(!s.setStateFile(dir.filePath(QStringLiteral("no/such/folder/x.state"))));
}

void TestSimulator::refusesNonLoopback()
{
    // Checked before anything is bound.
    RegisterSimulator s(smallConfig());
    QVERIFY(!s.start(QHostAddress::Any, 0));
    QVERIFY(s.errorString().contains(QStringLiteral("loopback")));
    QVERIFY(!s.start(QHostAddress(QStringLiteral("10.0.0.1")), 0));
    QVERIFY(!s.isListening());
    QVERIFY2(s.start(QHostAddress(QStringLiteral("127.0.0.2")), 0), qPrintable(s.errorString())); // 127/8
    QCOMPARE(s.address(), QHostAddress(QStringLiteral("127.0.0.2")));
    s.stop();
    QVERIFY(s.start(QHostAddress::LocalHost, 0));
}

void TestSimulator::stopAndStartAgain()
{
    Sim s;
    QVERIFY(s.sim.start());
    {
        raw::Client c;
        QVERIFY(c.connectTo(s.sim.port()));
        QVERIFY(c.write(s.sim.areaFirst(2), pagesOf('r', 1)).valid);
        s.sim.stop();
        QVERIFY(c.waitClosed(5000)); // open connections are closed
    }
    QVERIFY(!s.sim.isListening());
    QVERIFY(s.sim.start());
    raw::Client c;
    QVERIFY(c.connectTo(s.sim.port()));
    QCOMPARE(c.read(s.sim.areaFirst(2), 1).payload, pagesOf('r', 1)); // storage kept
}

void TestSimulator::invalidLayoutFailsStart()
{
    SimConfig cfg = smallConfig();
    cfg.paramsPages = 1;
    RegisterSimulator s(cfg);
    QVERIFY(!s.start());
    QVERIFY(s.errorString().contains(QStringLiteral("params")));
    cfg = smallConfig();
    cfg.goodsPages = 70000;
    RegisterSimulator t(cfg);
    QVERIFY(!t.start());
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
