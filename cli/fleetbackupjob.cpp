#include "cli/fleetbackupjob.h"

#include "cli/fleetturn.h"

#include <QDir>
#include <QJsonObject>
#include <QJsonValue>

namespace {

QJsonValue pathOrNull(const QString &path)
{
    return path.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QDir::toNativeSeparators(path));
}

}

QStringList FleetBackupJob::members() const
{
    return {QStringLiteral("version"), QStringLiteral("paramsBackup"), QStringLiteral("goodsBackup")};
}

void FleetBackupJob::start(FleetTurn *turn)
{
    turn->exchange([](RegisterSession &session) { session.backUp(); }, [turn] { report(turn); });
}

void FleetBackupJob::report(FleetTurn *turn)
{
    const RegisterSession &session = turn->session();
    // The params backup comes first; a failed snapshot may have stored it alone.
    const QStringList files = session.backupFiles();
    const QString params = files.value(0);
    const QString goods = files.value(1);
    const RegisterIdentity identity = session.identity();
    const QJsonObject members{
        {QStringLiteral("version"), identity.known ? QJsonValue(identity.version) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("paramsBackup"), pathOrNull(params)},
        {QStringLiteral("goodsBackup"), pathOrNull(goods)}};
    turn->conclude(tr("резервные копии: %1, %2").arg(QDir::toNativeSeparators(params), QDir::toNativeSeparators(goods)),
                   members);
}
