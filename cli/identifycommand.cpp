#include "cli/identifycommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/consolesession.h"

#include <QJsonDocument>
#include <QJsonObject>

int IdentifyCommand::run(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("identify"), tr("Заводской номер, версия и ёмкость номенклатуры ККТ."));
    line.addAddressArgument();
    line.addPortOption();
    line.addJsonOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString address = line.argument(0);

    ConsoleSession session(address, line.port(), QString());
    status = session.identify();
    if (status != StatusOk)
        return status;
    const RegisterIdentity identity = session.identity();
    if (line.json()) {
        const QJsonObject object{{QStringLiteral("serial"), identity.serial},
                                 {QStringLiteral("version"), identity.version},
                                 {QStringLiteral("goodsCapacity"), identity.goodsCapacity}};
        Console::out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
    } else {
        Console::out(tr("Заводской номер: %1").arg(identity.serial));
        Console::out(tr("Версия: %1").arg(identity.version));
        Console::out(tr("Ёмкость номенклатуры: %1").arg(identity.goodsCapacity));
    }
    return StatusOk;
}
