#include "cli/fleetapplyjob.h"

#include "cli/fleetturn.h"
#include "link/linkresult.h"
#include "session/firmwarefamily.h"
#include "session/sessionresult.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

FleetApplyJob::FleetApplyJob(const ParamsDiff::Blocks &templateBlocks, const QList<ParamsApply::Group> &groups,
                             bool write)
    : m_template(templateBlocks),
      m_groups(groups),
      m_write(write)
{
}

QStringList FleetApplyJob::members() const
{
    return {QStringLiteral("version"), QStringLiteral("changes"), QStringLiteral("written"), QStringLiteral("backup"),
            QStringLiteral("partlyWritten")};
}

void FleetApplyJob::start(FleetTurn *turn)
{
    turn->exchange([](RegisterSession &session) { session.readParams(); }, [this, turn] { plan(turn); });
}

void FleetApplyJob::plan(FleetTurn *turn) const
{
    RegisterSession &session = turn->session();
    if (session.result() != LinkOk) {
        turn->conclude(QString());
        return;
    }
    const RegisterIdentity identity = session.identity();
    if (!session.serialMatches()) {
        turn->finish(LinkSerialMismatch, session.explanation());
        return;
    }
    QJsonObject members{{QStringLiteral("version"), identity.version}, {QStringLiteral("written"), false}};
    if (FirmwareFamily::forVersion(identity.version) != FirmwareFamily::forVersion(m_template.version)) {
        turn->finish(SessionWrongFamily,
                     tr("версия ККТ %1 другого семейства, чем шаблон (%2): не изменялась")
                         .arg(identity.version, m_template.version),
                     members);
        return;
    }
    const ParamsDiff::Blocks current{identity.serial, identity.version, session.params(), session.system()};
    ParamsDiff::Blocks planned = current;
    QVector<ParamsDifference> differences;
    QString error;
    if (!ParamsApply::apply(m_template, current, m_groups, &planned.params, &error)
        || !ParamsDiff::compare(current, planned, &differences, &error)) {
        turn->finish(SessionWrongFamily, error, members);
        return;
    }
    QJsonArray changes;
    QStringList lines;
    for (const ParamsDifference &difference : qAsConst(differences)) {
        changes.append(difference.toJson());
        lines << difference.text();
    }
    members.insert(QStringLiteral("changes"), changes);
    turn->setDetails(lines);
    if (differences.isEmpty()) {
        turn->finish(LinkOk, tr("совпадает с шаблоном, записывать нечего"), members);
        return;
    }
    if (!m_write) {
        turn->finish(LinkOk, tr("изменится полей: %1 (ничего не записано; записать: --apply)").arg(differences.size()),
                     members);
        return;
    }
    if (turn->isInterrupted()) {
        turn->finish(LinkStopped, tr("прервано до записи: изменилось бы полей %1, ничего не записано")
                                      .arg(differences.size()),
                     members);
        return;
    }
    const QByteArray params = planned.params;
    const QString version = identity.version;
    const int count = differences.size();
    // The system block is not the chain's: it stays as the register has it.
    turn->exchange([params, version](RegisterSession &s) { s.writeParams(params, QByteArray(), version, true); },
                   [this, turn, members, count] { report(turn, members, count); });
}

void FleetApplyJob::report(FleetTurn *turn, const QJsonObject &members, int changes) const
{
    const RegisterSession &session = turn->session();
    const QString backup = QDir::toNativeSeparators(session.backupFile());
    QJsonObject written = members;
    written.insert(QStringLiteral("written"), session.result() == LinkOk);
    written.insert(QStringLiteral("backup"), backup.isEmpty() ? QJsonValue() : QJsonValue(backup));
    written.insert(QStringLiteral("partlyWritten"), session.partlyWritten());
    turn->conclude(tr("изменено полей: %1, проверено чтением; резервная копия: %2").arg(changes).arg(backup), written);
}
