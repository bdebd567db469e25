// Tests of the korvane-sim program, run as a separate process. Only 127.x
// addresses are ever listened on or sent to; the non-loopback cases must be
// refused before anything is bound.

#include "tests/sim/rawclient.h"

#include <QFileInfo>
#include <QNetworkDatagram>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <QtTest>

#include <memory>

#ifndef KORVANE_SIM_PATH
#error KORVANE_SIM_PATH must name the korvane-sim binary
#endif

namespace {

const QString Program = QStringLiteral(KORVANE_SIM_PATH);

// Runs the program to its end; returns its exit code (-1 if it had to be killed).
int runToEnd(const QStringList &args, QByteArray *out = nullptr, QByteArray *err = nullptr)
{
    QProcess p;
    p.start(Program, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished(5000);
        return -1;
    }
    if (out)
        *out = p.readAllStandardOutput();
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A running korvane-sim on 127.0.0.1 with a free port, read from its line.
struct Running
{
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    quint16 port = 0;
    QByteArray line;

    bool start(const QStringList &extra)
    {
        process->start(Program, QStringList{"--listen", "127.0.0.1:0"} + extra);
        if (!process->waitForStarted(10000))
            return false;
        QElapsedTimer t;
        t.start();
        while (!process->canReadLine() && t.elapsed() < 20000) {
            if (process->state() == QProcess::NotRunning)
                return false;
            process->waitForReadyRead(200);
        }
        line = process->readLine();
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)")).match(QString::fromLatin1(line));
        if (!m.hasMatch())
            return false;
        port = quint16(m.captured(1).toUInt());
        return port != 0;
    }

    void stop()
    {
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(10000)) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    ~Running() { stop(); }
};

quint16 freeUdpPort()
{
    QUdpSocket s;
    if (!s.bind(QHostAddress(QHostAddress::LocalHost), 0))
        return 0;
    return s.localPort();
}

} // namespace

class TestSimProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void help();
    void refusesNonLoopback_data();
    void refusesNonLoopback();
    void badArguments_data();
    void badArguments();
    void servesFamily252();
    void servesFamily253WithFaultFlags();
    void refuseFlag();
    void discoveryPort();
    void statePersistsAcrossRestart();
};

void TestSimProgram::initTestCase()
{
    QVERIFY2(QFileInfo(Program).isExecutable(), qPrintable(Program));
}

void TestSimProgram::help()
{
    QByteArray out;
    QCOMPARE(runToEnd({"--help"}, &out), 0);
    for (const char *flag : {"--listen", "--discovery-port", "--family", "--version", "--serial", "--goods-capacity",
                             "--state", "--delay", "--split", "--bad-checksum", "--nak-writes", "--drop-after",
                             "--other-serial", "--refuse", "--silent", "--allow-any-address", "--discovery-reply"})
        QVERIFY2(out.contains(flag), flag);
}

void TestSimProgram::refusesNonLoopback_data()
{
    QTest::addColumn<QString>("listen");
    QTest::newRow("any") << QStringLiteral("0.0.0.0:0");
    QTest::newRow("private") << QStringLiteral("10.0.0.1:0");
    QTest::newRow("public") << QStringLiteral("192.0.2.1:8080");
    QTest::newRow("ipv6 any") << QStringLiteral("[::]:0");
}

void TestSimProgram::refusesNonLoopback()
{
    QFETCH(QString, listen);
    QByteArray out, err;
    const int code = runToEnd({"--listen", listen, "--discovery-port", "0"}, &out, &err);
    QVERIFY2(code > 0, qPrintable(QString::number(code)));
    QVERIFY(err.contains("loopback"));
    QVERIFY(!out.contains("listening"));
}

void TestSimProgram::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("family") << QStringList{"--family", "2.54"};
    QTest::newRow("version") << QStringList{"--version", "2.53"};
    QTest::newRow("listen") << QStringList{"--listen", "127.0.0.1"};
    QTest::newRow("port") << QStringList{"--listen", "127.0.0.1:70000"};
    QTest::newRow("unknown") << QStringList{"--no-such-flag"};
    QTest::newRow("delay") << QStringList{"--delay", "soon"};
    QTest::newRow("long 2.52 serial") << QStringList{"--family", "2.52", "--serial", "1234567890123"};
    QTest::newRow("variant") << QStringList{"--discovery-reply", "loud"};
    QTest::newRow("identify args") << QStringList{"--identify-args", "4"};
    QTest::newRow("params pages") << QStringList{"--params-pages", "1"};
}

void TestSimProgram::badArguments()
{
    QFETCH(QStringList, args);
    QByteArray out;
    QVERIFY(runToEnd(QStringList{"--listen", "127.0.0.1:0", "--discovery-port", "0"} + args, &out) > 0);
    QVERIFY(!out.contains("listening"));
}

void TestSimProgram::servesFamily252()
{
    Running r;
    QVERIFY2(r.start({"--discovery-port", "0", "--family", "2.52", "--serial", "252000000042", "--version",
                      "2.52.40", "--goods-capacity", "300"}),
             r.line.constData());
    QVERIFY(r.line.contains("2.52.40"));
    raw::Client c;
    QVERIFY(c.connectTo(r.port));
    const raw::Reply id = c.identify();
    QVERIFY(id.valid);
    QCOMPARE(id.args, (QVector<qint32>{qint32((2u << 28) | (52u << 16) | 40u), 1024, 300}));
    const raw::Reply header = c.read(0, 1);
    QVERIFY(header.valid);
    const int params = qFromLittleEndian<quint16>(header.payload.constData() + 14 + 2);
    const int goodsPages = qFromLittleEndian<quint16>(header.payload.constData() + 38 + 4);
    QCOMPARE(goodsPages, (300 + 3) / 2);
    QCOMPARE(c.read(params, 1).payload.mid(4, 12), QByteArray("252000000042"));
}

