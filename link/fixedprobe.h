#pragma once

#include "link/reachabilityprobe.h"

#include <QHash>
#include <QMutex>
#include <QStringList>

#include <memory>

// A probe that answers from a table instead of the network. Windows create a
// fresh probe per exchange, so the table, the answers and the record of what
// was asked live in a Table that all probes of one Scope share.
class FixedProbe : public ReachabilityProbe
{
public:
    // Probes may run on several threads at once (a shop's registers are
    // probed in parallel); the mutex guards the rest.
    struct Table
    {
        mutable QMutex mutex;
        int fallback = 0;             // answer for addresses not in `answers`
        QHash<QString, int> answers;  // per-address answers
        int roundTrip = 0;            // reported after an answer of 0
        QStringList asked;            // every address pinged, in order
    };

    explicit FixedProbe(int answer = 0);
    explicit FixedProbe(std::shared_ptr<Table> table);

    int ping(const QString &address, int timeout) override;
    int roundTripTime() const override { return m_roundTripTime; }

    int calls() const;
    Table &table() { return *m_table; }

    // While a Scope lives, ReachabilityProbe::create() makes FixedProbes over
    // its table; its destructor restores the real probe.
    class Scope
    {
    public:
        explicit Scope(int fallback = 0);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

        // An answer of 0 makes the address reachable; anything else does not.
        void setAnswer(const QString &address, int answer);
        void setUnreachable(const QString &address) { setAnswer(address, 11010); }
        void setFallback(int answer);
        int calls() const { return asked().size(); }
        QStringList asked() const;

    private:
        std::shared_ptr<Table> m_table;
    };

private:
    std::shared_ptr<Table> m_table;
    int m_roundTripTime = 0;
};
