// The time of `korvane-cli fleet backup` over twenty registers, divided by
// the time of the same backup of one of them: simulated registers on
// 127.0.0.101 - 127.0.0.120 that each wait 5 ms before every reply, the fleet
// runner in-process with its real probe. Work for a shop goes in parallel,
// so with one register per job the twenty should take at most 1.5 times as
// long as one. The backups land in a throw-away settings sandbox.
//
//   fleetbench

#include "cli/console.h"
#include "cli/fleetbackupjob.h"
#include "cli/fleetrunner.h"
#include "cli/inventory.h"
#include "sim/registersimulator.h"
#include "tests/support/core/testsettings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Registers = 20;
constexpr int ReplyDelayMs = 5;
constexpr int Runs = 5;
constexpr double Goal = 1.5;

// Milliseconds of the median run of a backup of `inventory`; -1 when a
// register failed.
double medianBackup(const QVector<InventoryEntry> &inventory, int jobs)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        Console::capture(&sink, &sink);
        FleetRunner runner;
        runner.setInventory(inventory);
        runner.setJobs(jobs);
        FleetBackupJob job;
        QElapsedTimer clock;
        clock.start();
        const int status = runner.run(job);
        times.push_back(clock.nsecsElapsed() / 1e6);
        Console::capture(nullptr, nullptr);
        if (status != 0) {
            std::fprintf(stderr, "%s\n", sink.data().constData());
            return -1;
        }
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    const TestSettings sandbox;

    std::vector<std::unique_ptr<RegisterSimulator>> sims;
    QVector<InventoryEntry> inventory;
    for (int i = 0; i < Registers; ++i) {
        const QByteArray serial = QByteArray::number(2530000101LL + i);
        sims.push_back(std::make_unique<RegisterSimulator>(SimConfig::family253(serial)));
        const QString address = QStringLiteral("127.0.0.%1").arg(101 + i);
        if (!sims.back()->start(QHostAddress(address))) {
            std::fprintf(stderr, "simulator on %s: %s\n", qPrintable(address), qPrintable(sims.back()->errorString()));
            return 1;
        }
        sims.back()->setReplyDelay(ReplyDelayMs);
        InventoryEntry entry;
        entry.serial = QString::fromLatin1(serial);
        entry.address = address;
        entry.port = sims.back()->port();
        inventory << entry;
    }

    const double one = medianBackup(inventory.mid(0, 1), FleetRunner::DefaultJobs);
    const double all = medianBackup(inventory, Registers);
    const double defaultJobs = medianBackup(inventory, FleetRunner::DefaultJobs);
    if (one <= 0 || all <= 0 || defaultJobs <= 0) {
        std::printf("a backup failed\n");
        return 1;
    }
    const int requests = sims.front()->requestCount() / (3 * Runs);
    std::printf("fleet backup, %d ms before each reply, %d requests per register, median of %d runs\n",
                ReplyDelayMs, requests, Runs);
    const QString many = QStringLiteral("%1 registers, --jobs %2").arg(Registers);
    std::printf("%-34s %7.1f ms\n", "1 register", one);
    std::printf("%-34s %7.1f ms, ratio %.2f (goal <= %.1f: %s)\n", qPrintable(many.arg(Registers)), all, all / one,
                Goal, all / one <= Goal ? "met" : "missed");
    std::printf("%-34s %7.1f ms, ratio %.2f\n", qPrintable(many.arg(FleetRunner::DefaultJobs) + QStringLiteral(" (default)")),
                defaultJobs, defaultJobs / one);
    return 0;
}
