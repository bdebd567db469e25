// The demonstration register and the korvane-demo program that prepares the
// first run: what the user sees must come back through the utility's own
// decoders, and a restart must neither duplicate the registry entry nor wipe
// what the user changed on the register.

#include "goods/goodscodec.h"
#include "params/appsettings.h"
#include "params/deviceparams52.h"
#include "params/deviceparams53.h"
#include "sim/demo/demoregister.h"
#include "sim/registersimulator.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#ifndef KORVANE_DEMO_PATH
#error KORVANE_DEMO_PATH must name the korvane-demo binary
#endif

namespace {

int runDemo(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(KORVANE_DEMO_PATH), args);
    if (!process.waitForFinished(20000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The store korvane-demo --settings DIR writes, as the utility would read it.
QSettings demoSettings(const QString &dir)
{
    AppSettings::setApplicationIdentity();
    AppSettings::useFolder(dir);
    return QSettings();
}

}

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void filled253RegisterReadsBack()
    {
        RegisterSimulator sim(SimConfig::family253("2530000001"));
        QString error;
        QVERIFY2(DemoRegister::fill(sim, &error), qPrintable(error));
        QCOMPARE(sim.serial(), QByteArray("2530000001"));

        DeviceParams53 params;
        params.load(QStringLiteral("2530000001"), sim.areaContent(2), sim.areaContent(1));
        QCOMPARE(params.registration().serial(), QStringLiteral("2530000001"));
        QVERIFY(params.org().name().contains(QStringLiteral("Демо-Маркет")));
        QCOMPARE(params.departments().at(1).name(), QStringLiteral("Молочные"));
        QCOMPARE(params.headerLines().value(2), QStringLiteral("  Добро пожаловать!"));

        // The goods area starts with its header record.
        const QByteArray goods = sim.areaContent(5).mid(128);
        QCOMPARE(decodeGoods(goods), DemoRegister::sampleGoods());
    }

    void filled252RegisterKeepsItsSerial()
    {
        RegisterSimulator sim(SimConfig::family252("2520000001"));
        QString error;
        QVERIFY2(DemoRegister::fill(sim, &error), qPrintable(error));
        QCOMPARE(sim.serial(), QByteArray("2520000001"));
        DeviceParams52 params;
        params.load(QStringLiteral("2520000001"), sim.areaContent(2), sim.areaContent(1));
        QCOMPARE(params.org().name(), QStringLiteral("ООО \"Демо-Маркет\""));
        QVERIFY(!params.history().isEmpty());
        QCOMPARE(params.history().first().inn(), QStringLiteral("7728123459"));
    }

    void sampleGoodsAreValid()
    {
        const GoodsList goods = DemoRegister::sampleGoods();
        QVERIFY(goods.size() >= 10);
        for (const GoodsItem &item : goods) {
            QVERIFY(item.name.size() <= 84);
            QVERIFY(item.price > 0);
            QVERIFY(item.dept >= 1 && item.dept <= 4);
        }
    }

    void programListsTheRegisterOnce()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("register.bin"));
        const QString config = dir.filePath(QStringLiteral("config"));
        const QStringList args = {QStringLiteral("--state"), state, QStringLiteral("--settings"), config,
                                  QStringLiteral("--address"), QStringLiteral("127.0.0.1")};
        QCOMPARE(runDemo(args), 0);
        QCOMPARE(runDemo(args), 0);
        QSettings settings = demoSettings(config);
        QCOMPARE(settings.beginReadArray(QStringLiteral("devices")), 1);
        settings.setArrayIndex(0);
        QCOMPARE(settings.value(QStringLiteral("serial")).toString(), QStringLiteral("2530000001"));
        QCOMPARE(settings.value(QStringLiteral("addr")).toString(), QStringLiteral("127.0.0.1"));
        QCOMPARE(settings.value(QStringLiteral("version")).toString(), QStringLiteral("2.53.10"));
        QCOMPARE(settings.value(QStringLiteral("name")).toString(), QStringLiteral("Демо ККТ"));
    }

    void restartKeepsTheRegistersChangesUnlessReset()
    {
        QTemporaryDir dir;
        const QString state = dir.filePath(QStringLiteral("register.bin"));
        QCOMPARE(runDemo({QStringLiteral("--state"), state}), 0);
        QByteArray changed;
        {
            RegisterSimulator sim(SimConfig::family253("2530000001"));
            QVERIFY(sim.setStateFile(state));
            QByteArray goods = sim.areaContent(5);
            goods.fill('\0', 128 * 3);
            QVERIFY(sim.setAreaContent(5, goods.left(128 * 3)));
            changed = sim.areaContent(5);
        }
        QCOMPARE(runDemo({QStringLiteral("--state"), state}), 0);
        RegisterSimulator kept(SimConfig::family253("2530000001"));
        QVERIFY(kept.setStateFile(state));
        QCOMPARE(kept.areaContent(5), changed);

        QCOMPARE(runDemo({QStringLiteral("--state"), state, QStringLiteral("--reset")}), 0);
        RegisterSimulator refilled(SimConfig::family253("2530000001"));
        QVERIFY(refilled.setStateFile(state));
        QCOMPARE(decodeGoods(refilled.areaContent(5).mid(128)), DemoRegister::sampleGoods());
    }

    void refusesAnUnknownFamily()
    {
        QTemporaryDir dir;
        QVERIFY(runDemo({QStringLiteral("--state"), dir.filePath(QStringLiteral("x.bin")),
                         QStringLiteral("--family"), QStringLiteral("2.54")}) != 0);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.bin"))));
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
