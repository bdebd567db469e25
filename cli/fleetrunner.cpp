#include "cli/fleetrunner.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/fleetjob.h"
#include "cli/fleetreport.h"
#include "cli/fleetturn.h"
#include "cli/interruptwatch.h"
#include "session/registersession.h"
#include "session/resultexplanation.h"
#include "session/sessionresult.h"

#include <QRunnable>
#include <QSharedPointer>

#ifndef QT_NO_BEARERMANAGEMENT
#endif

#include <algorithm>
#include <functional>
#include <utility>

namespace {

constexpr int InterruptPollMs = 50;

class ProbeTask : public QRunnable
{
public:
    ProbeTask(const QString &address, std::function<void(bool)> done)
        : m_address(address),
          m_done(std::move(done))
    {
    }

    void run() override { m_done(RegisterSession::isReachable(m_address)); }

private:
    QString m_address;
    std::function<void(bool)> m_done;
};

}

FleetRunner::FleetRunner(QObject *parent)
    : QObject(parent)
{
    m_interruptPoll.setInterval(InterruptPollMs);
    connect(&m_interruptPoll, &QTimer::timeout, this, &FleetRunner::checkInterrupt);
}

FleetRunner::~FleetRunner()
{
    m_probes.waitForDone();
}

void FleetRunner::addOptions(CommandLine &line)
{
    line.addListOption(QStringLiteral("inventory"), QStringLiteral("FILE"),
                       tr("Список ККТ: CSV-файл UTF-8 с заголовком serial;address;name[;port] "
                          "(по умолчанию — список ККТ программы)."));
    line.addNumberOption(QStringLiteral("jobs"), tr("Сколько ККТ обслуживать одновременно (по умолчанию %1).")
                                                     .arg(DefaultJobs),
                         DefaultJobs);
    line.addJsonOption();
    line.addFlag(QStringLiteral("csv"), tr("Итог в виде строк через «;» с заголовком."));
}

bool FleetRunner::configure(const CommandLine &line, int *status)
{
    if (line.json() && line.isSet(QStringLiteral("csv"))) {
        *status = line.usageError(tr("--json и --csv нельзя задать вместе"));
        return false;
    }
    m_jobs = line.number(QStringLiteral("jobs"));
    if (m_jobs < 1) {
        *status = line.usageError(tr("Недопустимое значение --jobs: %1").arg(line.value(QStringLiteral("jobs"))));
        return false;
    }
    m_format = line.json() ? Format::Json : line.isSet(QStringLiteral("csv")) ? Format::Csv : Format::Text;
    const QString path = line.value(QStringLiteral("inventory"));
    QString error;
    if (!(path.isEmpty() ? Inventory::fromRegistry(&m_inventory, &error)
                         : Inventory::fromFile(path, &m_inventory, &error))) {
        Console::error(error);
        *status = StatusBadInput;
        return false;
    }
    return true;
}

int FleetRunner::run(FleetJob &job)
{
    m_job = &job;
    m_results.clear();
    for (const InventoryEntry &entry : qAsConst(m_inventory)) {
        FleetResult result;
        result.entry = entry;
        m_results << result;
    }
    m_next = 0;
    m_ended = 0;
    m_interrupts = 0;
    m_probes.setMaxThreadCount(m_jobs);
    m_interruptWatch = std::make_unique<InterruptWatch>();
    m_interruptPoll.start();

    // Registers without an address end at once, before anyone is contacted.
    for (int i = 0; i < m_results.size(); ++i) {
        if (m_results.at(i).entry.address.isEmpty())
            end(i, FleetResult::State::Offline, SessionUnreachable, tr("адрес не задан, ККТ не опрашивалась"));
    }
    startMore();
    if (m_probing > 0 || !m_turns.isEmpty())
        m_loop.exec();

    m_interruptPoll.stop();
    m_interruptWatch.reset();
    for (FleetResult &result : m_results) {
        if (result.state == FleetResult::State::Waiting)
            result.message = tr("прервано (Ctrl+C) до начала обмена");
    }
    printSummary(job);
    m_job = nullptr;
    const bool allOk = std::all_of(m_results.begin(), m_results.end(), [](const FleetResult &r) { return r.ok(); });
    return allOk ? int(StatusOk) : int(StatusSomeFailed);
}

