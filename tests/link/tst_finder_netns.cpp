#include "link/devicefinder.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cstdio>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

// Finds a simulated register across a real link: two network namespaces made
// by this test, joined by a veth pair, the register in one and the finder in
// the other, searching through the broadcast address of that link as the
// workstation's interfaces report it. Needs root; skipped otherwise.
namespace {

const char kFinderMode[] = "--run-finder";

int runFinder()
{
    DeviceFinder finder;
    finder.setTimeout(1000);
    finder.setPort(8090);
    finder.run();
    std::fputs(finder.foundDevices().constData(), stdout);
    return 0;
}

bool run(const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("ip"), args);
    if (!p.waitForFinished(10000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}

class TestFinderNetns : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
#ifdef Q_OS_LINUX
        if (geteuid() != 0)
            QSKIP("needs root to create network namespaces");
        if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty())
            QSKIP("needs the ip tool (iproute2)");
#else
        QSKIP("network namespaces exist on Linux only");
#endif
        const QString tag = QString::number(QCoreApplication::applicationPid());
        m_register = QStringLiteral("kvreg") + tag;
        m_station = QStringLiteral("kvsta") + tag;
        if (!run({"netns", "add", m_register}) || !run({"netns", "add", m_station}))
            QSKIP("cannot create network namespaces here");
        m_made = true;
        const QString a = QStringLiteral("kva") + tag, b = QStringLiteral("kvb") + tag;
        if (!run({"link", "add", a, "type", "veth", "peer", "name", b}))
            QSKIP("cannot create a veth pair here");
        QVERIFY(run({"link", "set", a, "netns", m_register}));
        QVERIFY(run({"link", "set", b, "netns", m_station}));
        // The link's addresses exist only inside the two namespaces made above.
        QVERIFY(run({"-n", m_register, "addr", "add", "10.213.77.1/24", "brd", "+", "dev", a}));
        QVERIFY(run({"-n", m_station, "addr", "add", "10.213.77.2/24", "brd", "+", "dev", b}));
        for (const QString &ns : {m_register, m_station}) {
            QVERIFY(run({"-n", ns, "link", "set", "lo", "up"}));
        }
        QVERIFY(run({"-n", m_register, "link", "set", a, "up"}));
        QVERIFY(run({"-n", m_station, "link", "set", b, "up"}));
    }

    void cleanupTestCase()
    {
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.kill();
            m_sim.waitForFinished(3000);
        }
        if (m_made) {
            run({"netns", "del", m_register});
            run({"netns", "del", m_station});
        }
    }

    void findsRegisterThroughLinkBroadcast()
    {
        m_sim.setProcessChannelMode(QProcess::MergedChannels);
        m_sim.start(QStringLiteral("ip"),
                    {"netns", "exec", m_register, QStringLiteral(KORVANE_SIM_PATH),
                     "--listen", "0.0.0.0:8080", "--allow-any-address", "--discovery-port", "8090",
                     "--serial", "5300000042", "--ip", "10.213.77.1", "--mac", "02:00:00:00:00:42"});
        QVERIFY(m_sim.waitForStarted(5000));
        QVERIFY2(m_sim.waitForReadyRead(5000), "simulator did not report listening");

        QProcess finder;
        finder.start(QStringLiteral("ip"), {"netns", "exec", m_station,
                                            QCoreApplication::applicationFilePath(), kFinderMode});
        QVERIFY(finder.waitForFinished(20000));
        QCOMPARE(finder.exitCode(), 0);
        const QByteArray json = finder.readAllStandardOutput();
        const QJsonArray found = QJsonDocument::fromJson(json).array();
        QVERIFY2(found.size() == 1, json.constData());
        const QJsonObject o = found.first().toObject();
        QCOMPARE(o.value("device").toString(), QStringLiteral("5300000042"));
        QCOMPARE(o.value("ip").toString(), QStringLiteral("10.213.77.1"));
        QCOMPARE(o.value("mac").toString(), QStringLiteral("02:00:00:00:00:42"));
    }

private:
    QString m_register;
    QString m_station;
    bool m_made = false;
    QProcess m_sim;
};

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], kFinderMode) == 0) {
        QCoreApplication app(argc, argv);
        return runFinder();
    }
    QCoreApplication app(argc, argv);
    TestFinderNetns test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_finder_netns.moc"
