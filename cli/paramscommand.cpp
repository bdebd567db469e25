#include "cli/paramscommand.h"

#include "cli/clistatus.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/consolesession.h"
#include "cli/paramsdiffcommand.h"
#include "cli/paramsjson.h"
#include "params/checks53.h"
#include "params/deviceparams53.h"
#include "session/firmwareversion.h"
#include "session/profilefile.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

QString fileOrAddress()
{
    return QCoreApplication::translate("ParamsCommand", "Файл параметров или IP-адрес ККТ (тогда нужен --serial).");
}

}

int ParamsCommand::run(const QStringList &arguments)
{
    return CommandLine::dispatch(QStringLiteral("params"), arguments,
                                 {{"read", read},
                                  {"write", write},
                                  {"show", show},
                                  {"check", check},
                                  {"diff", ParamsDiffCommand::run}});
}

int ParamsCommand::read(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("params read"),
                     tr("Читает параметры ККТ (образ параметров и системный блок) в файл."));
    line.addAddressArgument();
    line.addSerialOption();
    line.addFileOption(QStringLiteral("out"), tr("Файл, в который записываются параметры."));
    line.addPortOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;

    ProfileFile file;
    status = fetch(line, &file);
    if (status != StatusOk)
        return status;
    QString error;
    if (!file.write(line.value(QStringLiteral("out")), &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    Console::out(tr("Параметры ККТ %1 (версия %2) записаны в %3")
                     .arg(file.serial, file.version, line.value(QStringLiteral("out"))));
    return StatusOk;
}

int ParamsCommand::preflightWrite(const CommandLine &line, const ProfileFile &file)
{
    if (file.serial != line.serial()) {
        Console::error(tr("Файл %1 содержит параметры ККТ %2, а не %3")
                           .arg(line.value(QStringLiteral("in")), file.serial, line.serial()));
        return StatusBadInput;
    }
    if (file.params.isEmpty()) {
        Console::error(tr("Файл %1 не содержит параметров").arg(line.value(QStringLiteral("in"))));
        return StatusBadInput;
    }
    if (!FirmwareVersion::isWritable(file.version)) {
        Console::error(tr("Не поддерживается для данной версии") + QStringLiteral(" (%1)").arg(file.version));
        return StatusBadInput;
    }
    return StatusOk;
}

int ParamsCommand::write(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("params write"),
                     tr("Записывает параметры из файла в ККТ семейства 2.53. Файл должен быть "
                        "прочитан с ККТ того же заводского номера и той же разметки памяти."));
    line.addAddressArgument();
    line.addSerialOption();
    line.addFileOption(QStringLiteral("in"), tr("Файл параметров (из params read)."));
    line.addPortOption();
    int status = StatusOk;
    if (!line.parse(arguments, &status))
        return status;
    const QString address = line.argument(0);

    ProfileFile file;
    QString error;
    if (!file.read(line.value(QStringLiteral("in")), &error)) {
        Console::error(error);
        return StatusBadInput;
    }
    status = preflightWrite(line, file);
    if (status != StatusOk)
        return status;

    // The register decides in the same exchange whether the file fits it: the
    // same serial number, family and area sizes, so nothing is cut or zeroed.
    ConsoleSession session(address, line.port(), line.serial());
    status = session.writeParams(file.params, file.system, file.version);
    if (status == StatusOk)
        Console::out(tr("Выгрузка завершена успешно"));
    return status;
}

int ParamsCommand::fetch(const CommandLine &line, ProfileFile *source)
{
    const QString target = line.argument(0);
    QString error;
    if (QFileInfo(target).isFile()) {
        if (!source->read(target, &error)) {
            Console::error(error);
            return StatusBadInput;
        }
        if (!line.serial().isEmpty() && line.serial() != source->serial) {
            Console::error(tr("Файл %1 содержит параметры ККТ %2, а не %3").arg(target, source->serial, line.serial()));
            return StatusBadInput;
        }
        if (source->params.isEmpty()) {
            Console::error(tr("Файл %1 не содержит параметров").arg(target));
            return StatusBadInput;
        }
        return StatusOk;
    }
    if (!CommandLine::isAddress(target)) {
        Console::error(tr("Файл %1 не найден").arg(target));
        return StatusBadInput;
    }
    if (line.serial().isEmpty())
        return line.usageError(tr("для ККТ по адресу %1 нужен --serial").arg(target));

    ConsoleSession session(target, line.port(), line.serial());
    const int status = session.readParams(&source->params, &source->system);
    if (status != StatusOk)
        return status;
    const RegisterIdentity identity = session.identity();
    source->serial = identity.serial;
    source->version = identity.version;
    source->goodsCapacity = identity.goodsCapacity;
    return StatusOk;
}

bool ParamsCommand::parseAndFetch(CommandLine &line, const QStringList &arguments, ProfileFile *source, int *status)
{
    line.addArgument(QStringLiteral("FILE|ADDRESS"), fileOrAddress());
    line.addSerialOption(false);
    line.addPortOption();
    if (!line.parse(arguments, status))
        return false;
    *status = fetch(line, source);
    return *status == StatusOk;
}

int ParamsCommand::show(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("params show"),
                     tr("Выводит таблицы параметров в формате JSON, как их показывают вкладки редактора."));
    ProfileFile source;
    int status = StatusOk;
    if (!parseAndFetch(line, arguments, &source, &status))
        return status;

    QJsonObject object = ParamsJson::tables(*loaded(source));
    object.insert(QStringLiteral("serial"), source.serial);
    object.insert(QStringLiteral("version"), source.version);
    object.insert(QStringLiteral("goodsCapacity"), source.goodsCapacity);
    Console::out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed());
    return StatusOk;
}

int ParamsCommand::check(const QStringList &arguments)
{
    CommandLine line(QStringLiteral("params check"),
                     tr("Проверяет параметры 2.53, как действие «Проверить» окна ККТ: по строке на "
                        "проблему. Код завершения 1, если проблемы есть."));
    line.addJsonOption();
    ProfileFile source;
    int status = StatusOk;
    if (!parseAndFetch(line, arguments, &source, &status))
        return status;

    // The 2.52 pages check nothing, so a 2.52 set has no problems to list.
    const std::unique_ptr<DeviceParams> params = loaded(source);
    const auto *params53 = qobject_cast<const DeviceParams53 *>(params.get());
    const QStringList issues = params53 ? validateParams53(*params53) : QStringList();
    if (line.json())
        Console::out(QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(issues)).toJson()).trimmed());
    else
        for (const QString &issue : issues)
            Console::out(issue);
    return issues.isEmpty() ? StatusOk : StatusIssues;
}

std::unique_ptr<DeviceParams> ParamsCommand::loaded(const ProfileFile &source)
{
    std::unique_ptr<DeviceParams> params = FirmwareVersion::createParams(source.version);
    params->load(source.serial, source.params, source.system);
    return params;
}