void FleetRunner::startMore()
{
    while (m_interrupts == 0 && m_probing + m_turns.size() < m_jobs && m_next < m_results.size()) {
        const int index = m_next++;
        if (m_results.at(index).state == FleetResult::State::Waiting)
            probe(index);
    }
}

void FleetRunner::probe(int index)
{
    ++m_probing;
    m_probes.start(new ProbeTask(m_results.at(index).entry.address, [this, index](bool reachable) {
        QMetaObject::invokeMethod(this, [this, index, reachable] { onProbed(index, reachable); }, Qt::QueuedConnection);
    }));
}

void FleetRunner::onProbed(int index, bool reachable)
{
    --m_probing;
    if (m_interrupts > 0) {
        // Only the echo went out; the register counts as never started.
        quitWhenIdle();
        return;
    }
    if (!reachable) {
        end(index, FleetResult::State::Unreachable, SessionUnreachable, ResultExplanation::explain(SessionUnreachable));
        startMore();
        quitWhenIdle();
        return;
    }
    auto *turn = new FleetTurn(m_results.at(index).entry, this);
    m_turns.insert(index, turn);
    // Queued: a job that ends its turn inside start() must not re-enter here.
    connect(turn, &FleetTurn::finished, this, [this, index] { onTurnFinished(index); }, Qt::QueuedConnection);
    m_job->start(turn);
}

void FleetRunner::onTurnFinished(int index)
{
    FleetTurn *turn = m_turns.take(index);
    const FleetResult &result = turn->result();
    m_results[index].members = result.members;
    m_results[index].details = result.details;
    end(index, FleetResult::State::Done, result.code, result.message);
    turn->deleteLater();
    startMore();
    quitWhenIdle();
}

void FleetRunner::end(int index, FleetResult::State state, int code, const QString &message)
{
    FleetResult &result = m_results[index];
    result.state = state;
    result.code = code;
    result.message = message;
    ++m_ended;
    print(result);
}

void FleetRunner::print(const FleetResult &result)
{
    QStringList lines{FleetReport::line(result, m_ended, m_results.size())};
    for (const QString &detail : result.details)
        lines << QStringLiteral("    ") + detail;
    // Scripts read the summary from standard output in one piece.
    if (m_format == Format::Text)
        Console::out(lines.join(QLatin1Char('\n')));
    else
        Console::error(lines.join(QLatin1Char('\n')));
}

void FleetRunner::checkInterrupt()
{
    const int presses = m_interruptWatch ? m_interruptWatch->count() : 0;
    if (presses == m_interrupts)
        return;
    if (m_interrupts == 0) {
        Console::error(tr("Прервано: новые ККТ не начинаются, идущие обмены (%1) завершаются; "
                          "повторное Ctrl+C прервёт их после текущего шага")
                           .arg(m_probing + m_turns.size()));
        for (FleetTurn *turn : qAsConst(m_turns))
            turn->interrupt();
    }
    if (presses > 1 && m_interrupts <= 1) {
        Console::error(tr("Прервано: идущие обмены прерываются после текущего шага"));
        for (FleetTurn *turn : qAsConst(m_turns))
            turn->session().stop();
    }
    m_interrupts = presses;
    quitWhenIdle();
}

void FleetRunner::quitWhenIdle()
{
    const bool more = m_interrupts == 0 && m_next < m_results.size();
    if (m_probing == 0 && m_turns.isEmpty() && !more)
        m_loop.quit();
}

void FleetRunner::printSummary(const FleetJob &job)
{
    switch (m_format) {
    case Format::Text:
        Console::out(QString());
        Console::out(FleetReport::table(m_results));
        break;
    case Format::Json:
        Console::out(FleetReport::json(m_results, job.members()));
        break;
    case Format::Csv:
        Console::out(FleetReport::csv(m_results, job.members()));
        break;
    }
}