void TestSimProgram::servesFamily253WithFaultFlags()
{
    {
        Running r;
        QVERIFY2(r.start({"--discovery-port", "0", "--serial", "2530000077", "--other-serial", "2539999999",
                          "--nak-writes", "--verbose"}),
                 r.line.constData());
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        QVERIFY(c.identify().valid);
        const raw::Reply header = c.read(0, 1);
        const int params = qFromLittleEndian<quint16>(header.payload.constData() + 14 + 2);
        QCOMPARE(c.read(params + 1, 1).payload.left(10), QByteArray("2539999999"));
        const raw::Reply w = c.write(params, QByteArray(256, 'w'));
        QVERIFY(w.valid);
        QVERIFY(w.args.at(0) != 0);
        // --verbose prints one line per request.
        QByteArray printed;
        QElapsedTimer t;
        t.start();
        while (!printed.contains("C3") && t.elapsed() < 10000) {
            r.process->waitForReadyRead(100);
            printed += r.process->readAll();
        }
        QVERIFY2(printed.contains("request 1.1 C1 status 0"), printed.constData());
        QVERIFY2(printed.contains(QByteArray("request 1.4 C3 ") + QByteArray::number(params) + " 1 status 8"),
                 printed.constData());
    }
    {
        Running r;
        QVERIFY(r.start({"--discovery-port", "0", "--bad-checksum", "--fault-command", "0xC2"}));
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        QVERIFY(c.identify().valid);
        QVERIFY(!c.read(0, 1).valid);
    }
    {
        Running r;
        QVERIFY(r.start({"--discovery-port", "0", "--identify-no-args", "--drop-after", "1"}));
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        const raw::Reply id = c.identify();
        QVERIFY(id.valid);
        QVERIFY(id.args.isEmpty());
        c.socket.write(raw::frame(0xC2, {0, 1}));
        QVERIFY(c.waitClosed(5000));
    }
    {
        Running r;
        QVERIFY(r.start({"--discovery-port", "0", "--silent"}));
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        c.socket.write(raw::frame(0xC1, {0}));
        QVERIFY(!c.socket.waitForReadyRead(500));
    }
}

void TestSimProgram::refuseFlag()
{
    Running r;
    QVERIFY(r.start({"--discovery-port", "0", "--refuse"}));
    raw::Client c;
    c.socket.connectToHost(QStringLiteral("127.0.0.1"), r.port);
    c.socket.waitForConnected(5000);
    c.socket.write(raw::frame(0xC1, {0}));
    QVERIFY(c.waitClosed(5000));
    QVERIFY(c.pending.isEmpty());
}

void TestSimProgram::discoveryPort()
{
    const quint16 port = freeUdpPort();
    QVERIFY(port != 0);
    Running r;
    QVERIFY2(r.start({"--discovery-port", QString::number(port), "--serial", "123", "--mac", "00:11:22:33:44:55",
                      "--discovery-reply", "hyphen-mac"}),
             r.line.constData());
    QVERIFY(r.line.contains(QByteArray("discovery on UDP ") + QByteArray::number(port)));
    QUdpSocket u;
    QVERIFY(u.bind(QHostAddress(QHostAddress::LocalHost), 0));
    u.writeDatagram(QByteArray("Are You Korvane POS?\n"), QHostAddress::LocalHost, port);
    QVERIFY(u.waitForReadyRead(5000));
    QCOMPARE(u.receiveDatagram().data(), QByteArray("123 00-11-22-33-44-55 127.0.0.1\n"));
}

void TestSimProgram::statePersistsAcrossRestart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString state = dir.filePath(QStringLiteral("sim.state"));
    const QStringList args{"--discovery-port", "0", "--goods-capacity", "20", "--state", state};
    QByteArray page(256, 'P');
    page[0] = 'X';
    int goods = 0;
    {
        Running r;
        QVERIFY2(r.start(args + QStringList{"--serial", "2534444444"}), r.line.constData());
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        const raw::Reply header = c.read(0, 1);
        goods = qFromLittleEndian<quint16>(header.payload.constData() + 38 + 2);
        QCOMPARE(c.write(goods + 1, page).args, QVector<qint32>{0});
        r.stop();
    }
    {
        Running r;
        QVERIFY2(r.start(args), r.line.constData());
        QVERIFY(r.line.contains("2534444444")); // the serial came from the file
        raw::Client c;
        QVERIFY(c.connectTo(r.port));
        QCOMPARE(c.read(goods + 1, 1).payload, page);
    }
    // A bad state file stops the program.
    QFile bad(dir.filePath(QStringLiteral("bad.state")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("short");
    bad.close();
    QVERIFY(runToEnd({"--listen", "127.0.0.1:0", "--discovery-port", "0", "--state", bad.fileName()}) > 0);
}

QTEST_GUILESS_MAIN(TestSimProgram)
#include "tst_simprogram.moc"
