#include "link/linkresult.h"
#include "session/registersession.h"
#include "session/sessionresult.h"
#include "sim/registersimulator.h"
#include "tests/support/core/hanginglistener.h"
#include "tests/support/core/simulators.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kSerial = "2530000001";

enum class Op { ReadParams, WriteParams, ReadGoods, WriteGoods };

}

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(SimConfig)

namespace {

// A goods area image of one article: header record, the article, an end marker.
QByteArray oneArticle()
{
    QByteArray image(256, '\0');
    image[128] = 1;
    image[128 + 16] = 'a';
    image[256 - 128] = 1;
    return image + QByteArray(128, '\0').replace(0, 2, "\xFF\xFF");
}

void start(RegisterSession &session, Op op, const RegisterSimulator &sim)
{
    switch (op) {
    case Op::ReadParams:
        session.readParams();
        break;
    case Op::WriteParams:
        session.writeParams(sim.areaContent(2), sim.areaContent(1), QStringLiteral("2.53.10"));
        break;
    case Op::ReadGoods:
        session.readGoods();
        break;
    case Op::WriteGoods:
        session.writeGoods(oneArticle(), 1, false);
        break;
    }
}

// The requests every exchange starts with: identify, the header, the serial page.
QStringList prologue(const RegisterSimulator &sim)
{
    return {"C1", "C2 0 1", QStringLiteral("C2 %1 1").arg(sim.serialPage())};
}

}

// What the session keeps from happening to a register, through the link to a
// simulated one: each case ends with its code before the areas are touched.
class TestRegisterSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegisterSimulator> m_sim;
    std::unique_ptr<RegisterSession> m_session;

    RegisterSimulator &startRegister(const SimConfig &config, const char *address)
    {
        m_sim = Simulators::start(config, QLatin1String(address));
        m_session = std::make_unique<RegisterSession>();
        m_session->setProbeFirst(false);
        m_session->setAddress(QLatin1String(address), m_sim ? m_sim->port() : 0);
        m_session->setExpectedSerial(QString::fromLatin1(config.serial));
        return *m_sim;
    }

    int run(Op op)
    {
        QSignalSpy finished(m_session.get(), &RegisterSession::finished);
        start(*m_session, op, *m_sim);
        m_session->waitForFinished();
        return finished.count() == 1 ? m_session->result() : -1000;
    }

