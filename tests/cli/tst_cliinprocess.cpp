// korvane-cli's commands run in-process where the probe double must answer:
// an unreachable register is never a real foreign address.

#include "cli/cliapplication.h"
#include "cli/console.h"
#include "link/fixedprobe.h"
#include "session/profilefile.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

class TestCliInProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unreachableRegister_data();
    void unreachableRegister();
    void unreachableBeforeAWrite();

private:
    QBuffer m_out;
    QBuffer m_err;
};

void TestCliInProcess::init()
{
    m_out.setData(QByteArray());
    m_err.setData(QByteArray());
    QVERIFY(m_out.open(QIODevice::WriteOnly));
    QVERIFY(m_err.open(QIODevice::WriteOnly));
    Console::capture(&m_out, &m_err);
}

void TestCliInProcess::cleanup()
{
    Console::capture(nullptr, nullptr);
    m_out.close();
    m_err.close();
}

void TestCliInProcess::unreachableRegister_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("identify") << QStringList{"identify", "127.0.0.220"};
    QTest::newRow("params read") << QStringList{"params", "read", "127.0.0.220", "--serial", "1", "--out", "x.json"};
    QTest::newRow("params show") << QStringList{"params", "show", "127.0.0.220", "--serial", "1"};
    QTest::newRow("goods read") << QStringList{"goods", "read", "127.0.0.220", "--serial", "1", "--csv", "x.json"};
}

void TestCliInProcess::unreachableRegister()
{
    QFETCH(QStringList, arguments);
    FixedProbe::Scope probe;
    probe.setUnreachable(QStringLiteral("127.0.0.220"));
    QCOMPARE(CliApplication::run(arguments), 4);
    QCOMPARE(QString::fromUtf8(m_err.data()), QStringLiteral("ККТ по адресу 127.0.0.220 не доступен\n"));
    QCOMPARE(m_out.data(), QByteArray());
    QCOMPARE(probe.asked(), QStringList{QStringLiteral("127.0.0.220")});
    QVERIFY(!QFile::exists(QStringLiteral("x.json")));
}

void TestCliInProcess::unreachableBeforeAWrite()
{
    QTemporaryDir dir;
    ProfileFile file;
    file.serial = QStringLiteral("2530000220");
    file.version = QStringLiteral("2.53.10");
    file.params = QByteArray(21 * 256, '\0');
    QString error;
    QVERIFY(file.write(dir.filePath("params.json"), &error));
    QFile csv(dir.filePath("goods.csv"));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("name;intcode;barcode;price;dept\na;1;;1;1\n");
    csv.close();

    FixedProbe::Scope probe;
    probe.setUnreachable(QStringLiteral("127.0.0.220"));
    const QStringList target{"127.0.0.220", "--serial", "2530000220"};
    QCOMPARE(CliApplication::run(QStringList{"params", "write"} + target + QStringList{"--in", dir.filePath("params.json")}), 4);
    QCOMPARE(CliApplication::run(QStringList{"goods", "write"} + target + QStringList{"--csv", dir.filePath("goods.csv")}), 4);
    QCOMPARE(QString::fromUtf8(m_err.data()), QStringLiteral("ККТ по адресу 127.0.0.220 не доступен\n").repeated(2));
    // Nothing but the probe was tried.
    QCOMPARE(probe.calls(), 2);
}

QTEST_GUILESS_MAIN(TestCliInProcess)
#include "tst_cliinprocess.moc"
