#pragma once

#include "cli/inventory.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// What became of one register in a fleet run.
struct FleetResult
{
    enum class State {
        Waiting,      // not reached yet; after Ctrl+C: never started
        Offline,      // no address, never contacted
        Unreachable,  // the probe had no answer
        Done,         // the job ran and ended, well or not
    };

    InventoryEntry entry;
    State state = State::Waiting;
    int code = 0;           // 0, a link or a session result code
    QString message;        // the register's line after its serial and address
    QJsonObject members;    // the job's own members of the register's JSON object
    QStringList details;    // lines shown under the register's line, e.g. a plan's changes

    bool ok() const { return state == State::Done && code == 0; }
    // An exchange began: only then can anything have changed on the register.
    bool started() const { return state == State::Done; }
};
