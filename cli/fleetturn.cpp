#include "cli/fleetturn.h"

#include "cli/consolesession.h"

#include <QDir>

#include <memory>

FleetTurn::FleetTurn(const InventoryEntry &entry, QObject *parent)
    : QObject(parent),
      m_entry(entry)
{
    m_session.setAddress(entry.address, entry.port);
    m_session.setExpectedSerial(entry.serial);
    // The runner has probed already, off its own thread.
    m_session.setProbeFirst(false);
    m_result.entry = entry;
}

void FleetTurn::exchange(const std::function<void(RegisterSession &)> &operation, const std::function<void()> &then)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&m_session, &RegisterSession::finished, this, [connection, then] {
        disconnect(*connection);
        then();
    });
    operation(m_session);
}

void FleetTurn::finish(int code, const QString &message, const QJsonObject &members)
{
    if (m_finished)
        return;
    m_finished = true;
    m_result.state = FleetResult::State::Done;
    m_result.code = code;
    m_result.message = message;
    m_result.members = members;
    emit finished();
}

void FleetTurn::conclude(const QString &success, const QJsonObject &members)
{
    const int code = m_session.result();
    if (code == 0) {
        finish(code, success, members);
        return;
    }
    QString message = m_session.explanation();
    if (m_session.partlyWritten())
        message += tr("; данные в ККТ могли быть записаны частично, резервная копия: %1; восстановить: %2")
                           .arg(QDir::toNativeSeparators(m_session.backupFile()),
                                ConsoleSession::restoreCommand(m_session));
    finish(code, message, members);
}
