#pragma once

#include "cli/fleetresult.h"
#include "cli/inventory.h"
#include "session/registersession.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>

// One register's turn in a fleet run, as a FleetJob sees it: the inventory
// row, a session set to the register's address, port and serial (the probe
// has answered already), and how the turn ends.
class FleetTurn : public QObject
{
    Q_OBJECT

public:
    explicit FleetTurn(const InventoryEntry &entry, QObject *parent = nullptr);

    const InventoryEntry &entry() const { return m_entry; }
    RegisterSession &session() { return m_session; }

    // Starts an operation of the session and calls `then` once it has finished.
    void exchange(const std::function<void(RegisterSession &)> &operation, const std::function<void()> &then);
    // Ctrl+C came: a job of several exchanges starts no further one.
    bool isInterrupted() const { return m_interrupted; }

    // Ends the turn; `code` 0 is success.
    void finish(int code, const QString &message, const QJsonObject &members = QJsonObject());
    // Ends the turn with the session's latest result: `success` on 0,
    // otherwise the session's explanation and, after a write that may have
    // been cut off, the backup and the command that restores it.
    void conclude(const QString &success, const QJsonObject &members = QJsonObject());

    // Lines shown under the register's own once the turn has ended.
    void setDetails(const QStringList &details) { m_result.details = details; }

    // Filled in by finish(); the runner adds the rest.
    const FleetResult &result() const { return m_result; }

    // For the runner.
    void interrupt() { m_interrupted = true; }

signals:
    void finished();

private:
    InventoryEntry m_entry;
    RegisterSession m_session;
    FleetResult m_result;
    bool m_interrupted = false;
    bool m_finished = false;
};
