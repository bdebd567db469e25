#include "link/devicecontroller.h"
#include "link/devicerequest.h"
#include "link/linkresult.h"
#include "link/taggedblock.h"
#include "session/firmwarefamily.h"
#include "sim/registersimulator.h"
#include "tests/support/core/processfigures.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMap>
#include <QRandomGenerator>
#include <QtTest>

#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define KORVANE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVANE_UNDER_ASAN 1
#endif
#endif

namespace {

const QByteArray Serial = "2530000192";
const char *const RegisterAddress = "127.0.0.192";
// Short enough that the faults which wait it out stay cheap, long enough
// that a loaded machine still answers every sound request in time.
constexpr int ReplyTimeout = 250;
constexpr int WarmUp = 20;
// Resident growth allowed between the end of the warm-up and the end of the
// run: allocator arenas settle in the first exchanges; a leak of a link, a
// socket or a read buffer per exchange grows far beyond it over a thousand.
constexpr qint64 ResidentGrowthLimitKiB = 6 * 1024;

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

struct FaultKind
{
    const char *name;
    int weight;     // how often it is drawn, relative to the others
    int op;
    int expected;
    std::function<void(SimFaults &, QRandomGenerator &)> apply;
};

// Every fault the simulator can inject, each with the code it must end with.
// The three that wait out a reply time are drawn less often.
QVector<FaultKind> faultKinds()
{
    using F = SimFaults;
    using R = QRandomGenerator;
    const int read = DeviceRequest::ReadParams;
    return {
        {"none", 3, read, LinkOk, [](F &, R &) {}},
        {"short delay", 3, read, LinkOk, [](F &f, R &r) { f.delayMs = r.bounded(1, 6); }},
        {"long delay", 1, read, LinkNoReply,
         [](F &f, R &r) { f.delayMs = 2 * ReplyTimeout; f.fromRequest = r.bounded(1, 6); }},
        {"split reply", 3, read, LinkOk, [](F &f, R &r) { f.splitPauseMs = r.bounded(0, 4); }},
        {"bad checksum", 3, read, LinkBadReply,
         [](F &f, R &r) { f.badChecksum = true; f.fromRequest = r.bounded(1, 6); }},
        {"truncated", 1, read, LinkBadReply,
         [](F &f, R &r) { f.truncate = true; f.fromRequest = r.bounded(1, 6); }},
        {"huge length", 3, read, LinkBadReply, [](F &f, R &r) {
             f.declaredLength = 0x80000000u;
             f.fromRequest = r.bounded(1, 6);
         }},
        {"closed on accept", 3, DeviceRequest::QueryIdentity, LinkSocketError,
         [](F &f, R &) { f.refuse = SimRefuse::Close; }},
        {"refused", 3, read, LinkSocketError, [](F &f, R &) { f.refuse = SimRefuse::Unbind; }},
        {"dropped", 3, read, LinkSocketError, [](F &f, R &r) { f.dropAfter = r.bounded(0, 6); }},
        {"nak writes", 3, DeviceRequest::WriteParams, LinkWriteRejected,
         [](F &f, R &) { f.nakWrites = true; }},
        {"other serial", 3, read, LinkSerialMismatch,
         [](F &f, R &) { f.otherSerial = "2530000999"; }},
        {"silent", 1, read, LinkNoReply,
         [](F &f, R &r) { f.silent = true; f.fromRequest = r.bounded(1, 6); }},
        {"page count", 3, read, LinkReadMismatch,
         [](F &f, R &r) { f.wrongPageCount = true; f.fromRequest = r.bounded(2, 6); }},
        {"longer payload", 3, read, LinkReadMismatch,
         [](F &f, R &r) { f.extraPayload = r.bounded(1, 300); f.fromRequest = r.bounded(2, 6); }},
        {"identify without arguments", 3, DeviceRequest::QueryIdentity, LinkBadReply,
         [](F &f, R &) { f.identifyArgs = 0; }},
    };
}

int draw(const QVector<FaultKind> &kinds, QRandomGenerator &random)
{
    int total = 0;
    for (const FaultKind &k : kinds)
        total += k.weight;
    int pick = random.bounded(total);
    for (int i = 0; i < kinds.size(); ++i) {
        pick -= kinds.at(i).weight;
        if (pick < 0)
            return i;
    }
    return 0;
}

} // namespace