private slots:
    void cleanup()
    {
        m_session.reset();
        m_sim.reset();
    }

    void wholeSerialBeforeAnyWrite_data()
    {
        QTest::addColumn<Op>("op");
        QTest::newRow("params") << Op::WriteParams;
        QTest::newRow("goods") << Op::WriteGoods;
        QTest::newRow("goods read") << Op::ReadGoods;
    }

    // The link lets a register through whose serial number is only the start
    // of the expected one, as a 2.52 register's twelve digits are of sixteen.
    void wholeSerialBeforeAnyWrite()
    {
        QFETCH(Op, op);
        RegisterSimulator &sim = startRegister(SimConfig::family253("253000000001"), "127.0.17.1");
        m_session->setExpectedSerial(QStringLiteral("2530000000010000"));
        QCOMPARE(run(op), int(LinkSerialMismatch));
        QCOMPARE(Simulators::writesSeen(sim), 0);
        QCOMPARE(sim.requestTrace(), prologue(sim));
        QCOMPARE(m_session->explanation(),
                 QStringLiteral("заводской номер ККТ 253000000001 не совпадает с заданным 2530000000010000"));
        QCOMPARE(m_session->informativeText(),
                 QStringLiteral("Заводской номер ККТ 253000000001 не совпадает с заданным 2530000000010000.\n"
                                "Адрес ККТ: 127.0.17.1."));
    }

    void emptyRegisterSerialIsNamed()
    {
        RegisterSimulator &sim = startRegister(SimConfig::family253(kSerial), "127.0.17.2");
        sim.setSerial(QByteArray());
        QCOMPARE(run(Op::WriteGoods), int(LinkSerialMismatch));
        QCOMPARE(Simulators::writesSeen(sim), 0);
        QCOMPARE(m_session->explanation(),
                 QStringLiteral("заводской номер ККТ (пустой) не совпадает с заданным 2530000001"));
    }

    void unsupportedFirmwareGoesNoFurther_data()
    {
        QTest::addColumn<Op>("op");
        QTest::newRow("params read") << Op::ReadParams;
        QTest::newRow("params write") << Op::WriteParams;
        QTest::newRow("goods read") << Op::ReadGoods;
        QTest::newRow("goods write") << Op::WriteGoods;
    }

    void unsupportedFirmwareGoesNoFurther()
    {
        QFETCH(Op, op);
        RegisterSimulator &sim = startRegister(SimConfig::family253(kSerial), "127.0.17.3");
        sim.setVersion(RegisterSimulator::makeVersion(2, 99, 7));
        QCOMPARE(run(op), int(SessionUnsupportedVersion));
        QCOMPARE(sim.requestTrace(), prologue(sim));
        QCOMPARE(m_session->explanation(), QStringLiteral("Версия ККТ 2.99.7 не поддерживается"));
        // Identification itself is answered, for the registration to refuse in its own words.
        sim.clearRequests();
        m_session->identify();
        m_session->waitForFinished();
        QCOMPARE(m_session->result(), 0);
        QCOMPARE(m_session->identity().version, QStringLiteral("2.99.7"));
    }

    void areasThatCannotHoldTheTables_data()
    {
        QTest::addColumn<SimConfig>("config");
        QTest::addColumn<QString>("reason");
        SimConfig fivePages = SimConfig::family253(kSerial);
        fivePages.paramsPages = 5;
        QTest::newRow("2.53, five params pages")
                << fivePages << "область параметров ККТ (1280 байт) не подходит для версии 2.53.10";
        SimConfig shortSystem = SimConfig::family252("252000000001");
        shortSystem.systemPages = 3;
        QTest::newRow("2.52, three system pages")
                << shortSystem << "системная область ККТ (768 байт) не подходит для версии 2.52.38";
    }

    void areasThatCannotHoldTheTables()
    {
        QFETCH(SimConfig, config);
        QFETCH(QString, reason);
        RegisterSimulator &sim = startRegister(config, "127.0.17.4");
        QCOMPARE(run(Op::ReadParams), int(LinkOutOfRange));
        QCOMPARE(sim.requestTrace(), prologue(sim));
        QCOMPARE(m_session->explanation(), reason);
        QVERIFY(m_session->params().isEmpty());
    }

    void overlappingAreasTouchNothing_data()
    {
        QTest::addColumn<int>("goodsFirst");
        QTest::newRow("goods over page 0") << 0;
        QTest::newRow("goods over the params area") << -2;
    }

    // The goods go wherever the header says; an area over page 0 or over
    // another area would let the write destroy them.
    void overlappingAreasTouchNothing()
    {
        QFETCH(int, goodsFirst);
        RegisterSimulator &sim = startRegister(SimConfig::family253(kSerial), "127.0.17.5");
        const int first = goodsFirst >= 0 ? goodsFirst : sim.areaFirst(2);
        QByteArray header = sim.pages(0, 1);
        // Area 5's descriptor starts at byte 38: id, first page, page count.
        header[40] = char(first & 0xFF);
        header[41] = char(first >> 8);
        QVERIFY(sim.setPages(0, header));
        const QByteArray before = sim.storage();
        QCOMPARE(run(Op::WriteGoods), int(LinkBadHeader));
        QCOMPARE(sim.requestTrace(), QStringList({"C1", "C2 0 1"}));
        QCOMPARE(sim.storage(), before);
    }

    void goodsBeyondTheCapacity()
    {
        SimConfig config = SimConfig::family253(kSerial);
        config.goodsCapacity = 1;
        RegisterSimulator &sim = startRegister(config, "127.0.17.6");
        QCOMPARE(run(Op::WriteGoods), int(SessionTooManyGoods));
        QCOMPARE(m_session->explanation(), QStringLiteral("Количество строк 1 превышает лимит 0"));
        QCOMPARE(Simulators::writesSeen(sim), 0);

        m_session->writeGoods(oneArticle(), 1, true);
        m_session->waitForFinished();
        QCOMPARE(m_session->result(), 0);
        QVERIFY(Simulators::writesSeen(sim) > 0);
    }

    // A register whose listen queue is full answers the probe, but its
    // connection never comes up: the exchange gives up on its own.
    void connectionThatNeverComesUp()
    {
        HangingListener register_(QStringLiteral("127.0.17.7"));
        if (register_.port() == 0)
            QSKIP("no listener that leaves connections hanging on this platform");
        RegisterSession session;
        session.setProbeFirst(false);
        session.setConnectTimeout(300);
        session.setAddress(QStringLiteral("127.0.17.7"), register_.port());
        QSignalSpy finished(&session, &RegisterSession::finished);
        QElapsedTimer clock;
        clock.start();
        session.identify();
        QVERIFY(finished.wait(5000));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(session.result(), int(LinkSocketError));
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestRegisterSession)
#include "tst_registersession.moc"
