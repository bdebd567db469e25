#include "cli/fleetgoodsjob.h"

#include "cli/fleetturn.h"
#include "session/sessionresult.h"

#include <QDir>
#include <QJsonObject>
#include <QJsonValue>

FleetGoodsJob::FleetGoodsJob(const QByteArray &areaImage, int rows, bool force)
    : m_areaImage(areaImage),
      m_rows(rows),
      m_force(force)
{
}

QStringList FleetGoodsJob::members() const
{
    return {QStringLiteral("goods"), QStringLiteral("goodsCapacity"), QStringLiteral("backup"),
            QStringLiteral("partlyWritten")};
}

void FleetGoodsJob::start(FleetTurn *turn)
{
    turn->exchange([this](RegisterSession &session) { session.writeGoods(m_areaImage, m_rows, m_force); },
                   [this, turn] { report(turn); });
}

void FleetGoodsJob::report(FleetTurn *turn) const
{
    const RegisterSession &session = turn->session();
    const RegisterIdentity identity = session.identity();
    const QString backup = QDir::toNativeSeparators(session.backupFile());
    const QJsonObject members{
        {QStringLiteral("goods"), m_rows},
        {QStringLiteral("goodsCapacity"), identity.known ? QJsonValue(identity.goodsCapacity) : QJsonValue()},
        {QStringLiteral("backup"), backup.isEmpty() ? QJsonValue() : QJsonValue(backup)},
        {QStringLiteral("partlyWritten"), session.partlyWritten()}};
    if (session.result() == SessionTooManyGoods) {
        turn->finish(session.result(), tr("%1; ничего не записано, --force записывает всё равно").arg(session.explanation()),
                     members);
        return;
    }
    turn->conclude(tr("записано товаров: %1 (ёмкость ККТ %2), проверено чтением; резервная копия: %3")
                       .arg(m_rows)
                       .arg(identity.goodsCapacity)
                       .arg(backup),
                   members);
}
