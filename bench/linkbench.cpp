// Time per request of a register exchange as korvane-cli runs it (the
// register session, the controller and the link's worker thread), divided by
// the time per request of a plain blocking POSIX client that sends the same
// requests to the same simulator in the same run. The whole process is held
// on one CPU, so that the client, the link's threads and the simulator take
// turns there the same way in every run and the ratio does not swing with the
// scheduler of a 2-core machine.
//
//   linkbench [--no-pin]

#include "bench/plainclient.h"
#include "session/registersession.h"
#include "sim/registersimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

namespace {

constexpr int Runs = 7;
const QString Address = QStringLiteral("127.0.0.1");
const QString Serial = QStringLiteral("2530000001");

// The first CPU the process may use, or -1.
int pinToOneCpu()
{
#ifdef Q_OS_LINUX
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof(allowed), &allowed) != 0)
        return -1;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (!CPU_ISSET(cpu, &allowed))
            continue;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(cpu, &one);
        return sched_setaffinity(0, sizeof(one), &one) == 0 ? cpu : -1;
    }
#endif
    return -1;
}

// Microseconds per request of the best run; 0 when a run failed.
double best(RegisterSimulator &sim, const std::function<int()> &exchange)
{
    double bestTime = 0;
    for (int run = 0; run < Runs; ++run) {
        sim.clearRequests();
        QElapsedTimer clock;
        clock.start();
        const int requests = exchange();
        const double elapsed = clock.nsecsElapsed() / 1000.0;
        if (requests <= 0 || requests != sim.requests().size())
            return 0;
        const double each = elapsed / requests;
        if (bestTime == 0 || each < bestTime)
            bestTime = each;
    }
    return bestTime;
}

// One session operation run to its end; the requests the simulator saw.
int sessionRun(RegisterSession &session, RegisterSimulator &sim, const std::function<void()> &start)
{
    start();
    session.waitForFinished();
    return session.result() == 0 ? sim.requests().size() : -1;
}

QByteArray goodsArea(int pages, int records)
{
    QByteArray image(pages * 256, '\0');
    for (int r = 0; r < pages * 2; ++r) {
        const int number = r < records ? r : 0xFFFF;
        image[r * 128] = char(number & 0xFF);
        image[r * 128 + 1] = char((number >> 8) & 0xFF);
    }
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    const bool pin = !(argc > 1 && QByteArray(argv[1]) == "--no-pin");
    const int cpu = pin ? pinToOneCpu() : -1;
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    if (!PlainClient::available()) {
        std::printf("no POSIX sockets here: nothing to measure against\n");
        return 0;
    }
    std::printf("%s\n", cpu >= 0 ? qPrintable(QStringLiteral("client, link and simulator on CPU %1").arg(cpu))
                                 : "not pinned to one CPU: ratios may swing");

    constexpr int Records = 2000;
    SimConfig config = SimConfig::family253(Serial.toLatin1());
    config.goodsCapacity = Records + 1;
    RegisterSimulator sim(config);
    if (!sim.start(QHostAddress(Address), 0)) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    const int goodsPages = (Records + 2) / 2;  // the header record, the goods, an end marker
    sim.setAreaContent(5, goodsArea(sim.areaPages(5), Records + 1));
    const QByteArray written = goodsArea(goodsPages, Records + 1);

    RegisterSession session;
    session.setProbeFirst(false);
    session.setAddress(Address, sim.port());
    session.setExpectedSerial(Serial);

    struct Row
    {
        const char *name;
        std::function<int()> plain;
        std::function<int()> link;
    };
    const std::vector<Row> rows = {
        {"readParams", [&] { return PlainClient::readParams(Address, sim.port()); },
         [&] { return sessionRun(session, sim, [&] { session.readParams(); }); }},
        {"readGoods (2000 records)", [&] { return PlainClient::readGoods(Address, sim.port()); },
         [&] { return sessionRun(session, sim, [&] { session.readGoods(); }); }},
        {"writeGoods (2000 records)", [&] { return PlainClient::writeGoods(Address, sim.port(), written); },
         [&] { return sessionRun(session, sim, [&] { session.writeGoods(written, Records); }); }},
    };

    int status = 0;
    for (const Row &row : rows) {
        const bool onlyLink = qEnvironmentVariableIsSet("ONLY_LINK");
        const bool onlyPlain = qEnvironmentVariableIsSet("ONLY_PLAIN");
        const double floor = onlyLink ? 1 : best(sim, row.plain);
        const double link = onlyPlain ? 1 : best(sim, row.link);
        if (floor <= 0 || link <= 0) {
            std::printf("%-26s failed\n", row.name);
            status = 1;
            continue;
        }
        std::printf("%-26s %4d requests, plain client %.1f us, session %.1f us each, ratio %.2f\n", row.name,
                    sim.requests().size(), floor, link, link / floor);
    }
    std::printf("goal for the goods read: ratio <= 1.3\n");
    return status;
}
