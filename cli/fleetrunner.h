#pragma once

#include "cli/fleetresult.h"
#include "cli/inventory.h"

#include <QEventLoop>
#include <QHash>
#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <QVector>

#include <memory>

class CommandLine;
class FleetJob;
class FleetTurn;
class InterruptWatch;

// Runs a FleetJob on every register of an inventory, up to `jobs` registers
// at once: each is probed off this thread (an offline register with an
// address costs a second without holding up the others), then its turn
// starts. A line per register as it ends, in the order they end; the summary
// at the end in inventory order. One register's failure never stops the
// others. Ctrl+C stops starting registers and lets running exchanges end; a
// second one stops those after their current step.
class FleetRunner : public QObject
{
    Q_OBJECT

public:
    enum class Format { Text, Json, Csv };

    static constexpr int DefaultJobs = 8;

    explicit FleetRunner(QObject *parent = nullptr);
    ~FleetRunner() override;

    // --inventory FILE, --jobs N, --json and --csv, as every fleet command has them.
    static void addOptions(CommandLine &line);
    // After line.parse(): takes the options and loads the inventory; false
    // with *status once an error has been reported.
    bool configure(const CommandLine &line, int *status);

    void setInventory(const QVector<InventoryEntry> &inventory) { m_inventory = inventory; }
    void setJobs(int jobs) { m_jobs = jobs; }
    Format format() const { return m_format; }

    // StatusOk when every register succeeded, otherwise StatusSomeFailed.
    int run(FleetJob &job);
    // In inventory order, after run().
    const QVector<FleetResult> &results() const { return m_results; }

private:
    void startMore();
    void probe(int index);
    void onProbed(int index, bool reachable);
    void onTurnFinished(int index);
    // Records how register `index` ended and prints its line.
    void end(int index, FleetResult::State state, int code, const QString &message);
    void print(const FleetResult &result);
    void checkInterrupt();
    void quitWhenIdle();
    void printSummary(const FleetJob &job);

    QVector<InventoryEntry> m_inventory;
    int m_jobs = DefaultJobs;
    Format m_format = Format::Text;

    FleetJob *m_job = nullptr;
    QVector<FleetResult> m_results;
    int m_next = 0;       // the next register to start
    int m_probing = 0;
    int m_ended = 0;
    int m_interrupts = 0;
    QHash<int, FleetTurn *> m_turns;
    QEventLoop m_loop;
    QTimer m_interruptPoll;
    std::unique_ptr<InterruptWatch> m_interruptWatch;
    // Declared last, so it goes first: its destructor waits for the probes.
    QThreadPool m_probes;
};