// A long run of exchanges against a register that misbehaves at random, as a
// window would drive them: one controller, one exchange after the other.
class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    // A thousand exchanges of debug lines would bury the figures.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("korvane.link.debug=false")); }

    void thousandExchangesWithRandomFaults()
    {
        const int exchanges = envInt("KORVANE_SOAK_EXCHANGES", 1000);
        const quint32 seed = quint32(envInt("KORVANE_SOAK_SEED", 20261208));
        QRandomGenerator random(seed);
        const QVector<FaultKind> kinds = faultKinds();

        RegisterSimulator sim(SimConfig::family253(Serial));
        QVERIFY2(sim.start(QHostAddress(QString::fromLatin1(RegisterAddress)), 0),
                 qPrintable(sim.errorString()));
        DeviceController controller;
        controller.setSerialLocations(FirmwareFamily::serialLocations());
        controller.setExpectedSerial(QString::fromLatin1(Serial));
        controller.setReplyTimeout(ReplyTimeout);
        QByteArray writeBlock;
        QVERIFY(TaggedBlock::append(writeBlock, TaggedBlock::Params, QByteArray(600, 'p')));

        int finished = 0;
        connect(&controller, &DeviceController::finished, this, [&finished] { ++finished; });
        QMap<QString, int> drawn;
        int threadsBefore = -1, descriptorsBefore = -1;
        qint64 residentStart = -1, residentPeakDuring = 0;
        QElapsedTimer clock;
        clock.start();

        for (int i = 0; i < exchanges; ++i) {
            if (i == WarmUp) {
                // The first exchanges set up what lives for the whole process
                // (allocator arenas, the simulator's connection pool).
                threadsBefore = processfigures::threads();
                descriptorsBefore = processfigures::descriptors();
                residentStart = processfigures::residentKiB();
            }
            const FaultKind &kind = kinds.at(draw(kinds, random));
            SimFaults faults;
            kind.apply(faults, random);
            sim.setFaults(faults);
            ++drawn[QLatin1String(kind.name)];

            finished = 0;
            controller.startExchange(kind.op, QString::fromLatin1(RegisterAddress), sim.port(),
                                     kind.op == DeviceRequest::WriteParams ? writeBlock : QByteArray());
            const bool ended = QTest::qWaitFor([&] { return finished > 0 && !controller.isBusy(); }, 20000);
            QCoreApplication::processEvents();
            const QByteArray where = QByteArray("exchange ") + QByteArray::number(i) + " (" + kind.name + ')';
            QVERIFY2(ended, where.constData());
            QVERIFY2(finished == 1, (where + ": finished() " + QByteArray::number(finished)).constData());
            QVERIFY2(controller.result() == kind.expected,
                     (where + ": result " + QByteArray::number(controller.result()) + ", expected "
                      + QByteArray::number(kind.expected)).constData());
            residentPeakDuring = qMax(residentPeakDuring, processfigures::residentKiB());
        }
        sim.clearFaults();
        const qint64 seconds = clock.elapsed() / 1000;

        // Links, sockets and threads go away with their exchange; the
        // simulator's side of the last connections closes a moment later.
        if (threadsBefore >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(processfigures::threads(), threadsBefore, 5000);
        if (descriptorsBefore >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(processfigures::descriptors(), descriptorsBefore, 5000);
        const qint64 residentEnd = processfigures::residentKiB();

        qInfo("soak: %d exchanges in %lld s, seed %u, reply time %d ms", exchanges, seconds, seed, ReplyTimeout);
        QStringList byKind;
        for (auto it = drawn.cbegin(); it != drawn.cend(); ++it)
            byKind << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
        qInfo("soak: faults by kind: %s", qPrintable(byKind.join(QStringLiteral(", "))));
        qInfo("soak: threads %d before, %d after; descriptors %d before, %d after", threadsBefore,
              processfigures::threads(), descriptorsBefore, processfigures::descriptors());
        qInfo("soak: resident %lld KiB after warm-up, %lld KiB at the end, %lld KiB at most",
              residentStart, residentEnd, residentPeakDuring);

#ifndef KORVANE_UNDER_ASAN
        // Under AddressSanitizer freed memory sits in quarantine, so resident
        // size says nothing there; its leak checker covers that build instead.
        if (residentStart > 0)
            QVERIFY2(residentEnd - residentStart < ResidentGrowthLimitKiB,
                     qPrintable(QStringLiteral("grew by %1 KiB").arg(residentEnd - residentStart)));
#endif
    }
};

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
