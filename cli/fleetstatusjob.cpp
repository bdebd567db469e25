#include "cli/fleetstatusjob.h"

#include "cli/fleetturn.h"
#include "link/linkresult.h"
#include "session/firmwarefamily.h"
#include "session/sessionresult.h"

#include <QJsonObject>
#include <QJsonValue>

QStringList FleetStatusJob::members() const
{
    return {QStringLiteral("version"), QStringLiteral("goodsCapacity"), QStringLiteral("answeredSerial"),
            QStringLiteral("serialMatches"), QStringLiteral("supported")};
}

void FleetStatusJob::start(FleetTurn *turn)
{
    turn->exchange([](RegisterSession &session) { session.identify(); }, [turn] { report(turn); });
}

void FleetStatusJob::report(FleetTurn *turn)
{
    const RegisterSession &session = turn->session();
    const RegisterIdentity identity = session.identity();
    if (session.result() != LinkOk || !identity.known) {
        turn->conclude(QString());
        return;
    }
    const bool matches = session.serialMatches();
    const bool supported = FirmwareFamily::isSupported(identity.major, identity.minor, identity.build);
    const QJsonObject members{{QStringLiteral("version"), identity.version},
                              {QStringLiteral("goodsCapacity"), identity.goodsCapacity},
                              {QStringLiteral("answeredSerial"), identity.serial},
                              {QStringLiteral("serialMatches"), matches},
                              {QStringLiteral("supported"), supported}};
    QString message = tr("версия %1, ёмкость номенклатуры %2").arg(identity.version).arg(identity.goodsCapacity);
    int code = LinkOk;
    if (!supported) {
        message += tr(", версия не поддерживается программой");
        code = SessionUnsupportedVersion;
    }
    if (matches) {
        message += tr(", заводской номер совпадает");
    } else {
        message += QStringLiteral(", ") + session.explanation();
        code = LinkSerialMismatch;
    }
    turn->finish(code, message, members);
}
