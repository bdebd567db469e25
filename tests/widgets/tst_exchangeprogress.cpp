#include "session/registersession.h"
#include "tests/support/core/simulators.h"
#include "tests/support/widgets/windowdriver.h"
#include "widgets/deviceprogressdialog.h"
#include "widgets/exchangeprogress.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace WindowDriver;

namespace {

const QString kAddress = QStringLiteral("127.0.21.161");

// Notes whether an exchange's progress dialog came up at all: a check that
// it is gone means nothing if it never showed.
class ProgressSeen : public QObject
{
public:
    ProgressSeen()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { seen = seen || visibleProgressDialogs() > 0; });
        m_timer.start(5);
    }

    bool seen = false;

private:
    QTimer m_timer;
};

}

class TestExchangeProgress : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RegisterSimulator> m_sim;
    std::unique_ptr<QWidget> m_owner;
    std::unique_ptr<RegisterSession> m_session;

private slots:
    void init()
    {
        m_sim = Simulators::start(SimConfig::family253("2530000001"), kAddress);
        QVERIFY(m_sim);
        m_sim->setReplyDelay(60);
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(500, 300);
        QVERIFY(show(m_owner.get()));
        m_session = std::make_unique<RegisterSession>();
        m_session->setProbeFirst(false);
        m_session->setAddress(kAddress, m_sim->port());
    }

    void cleanup()
    {
        m_session.reset();
        m_owner.reset();
        m_sim.reset();
    }

    // What the owner's handler shows (a result box) must not stand over the
    // progress dialog, whether the exchange succeeded or failed.
    void dialogGoneWhenTheHandlerRuns_data()
    {
        QTest::addColumn<QString>("expectedSerial");
        QTest::addColumn<int>("result");
        QTest::newRow("read") << QStringLiteral("2530000001") << 0;
        QTest::newRow("another register") << QStringLiteral("2530000002") << -15;
    }

    void dialogGoneWhenTheHandlerRuns()
    {
        QFETCH(QString, expectedSerial);
        QFETCH(int, result);
        m_session->setExpectedSerial(expectedSerial);
        ProgressSeen watch;
        int handled = 0;
        int dialogsAtHandler = -1;
        ExchangeProgress::Options options;
        ExchangeProgress::run(
                m_owner.get(), *m_session, options, m_owner.get(),
                [&] {
                    ++handled;
                    dialogsAtHandler = visibleProgressDialogs();
                },
                [this] { m_session->readParams(); });
        QCOMPARE(handled, 1);
        QCOMPARE(m_session->result(), result);
        QVERIFY(watch.seen);
        QCOMPARE(dialogsAtHandler, 0);
    }

    void cancelledDialogThenLateEnd()
    {
        ProgressSeen watch;
        int handled = 0;
        int dialogsAtHandler = -1;
        cancelProgressAt(QStringLiteral("Подключение к ККТ..."));
        ExchangeProgress::Options options;
        ExchangeProgress::run(
                m_owner.get(), *m_session, options, m_owner.get(),
                [&] {
                    ++handled;
                    dialogsAtHandler = visibleProgressDialogs();
                },
                [this] { m_session->identify(); });
        QVERIFY(watch.seen);
        QTRY_COMPARE_WITH_TIMEOUT(handled, 1, 10000);
        QCOMPARE(m_session->result(), 0);
        QCOMPARE(dialogsAtHandler, 0);
    }
};

QTEST_MAIN(TestExchangeProgress)
#include "tst_exchangeprogress.moc"
