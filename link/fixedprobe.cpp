#include "link/fixedprobe.h"

FixedProbe::FixedProbe(int answer)
    : m_table(std::make_shared<Table>())
{
    m_table->fallback = answer;
}

FixedProbe::FixedProbe(std::shared_ptr<Table> table)
    : m_table(std::move(table))
{
}

int FixedProbe::ping(const QString &address, int timeout)
{
    Q_UNUSED(timeout)
    QMutexLocker lock(&m_table->mutex);
    m_table->asked.append(address);
    const int answer = m_table->answers.value(address, m_table->fallback);
    m_roundTripTime = answer == 0 ? m_table->roundTrip : -1;
    return answer;
}

int FixedProbe::calls() const
{
    QMutexLocker lock(&m_table->mutex);
    return m_table->asked.size();
}

FixedProbe::Scope::Scope(int fallback)
    : m_table(std::make_shared<Table>())
{
    m_table->fallback = fallback;
    std::shared_ptr<Table> table = m_table;
    ReachabilityProbe::setFactory([table] { return std::make_unique<FixedProbe>(table); });
}

FixedProbe::Scope::~Scope()
{
    ReachabilityProbe::setFactory({});
}

void FixedProbe::Scope::setAnswer(const QString &address, int answer)
{
    QMutexLocker lock(&m_table->mutex);
    m_table->answers.insert(address, answer);
}

void FixedProbe::Scope::setFallback(int answer)
{
    QMutexLocker lock(&m_table->mutex);
    m_table->fallback = answer;
}

QStringList FixedProbe::Scope::asked() const
{
    QMutexLocker lock(&m_table->mutex);
    return m_table->asked;
}
