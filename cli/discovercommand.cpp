#include "cli/discovercommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "link/devicefinder.h"
#include "link/registerdefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

int DiscoverCommand::run(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("discover"),
                     tr("Поиск ККТ в локальной сети. Без --broadcast запрос рассылается по всем "
                        "сетям рабочей станции, как в окне обзора."));
    line.addListOption(QStringLiteral("broadcast"), QStringLiteral("ADDRESS"),
                       tr("Адрес рассылки вместо сетей рабочей станции; можно указать несколько раз."));
    line.addNumberOption(QStringLiteral("discovery-port"),
                         tr("UDP-порт поиска (по умолчанию %1).").arg(RegisterDefaults::DiscoveryPort),
                         RegisterDefaults::DiscoveryPort);
    line.addNumberOption(QStringLiteral("timeout"),
                         tr("Ожидание ответа, мс (по умолчанию %1).").arg(RegisterDefaults::SearchWait),
                         RegisterDefaults::SearchWait);
    line.addJsonOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const int port = line.number(QStringLiteral("discovery-port"));
    if (port < 1 || port > 65535)
        return line.usageError(tr("недопустимый порт %1").arg(port));

    QList<QHostAddress> broadcasts;
    for (const QString &address : line.values(QStringLiteral("broadcast"))) {
        if (!CommandLine::isAddress(address))
            return line.usageError(tr("неверный адрес %1").arg(address));
        broadcasts << QHostAddress(address);
    }
    if (!broadcasts.isEmpty())
        DeviceFinder::setAddressSource([broadcasts] { return broadcasts; });

    DeviceFinder finder;
    finder.setPort(quint16(port));
    finder.setTimeout(line.number(QStringLiteral("timeout")));
    finder.run();
    DeviceFinder::setAddressSource({});

    const QJsonArray found = QJsonDocument::fromJson(finder.foundDevices()).array();
    if (line.json()) {
        Console::out(QString::fromUtf8(QJsonDocument(found).toJson(QJsonDocument::Indented)).trimmed());
        return StatusOk;
    }
    for (const QJsonValue &value : found) {
        const QJsonObject device = value.toObject();
        Console::out(QStringLiteral("%1\t%2\t%3")
                         .arg(device.value(QStringLiteral("device")).toString(),
                              device.value(QStringLiteral("ip")).toString(),
                              device.value(QStringLiteral("mac")).toString()));
    }
    if (found.isEmpty())
        Console::error(tr("ККТ не найдены"));
    return StatusOk;
}
